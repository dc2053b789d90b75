// The random source: reseeding folds into the state, and indices stay exactly
// within [i, n] at the boundaries.

#include "statistics.h"
#include "core/clock.h"
#include "core/random.h"

#include <QTest>

#include <cmath>
#include <limits>
#include <vector>

using qh::RandomSource;

class TestRandom : public QObject {
    Q_OBJECT
private slots:
    void reseedWithSameTimeContinuesSequence()
    {
        RandomSource r(42);
        r.reseed(1234.5);
        const auto a = r.next64();
        r.reseed(1234.5);
        const auto b = r.next64();
        QVERIFY(a != b);

        // Two reseeds in a row without a draw between must not cancel out.
        RandomSource s(42), t(42);
        s.reseed(10.0);
        s.reseed(10.0);
        QVERIFY(s.next64() != t.next64());
    }

    void reseedFromFrozenClockStillVaries()
    {
        qh::FixedClock clock(36000.25);
        RandomSource r(7);
        std::vector<int> draws;
        for (int k = 0; k < 50; ++k) {
            r.reseed(clock);
            draws.push_back(r.nextIndex(0, 44));
        }
        int changes = 0;
        for (size_t k = 1; k < draws.size(); ++k)
            changes += draws[k] != draws[k - 1];
        QVERIFY2(changes > 30, "a frozen clock must not freeze the draws");
    }

    void sameSeedSameSequence()
    {
        RandomSource a(99), b(99), c(100);
        for (int k = 0; k < 10; ++k) {
            const auto x = a.next64();
            QCOMPARE(b.next64(), x);
            Q_UNUSED(c.next64());
        }
        RandomSource d(99), e(100);
        QVERIFY(d.next64() != e.next64());
    }

    void indexFromBits_data()
    {
        QTest::addColumn<quint32>("bits");
        QTest::addColumn<int>("i");
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("expected");
        const quint32 top = std::numeric_limits<quint32>::max();
        QTest::newRow("u=0 gives i") << quint32(0) << 3 << 81 << 3;
        QTest::newRow("largest u gives n, never n+1") << top << 0 << 81 << 81;
        QTest::newRow("largest u, single slot") << top << 5 << 5 << 5;
        QTest::newRow("half of two") << quint32(0x80000000u) << 0 << 1 << 1;
        QTest::newRow("just under half of two") << quint32(0x7FFFFFFFu) << 0 << 1 << 0;
        QTest::newRow("thirds, first boundary") << quint32(0x55555556u) << 0 << 2 << 1;
        QTest::newRow("thirds, just under") << quint32(0x55555555u) << 0 << 2 << 0;
        QTest::newRow("huge span, top") << top << 0 << std::numeric_limits<int>::max() - 1
                                        << std::numeric_limits<int>::max() - 1;
    }
    void indexFromBits()
    {
        QFETCH(quint32, bits);
        QFETCH(int, i);
        QFETCH(int, n);
        QFETCH(int, expected);
        QCOMPARE(RandomSource::indexFromBits(bits, i, n), expected);
    }

    void indexUniform()
    {
        // Chi-square over 10 cells, 9 degrees of freedom: 27.88 is the 0.001 critical value.
        RandomSource r(2024);
        constexpr int cells = 10, draws = 100000;
        std::vector<int> count(cells, 0);
        for (int k = 0; k < draws; ++k) {
            const int x = r.nextIndex(0, cells - 1);
            QVERIFY(x >= 0 && x < cells);
            ++count[size_t(x)];
        }
        const double chi = qh::test::chiSquare(count, double(draws) / cells);
        QVERIFY2(chi < 27.88, qPrintable(QString::number(chi)));
    }
};

QTEST_GUILESS_MAIN(TestRandom)
#include "tst_random.moc"
