// The seat chart's behaviour without widgets: the start, the group choices,
// 随机排列 and the card reveal, checked on the state and on the view the
// window copies to its controls.

#include "core/seatchart.h"
#include "seatchart_support.h"
#include "core/captions.h"
#include "core/clock.h"
#include "core/random.h"

#include <QSet>
#include <QTest>

#include <algorithm>
#include <functional>
#include <vector>

using namespace qh;
using namespace qh::test;

namespace {

// Fresh controls as far as these tests look: every card as wide as its seat.
SeatView freshView()
{
    SeatView v;
    for (int s = 0; s < seat::kSeatCount; ++s)
        v.cards[at(s)].width = seat::seatPlaces()[at(s)].card.width;
    return v;
}

// A chart with its own clock and random source, started on a class.
struct Bench {
    FixedClock clock{40000.25};
    RandomSource random{12345};
    SeatChart chart{clock, random};
    QList<Student> cls;

    // Started on `students`, loaded by `load` (by default as the loader would).
    explicit Bench(const QList<Student> &students, std::function<void(RosterLists &)> load = {}) : cls(students)
    {
        chart.controlsCreated(freshView());
        const bool ok = chart.start([&](RosterLists &r) {
            if (load)
                load(r);
            else
                fillRoster(r, cls);
            return true;
        });
        QVERIFY(ok);
    }
    QStringList names(SeatGroup group) const { return groupNames(cls, group); }
    int last(SeatGroup group) const { return static_cast<int>(names(group).size()) - 1; }
    // The name a reveal of `seat` must show: the group's entry at seatOrder(seat).
    QString nameUnder(SeatGroup group, int seat) const { return names(group)[chart.seatOrder()[at(seat)]]; }
};

std::vector<int> orderOf(const SeatChart &c)
{
    return {c.seatOrder().begin(), c.seatOrder().begin() + seat::kSeatCount};
}

// Everything a dealing of `group` promises, as the view and the state show it.
// Returns an empty string when all holds, else what failed.
QString dealingFaults(const Bench &b, SeatGroup group)
{
    const SeatChart &c = b.chart;
    const SeatView &v = c.view();
    const QStringList names = b.names(group);
    const int n = b.last(group);
    if (v.selected != group)
        return QStringLiteral("wrong option selected");
    if (!v.banner.isEmpty())
        return QStringLiteral("banner not empty");
    if (c.poolLast() != n)
        return QStringLiteral("poolLast %1, expected %2").arg(c.poolLast()).arg(n);
    if (!holdsPermutation(c.seatOrder(), n + 1))
        return QStringLiteral("seatOrder(0..%1) is no permutation").arg(n);
    QSet<QString> shown;
    for (int s = 0; s < seat::kSeatCount; ++s) {
        const CardView &card = v.cards[at(s)];
        const NameLabelView &label = v.labels[at(s)];
        if (s <= n) {
            if (!card.visible || card.caption != QString::number(s + 1))
                return QStringLiteral("card %1 not face up numbered").arg(s);
            if (card.back != groupSpec(group).color)
                return QStringLiteral("card %1 has the wrong colour").arg(s);
            if (label.visible)
                return QStringLiteral("name %1 shows").arg(s);
            if (label.caption != b.nameUnder(group, s))
                return QStringLiteral("name %1 is not the one at seatOrder").arg(s);
            shown.insert(label.caption);
        } else {
            if (c.seatOrder()[at(s)] != s)
                return QStringLiteral("seatOrder(%1) is not its own index").arg(s);
            if (card.visible)
                return QStringLiteral("card %1 above the group shows").arg(s);
            if (!label.caption.isEmpty())
                return QStringLiteral("label %1 above the group holds text").arg(s);
        }
    }
    for (const QString &name : names)
        if (!shown.contains(name))
            return QStringLiteral("%1 lies under no card").arg(name);
    if (shown.size() != n + 1)
        return QStringLiteral("names repeat");
    if (c.seatOrder()[82] != 82)
        return QStringLiteral("slot 82 of seatOrder was touched");
    return {};
}

int redCount(const SeatView &v)
{
    return static_cast<int>(std::count_if(v.labels.begin(), v.labels.end(),
                                          [](const NameLabelView &l) { return l.fore == colors::Red; }));
}

} // namespace

class TestSeatChart : public QObject {
    Q_OBJECT

private slots:
    void storedCaption()
    {
        QCOMPARE(seatChartStoredCaption(), QStringLiteral("青禾抽签  作者 林远舟   ") + makerAddress() + QStringLiteral(" "));
    }

    void start_data() { classSizeRows(); }
    void start()
    {
        QFETCH(int, students);
        Bench b(makeClass(students));
        const SeatChart &c = b.chart;
        const int n = std::min(students, 82) - 1;
        QCOMPARE(c.view().windowCaption, loadedWindowCaption());
        QCOMPARE(c.lastSeat(), 81);
        QH_VERIFY_NO_FAULT(dealingFaults(b, SeatGroup::All));
        for (int s = 0; s < seat::kSeatCount; ++s) {
            const int expectedWidth = s <= n ? 1500 : seat::seatPlaces()[at(s)].card.width;
            QCOMPARE(c.view().cards[at(s)].width, expectedWidth);
            // Undealt seats keep the label visibility of a fresh window; only their text is gone.
            if (s > n)
                QVERIFY(c.view().labels[at(s)].visible);
        }
    }

    void startEmptiesTheChartBeforeReadingTheRoster()
    {
        // Reopened after a visit to 男生; the roster then fails, so what the
        // start did before reading it is all there is: no shuffle, nothing dealt.
        Bench b(makeClass(30));
        SeatChart &c = b.chart;
        c.chooseGroup(SeatGroup::Boys);
        c.controlsCreated(freshView());
        const auto orderBefore = orderOf(c);
        QVERIFY(!c.start([](RosterLists &) { return false; }));
        QCOMPARE(orderOf(c), orderBefore);
        QCOMPARE(c.view().windowCaption, loadedWindowCaption());
        QCOMPARE(c.view().banner, QString());
        QCOMPARE(c.view().selected, std::optional<SeatGroup>(SeatGroup::All));
        QCOMPARE(c.lastSeat(), 81);
        for (int s = 0; s < seat::kSeatCount; ++s) {
            QVERIFY(!c.view().cards[at(s)].visible);
            QVERIFY(c.view().labels[at(s)].caption.isEmpty());
        }
    }

    void groupChoice_data()
    {
        QTest::addColumn<int>("students");
        QTest::addColumn<int>("boyEvery");
        QTest::newRow("45, every other a boy") << 45 << 2;
        QTest::newRow("45, every third a boy") << 45 << 3;
        QTest::newRow("boys only") << 12 << 1;
        QTest::newRow("girls only") << 12 << 0;
        QTest::newRow("one boy, one girl") << 2 << 2;
        QTest::newRow("empty roster") << 0 << 2;
        QTest::newRow("82 students") << 82 << 2;
        QTest::newRow("90 students") << 90 << 2;
    }

    void groupChoice()
    {
        // Every choice deals its group afresh, empty groups included, and
        // leaves the widths the start gave.
        QFETCH(int, students);
        QFETCH(int, boyEvery);
        Bench b(makeClass(students, boyEvery));
        SeatChart &c = b.chart;
        const SeatView started = c.view();
        const auto startOrder = orderOf(c);
        for (SeatGroup g : {SeatGroup::Boys, SeatGroup::Girls, SeatGroup::All, SeatGroup::Girls, SeatGroup::Boys,
                            SeatGroup::All}) {
            c.revealCard(0); // whatever was turned over goes face down again
            c.chooseGroup(g);
            QH_VERIFY_NO_FAULT(dealingFaults(b, g));
            for (int s = 0; s < seat::kSeatCount; ++s)
                QCOMPARE(c.view().cards[at(s)].width, started.cards[at(s)].width);
        }
        // Back in 全体 the arrangement is new; the same one again among ten
        // or more students would mean no shuffle (1 in 10! by chance).
        if (b.last(SeatGroup::All) >= 9)
            QVERIFY(orderOf(c) != startOrder);
    }

    void emptyGroupLeavesNothingToClick()
    {
        Bench b(makeClass(10, 0)); // girls only
        SeatChart &c = b.chart;
        c.chooseGroup(SeatGroup::Boys);
        c.randomArrange();
        QH_VERIFY_NO_FAULT(dealingFaults(b, SeatGroup::Boys)); // every card hidden, every label empty
        const SeatView before = c.view();
        c.revealCard(0); // a hidden card takes no click
        QCOMPARE(c.view(), before);
        c.chooseGroup(SeatGroup::All);
        QH_VERIFY_NO_FAULT(dealingFaults(b, SeatGroup::All));
    }

    void randomArrange_data() { groupRows(); }
    void randomArrange()
    {
        QFETCH(SeatGroup, group);
        Bench b(makeClass(45, 3));
        SeatChart &c = b.chart;
        c.chooseGroup(group);
        c.revealCard(4);
        c.revealCard(1);
        const SeatView before = c.view();
        const auto orderBefore = orderOf(c);
        c.randomArrange();
        QH_VERIFY_NO_FAULT(dealingFaults(b, group)); // face down, numbered from 1, banner empty, colour kept
        QVERIFY(orderOf(c) != orderBefore);
        for (int s = 0; s < seat::kSeatCount; ++s) {
            QCOMPARE(c.view().cards[at(s)].width, before.cards[at(s)].width);
            QCOMPARE(c.view().cards[at(s)].back, before.cards[at(s)].back);
            // Text colours stay as the last reveal left them.
            QCOMPARE(c.view().labels[at(s)].fore, before.labels[at(s)].fore);
        }
        // The next reveal starts afresh: one name shows, and it alone in red.
        c.revealCard(10);
        QCOMPARE(c.view().banner, b.nameUnder(group, 10));
        const int n = b.last(group);
        QCOMPARE(std::count_if(c.view().labels.begin(), c.view().labels.begin() + n + 1,
                               [](const NameLabelView &l) { return l.visible; }),
                 1);
        QCOMPARE(redCount(c.view()), 1);
        QCOMPARE(c.view().labels[10].fore, colors::Red);
    }

    void revealEveryCard_data() { groupRows(); }
    void revealEveryCard()
    {
        QFETCH(SeatGroup, group);
        Bench b(makeClass(45, 3));
        SeatChart &c = b.chart;
        c.chooseGroup(group);
        const int n = b.last(group);
        const SeatView dealt = c.view();
        // Odd seats up, then even seats down: neither seat order nor its reverse.
        std::vector<int> clicks;
        for (int s = 1; s <= n; s += 2)
            clicks.push_back(s);
        for (int s = n - n % 2; s >= 0; s -= 2)
            clicks.push_back(s);
        for (int s : clicks) {
            c.revealCard(s);
            QCOMPARE(c.view().banner, b.nameUnder(group, s));
            QVERIFY(c.view().labels[at(s)].visible);
            QVERIFY(!c.view().cards[at(s)].visible);
            QCOMPARE(c.view().labels[at(s)].caption, b.nameUnder(group, s));
            // Every other label turns dark red, whether it shows or not; the
            // labels above the group keep their visibility.
            for (int t = 0; t < seat::kSeatCount; ++t) {
                QCOMPARE(c.view().labels[at(t)].fore, t == s ? colors::Red : colors::DarkRed);
                if (t > n)
                    QCOMPARE(c.view().labels[at(t)].visible, dealt.labels[at(t)].visible);
            }
        }
        QStringList shown;
        QStringList expected;
        for (int s = 0; s <= n; ++s) {
            QVERIFY(c.view().labels[at(s)].visible);
            shown.append(c.view().labels[at(s)].caption);
            expected.append(b.names(group)[s]);
        }
        shown.sort();
        expected.sort();
        QCOMPARE(shown, expected);
    }

    void revealChangesNothingElse()
    {
        Bench b(makeClass(45, 3));
        SeatChart &c = b.chart;
        c.chooseGroup(SeatGroup::Boys);
        const SeatView before = c.view();
        const auto order = orderOf(c);
        c.revealCard(5);
        QCOMPARE(orderOf(c), order);
        QCOMPARE(c.view().selected, before.selected);
        for (int s = 0; s < seat::kSeatCount; ++s) {
            if (s == 5)
                continue;
            QCOMPARE(c.view().cards[at(s)], before.cards[at(s)]);
            QCOMPARE(c.view().labels[at(s)].visible, before.labels[at(s)].visible);
            QCOMPARE(c.view().labels[at(s)].caption, before.labels[at(s)].caption);
        }
    }

    void revealIgnoresSeatsThatCannotBeClicked_data()
    {
        QTest::addColumn<int>("seat");
        QTest::newRow("hidden card above the group") << 20;
        QTest::newRow("card already turned over") << 3;
        QTest::newRow("below the array") << -1;
        QTest::newRow("above the array") << 82;
    }

    void revealIgnoresSeatsThatCannotBeClicked()
    {
        QFETCH(int, seat);
        Bench b(makeClass(20));
        SeatChart &c = b.chart;
        c.revealCard(3);
        c.revealCard(9);
        const SeatView before = c.view();
        c.revealCard(seat);
        QCOMPARE(c.view(), before);
    }

    void rosterLongerThanTheChartIsCut()
    {
        // Lists claiming more than 82 names never deal past seat 81.
        const QList<Student> cls = makeClass(83, 0);
        Bench b(cls, [&cls](RosterLists &r) {
            for (int k = 0; k < 83; ++k)
                r.allNames[at(k)] = cls[k].name;
            r.allLast = 82;
        });
        QCOMPARE(b.chart.poolLast(), 81);
        QH_VERIFY_NO_FAULT(dealingFaults(b, SeatGroup::All));
    }
};

QTEST_APPLESS_MAIN(TestSeatChart)
#include "tst_seatchart.moc"
