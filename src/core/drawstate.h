#pragma once
// The single-draw window's state: its roster lists, the shuffled order of the
// current pass and the previous repeating pick, plus what the window shows, as
// plain data. Lives for the whole process; the window only mirrors `view()`.

#include "core/roster.h"
#include "core/colors.h"
#include "core/groups.h"

#include <QString>

#include <array>
#include <functional>
#include <optional>

namespace qh {

class Clock;
class RandomSource;

// The four option buttons of the mode frame: the rows of kDrawModes.
enum class DrawOption { Repeating, All, Boys, Girls };

constexpr const GroupSpec &modeSpec(DrawOption option)
{
    return kDrawModes[static_cast<std::size_t>(option)];
}

inline constexpr int kSingleDrawSlots = kSingleDrawRoster.slotCount;

// Captions of the draw button.
QString countText(int count);        // " 45"; a negative count carries its minus sign instead
QString totalCaption(int count);     // 共有 45人
QString remainingCaption(int count); // 还有 44人
QString finishedCaption();           // 点完了
QString repeatingCaption();          // 青禾抽签 人人平等

// The back colour the draw button wears in a mode (also the option's own colour).
inline Color modeColor(DrawOption option)
{
    return modeSpec(option).color;
}

// The properties of the window's controls that the draw changes, as data.
struct DrawView {
    QString name;                // Label1
    QString buttonCaption;       // Command1
    Color buttonColor;         // Command1's back colour
    QString text;                // Text1
    QString allLastText;         // Label4
    QString boyLastText;         // Label5
    QString girlLastText;        // Label6
    std::optional<DrawOption> selected;

    bool operator==(const DrawView &) const = default;
};

class DrawState {
public:
    using DrawOrder = std::array<int, kSingleDrawSlots>;

    DrawState(const Clock &clock, RandomSource &random);

    // Roster, filled by LoadRoster.
    const RosterLists &lists() const { return m_lists; }
    int maxStudents() const { return m_maxStudents; }

    // The current pass: slot k holds the list index of the k-th name.
    const DrawOrder &drawOrder() const { return m_drawOrder; }
    int poolLast() const { return m_poolLast; }
    int drawPos() const { return m_drawPos; }
    // The student shown by the previous repeating draw; kept for the whole process.
    const std::optional<int> &lastPick() const { return m_lastPick; }

    const DrawView &view() const { return m_view; }

    // Fresh controls, showing `fresh` (their layout). Draw state stays.
    void controlsCreated(const DrawView &fresh) { m_view = fresh; }
    // The load's roster step: maxStudents becomes 82, then loadRoster fills the
    // lists and the hidden count labels show their last indices. False when the
    // loader failed (it has ended the process); the labels are then left alone.
    bool load(const std::function<bool(RosterLists &)> &loadRoster);
    // What the teacher typed into Text1, so that emptying it is never skipped
    // as "unchanged".
    void textTyped(const QString &text) { m_view.text = text; }

    // Selecting an option runs its selection steps only when it changes the
    // selection; returns whether it did. Each pass is a fresh shuffle with no
    // memory of the previous one.
    bool select(DrawOption option);
    // A press of the draw button.
    void press();

    // Identity order over all slots, then a front-to-back Fisher-Yates shuffle
    // of slots 0..poolLast, reseeding from the clock before every step.
    void shuffleDrawOrder();

    // The names list and last index of an each-once group.
    QString groupName(DrawOption option, int slot) const;
    int groupLast(DrawOption option) const;

private:
    void repeatingDraw();
    void eachOnceDraw(DrawOption option);
    void startPass(DrawOption option);

    const Clock &m_clock;
    RandomSource &m_random;
    RosterLists m_lists{kSingleDrawRoster.slotCount};
    int m_maxStudents = 0;
    DrawOrder m_drawOrder{};
    int m_poolLast = 0;
    int m_drawPos = 0;
    std::optional<int> m_lastPick;
    DrawView m_view;
};

} // namespace qh
