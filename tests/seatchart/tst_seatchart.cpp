// The seat chart's behaviour without widgets: the start, the group choices,
// 随机排列 and the card reveal, checked on the state and on the view the
// window copies to its controls.

#include "seatchart/seatchart.h"
#include "seatchart_support.h"
#include "ui/captions.h"
#include "ui/clock.h"
#include "ui/random.h"

#include <QSet>
#include <QTest>

#include <algorithm>
#include <vector>

using namespace qh;
using namespace qh::test;

Q_DECLARE_METATYPE(qh::SeatGroup)

namespace {

constexpr std::size_t at(int i)
{
    return static_cast<std::size_t>(i);
}

// A chart with its own clock and random source, started on a class.
struct Bench {
    FixedClock clock{40000.25};
    RandomSource random{12345};
    SeatChart chart{clock, random};

    explicit Bench(const QList<Student> &cls) { start(cls); }
    void start(const QList<Student> &cls)
    {
        chart.ControlsCreated();
        const bool ok = chart.Start([&cls](RosterLists &r) {
            fillRoster(r, cls);
            return true;
        });
        QVERIFY(ok);
    }
};

std::vector<int> orderOf(const SeatChart &c)
{
    return {c.seatOrder.begin(), c.seatOrder.begin() + seat::kSeatCount};
}

// Everything a dealing of `group` promises, as the view and the state show it.
// Returns an empty string when all holds, else what failed.
QString dealingFaults(const SeatChart &c, SeatGroup group)
{
    const SeatView &v = c.view();
    const std::vector<QString> &names = c.namesOf(group);
    const int n = c.lastOf(group);
    if (v.selected != group)
        return QStringLiteral("wrong option selected");
    if (!v.banner.isEmpty())
        return QStringLiteral("banner not empty");
    if (c.poolLast != n)
        return QStringLiteral("poolLast %1, expected %2").arg(c.poolLast).arg(n);
    std::vector<int> order(c.seatOrder.begin(), c.seatOrder.begin() + n + 1);
    std::sort(order.begin(), order.end());
    for (int k = 0; k <= n; ++k)
        if (order[at(k)] != k)
            return QStringLiteral("seatOrder(0..%1) is no permutation").arg(n);
    QSet<QString> shown;
    for (int s = 0; s < seat::kSeatCount; ++s) {
        const CardView &card = v.cards[at(s)];
        const NameLabelView &label = v.labels[at(s)];
        if (s <= n) {
            if (!card.visible || card.caption != QString::number(s + 1))
                return QStringLiteral("card %1 not face up numbered").arg(s);
            if (card.back != cardColor(group))
                return QStringLiteral("card %1 has the wrong colour").arg(s);
            if (label.visible)
                return QStringLiteral("name %1 shows").arg(s);
            if (label.caption != names[at(c.seatOrder[at(s)])])
                return QStringLiteral("name %1 is not the one at seatOrder").arg(s);
            shown.insert(label.caption);
        } else {
            if (c.seatOrder[at(s)] != s)
                return QStringLiteral("seatOrder(%1) is not its own index").arg(s);
            if (card.visible)
                return QStringLiteral("card %1 above the group shows").arg(s);
            if (!label.caption.isEmpty())
                return QStringLiteral("label %1 above the group holds text").arg(s);
        }
    }
    for (int k = 0; k <= n; ++k)
        if (!shown.contains(names[at(k)]))
            return QStringLiteral("%1 lies under no card").arg(names[at(k)]);
    if (shown.size() != n + 1)
        return QStringLiteral("names repeat");
    return {};
}

#define QVERIFY_DEALT(chart, group)                                                                                \
    do {                                                                                                           \
        const QString fault = dealingFaults(chart, group);                                                         \
        QVERIFY2(fault.isEmpty(), qPrintable(fault));                                                              \
    } while (false)

int redCount(const SeatView &v)
{
    return static_cast<int>(std::count_if(v.labels.begin(), v.labels.end(),
                                          [](const NameLabelView &l) { return l.fore == kLatestNameColor; }));
}

} // namespace

class TestSeatChart : public QObject {
    Q_OBJECT

private slots:
    void designTimeView()
    {
        const SeatView v = SeatView::designTime();
        QCOMPARE(v.windowCaption, QStringLiteral("青禾抽签  作者 林远舟   ") + makerAddress() + QStringLiteral(" "));
        QCOMPARE(v.banner, QStringLiteral("赵钱孙李"));
        QVERIFY(!v.selected.has_value());
        for (int s = 0; s < seat::kSeatCount; ++s) {
            QVERIFY(v.cards[at(s)].visible && v.labels[at(s)].visible);
            QCOMPARE(v.cards[at(s)].caption, QStringLiteral("23"));
            QCOMPARE(v.labels[at(s)].caption, QStringLiteral("赵钱孙李"));
            QCOMPARE(v.cards[at(s)].width, seat::seatPlaces()[at(s)].card.width);
        }
    }

    void start_data()
    {
        QTest::addColumn<int>("students");
        QTest::newRow("empty roster") << 0;
        QTest::newRow("one student") << 1;
        QTest::newRow("two students") << 2;
        QTest::newRow("45 students") << 45;
        QTest::newRow("81 students") << 81;
        QTest::newRow("82 students") << 82;
        QTest::newRow("100 students, first 82 kept") << 100;
    }

    void start()
    {
        QFETCH(int, students);
        Bench b(makeClass(students));
        const SeatChart &c = b.chart;
        const int n = std::min(students, 82) - 1;
        QCOMPARE(c.view().windowCaption, windowCaption());
        QCOMPARE(c.lastSeat, 81);
        QCOMPARE(c.lastOf(SeatGroup::All), n);
        QVERIFY_DEALT(c, SeatGroup::All);
        for (int s = 0; s < seat::kSeatCount; ++s) {
            const int expectedWidth = s <= n ? seat::kDealtCardWidth : seat::seatPlaces()[at(s)].card.width;
            QCOMPARE(c.view().cards[at(s)].width, expectedWidth);
            // Undealt seats keep the label visibility of a fresh window; only their text is gone.
            if (s > n)
                QVERIFY(c.view().labels[at(s)].visible);
        }
        QCOMPARE(c.seatOrder[82], std::int16_t(82)); // slot 82 is never touched
    }

    void startEmptiesTheChartBeforeReadingTheRoster()
    {
        FixedClock clock(1.0);
        RandomSource random(7);
        SeatChart c(clock, random);
        c.ControlsCreated();
        bool called = false;
        QVERIFY(c.Start([&](RosterLists &r) {
            called = true;
            const SeatView &v = c.view();
            [&] {
                QCOMPARE(v.windowCaption, windowCaption());
                QCOMPARE(v.banner, QString());
                QCOMPARE(v.selected, std::optional<SeatGroup>(SeatGroup::All));
                QCOMPARE(c.lastSeat, 81);
                for (int s = 0; s < seat::kSeatCount; ++s) {
                    QVERIFY(!v.cards[at(s)].visible);
                    QVERIFY(v.labels[at(s)].caption.isEmpty());
                }
            }();
            fillRoster(r, makeClass(3));
            return true;
        }));
        QVERIFY(called);
        QVERIFY_DEALT(c, SeatGroup::All);
    }

    void startStopsWhenTheRosterFails()
    {
        Bench b(makeClass(30));
        b.chart.ChooseGroup(SeatGroup::Boys);
        b.chart.ControlsCreated(); // the window is opened again
        const auto orderBefore = orderOf(b.chart);
        QVERIFY(!b.chart.Start([](RosterLists &) { return false; }));
        QCOMPARE(orderOf(b.chart), orderBefore); // no shuffle, nothing dealt
        for (const CardView &card : b.chart.view().cards)
            QVERIFY(!card.visible);
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
        QFETCH(int, students);
        QFETCH(int, boyEvery);
        Bench b(makeClass(students, boyEvery));
        SeatChart &c = b.chart;
        const SeatView started = c.view();
        for (SeatGroup g : {SeatGroup::Boys, SeatGroup::Girls, SeatGroup::All, SeatGroup::Girls, SeatGroup::Boys,
                            SeatGroup::All}) {
            c.RevealCard(0); // whatever was turned over goes face down again
            c.ChooseGroup(g);
            QVERIFY_DEALT(c, g);
            // Group choices leave the widths the start gave.
            for (int s = 0; s < seat::kSeatCount; ++s)
                QCOMPARE(c.view().cards[at(s)].width, started.cards[at(s)].width);
        }
        QCOMPARE(c.seatOrder[82], std::int16_t(82));
    }

    void allBoysAllIsANewArrangementInLightBlue()
    {
        Bench b(makeClass(45));
        SeatChart &c = b.chart;
        const auto first = orderOf(c);
        c.ChooseGroup(SeatGroup::Boys);
        for (int s = 0; s <= c.lastOf(SeatGroup::Boys); ++s)
            QCOMPARE(c.view().cards[at(s)].back, colors::LightGreen);
        c.ChooseGroup(SeatGroup::All);
        QVERIFY_DEALT(c, SeatGroup::All);
        for (int s = 0; s <= 44; ++s)
            QCOMPARE(c.view().cards[at(s)].back, colors::LightBlue);
        QVERIFY(orderOf(c) != first);
    }

    void emptyGroupLeavesNothingToClick()
    {
        Bench b(makeClass(10, 0)); // girls only
        SeatChart &c = b.chart;
        c.RevealCard(0);
        c.ChooseGroup(SeatGroup::Boys);
        QVERIFY_DEALT(c, SeatGroup::Boys);
        c.RandomArrange();
        QVERIFY_DEALT(c, SeatGroup::Boys);
        for (int s = 0; s < seat::kSeatCount; ++s) {
            QVERIFY(!c.view().cards[at(s)].visible);
            QVERIFY(c.view().labels[at(s)].caption.isEmpty());
        }
        const SeatView before = c.view();
        c.RevealCard(0); // a hidden card takes no click
        QCOMPARE(c.view(), before);
        c.ChooseGroup(SeatGroup::All);
        QVERIFY_DEALT(c, SeatGroup::All);
    }

    void randomArrange_data()
    {
        QTest::addColumn<SeatGroup>("group");
        QTest::newRow("全体") << SeatGroup::All;
        QTest::newRow("男生") << SeatGroup::Boys;
        QTest::newRow("女生") << SeatGroup::Girls;
    }

    void randomArrange()
    {
        QFETCH(SeatGroup, group);
        Bench b(makeClass(45, 3));
        SeatChart &c = b.chart;
        c.ChooseGroup(group);
        c.RevealCard(4);
        c.RevealCard(1);
        const SeatView before = c.view();
        const auto orderBefore = orderOf(c);
        c.RandomArrange();
        QVERIFY_DEALT(c, group); // face down, numbered from 1, banner empty, group's colour kept
        QVERIFY(orderOf(c) != orderBefore);
        for (int s = 0; s < seat::kSeatCount; ++s) {
            QCOMPARE(c.view().cards[at(s)].width, before.cards[at(s)].width);
            QCOMPARE(c.view().cards[at(s)].back, before.cards[at(s)].back);
            // Text colours stay as the last reveal left them.
            QCOMPARE(c.view().labels[at(s)].fore, before.labels[at(s)].fore);
        }
    }

    void firstAndSecondReveal()
    {
        Bench b(makeClass(30));
        SeatChart &c = b.chart;
        c.RevealCard(0); // the card reading "1"
        const QString first = c.roster.allNames[at(c.seatOrder[0])];
        QCOMPARE(c.view().banner, first);
        QCOMPARE(c.view().labels[0].caption, first);
        QVERIFY(c.view().labels[0].visible);
        QCOMPARE(c.view().labels[0].fore, kLatestNameColor);
        QVERIFY(!c.view().cards[0].visible);
        // Every other label was reset, visible or not.
        for (int s = 1; s < seat::kSeatCount; ++s) {
            QCOMPARE(c.view().labels[at(s)].fore, kEarlierNameColor);
            QCOMPARE(c.view().labels[at(s)].visible, s >= 30);
        }

        c.RevealCard(16);
        const QString second = c.roster.allNames[at(c.seatOrder[16])];
        QCOMPARE(c.view().banner, second);
        QVERIFY(c.view().labels[0].visible);
        QCOMPARE(c.view().labels[0].fore, kEarlierNameColor);
        QCOMPARE(c.view().labels[16].fore, kLatestNameColor);
        QCOMPARE(redCount(c.view()), 1);
    }

    void revealEveryCard_data()
    {
        QTest::addColumn<SeatGroup>("group");
        QTest::newRow("全体") << SeatGroup::All;
        QTest::newRow("男生") << SeatGroup::Boys;
        QTest::newRow("女生") << SeatGroup::Girls;
    }

    void revealEveryCard()
    {
        QFETCH(SeatGroup, group);
        Bench b(makeClass(45, 3));
        SeatChart &c = b.chart;
        c.ChooseGroup(group);
        const int n = c.lastOf(group);
        // In an order that is neither seat order nor its reverse.
        std::vector<int> clicks;
        for (int s = 0; s <= n; ++s)
            clicks.push_back((s * 7) % (n + 1));
        std::sort(clicks.begin(), clicks.end());
        clicks.erase(std::unique(clicks.begin(), clicks.end()), clicks.end());
        for (int s = 0; s <= n; ++s)
            if (!std::binary_search(clicks.begin(), clicks.end(), s))
                clicks.push_back(s);
        std::rotate(clicks.begin(), clicks.begin() + (n + 1) / 2, clicks.end());
        for (int s : clicks) {
            c.RevealCard(s);
            // The banner shows the name the group's list holds at seatOrder(s).
            QCOMPARE(c.view().banner, c.namesOf(group)[at(c.seatOrder[at(s)])]);
        }
        QStringList shown;
        for (int s = 0; s <= n; ++s) {
            const NameLabelView &l = c.view().labels[at(s)];
            QVERIFY(l.visible);
            QVERIFY(!c.view().cards[at(s)].visible);
            QCOMPARE(l.fore, s == clicks.back() ? kLatestNameColor : kEarlierNameColor);
            shown.append(l.caption);
        }
        QStringList expected;
        for (int k = 0; k <= n; ++k)
            expected.append(c.namesOf(group)[at(k)]);
        shown.sort();
        expected.sort();
        QCOMPARE(shown, expected);
        QCOMPARE(c.view().banner, c.view().labels[at(clicks.back())].caption);
    }

    void revealChangesNothingElse()
    {
        Bench b(makeClass(45, 3));
        SeatChart &c = b.chart;
        c.ChooseGroup(SeatGroup::Boys);
        const SeatView before = c.view();
        const auto order = orderOf(c);
        c.RevealCard(5);
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
        c.RevealCard(3);
        c.RevealCard(9);
        const SeatView before = c.view();
        c.RevealCard(seat);
        QCOMPARE(c.view(), before);
    }

    void revealAfterANewArrangementStartsAfresh()
    {
        Bench b(makeClass(25));
        SeatChart &c = b.chart;
        c.RevealCard(1);
        c.RevealCard(2);
        c.RevealCard(3);
        c.RandomArrange();
        QCOMPARE(c.view().banner, QString());
        c.RevealCard(10);
        int visibleNames = 0;
        for (int s = 0; s <= 24; ++s)
            visibleNames += c.view().labels[at(s)].visible ? 1 : 0;
        QCOMPARE(visibleNames, 1);
        QCOMPARE(redCount(c.view()), 1);
        QCOMPARE(c.view().labels[10].fore, kLatestNameColor);
        QCOMPARE(c.view().banner, c.roster.allNames[at(c.seatOrder[10])]);
    }

    void rosterLongerThanTheChartIsCut()
    {
        // Lists claiming more than 82 names never deal past seat 81.
        FixedClock clock(5.0);
        RandomSource random(3);
        SeatChart c(clock, random);
        c.ControlsCreated();
        QVERIFY(c.Start([](RosterLists &r) {
            for (int k = 0; k < 83; ++k)
                r.allNames[at(k)] = QStringLiteral("名%1").arg(k);
            r.allLast = 82;
            return true;
        }));
        QCOMPARE(c.poolLast, 81);
        QVERIFY_DEALT(c, SeatGroup::All);
        QCOMPARE(c.seatOrder[82], std::int16_t(82));
    }
};

QTEST_APPLESS_MAIN(TestSeatChart)
#include "tst_seatchart.moc"
