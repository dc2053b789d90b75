// The draw of the single-draw window as plain data: passes, the repeating
// draw, the shuffle and the mode selections, without any widget.

#include "core/drawstate.h"
#include "shown.h"
#include "statistics.h"
#include "testhelpers.h"
#include "core/clock.h"
#include "core/random.h"

#include <QHash>
#include <QSet>
#include <QTest>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <vector>

using namespace qh;
using test::at;
using test::chiSquare;
using test::CountingClock;
using test::holdsPermutation;

Q_DECLARE_METATYPE(qh::DrawOption)

namespace {

// Chi-square critical values at p = 0.001.
constexpr double kChi2Df6 = 22.458;
constexpr double kChi2Df12 = 32.909;
constexpr double kChi2Df81 = 126.083;

// A class of boys 男生1.. then girls 女生1..: a group's names in file order,
// worked out here rather than read back from the state.
QStringList classNames(DrawOption group, int boys, int girls)
{
    QStringList out;
    for (int i = 1; group != DrawOption::Girls && i <= boys; ++i)
        out << QStringLiteral("男生%1").arg(i);
    for (int i = 1; group != DrawOption::Boys && i <= girls; ++i)
        out << QStringLiteral("女生%1").arg(i);
    return out;
}

// Loads a class, filling the lists the way LoadRoster leaves them. Slots
// above a list's end keep what an earlier load put there.
void loadClass(DrawState &s, int boys, int girls)
{
    const auto put = [](std::vector<QString> &list, int &last, const QStringList &names) {
        last = static_cast<int>(names.size()) - 1;
        std::copy(names.begin(), names.end(), list.begin());
    };
    QVERIFY(s.load([&](RosterLists &r) {
        put(r.allNames, r.allLast, classNames(DrawOption::All, boys, girls));
        put(r.boyNames, r.boyLast, classNames(DrawOption::Boys, boys, girls));
        put(r.girlNames, r.girlLast, classNames(DrawOption::Girls, boys, girls));
        return true;
    }));
}

// A draw state over a class, with a clock standing still and a seeded source.
struct Bench {
    FixedClock clock;
    RandomSource random;
    DrawState s{clock, random};
    Bench(int boys, int girls, std::uint64_t seed, double time = 0.0) : clock(time), random(seed)
    {
        loadClass(s, boys, girls);
    }
};

using Shown = test::Shown<Color>;

Shown shown(const DrawState &s)
{
    return {s.view().name, s.view().buttonCaption, s.view().buttonColor};
}

QString total(int n)
{
    return QStringLiteral("共有 %1人").arg(n);
}

// Slots 0..last of drawOrder hold 0..last once each; every slot above holds its own index.
bool isPermutation(const DrawState &s, int last)
{
    for (int i = std::max(last + 1, 0); i < kSingleDrawSlots; ++i)
        if (s.drawOrder()[at(i)] != i)
            return false;
    return holdsPermutation(s.drawOrder(), last + 1);
}

} // namespace

Q_DECLARE_METATYPE(Shown)

class TestDrawState : public QObject {
    Q_OBJECT

private slots:
    void captions()
    {
        // The other captions are checked where the draw shows them.
        QCOMPARE(countText(0), QStringLiteral(" 0"));
        QCOMPARE(countText(-1), QStringLiteral("-1")); // the sign takes the space's place
    }

    void selectionSteps_data()
    {
        QTest::addColumn<DrawOption>("option");
        QTest::addColumn<Shown>("expected");
        // Each mode's colour is its row of the mode table.
        const auto row = [](DrawOption option, const QString &caption) {
            QTest::newRow(modeSpec(option).caption) << option << Shown{{}, caption, modeSpec(option).color};
        };
        row(DrawOption::Repeating, QStringLiteral("青禾抽签 人人平等"));
        row(DrawOption::All, total(45));
        row(DrawOption::Boys, total(23));
        row(DrawOption::Girls, total(22));
    }

    void selectionSteps()
    {
        QFETCH(DrawOption, option);
        QFETCH(Shown, expected);
        Bench b(23, 22, 7, 100.0);
        DrawState &s = b.s;
        // Five names into a pass of another mode, and some typing in Text1.
        QVERIFY(s.select(option == DrawOption::All ? DrawOption::Boys : DrawOption::All));
        for (int press = 0; press < 5; ++press)
            s.press();
        QVERIFY(!s.view().name.isEmpty());
        s.textTyped(QStringLiteral("旧文字"));

        QVERIFY(s.select(option));
        QCOMPARE(s.view().selected, std::optional(option));
        QCOMPARE(s.view().text, QString());
        QCOMPARE(shown(s), expected);
        if (option != DrawOption::Repeating) { // a new pass over the group
            QCOMPARE(s.drawPos(), 0);
            QCOMPARE(s.poolLast(), classNames(option, 23, 22).size() - 1);
            QVERIFY(isPermutation(s, s.poolLast()));
        } else {
            QCOMPARE(s.drawPos(), 5);
        }
    }

    void repeatingSelectionLeavesThePass()
    {
        Bench b(5, 5, 11);
        DrawState &s = b.s;
        s.select(DrawOption::All);
        s.press();
        s.press();
        const auto order = s.drawOrder();
        s.textTyped(QStringLiteral("旧文字"));
        QVERIFY(s.select(DrawOption::Repeating));
        QCOMPARE(s.view().text, QString());
        QCOMPARE(s.view().name, QString());
        // Order and position stay as the abandoned pass left them.
        QVERIFY(s.drawOrder() == order);
        QCOMPARE(s.drawPos(), 2);
        QCOMPARE(s.poolLast(), 9);
    }

    void reselectingDoesNothing()
    {
        Bench b(10, 10, 3);
        DrawState &s = b.s;
        QVERIFY(s.select(DrawOption::All));
        s.press();
        s.press();
        const DrawView before = s.view();
        const auto order = s.drawOrder();
        QVERIFY(!s.select(DrawOption::All));
        QCOMPARE(s.drawPos(), 2);
        QVERIFY(s.view() == before);
        QVERIFY(s.drawOrder() == order);
    }

    void changingModeStartsNewPass()
    {
        Bench b(23, 22, 5);
        DrawState &s = b.s;
        s.select(DrawOption::All);
        for (int i = 0; i < 10; ++i)
            s.press();
        QCOMPARE(s.view().buttonCaption, QStringLiteral("还有 35人"));
        s.select(DrawOption::Boys);
        s.select(DrawOption::All);
        const Color colour = modeSpec(DrawOption::All).color;
        QCOMPARE(shown(s), (Shown{{}, total(45), colour}));
        QCOMPARE(s.drawPos(), 0);
        s.press();
        const QString first = classNames(DrawOption::All, 23, 22)[s.drawOrder()[0]];
        QCOMPARE(shown(s), (Shown{first, QStringLiteral("还有 44人"), colour}));
    }

    void pressWithoutSelection()
    {
        Bench b(3, 3, 5);
        const DrawView before = b.s.view();
        b.s.press();
        QVERIFY(b.s.view() == before);
        QVERIFY(!b.s.lastPick().has_value());
    }

    void rosterLabels()
    {
        Bench b(23, 0, 5); // loaded
        QCOMPARE(b.s.maxStudents(), 82);
        QCOMPARE(b.s.view().allLastText, QStringLiteral("22"));
        QCOMPARE(b.s.view().boyLastText, QStringLiteral("22"));
        QCOMPARE(b.s.view().girlLastText, QStringLiteral("-1"));
        // A loader that fails (it has ended the process) leaves the labels alone.
        QVERIFY(!b.s.load([](RosterLists &r) {
            r.allLast = 3;
            return false;
        }));
        QCOMPARE(b.s.view().allLastText, QStringLiteral("22"));
    }

    void passes_data()
    {
        QTest::addColumn<DrawOption>("mode");
        QTest::addColumn<int>("boys");
        QTest::addColumn<int>("girls");
        QTest::newRow("不重复, three students") << DrawOption::All << 2 << 1;
        QTest::newRow("男同学, three boys") << DrawOption::Boys << 3 << 4;
        QTest::newRow("女同学, three girls") << DrawOption::Girls << 5 << 3;
        QTest::newRow("男同学, a group of one") << DrawOption::Boys << 1 << 4;
        QTest::newRow("不重复, 45 students") << DrawOption::All << 23 << 22;
        QTest::newRow("不重复, a full roster of 82") << DrawOption::All << 41 << 41;
        // An empty group stays ready: every press blanks the name and shows 共有 0人.
        QTest::newRow("女同学 without girls") << DrawOption::Girls << 6 << 0;
        QTest::newRow("男同学 without boys") << DrawOption::Boys << 0 << 6;
        QTest::newRow("不重复, empty roster") << DrawOption::All << 0 << 0;
    }

    void passes()
    {
        // Two passes after the selection: each member once, in the order drawn for
        // the pass, counting down; the press after the last starts a new order.
        QFETCH(DrawOption, mode);
        QFETCH(int, boys);
        QFETCH(int, girls);
        const Color colour = modeSpec(mode).color;
        Bench b(boys, girls, 2024, 5000.5);
        DrawState &s = b.s;
        const QStringList group = classNames(mode, boys, girls);
        const int n = static_cast<int>(group.size());
        QVERIFY(s.select(mode));
        QCOMPARE(shown(s), (Shown{{}, total(n), colour}));

        for (int pass = 1; pass <= 2; ++pass) {
            const auto order = s.drawOrder();
            QStringList seen;
            for (int k = 1; k <= n; ++k) {
                const bool last = k == n;
                const Shown expected{group[order[at(k - 1)]],
                                     last ? QStringLiteral("点完了") : QStringLiteral("还有 %1人").arg(n - k),
                                     last ? colors::ButtonFace : colour};
                s.press();
                QCOMPARE(shown(s), expected);
                seen << s.view().name;
            }
            seen.sort();
            QStringList sortedGroup = group;
            sortedGroup.sort();
            QCOMPARE(seen, sortedGroup);

            s.press();
            QCOMPARE(shown(s), (Shown{{}, total(n), colour}));
            QCOMPARE(s.drawPos(), 0);
            QVERIFY(isPermutation(s, n - 1));
            if (n >= 10) // the same order again would mean no new shuffle (1 in 10! by chance)
                QVERIFY(s.drawOrder() != order);
        }
    }

    // Every pass is a fresh shuffle, however it begins: by the press after
    // "点完了", by coming back from another mode, or by reopening the window.
    // With two students both orders come up about equally often (fewer than 8
    // of 40 by chance: 2 in 100,000), and a pass may open with the name that
    // ended the one before.
    void twoStudentsBothOrders_data()
    {
        QTest::addColumn<DrawOption>("mode");
        QTest::addColumn<int>("boys");
        QTest::addColumn<int>("girls");
        QTest::addColumn<int>("how"); // 0: press after 点完了, 1: via 可重复, 2: reopened
        QTest::newRow("女同学, press after 点完了") << DrawOption::Girls << 3 << 2 << 0;
        QTest::newRow("不重复, back from 可重复") << DrawOption::All << 1 << 1 << 1;
        QTest::newRow("女同学, window reopened") << DrawOption::Girls << 3 << 2 << 2;
    }

    void twoStudentsBothOrders()
    {
        QFETCH(DrawOption, mode);
        QFETCH(int, boys);
        QFETCH(int, girls);
        QFETCH(int, how);
        Bench b(boys, girls, 4711, 1200.0);
        DrawState &s = b.s;
        const QStringList group = classNames(mode, boys, girls);
        QCOMPARE(group.size(), 2);
        QHash<QString, int> orders;
        int openedWithLastShown = 0;
        QString lastShown;
        for (int pass = 0; pass < 40; ++pass) {
            if (pass == 0 || how == 1) {
                s.select(DrawOption::Repeating);
                QVERIFY(s.select(mode));
            } else if (how == 2) {
                s.controlsCreated(DrawView{}); // the window's fresh controls select nothing
                QVERIFY(s.select(mode));
            } else {
                s.press(); // after 点完了: a new pass, no name
            }
            QStringList seen;
            for (int k = 0; k < 2; ++k) {
                s.press();
                seen << s.view().name;
            }
            QCOMPARE(QSet<QString>(seen.begin(), seen.end()), QSet<QString>(group.begin(), group.end()));
            openedWithLastShown += seen.first() == lastShown;
            lastShown = seen.last();
            ++orders[seen.join(u' ')];
        }
        QCOMPARE(orders.size(), 2);
        for (auto it = orders.cbegin(); it != orders.cend(); ++it)
            QVERIFY2(it.value() >= 8, qPrintable(QStringLiteral("%1: %2 of 40").arg(it.key()).arg(it.value())));
        QVERIFY(openedWithLastShown > 0);
    }

    // Over many passes of a class of four, the first name of a pass is
    // uniform whichever name ended the pass before: no memory across passes.
    void firstNameIndependentOfLastName()
    {
        constexpr int n = 4;
        constexpr int passes = 8000;
        Bench b(2, 2, 90210, 3000.0);
        DrawState &s = b.s;
        s.select(DrawOption::All);
        const QStringList group = classNames(DrawOption::All, 2, 2);
        std::vector<std::vector<int>> counts(n, std::vector<int>(n, 0)); // [last of previous][first]
        int previousLast = -1;
        for (int pass = 0; pass < passes; ++pass) {
            QStringList order;
            for (int k = 0; k < n; ++k) {
                s.press();
                order << s.view().name;
            }
            s.press(); // the next pass
            QCOMPARE(QSet<QString>(order.begin(), order.end()).size(), n);
            if (previousLast >= 0)
                ++counts[at(previousLast)][at(group.indexOf(order.first()))];
            previousLast = static_cast<int>(group.indexOf(order.last()));
        }
        // Each row against a uniform first name: 4 rows of 3 degrees of freedom.
        double chi2 = 0;
        for (const std::vector<int> &row : counts)
            chi2 += chiSquare(row, std::accumulate(row.begin(), row.end(), 0.0) / n);
        QVERIFY2(chi2 < kChi2Df12, qPrintable(QStringLiteral("chi2 = %1").arg(chi2)));
    }

    void repeatingNeverTwiceInARow_data()
    {
        QTest::addColumn<int>("boys");
        QTest::addColumn<int>("girls");
        QTest::addColumn<int>("presses");
        QTest::newRow("five students") << 3 << 2 << 2000;
        QTest::newRow("two students alternate") << 1 << 1 << 50;
    }

    void repeatingNeverTwiceInARow()
    {
        QFETCH(int, boys);
        QFETCH(int, girls);
        QFETCH(int, presses);
        // The clock stands still: a reseed that restarted the sequence would
        // cycle through two names instead of reaching everyone.
        Bench b(boys, girls, 77, 1.5);
        DrawState &s = b.s;
        const QStringList roster = classNames(DrawOption::All, boys, girls);
        s.select(DrawOption::All);
        s.press(); // one name into a pass, which the repeating draw must leave alone
        s.select(DrawOption::Repeating);
        const auto order = s.drawOrder();
        QString previous;
        QSet<QString> seen;
        for (int press = 0; press < presses; ++press) {
            s.press();
            QVERIFY2(roster.contains(s.view().name), qPrintable(s.view().name));
            QVERIFY2(s.view().name != previous, qPrintable(QStringLiteral("press %1").arg(press)));
            QCOMPARE(s.view().name, roster[*s.lastPick()]);
            previous = s.view().name;
            seen.insert(previous);
        }
        QCOMPARE(seen.size(), roster.size());
        // The repeating draw shows no count and leaves the pass alone.
        QCOMPARE(s.view().buttonCaption, QStringLiteral("青禾抽签 人人平等"));
        QCOMPARE(s.view().buttonColor, modeSpec(DrawOption::Repeating).color);
        QCOMPARE(s.drawPos(), 1);
        QVERIFY(s.drawOrder() == order);
    }

    void repeatingWithFewerThanTwo_data()
    {
        QTest::addColumn<int>("girls");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one student: always her") << 1 << QStringLiteral("女生1");
        QTest::newRow("nobody: no name") << 0 << QString();
    }

    void repeatingWithFewerThanTwo()
    {
        QFETCH(int, girls);
        QFETCH(QString, expected);
        // A pick and names left over from an earlier, larger roster change
        // nothing: the last pick was slot 0 (男生1), and the slots above the
        // new roster's end still hold the old names, as LoadRoster leaves them.
        Bench b(1, 2, 1);
        DrawState &s = b.s;
        s.select(DrawOption::Repeating);
        do
            s.press();
        while (*s.lastPick() != 0);
        QCOMPARE(s.view().name, QStringLiteral("男生1"));
        loadClass(s, 0, girls);
        for (int press = 0; press < 5; ++press) {
            s.press();
            QCOMPARE(s.view().name, expected);
        }
    }

    void repeatingAvoidsPickAcrossModeChange()
    {
        Bench b(2, 2, 31, 2.0);
        DrawState &s = b.s;
        // Many rounds: a lastPick lost on a mode change would repeat one time in four.
        for (int round = 0; round < 300; ++round) {
            s.select(DrawOption::Repeating);
            s.press();
            const QString shownBefore = s.view().name;
            s.select(round % 2 ? DrawOption::Boys : DrawOption::Girls);
            s.press();
            s.select(DrawOption::Repeating);
            s.press();
            QVERIFY2(s.view().name != shownBefore, qPrintable(QStringLiteral("round %1").arg(round)));
        }
    }

    void repeatingFirstDrawMayBeAnyone()
    {
        // Without a previous pick nobody is excluded, the first in the file included.
        FixedClock clock;
        RandomSource random(99);
        QSet<QString> firsts;
        for (int run = 0; run < 200; ++run) {
            DrawState s(clock, random);
            loadClass(s, 2, 2);
            s.select(DrawOption::Repeating);
            s.press();
            firsts.insert(s.view().name);
        }
        QCOMPARE(firsts.size(), 4);
        QVERIFY(firsts.contains(QStringLiteral("男生1")));
    }

    void reseedsOncePerRepeatingPress()
    {
        CountingClock clock;
        RandomSource random(8);
        DrawState s(clock, random);
        loadClass(s, 1, 1); // two students: many presses need a redraw, which takes no new seed
        s.select(DrawOption::Repeating);
        for (int press = 1; press <= 100; ++press) {
            s.press();
            QCOMPARE(clock.reads, press);
        }
    }

    void shuffle_data()
    {
        QTest::addColumn<int>("poolLast");
        QTest::newRow("empty group: identity") << -1;
        QTest::newRow("one student: identity") << 0;
        QTest::newRow("ten students") << 9;
        QTest::newRow("every slot") << 81;
    }

    void shuffle()
    {
        QFETCH(int, poolLast);
        CountingClock clock;
        RandomSource random(8);
        DrawState s(clock, random);
        // Scrambled first, by a pass over a full roster: every shuffle starts
        // again from the identity order.
        loadClass(s, 41, 41);
        s.select(DrawOption::All);
        QVERIFY(!std::is_sorted(s.drawOrder().begin(), s.drawOrder().end()));
        // Then a pass over poolLast + 1 students.
        loadClass(s, poolLast + 1, 0);
        s.select(DrawOption::Repeating);
        const int readsBefore = clock.reads;
        s.select(DrawOption::All);
        QCOMPARE(s.poolLast(), poolLast);
        QVERIFY(isPermutation(s, poolLast));
        // A reseed before every step i = 0 .. poolLast - 1.
        QCOMPARE(clock.reads - readsBefore, std::max(poolLast, 0));
    }

    void shuffleIsUniform()
    {
        // Every student lands on every position equally often.
        constexpr int n = 10;
        constexpr int rounds = 40000;
        FixedClock clock(777.0);
        RandomSource random(20240901);
        DrawState s(clock, random);
        loadClass(s, n, 0);
        s.select(DrawOption::All); // poolLast = n - 1
        std::vector<int> counts(n * n, 0); // student * n + position
        for (int r = 0; r < rounds; ++r) {
            s.shuffleDrawOrder();
            for (int pos = 0; pos < n; ++pos)
                ++counts[at(s.drawOrder()[at(pos)] * n + pos)];
        }
        // A permutation table has (n - 1)^2 degrees of freedom.
        const double chi2 = chiSquare(counts, double(rounds) / n);
        QVERIFY2(chi2 < kChi2Df81, qPrintable(QStringLiteral("chi2 = %1").arg(chi2)));
    }

    void repeatingIsUniformOverOthers()
    {
        // After each student, the next press picks every other student equally often.
        constexpr int n = 7;
        constexpr int draws = 14000; // per previous student, about
        Bench b(4, 3, 4242, 888.0);
        DrawState &s = b.s;
        s.select(DrawOption::Repeating);
        s.press();
        std::vector<std::vector<int>> counts(n, std::vector<int>(n, 0)); // [previous][next]
        for (int d = 0; d < n * draws; ++d) {
            const int previous = *s.lastPick();
            s.press();
            ++counts[at(previous)][at(*s.lastPick())];
        }
        for (int previous = 0; previous < n; ++previous) {
            std::vector<int> &row = counts[at(previous)];
            QCOMPARE(row[at(previous)], 0);
            row.erase(row.begin() + previous);
            const double total = std::accumulate(row.begin(), row.end(), 0.0);
            const double chi2 = chiSquare(row, total / (n - 1));
            QVERIFY2(chi2 < kChi2Df6, qPrintable(QStringLiteral("previous %1: chi2 = %2").arg(previous).arg(chi2)));
        }
    }
};

QTEST_GUILESS_MAIN(TestDrawState)
#include "tst_drawstate.moc"
