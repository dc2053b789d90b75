#pragma once
// The seat-chart window: 82 numbered cards over the names of a randomly
// arranged class, a banner for the latest name, and a bar to choose the group,
// draw a new arrangement, switch to the single-draw window or exit.

#include "core/seatchart.h"
#include "ui/controls.h"
#include "ui/form.h"

#include <array>

class QLabel;
class QPushButton;
class QRadioButton;

namespace qh {

// The window's controls, as its code finds them (the layout name stays the
// objectName).
enum class Form2Control { Card, NameLabel, Banner, Separator, Exit, ToSingleDraw, Arrange, AllOption, BoysOption,
                          GirlsOption };

// The window's layout: every card first (cards lie above the name labels),
// then the bottom bar, the banner, the separator and the name labels.
std::span<const ControlSpec<Form2Control>> form2Layout();
// What the controls built from `table` show, before the start changes anything.
SeatView firstView(std::span<const ControlSpec<Form2Control>> table);

inline constexpr int kForm2ClientWidth = 15090;
inline constexpr int kForm2ClientHeight = 8970;

class Form2 : public ViewForm<Form2Control, SeatView> {
public:
    explicit Form2(FormContext ctx);

    // The window's state: roster, seat order and the controls' properties.
    SeatChart &chart() { return m_chart; }
    const SeatChart &chart() const { return m_chart; }

protected:
    void build(FormWindow &window) override;
    bool load() override;
    void forgetControls() override;
    void shown() override;
    bool maximisable() const override { return true; }

private:
    void onCardClicked(int seat);
    void onGroupSelected(SeatGroup group);
    void onRandomArrange();
    void applyChanges(const SeatView &now, const SeatView &was) override;

    FormContext m_ctx;
    SeatChart m_chart;
    std::array<QPushButton *, seat::kSeatCount> m_cards{};
    std::array<QLabel *, seat::kSeatCount> m_labels{};
    std::array<QRadioButton *, kSeatGroups.size()> m_options{}; // Option1, Option2, Option3
    QLabel *m_banner = nullptr;
    bool m_applying = false; // selecting an option from the view is no user choice
};

} // namespace qh
