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
DrawView firstView(std::span<const ControlSpec<Form1Control>> table);

class Form1 : public ViewForm<Form1Control, DrawView> {
public:
    explicit Form1(FormContext ctx);

    // The window's members; they outlive the window's widgets.
    DrawState &state() { return m_state; }
    const DrawState &state() const { return m_state; }

protected:
    void build(FormWindow &window) override;
    bool load() override;
    void shown() override;
    Qt::WindowFlags extraWindowFlags() const override { return Qt::WindowStaysOnTopHint; }
    bool maximisable() const override { return true; }

private:
    void onOptionSelected(DrawOption option);
    void onDrawPressed();
    // Runs a step of the draw and shows the view it leaves.
    template <class Step>
    void runStep(Step &&step);
    void applyChanges(const DrawView &now, const DrawView &was) override;

    FormContext m_ctx;
    DrawState m_state;
};

} // namespace qh
