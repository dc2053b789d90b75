#pragma once
// The single-draw window: one large name display, the draw button and the
// frame of four draw modes. It keeps itself above other applications' windows.

#include "core/drawstate.h"
#include "ui/controls.h"
#include "ui/form.h"

#include <span>

namespace qh {

// The window's controls, as its code finds them (the layout name stays the
// objectName).
enum class Form1Control { Exit, Draw, Text, ModeFrame, RepeatingOption, AllOption, BoysOption, GirlsOption,
                          ToSeatChart, Name, Label3, AllLast, BoyLast, GirlLast };

// The window's layout, rows in stacking order (first on top).
std::span<const ControlSpec<Form1Control>> form1Layout();
// What the controls built from `table` show, before the load changes anything.
DrawView form1FirstView(std::span<const ControlSpec<Form1Control>> table);

class Form1 : public Form {
public:
    explicit Form1(FormContext ctx);

    // The window's members; they outlive the window's widgets.
    DrawState &state() { return m_state; }
    const DrawState &state() const { return m_state; }
    const Controls<Form1Control> &controls() const { return m_controls; }

protected:
    void build(FormWindow &window) override;
    bool load() override;
    void teardown() override;
    void shown() override;
    Qt::WindowFlags extraWindowFlags() const override { return Qt::WindowStaysOnTopHint; }
    bool maximisable() const override { return true; }

private:
    void onOptionSelected(DrawOption option);
    void onDrawPressed();
    // Runs a step of the draw and sets only the properties it changed.
    template <class Step>
    void runStep(Step &&step);
    void showChanges(const DrawView &before);
    template <class T>
    T *control(Form1Control id) const { return m_controls.get<T>(id); }

    FormContext m_ctx;
    DrawState m_state;
    Controls<Form1Control> m_controls;
};

} // namespace qh
