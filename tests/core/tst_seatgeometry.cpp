// Where the seats stand: the seat index of every grid cell, each card's and
// label's box, and that nothing runs into the banner or off the window.

#include "core/seatgeometry.h"

#include <QTest>

using namespace qh::seat;

namespace {

// The chart as the teacher sees it, top row first; -1 is the banner. Seat 0
// is at the bottom left, 78 at the top left, 81 at the top right.
constexpr int kSeatTable[kRows][kColumns] = {
    {78, 79, -1, -1, -1, -1, -1, -1, 80, 81},
    {74, 75, -1, -1, -1, -1, -1, -1, 76, 77},
    {70, 71, -1, -1, -1, -1, -1, -1, 72, 73},
    {60, 61, 62, 63, 64, 65, 66, 67, 68, 69},
    {50, 51, 52, 53, 54, 55, 56, 57, 58, 59},
    {40, 41, 42, 43, 44, 45, 46, 47, 48, 49},
    {30, 31, 32, 33, 34, 35, 36, 37, 38, 39},
    {20, 21, 22, 23, 24, 25, 26, 27, 28, 29},
    {10, 11, 12, 13, 14, 15, 16, 17, 18, 19},
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9},
};

constexpr int kClientWidth = 15090;
constexpr int kSeparatorTop = 8160;

// The seat at a grid cell (row 0 at the bottom), as the table above shows it.
int seatIn(int row, int column)
{
    return kSeatTable[kRows - 1 - row][column];
}

// Two boxes share some area.
bool overlap(const TwipRect &a, const TwipRect &b)
{
    return a.left < b.right() && b.left < a.right() && a.top < b.bottom() && b.top < a.bottom();
}

const SeatPlace &place(int seat)
{
    return seatPlaces()[static_cast<std::size_t>(seat)];
}

} // namespace

class TestSeatGeometry : public QObject {
    Q_OBJECT

private slots:
    void seatIndexTable()
    {
        int seen[kSeatCount] = {};
        for (int line = 0; line < kRows; ++line) {
            const int row = kRows - 1 - line;
            for (int column = 0; column < kColumns; ++column) {
                const int expected = kSeatTable[line][column];
                if (expected < 0)
                    continue;
                ++seen[expected];
                QCOMPARE(cellOf(expected), (Cell{row, column}));
                QCOMPARE(place(expected).cell, (Cell{row, column}));
            }
        }
        for (int s = 0; s < kSeatCount; ++s)
            QCOMPARE(seen[s], 1);
    }

    void seatBoxes_data()
    {
        QTest::addColumn<int>("seat");
        QTest::addColumn<int>("cardLeft");
        QTest::addColumn<int>("cardTop");
        QTest::addColumn<int>("cardWidth");
        QTest::addColumn<int>("labelLeft");
        QTest::addColumn<int>("labelTop");
        const auto row = [](int seat, int cardLeft, int cardTop, int cardWidth, int labelLeft, int labelTop) {
            QTest::addRow("seat %d", seat) << seat << cardLeft << cardTop << cardWidth << labelLeft << labelTop;
        };

        // The bottom row with its narrow cards and the three shifted ones.
        row(0, 240, 7440, 795, 360, 7560);
        row(1, 1710, 7440, 795, 1826, 7560);
        row(2, 3165, 7440, 795, 3292, 7560);
        row(3, 4635, 7440, 795, 4758, 7560);
        row(4, 6105, 7440, 800, 6224, 7560);
        row(5, 7575, 7440, 800, 7690, 7560);
        row(6, 9045, 7440, 795, 9156, 7560);
        row(7, 10515, 7440, 795, 10622, 7560);
        row(8, 11985, 7440, 795, 12088, 7560);
        row(9, 13440, 7440, 795, 13560, 7560);
        // Row 1: the side and middle label rows differ.
        row(10, 240, 6648, 800, 360, 6768);
        row(12, 3165, 6648, 800, 3292, 6773);
        row(16, 9030, 6648, 800, 9156, 6773);
        row(18, 11970, 6648, 800, 12088, 6768);
        row(27, 10500, 5862, 800, 10622, 5986);
        row(33, 4635, 5076, 800, 4758, 5199);
        row(39, 13440, 5076, 800, 13560, 5196);
        row(44, 6105, 4290, 800, 6224, 4412);
        row(55, 7575, 3504, 800, 7690, 3625);
        row(51, 1710, 3504, 800, 1826, 3624);
        row(62, 3165, 2718, 800, 3292, 2838);
        row(69, 13440, 2718, 800, 13560, 2838);
        // The short rows at the sides.
        row(70, 240, 1932, 800, 360, 2052);
        row(73, 13440, 1932, 800, 13560, 2052);
        row(75, 1710, 1146, 800, 1826, 1266);
        row(76, 11970, 1146, 800, 12088, 1266);
        row(78, 240, 360, 800, 360, 480);
        row(80, 11970, 360, 800, 12088, 480);
        row(81, 13440, 360, 800, 13560, 480);
    }

    void seatBoxes()
    {
        QFETCH(int, seat);
        QFETCH(int, cardLeft);
        QFETCH(int, cardTop);
        QFETCH(int, cardWidth);
        QFETCH(int, labelLeft);
        QFETCH(int, labelTop);
        const SeatPlace &p = place(seat);
        QCOMPARE(p.card, (TwipRect{cardLeft, cardTop, cardWidth, 550}));
        QCOMPARE(p.label, (TwipRect{labelLeft, labelTop, 1200, 405}));
    }

    void rowsAndColumnsAreRegular()
    {
        // Every card of a row shares its top edge, every card of a column (above row 0) its left edge,
        // and the rows are 786 apart except the bottom two, which are 792 apart.
        for (int s = 0; s < kSeatCount; ++s) {
            const SeatPlace &p = place(s);
            const SeatPlace &first = place(seatIn(p.cell.row, 0));
            QCOMPARE(p.card.top, first.card.top);
            if (p.cell.row > 0) {
                const SeatPlace &below = place(seatIn(p.cell.row - 1, p.cell.column));
                QCOMPARE(below.card.top - p.card.top, p.cell.row == 1 ? 792 : 786);
                QCOMPARE(p.card.width, 800);
            }
        }
    }

    void labelLiesUnderItsCard()
    {
        for (int s = 0; s < kSeatCount; ++s) {
            const SeatPlace &p = place(s);
            // About 120 right of and below the card's corner, within the card's height.
            QVERIFY2(qAbs(p.label.left - p.card.left - 120) <= 20, qPrintable(QString::number(s)));
            QVERIFY2(qAbs(p.label.top - p.card.top - 120) <= 20, qPrintable(QString::number(s)));
            QVERIFY(p.label.top >= p.card.top && p.label.bottom() <= p.card.bottom());
            // At the layout width part of the label shows beside the card; a dealt card hides it all.
            QVERIFY(p.card.right() < p.label.right());
            QVERIFY(p.card.left + kDealtCardWidth >= p.label.right());
        }
    }

    void bannerOverlapsNoSeat()
    {
        for (int s = 0; s < kSeatCount; ++s) {
            const SeatPlace &p = place(s);
            TwipRect dealt = p.card;
            dealt.width = kDealtCardWidth;
            QVERIFY2(!overlap(p.card, kBannerRect), qPrintable(QString::number(s)));
            QVERIFY2(!overlap(dealt, kBannerRect), qPrintable(QString::number(s)));
            QVERIFY2(!overlap(p.label, kBannerRect), qPrintable(QString::number(s)));
        }
        // The banner stands in the gap: from column 2 to column 7 of the short rows.
        QVERIFY(kBannerRect.left < place(62).card.right());
        QVERIFY(kBannerRect.right() > place(67).card.left);
        QVERIFY(kBannerRect.bottom() < place(62).card.top);
    }

    void seatsDoNotOverlapEachOtherAndStayOnTheWindow()
    {
        for (int a = 0; a < kSeatCount; ++a) {
            const SeatPlace &p = place(a);
            QVERIFY(p.card.left >= 0 && p.card.top >= 0);
            QVERIFY(p.card.left + kDealtCardWidth <= kClientWidth);
            QVERIFY(p.card.bottom() <= kSeparatorTop && p.label.bottom() <= kSeparatorTop);
            for (int b = a + 1; b < kSeatCount; ++b) {
                const SeatPlace &q = place(b);
                QVERIFY2(!overlap(p.card, q.card), qPrintable(QStringLiteral("%1/%2").arg(a).arg(b)));
                QVERIFY2(!overlap(p.label, q.label), qPrintable(QStringLiteral("%1/%2").arg(a).arg(b)));
                QVERIFY(!overlap(p.card, q.label) && !overlap(q.card, p.label));
            }
        }
    }
};

QTEST_APPLESS_MAIN(TestSeatGeometry)
#include "tst_seatgeometry.moc"
