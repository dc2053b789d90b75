#pragma once
// Where the 82 seats of the seat chart stand. The chart has ten columns and ten
// rows; row 0 is the bottom row. Rows 0 to 6 are full, rows 7 to 9 hold four
// seats each at the two sides, leaving the top middle to the banner.
// Positions are computed once from the column and row tables below (with the
// few irregular cards of the bottom row), never listed seat by seat.

#include <array>

namespace qh::seat {

inline constexpr int kSeatCount = 82;
inline constexpr int kLastSeat = kSeatCount - 1;
inline constexpr int kColumns = 10;
inline constexpr int kRows = 10;
inline constexpr int kFullRows = 7;        // rows 0..6 hold ten seats each
inline constexpr int kShortRowSeats = 4;   // rows 7..9 hold columns 0, 1, 8, 9

// Width of a dealt card: wide enough to hide the whole name label beneath it.
inline constexpr int kDealtCardWidth = 1500;

struct TwipRect {
    int left = 0, top = 0, width = 0, height = 0;
    constexpr int right() const { return left + width; }
    constexpr int bottom() const { return top + height; }
    constexpr bool operator==(const TwipRect &) const = default;
};

struct Cell {
    int row = 0;    // 0 = bottom row
    int column = 0; // 0 = left column
    constexpr bool operator==(const Cell &) const = default;
};

struct SeatPlace {
    Cell cell;
    TwipRect card;  // the numbered card at its layout width
    TwipRect label; // the name label under it
};

// Row and column of a seat (0..81).
constexpr Cell cellOf(int seat)
{
    if (seat < kFullRows * kColumns)
        return {seat / kColumns, seat % kColumns};
    constexpr int sideColumns[kShortRowSeats] = {0, 1, 8, 9};
    const int k = seat - kFullRows * kColumns;
    return {kFullRows + k / kShortRowSeats, sideColumns[k % kShortRowSeats]};
}

// The banner's box; no seat reaches into it.
inline constexpr TwipRect kBannerRect{3600, 360, 7815, 1935};

// Every seat's card and label, index = seat.
const std::array<SeatPlace, kSeatCount> &seatPlaces();

} // namespace qh::seat
