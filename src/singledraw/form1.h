#pragma once
// The single-draw window: one large name display, the draw button and the
// frame of four draw modes. It keeps itself above other applications' windows.

#include "core/drawstate.h"
#include "ui/controls.h"
#include "ui/form.h"

#include <span>

class QLabel;
class QPlainTextEdit;
class QRadioButton;

namespace qh {

class ColorButton;

// The window's layout, rows in stacking order (first on top).
std::span<const ControlSpec> form1Layout();

class Form1 : public Form {
public:
    explicit Form1(FormContext ctx);

    // The window's members; they outlive the window's widgets.
    DrawState &state() { return m_state; }
    const DrawState &state() const { return m_state; }
    const Controls &controls() const { return m_controls; }

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

    FormContext m_ctx;
    DrawState m_state;
    Controls m_controls;
    QLabel *m_name = nullptr;          // Label1
    ColorButton *m_draw = nullptr;     // Command1
    QPlainTextEdit *m_text = nullptr;  // Text1
    QLabel *m_allLast = nullptr;       // Label4
    QLabel *m_boyLast = nullptr;       // Label5
    QLabel *m_girlLast = nullptr;      // Label6
    QWidget *m_toSeatChart = nullptr;  // Command2
};

} // namespace qh
