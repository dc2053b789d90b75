#pragma once
// Shared by the seat-chart tests: made-up classes, a roster filled the way the
// loader fills it, and which names each group holds, worked out from the class
// rather than asked of the chart.

#include "core/roster.h"
#include "core/seatchart.h"
#include "testhelpers.h"

#include <QList>
#include <QString>
#include <QTest>

#include <algorithm>

Q_DECLARE_METATYPE(qh::SeatGroup)

namespace qh::test {

using Student = qh::Student;

// A class of n students named 学生1..学生n; every `boyEvery`-th one is a boy
// (0: no boys, 1: all boys).
inline QList<Student> makeClass(int n, int boyEvery = 2)
{
    QList<Student> cls;
    for (int k = 0; k < n; ++k)
        cls.append({QStringLiteral("学生%1").arg(k + 1), boyEvery > 0 && k % boyEvery == 0});
    return cls;
}

// The class as roster lines ("name,sex").
inline QStringList rosterLines(const QList<Student> &cls)
{
    QStringList lines;
    for (const Student &s : cls)
        lines << s.name + QLatin1Char(',') + (s.boy ? QStringLiteral("男") : QStringLiteral("女"));
    return lines;
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

// The names a group holds, in file order: the chart keeps the first 82 students.
inline QStringList groupNames(const QList<Student> &cls, SeatGroup g)
{
    QStringList names;
    for (const Student &s : cls.first(std::min<qsizetype>(cls.size(), 82)))
        if (g == SeatGroup::All || s.boy == (g == SeatGroup::Boys))
            names.append(s.name);
    return names;
}

// Rows for tests run once per group.
inline void groupRows()
{
    QTest::addColumn<SeatGroup>("group");
    for (std::size_t i = 0; i < kSeatGroups.size(); ++i)
        QTest::newRow(kSeatGroups[i].caption) << static_cast<SeatGroup>(i);
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
