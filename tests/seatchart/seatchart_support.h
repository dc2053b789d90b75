#pragma once
// Shared by the seat-chart tests: made-up classes and a roster filled the way
// the loader fills it.

#include "roster/roster.h"

#include <QList>
#include <QString>

#include <algorithm>

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

} // namespace qh::test
