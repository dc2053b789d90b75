#include "singledraw/drawstate.h"

#include "ui/clock.h"
#include "ui/random.h"

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

DrawView DrawView::created()
{
    DrawView v;
    v.name = QStringLiteral("赵钱孙李");
    v.buttonCaption = QStringLiteral("a");
    v.buttonColor = colors::LightPink;
    v.text = QStringLiteral("Text1\r\n");
    v.allLastText = QStringLiteral("Label4");
    v.boyLastText = QStringLiteral("Label5");
    v.girlLastText = QStringLiteral("Label6");
    return v;
}

DrawState::DrawState(const Clock &clock, RandomSource &random)
    : lists(kSingleDrawRoster.slotCount), m_clock(clock), m_random(random)
{
    for (int i = 0; i < kSingleDrawSlots; ++i)
        drawOrder[static_cast<std::size_t>(i)] = i;
}

void DrawState::rosterLoaded()
{
    view.allLastText = QString::number(lists.allLast);
    view.boyLastText = QString::number(lists.boyLast);
    view.girlLastText = QString::number(lists.girlLast);
}

QString DrawState::groupName(DrawOption option, int slot) const
{
    const std::vector<QString> &names = namesIn(lists, modeSpec(option).list);
    if (slot < 0 || slot >= static_cast<int>(names.size()))
        return {};
    return names[static_cast<std::size_t>(slot)];
}

int DrawState::groupLast(DrawOption option) const
{
    return lastIn(lists, modeSpec(option).list);
}

void DrawState::ShuffleDrawOrder()
{
    const int slotCount = std::clamp(maxStudents, 0, kSingleDrawSlots);
    for (int i = 0; i < slotCount; ++i)
        drawOrder[static_cast<std::size_t>(i)] = i;
    // Never past the slots that exist, whatever poolLast says.
    const int last = std::min(poolLast, slotCount - 1);
    for (int i = 0; i < last; ++i) {
        // A fresh reseed before every step, not once per shuffle.
        m_random.reseed(m_clock);
        const int j = m_random.nextIndex(i, last);
        std::swap(drawOrder[static_cast<std::size_t>(i)], drawOrder[static_cast<std::size_t>(j)]);
    }
}

bool DrawState::select(DrawOption option)
{
    if (view.selected == option)
        return false; // a click on the selected option keeps the pass in progress
    view.selected = option;
    view.text.clear();
    view.name.clear();
    if (option == DrawOption::Repeating) {
        // The pass of the previous mode is abandoned; order and lastPick stay.
        view.buttonCaption = repeatingCaption();
        view.buttonColor = modeColor(option);
        return true;
    }
    startPass(option);
    return true;
}

void DrawState::startPass(DrawOption option)
{
    const int last = groupLast(option);
    view.buttonCaption = totalCaption(last + 1);
    view.buttonColor = modeColor(option);
    poolLast = last;
    ShuffleDrawOrder();
    drawPos = 0;
}

void DrawState::press()
{
    if (!view.selected)
        return;
    if (*view.selected == DrawOption::Repeating)
        repeatingDraw();
    else
        eachOnceDraw(*view.selected);
}

void DrawState::repeatingDraw()
{
    const int last = groupLast(DrawOption::Repeating);
    if (last < 0) {
        view.name.clear(); // nobody to show
        return;
    }
    m_random.reseed(m_clock);
    int pick = 0;
    if (last > 0) {
        // Redraw (without a new seed) until it differs from the previous student.
        do {
            pick = m_random.nextIndex(0, last);
        } while (lastPick && pick == *lastPick);
    }
    // With one student the rule cannot hold; that student is shown every time.
    lastPick = pick;
    view.name = groupName(DrawOption::Repeating, pick);
}

void DrawState::eachOnceDraw(DrawOption option)
{
    const int count = groupLast(option) + 1;
    if (drawPos < 0 || drawPos >= count) {
        // The pass is over (always so for an empty group): a new order, no name.
        startPass(option);
        view.name.clear();
        return;
    }
    view.name = groupName(option, drawOrder[static_cast<std::size_t>(drawPos)]);
    ++drawPos;
    const int remaining = count - drawPos;
    view.buttonCaption = remainingCaption(remaining);
    if (remaining == 0) {
        view.buttonCaption = finishedCaption();
        view.buttonColor = colors::ButtonFace;
    }
}

} // namespace qh
