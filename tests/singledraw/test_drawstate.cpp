// The draw of the single-draw window as plain data: passes, the repeating
// draw, the shuffle and the mode selections, without any widget.

#include "singledraw/drawstate.h"
#include "ui/clock.h"
#include "ui/random.h"

#include <QSet>
#include <QTest>

#include <algorithm>
#include <numeric>
#include <vector>

using namespace qh;

namespace {

// Chi-square critical values at p = 0.001.
constexpr double kChi2Df6 = 22.458;
constexpr double kChi2Df81 = 126.083;

// A clock that counts how often it is read, to prove where the draw reseeds.
class CountingClock final : public Clock {
public:
    double secondsSinceMidnight() const override
    {
        ++reads;
        return 36000.25;
    }
    mutable int reads = 0;
};

struct Student {
    QString name;
    bool boy;
};

// boys boys, then girls girls, named B1.. and G1.. so a name tells its group.
std::vector<Student> makeClass(int boys, int girls)
{
    std::vector<Student> out;
    for (int i = 1; i <= boys; ++i)
        out.push_back({QStringLiteral("男生%1").arg(i), true});
    for (int i = 1; i <= girls; ++i)
        out.push_back({QStringLiteral("女生%1").arg(i), false});
    return out;
}

// Fills the lists the way LoadRoster leaves them.
void fill(DrawState &s, const std::vector<Student> &students)
{
    int all = 0, boys = 0, girls = 0;
    for (const Student &st : students) {
        s.lists.allNames[all++] = st.name;
        if (st.boy)
            s.lists.boyNames[boys++] = st.name;
        else
            s.lists.girlNames[girls++] = st.name;
    }
    s.lists.allLast = all - 1;
    s.lists.boyLast = boys - 1;
    s.lists.girlLast = girls - 1;
    s.maxStudents = kSingleDrawSlots;
}

QStringList groupNames(const DrawState &s, DrawOption option)
{
    QStringList out;
    for (int k = 0; k <= s.groupLast(option); ++k)
        out << s.groupName(option, k);
    return out;
}

bool isPermutation(const DrawState &s, int last)
{
    std::vector<int> head(s.drawOrder.begin(), s.drawOrder.begin() + last + 1);
    std::sort(head.begin(), head.end());
    for (int i = 0; i <= last; ++i)
        if (head[static_cast<std::size_t>(i)] != i)
            return false;
    for (int i = last + 1; i < kSingleDrawSlots; ++i)
        if (s.drawOrder[static_cast<std::size_t>(i)] != i)
            return false;
    return true;
}

} // namespace

class TestDrawState : public QObject {
    Q_OBJECT

private slots:
    void captions();
    void selectionSteps_data();
    void selectionSteps();
    void repeatingSelectionKeepsPass();
    void reselectingDoesNothing();
    void changingModeStartsNewPass();
    void pressWithoutSelection();
    void rosterLabels();

    void workedPass_data();
    void workedPass();
    void wholeClassPass();
    void emptyGroup_data();
    void emptyGroup();
    void groupOfOne();

    void repeatingNeverTwiceInARow();
    void repeatingAvoidsPickAcrossModeChange();
    void repeatingTwoStudentsAlternate();
    void repeatingOneStudent();
    void repeatingNoStudent();
    void repeatingFirstDrawMayBeAnyone();
    void repeatingVariesWithStillClock();

    void reseedsBeforeEveryShuffleStep();
    void reseedsOncePerRepeatingPress();
    void shuffleIdentityForSmallPools_data();
    void shuffleIdentityForSmallPools();
    void shuffleStartsFromIdentity();
    void shuffleCoversFullRoster();
    void shuffleVariesWithStillClock();

    void shuffleIsUniform();
    void repeatingIsUniformOverOthers();
};

void TestDrawState::captions()
{
    QCOMPARE(countText(45), QStringLiteral(" 45"));
    QCOMPARE(countText(0), QStringLiteral(" 0"));
    QCOMPARE(countText(-1), QStringLiteral("-1"));
    QCOMPARE(totalCaption(45), QStringLiteral("共有 45人"));
    QCOMPARE(remainingCaption(44), QStringLiteral("还有 44人"));
    QCOMPARE(finishedCaption(), QStringLiteral("点完了"));
    QCOMPARE(repeatingCaption(), QStringLiteral("青禾抽签 人人平等"));
    QCOMPARE(modeColor(DrawOption::Repeating), colors::LightRed);
    QCOMPARE(modeColor(DrawOption::All), colors::LightBlue);
    QCOMPARE(modeColor(DrawOption::Boys), colors::LightGreen);
    QCOMPARE(modeColor(DrawOption::Girls), colors::LightPink);

    const DrawView created = DrawView::created();
    QCOMPARE(created.name, QStringLiteral("赵钱孙李"));
    QCOMPARE(created.text, QStringLiteral("Text1\r\n"));
    QCOMPARE(created.buttonColor, colors::LightPink);
    QVERIFY(!created.selected.has_value());
}

void TestDrawState::selectionSteps_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<quint32>("color");
    QTest::newRow("可重复") << 1 << QStringLiteral("青禾抽签 人人平等") << colors::LightRed.value;
    QTest::newRow("不重复") << 2 << QStringLiteral("共有 45人") << colors::LightBlue.value;
    QTest::newRow("男同学") << 3 << QStringLiteral("共有 23人") << colors::LightGreen.value;
    QTest::newRow("女同学") << 4 << QStringLiteral("共有 22人") << colors::LightPink.value;
}

void TestDrawState::selectionSteps()
{
    QFETCH(int, option);
    QFETCH(QString, caption);
    QFETCH(quint32, color);
    FixedClock clock(100.0);
    RandomSource random(7);
    DrawState s(clock, random);
    fill(s, makeClass(23, 22));
    s.view.name = QStringLiteral("旧名字");
    s.drawPos = 5;

    QVERIFY(s.select(static_cast<DrawOption>(option)));
    QCOMPARE(s.view.selected, std::optional(static_cast<DrawOption>(option)));
    QCOMPARE(s.view.text, QString());
    QCOMPARE(s.view.name, QString());
    QCOMPARE(s.view.buttonCaption, caption);
    QCOMPARE(s.view.buttonColor, VbColor{color});
    if (option == 1) {
        QCOMPARE(s.drawPos, 5); // the repeating mode leaves the pass state alone
    } else {
        const int last = s.groupLast(static_cast<DrawOption>(option));
        QCOMPARE(s.drawPos, 0);
        QCOMPARE(s.poolLast, last);
        QVERIFY(isPermutation(s, last));
    }
}

void TestDrawState::repeatingSelectionKeepsPass()
{
    FixedClock clock;
    RandomSource random(11);
    DrawState s(clock, random);
    fill(s, makeClass(5, 5));
    s.select(DrawOption::All);
    s.press();
    s.press();
    const auto order = s.drawOrder;
    s.view.text = QStringLiteral("旧文字");
    QVERIFY(s.select(DrawOption::Repeating));
    QCOMPARE(s.view.text, QString());
    QCOMPARE(s.view.name, QString());
    // Order and position stay as the abandoned pass left them.
    QVERIFY(s.drawOrder == order);
    QCOMPARE(s.drawPos, 2);
    QCOMPARE(s.poolLast, 9);
    s.press();
    const std::optional<int> pick = s.lastPick;
    QVERIFY(pick.has_value());
    s.select(DrawOption::Boys);
    s.select(DrawOption::Repeating);
    QCOMPARE(s.lastPick, pick); // never cleared by a mode change
    QCOMPARE(s.view.buttonCaption, QStringLiteral("青禾抽签 人人平等"));
    QCOMPARE(s.view.buttonColor, colors::LightRed);
}

void TestDrawState::reselectingDoesNothing()
{
    FixedClock clock;
    RandomSource random(3);
    DrawState s(clock, random);
    fill(s, makeClass(10, 10));
    QVERIFY(s.select(DrawOption::All));
    s.press();
    s.press();
    const DrawView before = s.view;
    const auto order = s.drawOrder;
    QVERIFY(!s.select(DrawOption::All));
    QCOMPARE(s.drawPos, 2);
    QVERIFY(s.view == before);
    QVERIFY(s.drawOrder == order);
}

void TestDrawState::changingModeStartsNewPass()
{
    FixedClock clock;
    RandomSource random(5);
    DrawState s(clock, random);
    fill(s, makeClass(23, 22));
    s.select(DrawOption::All);
    for (int i = 0; i < 10; ++i)
        s.press();
    QCOMPARE(s.view.buttonCaption, QStringLiteral("还有 35人"));
    s.select(DrawOption::Boys);
    QCOMPARE(s.view.buttonCaption, QStringLiteral("共有 23人"));
    s.select(DrawOption::All);
    QCOMPARE(s.view.name, QString());
    QCOMPARE(s.view.buttonCaption, QStringLiteral("共有 45人"));
    QCOMPARE(s.view.buttonColor, colors::LightBlue);
    QCOMPARE(s.drawPos, 0);
    s.press();
    QCOMPARE(s.view.name, s.lists.allNames[s.drawOrder[0]]);
    QCOMPARE(s.view.buttonCaption, QStringLiteral("还有 44人"));
}

void TestDrawState::pressWithoutSelection()
{
    FixedClock clock;
    RandomSource random(5);
    DrawState s(clock, random);
    fill(s, makeClass(3, 3));
    const DrawView before = s.view;
    s.press();
    QVERIFY(s.view == before);
    QVERIFY(!s.lastPick.has_value());
}

void TestDrawState::rosterLabels()
{
    FixedClock clock;
    RandomSource random(5);
    DrawState s(clock, random);
    fill(s, makeClass(23, 0));
    s.rosterLoaded();
    QCOMPARE(s.view.allLastText, QStringLiteral("22"));
    QCOMPARE(s.view.boyLastText, QStringLiteral("22"));
    QCOMPARE(s.view.girlLastText, QStringLiteral("-1"));
}

void TestDrawState::workedPass_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<int>("boys");
    QTest::addColumn<int>("girls");
    QTest::newRow("不重复, three students") << 2 << 2 << 1;
    QTest::newRow("男同学, three boys") << 3 << 3 << 4;
    QTest::newRow("女同学, three girls") << 4 << 5 << 3;
}

void TestDrawState::workedPass()
{
    QFETCH(int, option);
    QFETCH(int, boys);
    QFETCH(int, girls);
    const auto mode = static_cast<DrawOption>(option);
    const VbColor color = modeColor(mode);
    FixedClock clock(5000.5);
    RandomSource random(2024);
    DrawState s(clock, random);
    fill(s, makeClass(boys, girls));
    QVERIFY(s.select(mode));
    QCOMPARE(s.view.buttonCaption, QStringLiteral("共有 3人"));
    QCOMPARE(s.view.buttonColor, color);
    QCOMPARE(s.view.name, QString());

    const QStringList group = groupNames(s, mode);
    QCOMPARE(group.size(), 3);
    const auto order = s.drawOrder;
    QStringList shown;

    s.press(); // 1
    QCOMPARE(s.view.name, group[order[0]]);
    QCOMPARE(s.view.buttonCaption, QStringLiteral("还有 2人"));
    QCOMPARE(s.view.buttonColor, color);
    shown << s.view.name;
    s.press(); // 2
    QCOMPARE(s.view.name, group[order[1]]);
    QCOMPARE(s.view.buttonCaption, QStringLiteral("还有 1人"));
    QCOMPARE(s.view.buttonColor, color);
    shown << s.view.name;
    s.press(); // 3
    QCOMPARE(s.view.name, group[order[2]]);
    QCOMPARE(s.view.buttonCaption, QStringLiteral("点完了"));
    QCOMPARE(s.view.buttonColor, colors::ButtonFace);
    shown << s.view.name;
    shown.sort();
    QStringList sortedGroup = group;
    sortedGroup.sort();
    QCOMPARE(shown, sortedGroup);

    s.press(); // 4
    QCOMPARE(s.view.name, QString());
    QCOMPARE(s.view.buttonCaption, QStringLiteral("共有 3人"));
    QCOMPARE(s.view.buttonColor, color);
    QCOMPARE(s.drawPos, 0);
    QVERIFY(isPermutation(s, 2));

    s.press(); // 5
    QCOMPARE(s.view.name, group[s.drawOrder[0]]);
    QCOMPARE(s.view.buttonCaption, QStringLiteral("还有 2人"));
    QCOMPARE(s.view.buttonColor, color);
}

void TestDrawState::wholeClassPass()
{
    FixedClock clock(43200.0);
    RandomSource random(45);
    DrawState s(clock, random);
    fill(s, makeClass(23, 22));
    s.select(DrawOption::All);
    QCOMPARE(s.view.buttonCaption, QStringLiteral("共有 45人"));

    QSet<QString> seen;
    for (int press = 1; press <= 45; ++press) {
        s.press();
        QVERIFY2(!s.view.name.isEmpty(), qPrintable(QString::number(press)));
        QVERIFY2(!seen.contains(s.view.name), qPrintable(s.view.name));
        seen.insert(s.view.name);
        if (press < 45) {
            QCOMPARE(s.view.buttonCaption, remainingCaption(45 - press));
            QCOMPARE(s.view.buttonColor, colors::LightBlue);
        }
    }
    QCOMPARE(seen.size(), 45);
    QCOMPARE(s.view.buttonCaption, QStringLiteral("点完了"));
    QCOMPARE(s.view.buttonColor, colors::ButtonFace);

    const auto oldOrder = s.drawOrder;
    s.press(); // 46
    QCOMPARE(s.view.name, QString());
    QCOMPARE(s.view.buttonCaption, QStringLiteral("共有 45人"));
    QCOMPARE(s.view.buttonColor, colors::LightBlue);
    QVERIFY(isPermutation(s, 44));
    QVERIFY(s.drawOrder != oldOrder); // a freshly shuffled order, not the old one

    s.press(); // 47
    QCOMPARE(s.view.name, s.lists.allNames[s.drawOrder[0]]);
    QCOMPARE(s.view.buttonCaption, QStringLiteral("还有 44人"));
    QCOMPARE(s.view.buttonColor, colors::LightBlue);
}

void TestDrawState::emptyGroup_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<int>("boys");
    QTest::addColumn<int>("girls");
    QTest::newRow("女同学 without girls") << 4 << 6 << 0;
    QTest::newRow("男同学 without boys") << 3 << 0 << 6;
    QTest::newRow("不重复, empty roster") << 2 << 0 << 0;
}

void TestDrawState::emptyGroup()
{
    QFETCH(int, option);
    QFETCH(int, boys);
    QFETCH(int, girls);
    const auto mode = static_cast<DrawOption>(option);
    FixedClock clock;
    RandomSource random(9);
    DrawState s(clock, random);
    fill(s, makeClass(boys, girls));
    s.select(mode);
    QCOMPARE(s.view.buttonCaption, QStringLiteral("共有 0人"));
    for (int press = 0; press < 5; ++press) {
        s.view.name = QStringLiteral("残留"); // whatever stood there goes
        s.press();
        QCOMPARE(s.view.name, QString());
        QCOMPARE(s.view.buttonCaption, QStringLiteral("共有 0人"));
        QCOMPARE(s.view.buttonColor, modeColor(mode));
        QCOMPARE(s.drawPos, 0);
    }
}

void TestDrawState::groupOfOne()
{
    FixedClock clock;
    RandomSource random(13);
    DrawState s(clock, random);
    fill(s, makeClass(1, 4));
    s.select(DrawOption::Boys);
    QCOMPARE(s.view.buttonCaption, QStringLiteral("共有 1人"));
    s.press();
    QCOMPARE(s.view.name, QStringLiteral("男生1"));
    QCOMPARE(s.view.buttonCaption, QStringLiteral("点完了"));
    QCOMPARE(s.view.buttonColor, colors::ButtonFace);
    s.press();
    QCOMPARE(s.view.name, QString());
    QCOMPARE(s.view.buttonCaption, QStringLiteral("共有 1人"));
    QCOMPARE(s.view.buttonColor, colors::LightGreen);
    s.press();
    QCOMPARE(s.view.name, QStringLiteral("男生1"));
    QCOMPARE(s.view.buttonCaption, QStringLiteral("点完了"));
}

void TestDrawState::repeatingNeverTwiceInARow()
{
    FixedClock clock(1.5);
    RandomSource random(77);
    DrawState s(clock, random);
    fill(s, makeClass(3, 2));
    s.select(DrawOption::Repeating);
    s.drawPos = 3;
    const auto order = s.drawOrder;
    QString previous;
    QSet<QString> seen;
    for (int press = 0; press < 2000; ++press) {
        s.press();
        QVERIFY(!s.view.name.isEmpty());
        QVERIFY2(s.view.name != previous, qPrintable(QStringLiteral("press %1").arg(press)));
        QCOMPARE(s.view.name, s.lists.allNames[*s.lastPick]);
        previous = s.view.name;
        seen.insert(previous);
    }
    QCOMPARE(seen.size(), 5);
    // The repeating draw shows no count and leaves the pass alone.
    QCOMPARE(s.view.buttonCaption, QStringLiteral("青禾抽签 人人平等"));
    QCOMPARE(s.view.buttonColor, colors::LightRed);
    QCOMPARE(s.drawPos, 3);
    QVERIFY(s.drawOrder == order);
}

void TestDrawState::repeatingAvoidsPickAcrossModeChange()
{
    FixedClock clock(2.0);
    RandomSource random(31);
    DrawState s(clock, random);
    fill(s, makeClass(2, 2));
    // Many rounds: a lastPick lost on a mode change would repeat one time in four.
    for (int round = 0; round < 300; ++round) {
        s.select(DrawOption::Repeating);
        s.press();
        const QString shown = s.view.name;
        s.select(round % 2 ? DrawOption::Boys : DrawOption::Girls);
        s.press();
        s.select(DrawOption::Repeating);
        s.press();
        QVERIFY2(s.view.name != shown, qPrintable(QStringLiteral("round %1").arg(round)));
    }
}

void TestDrawState::repeatingTwoStudentsAlternate()
{
    FixedClock clock;
    RandomSource random(1);
    DrawState s(clock, random);
    fill(s, makeClass(1, 1));
    s.select(DrawOption::Repeating);
    s.press();
    QString expected = s.view.name == QStringLiteral("男生1") ? QStringLiteral("女生1") : QStringLiteral("男生1");
    for (int press = 0; press < 50; ++press) {
        s.press();
        QCOMPARE(s.view.name, expected);
        expected = expected == QStringLiteral("男生1") ? QStringLiteral("女生1") : QStringLiteral("男生1");
    }
}

void TestDrawState::repeatingOneStudent()
{
    FixedClock clock;
    RandomSource random(1);
    DrawState s(clock, random);
    fill(s, makeClass(0, 1));
    s.select(DrawOption::Repeating);
    for (int press = 0; press < 5; ++press) {
        s.press();
        QCOMPARE(s.view.name, QStringLiteral("女生1"));
        QCOMPARE(s.lastPick, std::optional(0));
    }
}

void TestDrawState::repeatingNoStudent()
{
    FixedClock clock;
    RandomSource random(1);
    DrawState s(clock, random);
    fill(s, makeClass(0, 0));
    s.select(DrawOption::Repeating);
    // Even with a stale pick from an earlier, larger roster.
    s.lastPick = 0;
    s.lists.allNames[0] = QStringLiteral("旧名单");
    for (int press = 0; press < 5; ++press) {
        s.view.name = QStringLiteral("残留");
        s.press();
        QCOMPARE(s.view.name, QString());
    }
}

void TestDrawState::repeatingFirstDrawMayBeAnyone()
{
    // Without a previous pick nobody is excluded, the first in the file included.
    FixedClock clock;
    RandomSource random(99);
    QSet<QString> firsts;
    for (int run = 0; run < 200; ++run) {
        DrawState s(clock, random);
        fill(s, makeClass(2, 2));
        s.select(DrawOption::Repeating);
        s.press();
        firsts.insert(s.view.name);
    }
    QCOMPARE(firsts.size(), 4);
    QVERIFY(firsts.contains(QStringLiteral("男生1")));
}

void TestDrawState::repeatingVariesWithStillClock()
{
    // Every reseed reads the very same time; the draws must still differ.
    FixedClock clock(30000.0);
    RandomSource random(4);
    DrawState s(clock, random);
    fill(s, makeClass(10, 10));
    s.select(DrawOption::Repeating);
    QSet<QString> seen;
    for (int press = 0; press < 200; ++press) {
        s.press();
        seen.insert(s.view.name);
    }
    QVERIFY2(seen.size() >= 15, qPrintable(QString::number(seen.size())));
}

void TestDrawState::reseedsBeforeEveryShuffleStep()
{
    CountingClock clock;
    RandomSource random(8);
    DrawState s(clock, random);
    s.maxStudents = kSingleDrawSlots;
    s.poolLast = 9;
    s.ShuffleDrawOrder();
    QCOMPARE(clock.reads, 9); // steps i = 0 .. poolLast - 1
    clock.reads = 0;
    s.poolLast = 81;
    s.ShuffleDrawOrder();
    QCOMPARE(clock.reads, 81);
}

void TestDrawState::reseedsOncePerRepeatingPress()
{
    CountingClock clock;
    RandomSource random(8);
    DrawState s(clock, random);
    fill(s, makeClass(1, 1)); // two students: many presses need a redraw
    s.select(DrawOption::Repeating);
    for (int press = 1; press <= 100; ++press) {
        s.press();
        QCOMPARE(clock.reads, press);
    }
}

void TestDrawState::shuffleIdentityForSmallPools_data()
{
    QTest::addColumn<int>("poolLast");
    QTest::newRow("0") << 0;
    QTest::newRow("-1") << -1;
}

void TestDrawState::shuffleIdentityForSmallPools()
{
    QFETCH(int, poolLast);
    CountingClock clock;
    RandomSource random(8);
    DrawState s(clock, random);
    s.maxStudents = kSingleDrawSlots;
    std::reverse(s.drawOrder.begin(), s.drawOrder.end());
    s.poolLast = poolLast;
    s.ShuffleDrawOrder();
    for (int i = 0; i < kSingleDrawSlots; ++i)
        QCOMPARE(s.drawOrder[static_cast<std::size_t>(i)], i);
    QCOMPARE(clock.reads, 0);
}

void TestDrawState::shuffleStartsFromIdentity()
{
    // Slots above poolLast hold their own index, even after a larger shuffle.
    FixedClock clock;
    RandomSource random(8);
    DrawState s(clock, random);
    s.maxStudents = kSingleDrawSlots;
    s.poolLast = 81;
    s.ShuffleDrawOrder();
    QVERIFY(isPermutation(s, 81));
    s.poolLast = 4;
    s.ShuffleDrawOrder();
    QVERIFY(isPermutation(s, 4));
}

void TestDrawState::shuffleCoversFullRoster()
{
    FixedClock clock;
    RandomSource random(8);
    DrawState s(clock, random);
    fill(s, makeClass(41, 41));
    s.select(DrawOption::All);
    QCOMPARE(s.view.buttonCaption, QStringLiteral("共有 82人"));
    QSet<QString> seen;
    for (int press = 0; press < 82; ++press) {
        s.press();
        seen.insert(s.view.name);
    }
    QCOMPARE(seen.size(), 82);
    QCOMPARE(s.view.buttonCaption, QStringLiteral("点完了"));
}

void TestDrawState::shuffleVariesWithStillClock()
{
    FixedClock clock(12345.0);
    RandomSource random(8);
    DrawState s(clock, random);
    s.maxStudents = kSingleDrawSlots;
    s.poolLast = 9;
    s.ShuffleDrawOrder();
    const auto first = s.drawOrder;
    s.ShuffleDrawOrder();
    QVERIFY(s.drawOrder != first);
    std::array<int, kSingleDrawSlots> identity{};
    std::iota(identity.begin(), identity.end(), 0);
    QVERIFY(first != identity);
}

void TestDrawState::shuffleIsUniform()
{
    // Every student lands on every position equally often.
    constexpr int n = 10;
    constexpr int rounds = 40000;
    FixedClock clock(777.0);
    RandomSource random(20240901);
    DrawState s(clock, random);
    s.maxStudents = kSingleDrawSlots;
    std::array<std::array<int, n>, n> counts{};
    for (int r = 0; r < rounds; ++r) {
        s.poolLast = n - 1;
        s.ShuffleDrawOrder();
        for (int pos = 0; pos < n; ++pos)
            ++counts[static_cast<std::size_t>(s.drawOrder[static_cast<std::size_t>(pos)])][static_cast<std::size_t>(pos)];
    }
    const double expected = double(rounds) / n;
    double chi2 = 0;
    for (const auto &row : counts)
        for (int c : row)
            chi2 += (c - expected) * (c - expected) / expected;
    // A permutation table has (n - 1)^2 degrees of freedom.
    QVERIFY2(chi2 < kChi2Df81, qPrintable(QStringLiteral("chi2 = %1").arg(chi2)));
}

void TestDrawState::repeatingIsUniformOverOthers()
{
    constexpr int n = 7;
    constexpr int draws = 14000;
    FixedClock clock(888.0);
    RandomSource random(4242);
    DrawState s(clock, random);
    fill(s, makeClass(4, 3));
    s.select(DrawOption::Repeating);
    for (int previous = 0; previous < n; ++previous) {
        std::array<int, n> counts{};
        for (int d = 0; d < draws; ++d) {
            s.lastPick = previous;
            s.press();
            ++counts[static_cast<std::size_t>(*s.lastPick)];
        }
        QCOMPARE(counts[static_cast<std::size_t>(previous)], 0);
        const double expected = double(draws) / (n - 1);
        double chi2 = 0;
        for (int k = 0; k < n; ++k)
            if (k != previous)
                chi2 += (counts[static_cast<std::size_t>(k)] - expected) * (counts[static_cast<std::size_t>(k)] - expected) / expected;
        QVERIFY2(chi2 < kChi2Df6, qPrintable(QStringLiteral("previous %1: chi2 = %2").arg(previous).arg(chi2)));
    }
}

QTEST_GUILESS_MAIN(TestDrawState)
#include "test_drawstate.moc"
