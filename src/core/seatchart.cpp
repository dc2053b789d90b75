#include "core/seatchart.h"

#include "core/captions.h"
#include "core/clock.h"
#include "core/random.h"

#include <algorithm>
#include <utility>

namespace qh {

namespace {

constexpr std::size_t at(int i)
{
    return static_cast<std::size_t>(i);
}

// A list entry, or empty text past the end of the list.
QString nameAt(const std::vector<QString> &names, int k)
{
    return k >= 0 && at(k) < names.size() ? names[at(k)] : QString();
}

} // namespace

SeatChart::SeatChart(Clock &clock, RandomSource &random) : m_clock(clock), m_random(random)
{
    for (std::size_t s = 0; s < m_seatOrder.size(); ++s)
        m_seatOrder[s] = static_cast<std::int16_t>(s);
}

const std::vector<QString> &SeatChart::namesOf(SeatGroup group) const
{
    return namesIn(m_roster, groupSpec(group).list);
}

int SeatChart::lastOf(SeatGroup group) const
{
    // The chart has 82 seats; a list is never allowed to reach past them.
    return std::clamp(lastIn(m_roster, groupSpec(group).list), -1, seat::kLastSeat);
}

QString SeatChart::nameUnder(int seat) const
{
    if (!m_view.selected || seat < 0 || seat > seat::kLastSeat)
        return {};
    const std::vector<QString> &names = namesOf(*m_view.selected);
    return nameAt(names, m_seatOrder[at(seat)]);
}

void SeatChart::shuffleSeats()
{
    const int last = std::min(m_lastSeat, seat::kLastSeat);
    for (int s = 0; s <= last; ++s)
        m_seatOrder[at(s)] = static_cast<std::int16_t>(s);
    const int pool = std::min(m_poolLast, last);
    // Forward Fisher-Yates; the generator takes the time of day again before
    // every single draw, so no two draws hang on one seed.
    for (int i = 0; i < pool; ++i) {
        m_random.reseed(m_clock);
        const int drawIndex = m_random.nextIndex(i, pool);
        std::swap(m_seatOrder[at(i)], m_seatOrder[at(drawIndex)]);
    }
}

void SeatChart::dealGroup(const std::vector<QString> &names, int last)
{
    last = std::min(last, seat::kLastSeat);
    for (int s = 0; s <= last; ++s) {
        CardView &card = m_view.cards[at(s)];
        card.visible = true;
        card.caption = QString::number(s + 1);
        NameLabelView &label = m_view.labels[at(s)];
        label.caption = nameAt(names, m_seatOrder[at(s)]);
        label.visible = false;
    }
}

void SeatChart::clearSeats()
{
    for (int s = 0; s <= std::min(m_lastSeat, seat::kLastSeat); ++s) {
        m_view.cards[at(s)].visible = false;
        m_view.labels[at(s)].caption.clear();
    }
}

bool SeatChart::start(const std::function<bool(RosterLists &)> &loadRoster)
{
    m_view.windowCaption = windowCaption();
    m_view.banner.clear();
    m_lastSeat = seat::kLastSeat;
    // Selecting 全体 empties the chart; nothing can be dealt before the roster is read.
    m_view.selected = SeatGroup::All;
    clearSeats();
    if (loadRoster && !loadRoster(m_roster))
        return false;
    const int n = lastOf(SeatGroup::All);
    m_poolLast = n;
    shuffleSeats();
    dealGroup(namesOf(SeatGroup::All), n);
    for (int s = 0; s <= n; ++s) {
        m_view.cards[at(s)].back = cardColor(SeatGroup::All);
        m_view.cards[at(s)].width = seat::kDealtCardWidth;
    }
    return true;
}

void SeatChart::arrange(SeatGroup group)
{
    m_poolLast = lastOf(group);
    shuffleSeats();
    dealGroup(namesOf(group), m_poolLast);
}

void SeatChart::chooseGroup(SeatGroup group)
{
    m_view.selected = group;
    clearSeats();
    arrange(group);
    for (int s = 0; s <= m_poolLast; ++s)
        m_view.cards[at(s)].back = cardColor(group);
    m_view.banner.clear();
}

void SeatChart::randomArrange()
{
    m_view.banner.clear();
    clearSeats();
    if (m_view.selected)
        arrange(*m_view.selected);
}

void SeatChart::resetNameColors()
{
    for (int s = 0; s <= std::min(m_lastSeat, seat::kLastSeat); ++s)
        m_view.labels[at(s)].fore = kEarlierNameColor;
}

void SeatChart::revealCard(int seat)
{
    // Only a face-down card can be turned over: a hidden card takes no click.
    if (seat < 0 || seat > seat::kLastSeat || !m_view.cards[at(seat)].visible)
        return;
    resetNameColors();
    if (m_view.selected)
        m_view.banner = nameUnder(seat);
    NameLabelView &label = m_view.labels[at(seat)];
    label.fore = kLatestNameColor;
    label.visible = true;
    m_view.cards[at(seat)].visible = false;
}

} // namespace qh
