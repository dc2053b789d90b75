#include "core/seatgeometry.h"

namespace qh::seat {

namespace {

constexpr int kCardLeft[kColumns] = {240, 1710, 3165, 4635, 6105, 7575, 9030, 10500, 11970, 13440};
constexpr int kCardTop[kRows] = {7440, 6648, 5862, 5076, 4290, 3504, 2718, 1932, 1146, 360};
constexpr int kCardWidth = 800;
constexpr int kCardHeight = 550;

constexpr int kLabelLeft[kColumns] = {360, 1826, 3292, 4758, 6224, 7690, 9156, 10622, 12088, 13560};
// The label rows were placed slightly differently at the sides and in the
// middle columns; the middle columns have no rows 7 to 9.
constexpr int kLabelTopSides[kRows] = {7560, 6768, 5982, 5196, 4410, 3624, 2838, 2052, 1266, 480};
constexpr int kLabelTopMiddle[kFullRows] = {7560, 6773, 5986, 5199, 4412, 3625, 2838};
constexpr int kLabelWidth = 1200;
constexpr int kLabelHeight = 405;

constexpr bool isSideColumn(int column)
{
    return column <= 1 || column >= 8;
}

TwipRect cardRect(Cell c)
{
    TwipRect r{kCardLeft[c.column], kCardTop[c.row], kCardWidth, kCardHeight};
    if (c.row == 0) {
        // The bottom row's cards are a little narrower, except the two in the
        // middle, and three of them stand a little further right.
        if (c.column != 4 && c.column != 5)
            r.width = 795;
        if (c.column >= 6 && c.column <= 8)
            r.left += 15;
    }
    return r;
}

TwipRect labelRect(Cell c)
{
    const int top = isSideColumn(c.column) ? kLabelTopSides[c.row] : kLabelTopMiddle[c.row];
    return {kLabelLeft[c.column], top, kLabelWidth, kLabelHeight};
}

std::array<SeatPlace, kSeatCount> computePlaces()
{
    std::array<SeatPlace, kSeatCount> places{};
    for (int s = 0; s < kSeatCount; ++s) {
        const Cell c = cellOf(s);
        places[static_cast<std::size_t>(s)] = {c, cardRect(c), labelRect(c)};
    }
    return places;
}

} // namespace

const std::array<SeatPlace, kSeatCount> &seatPlaces()
{
    static const std::array<SeatPlace, kSeatCount> places = computePlaces();
    return places;
}

} // namespace qh::seat
