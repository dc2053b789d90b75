#pragma once
// Shared by the seat-chart tests: made-up classes, a roster filled the way the
// loader fills it, and what each group should look like, worked out from the
// roster rather than asked of the chart.

#include "roster/roster.h"
#include "seatchart/seatchart.h"

#include <QList>
#include <QString>
#include <QTest>

#include <algorithm>

Q_DECLARE_METATYPE(qh::SeatGroup)

namespace qh::test {

struct Student {
    QString name;
    bool boy = false;
};

// A class of n students named 学生1..学生n; every `boyEvery`-th one is a boy
// (0: no boys, 1: all boys).
inline QList<Student> makeClass(int n, int boyEvery = 2)
{
    QList<Student> cls;
    for (int k = 0; k < n; ++k)
        cls.append({QStringLiteral("学生%1").arg(k + 1), boyEvery > 0 && k % boyEvery == 0});
    return cls;
}

// Fills the lists like the loader: the first 82 students, in file order.
inline void fillRoster(RosterLists &r, const QList<Student> &cls)
{
    r.allLast = r.boyLast = r.girlLast = -1;
    r.recordCount = cls.size();
    const int n = std::min<int>(static_cast<int>(cls.size()), 82);
    for (int k = 0; k < n; ++k) {
        const Student &s = cls.at(k);
        r.allNames[static_cast<size_t>(++r.allLast)] = s.name;
        if (s.boy)
            r.boyNames[static_cast<size_t>(++r.boyLast)] = s.name;
        else
            r.girlNames[static_cast<size_t>(++r.girlLast)] = s.name;
    }
}

// The cards of each group wear their option's colour.
inline VbColor groupColour(SeatGroup g)
{
    return g == SeatGroup::Boys ? colors::LightGreen : g == SeatGroup::Girls ? colors::LightPink : colors::LightBlue;
}

inline const std::vector<QString> &groupList(const RosterLists &r, SeatGroup g)
{
    return g == SeatGroup::Boys ? r.boyNames : g == SeatGroup::Girls ? r.girlNames : r.allNames;
}

// The group's last seat: its last index, never past the chart's 82 seats.
inline int groupLast(const RosterLists &r, SeatGroup g)
{
    const int last = g == SeatGroup::Boys ? r.boyLast : g == SeatGroup::Girls ? r.girlLast : r.allLast;
    return std::min(last, 81);
}

// Rows for tests run once per group.
inline void groupRows()
{
    QTest::addColumn<SeatGroup>("group");
    QTest::newRow("全体") << SeatGroup::All;
    QTest::newRow("男生") << SeatGroup::Boys;
    QTest::newRow("女生") << SeatGroup::Girls;
}

// Rows for tests run on rosters of every interesting size.
inline void classSizeRows()
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

} // namespace qh::test

// Fails the test with the text a check returns; an empty text means all held.
#define QH_VERIFY_NO_FAULT(check)                                                                                  \
    do {                                                                                                           \
        const QString fault_ = (check);                                                                            \
        QVERIFY2(fault_.isEmpty(), qPrintable(fault_));                                                            \
    } while (false)
