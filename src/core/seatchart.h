#pragma once
// The seat chart's state and behaviour, without widgets: the roster lists, the
// seat order that hides a random arrangement of the chosen group under the
// numbered cards, and what each action does to the controls. The controls'
// run-time properties are kept as plain data in a SeatView, which the window
// copies to its widgets, so everything here can be exercised without a screen.

#include "core/roster.h"
#include "core/seatgeometry.h"
#include "core/colors.h"
#include "core/groups.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace qh {

class Clock;
class RandomSource;

// The students the chart holds, one per option button: the rows of kSeatGroups.
enum class SeatGroup { All, Boys, Girls };

inline const GroupSpec &groupSpec(SeatGroup group)
{
    return kSeatGroups[static_cast<std::size_t>(group)];
}

// The run-time properties of a card (Command1(s)).
struct CardView {
    bool visible = true;
    QString caption;
    Color back;
    int width = 0; // twips
    bool operator==(const CardView &) const = default;
};

// The run-time properties of a name label (Label1(s)).
struct NameLabelView {
    bool visible = true;
    QString caption;
    Color fore;
    bool operator==(const NameLabelView &) const = default;
};

// Everything about the window that its behaviour changes.
struct SeatView {
    QString windowCaption;
    QString banner;                       // Label2
    std::optional<SeatGroup> selected;    // none until the start selects 全体
    std::array<CardView, seat::kSeatCount> cards;
    std::array<NameLabelView, seat::kSeatCount> labels;

    bool operator==(const SeatView &) const = default;
};

// Card colours per group: the same colours as the option buttons.
inline Color cardColor(SeatGroup group)
{
    return groupSpec(group).color;
}

// Text colours of revealed names.
inline constexpr Color kLatestNameColor = colors::Red;
inline constexpr Color kEarlierNameColor = colors::DarkRed;

class SeatChart {
public:
    SeatChart(Clock &clock, RandomSource &random);

    using SeatOrder = std::array<std::int16_t, seat::kSeatCount + 1>;

    // ---- members of the window's state, kept for the life of the process ----
    const RosterLists &roster() const { return m_roster; } // allNames, boyNames, girlNames, 83 slots
    const SeatOrder &seatOrder() const { return m_seatOrder; } // slot 82 is never used
    int poolLast() const { return m_poolLast; } // last index of the group being arranged
    int lastSeat() const { return m_lastSeat; } // highest seat index, 81 once started

    // ---- the controls' properties ----
    const SeatView &view() const { return m_view; }
    // The window's controls were created afresh, showing `fresh` (their layout).
    void controlsCreated(const SeatView &fresh) { m_view = fresh; }

    // ---- actions ----
    // The window's start. loadRoster fills the roster; false means it ended the
    // process, and then the start stops at once (nothing dealt) and returns false.
    bool start(const std::function<bool(RosterLists &)> &loadRoster);
    // A change of the selected option: a new arrangement of that group.
    void chooseGroup(SeatGroup group);
    // 随机排列: a new arrangement of the selected group.
    void randomArrange();
    // A click on card `seat`: turn it over and show the name in the banner.
    void revealCard(int seat);
    // Every name label back to the colour of earlier names.
    void resetNameColors();

    // A fresh random order of seats 0..poolLast; every seat above keeps its index.
    void shuffleSeats();

    // The name list and last index a group covers.
    const std::vector<QString> &namesOf(SeatGroup group) const;
    int lastOf(SeatGroup group) const;
    // The name under card `seat` for the selected group ("" when none is selected).
    QString nameUnder(int seat) const;

private:
    // Deals names 0..last face down onto seats 0..last in seatOrder.
    void dealGroup(const std::vector<QString> &names, int last);
    // Hides every card and empties every name label.
    void clearSeats();
    void arrange(SeatGroup group);

    Clock &m_clock;
    RandomSource &m_random;
    RosterLists m_roster{kSeatChartRoster.slotCount};
    SeatOrder m_seatOrder{};
    int m_poolLast = -1;
    int m_lastSeat = 0;
    SeatView m_view;
};

} // namespace qh
