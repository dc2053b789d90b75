// ShuffleSeats: the exact draws it makes, that a clock standing still does not
// freeze it, and that its arrangements are uniform (chi-square, fixed seeds).

#include "core/seatchart.h"
#include "seatchart_support.h"
#include "statistics.h"
#include "core/clock.h"
#include "core/random.h"

#include <QTest>

#include <algorithm>
#include <map>
#include <vector>

using namespace qh;
using namespace qh::test;

namespace {

// Starts the chart on a class of n, so that every ShuffleSeats arranges all n.
void startOn(SeatChart &c, int n)
{
    QVERIFY(c.start([n](RosterLists &r) {
        fillRoster(r, makeClass(n));
        return true;
    }));
}

std::vector<int> shuffled(SeatChart &c)
{
    c.shuffleSeats();
    return {c.seatOrder().begin(), c.seatOrder().begin() + c.poolLast() + 1};
}

} // namespace

class TestSeatShuffle : public QObject {
    Q_OBJECT

private slots:
    void drawsExactlyAsDescribed_data()
    {
        QTest::addColumn<int>("poolLast");
        QTest::newRow("empty group") << -1;
        QTest::newRow("one student") << 0;
        QTest::newRow("two students") << 1;
        QTest::newRow("ten students") << 9;
        QTest::newRow("full chart") << 81;
    }

    void drawsExactlyAsDescribed()
    {
        QFETCH(int, poolLast);
        CountingClock clock(3600.5);
        RandomSource random(99);
        SeatChart c(clock, random);
        // A full chart of 82 first, its order scrambled by the start; then the
        // boys, students 1..poolLast + 1, are arranged.
        QList<Student> cls = makeClass(82, 0);
        for (int k = 0; k <= poolLast; ++k)
            cls[k].boy = true;
        QVERIFY(c.start([&cls](RosterLists &r) {
            fillRoster(r, cls);
            return true;
        }));
        // Every shuffle must start again from seat order 0, 1, 2, ...
        QVERIFY(!std::is_sorted(c.seatOrder().begin(), c.seatOrder().begin() + seat::kSeatCount));
        RandomSource twin = random;
        const int readsBefore = clock.reads;
        c.chooseGroup(SeatGroup::Boys);

        // The same steps by hand on a twin source: a reseed before every draw, then an exchange.
        FixedClock twinClock(3600.5);
        std::vector<int> expected(seat::kSeatCount);
        for (int s = 0; s < seat::kSeatCount; ++s)
            expected[at(s)] = s;
        for (int i = 0; i < poolLast; ++i) {
            twin.reseed(twinClock);
            const int drawn = twin.nextIndex(i, poolLast);
            QVERIFY(drawn >= i && drawn <= poolLast);
            std::swap(expected[at(i)], expected[at(drawn)]);
        }
        for (int s = 0; s < seat::kSeatCount; ++s)
            QCOMPARE(int(c.seatOrder()[at(s)]), expected[at(s)]);
        QCOMPARE(c.seatOrder()[82], std::int16_t(82));
        QCOMPARE(clock.reads - readsBefore, std::max(poolLast, 0)); // one reseed per draw, none for 0 or 1 students
        // The sources are in step afterwards: no hidden extra draws.
        QCOMPARE(random.next64(), twin.next64());
    }

    void clockStandingStillStillGivesNewArrangements()
    {
        FixedClock clock(43210.0); // every reseed reads the very same time
        RandomSource random(1);
        SeatChart c(clock, random);
        startOn(c, 45);
        const std::vector<int> first = shuffled(c);
        const std::vector<int> second = shuffled(c);
        QVERIFY(first != second);
        // Nor do the single draws repeat step by step.
        int equalSteps = 0;
        for (int i = 0; i < 45; ++i)
            equalSteps += first[at(i)] == second[at(i)] ? 1 : 0;
        QVERIFY(equalSteps < 10);
    }

    void allPermutationsOfFourEquallyOften()
    {
        FixedClock clock(30000.0);
        RandomSource random(2024);
        SeatChart c(clock, random);
        startOn(c, 4);
        constexpr int kRuns = 24000;
        std::map<std::vector<int>, long> seen;
        for (int k = 0; k < kRuns; ++k)
            ++seen[shuffled(c)];
        QCOMPARE(int(seen.size()), 24);
        std::vector<long> counts;
        for (const auto &[perm, count] : seen)
            counts.push_back(count);
        // 23 degrees of freedom, p = 0.001: 49.73.
        const double x = chiSquare(counts, kRuns / 24.0);
        QVERIFY2(x < 49.73, qPrintable(QString::number(x)));
    }

    void everyStudentEquallyLikelyAtEverySeat()
    {
        constexpr int kStudents = 45;
        constexpr int kRuns = 9000; // 200 expected per student and seat
        FixedClock clock(50000.125);
        RandomSource random(777);
        SeatChart c(clock, random);
        startOn(c, kStudents);
        std::vector<std::vector<long>> counts(kStudents, std::vector<long>(kStudents, 0));
        for (int k = 0; k < kRuns; ++k) {
            const std::vector<int> order = shuffled(c);
            for (int s = 0; s < kStudents; ++s)
                ++counts[at(s)][at(order[at(s)])];
        }
        const double expected = double(kRuns) / kStudents;
        double total = 0;
        for (int s = 0; s < kStudents; ++s) {
            // Each seat alone: 44 degrees of freedom at p = 0.001/45 (Bonferroni over the seats): 93.13.
            const double x = chiSquare(counts[at(s)], expected);
            QVERIFY2(x < 93.13, qPrintable(QStringLiteral("seat %1: %2").arg(s).arg(x)));
            total += x;
        }
        // The whole table: for uniform permutations the sum is 45/44 times a chi-square with 44*44
        // degrees of freedom, whose p = 0.001 point is 2134.0.
        QVERIFY2(total < 45.0 / 44.0 * 2134.0, qPrintable(QString::number(total)));
    }
};

QTEST_APPLESS_MAIN(TestSeatShuffle)
#include "tst_seatshuffle.moc"
