#include "core/drawstate.h"

#include "core/clock.h"
#include "core/random.h"

#include <algorithm>
#include <utility>

namespace qh {

QString countText(int count)
{
    // A count is written with a leading space where a sign would stand.
    return count < 0 ? QString::number(count) : QLatin1Char(' ') + QString::number(count);
}

QString totalCaption(int count)
{
    return QStringLiteral("共有") + countText(count) + QStringLiteral("人");
}

QString remainingCaption(int count)
{
    return QStringLiteral("还有") + countText(count) + QStringLiteral("人");
}

QString finishedCaption()
{
    return QStringLiteral("点完了");
}

QString repeatingCaption()
{
    return QStringLiteral("青禾抽签 人人平等");
}

DrawState::DrawState(const Clock &clock, RandomSource &random) : m_clock(clock), m_random(random)
{
    for (int i = 0; i < kSingleDrawSlots; ++i)
        m_drawOrder[static_cast<std::size_t>(i)] = i;
}

bool DrawState::load(const std::function<bool(RosterLists &)> &loadRoster)
{
    m_maxStudents = kSingleDrawRoster.limit;
    if (!loadRoster(m_lists))
        return false;
    m_view.allLastText = QString::number(m_lists.allLast);
    m_view.boyLastText = QString::number(m_lists.boyLast);
    m_view.girlLastText = QString::number(m_lists.girlLast);
    return true;
}

QString DrawState::groupName(DrawOption option, int slot) const
{
    const std::vector<QString> &names = namesIn(m_lists, modeSpec(option).list);
    if (slot < 0 || slot >= static_cast<int>(names.size()))
        return {};
    return names[static_cast<std::size_t>(slot)];
}

int DrawState::groupLast(DrawOption option) const
{
    return lastIn(m_lists, modeSpec(option).list);
}

void DrawState::shuffleDrawOrder()
{
    const int slotCount = std::clamp(m_maxStudents, 0, kSingleDrawSlots);
    for (int i = 0; i < slotCount; ++i)
        m_drawOrder[static_cast<std::size_t>(i)] = i;
    // Never past the slots that exist, whatever poolLast says.
    const int last = std::min(m_poolLast, slotCount - 1);
    for (int i = 0; i < last; ++i) {
        // A fresh reseed before every step, not once per shuffle.
        m_random.reseed(m_clock);
        const int j = m_random.nextIndex(i, last);
        std::swap(m_drawOrder[static_cast<std::size_t>(i)], m_drawOrder[static_cast<std::size_t>(j)]);
    }
}

bool DrawState::select(DrawOption option)
{
    if (m_view.selected == option)
        return false; // a click on the selected option keeps the pass in progress
    m_view.selected = option;
    m_view.text.clear();
    m_view.name.clear();
    if (option == DrawOption::Repeating) {
        // The pass of the previous mode is abandoned; order and lastPick stay.
        m_view.buttonCaption = repeatingCaption();
        m_view.buttonColor = modeColor(option);
        return true;
    }
    startPass(option);
    return true;
}

void DrawState::startPass(DrawOption option)
{
    const int last = groupLast(option);
    m_view.buttonCaption = totalCaption(last + 1);
    m_view.buttonColor = modeColor(option);
    m_poolLast = last;
    shuffleDrawOrder();
    m_drawPos = 0;
}

void DrawState::press()
{
    if (!m_view.selected)
        return;
    if (*m_view.selected == DrawOption::Repeating)
        repeatingDraw();
    else
        eachOnceDraw(*m_view.selected);
}

void DrawState::repeatingDraw()
{
    const int last = groupLast(DrawOption::Repeating);
    if (last < 0) {
        m_view.name.clear(); // nobody to show
        return;
    }
    m_random.reseed(m_clock);
    int pick = 0;
    if (last > 0) {
        // Redraw (without a new seed) until it differs from the previous student.
        do {
            pick = m_random.nextIndex(0, last);
        } while (m_lastPick && pick == *m_lastPick);
    }
    // With one student the rule cannot hold; that student is shown every time.
    m_lastPick = pick;
    m_view.name = groupName(DrawOption::Repeating, pick);
}

void DrawState::eachOnceDraw(DrawOption option)
{
    const int count = groupLast(option) + 1;
    if (m_drawPos < 0 || m_drawPos >= count) {
        // The pass is over (always so for an empty group): a new order, no name.
        startPass(option);
        m_view.name.clear();
        return;
    }
    m_view.name = groupName(option, m_drawOrder[static_cast<std::size_t>(m_drawPos)]);
    ++m_drawPos;
    const int remaining = count - m_drawPos;
    m_view.buttonCaption = remainingCaption(remaining);
    if (remaining == 0) {
        m_view.buttonCaption = finishedCaption();
        m_view.buttonColor = colors::ButtonFace;
    }
}

} // namespace qh
