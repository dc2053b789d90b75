#pragma once
// Small helpers that many tests share.

#include "core/colors.h"

#include <QColor>
#include <QPalette>
#include <QString>
#include <QTest>

#include <algorithm>
#include <cstddef>
#include <vector>

namespace qh::test {

// The caption every window shows once loaded, written out here rather than
// taken from the program: two spaces after 明溪工坊 and after the bracket, a
// full-width colon, one trailing space.
inline QString loadedWindowCaption()
{
    return QStringLiteral("明溪工坊  青禾抽签(2020.01版)  作者：林远舟 ");
}

// An int as an index into std::array and std::vector.
constexpr std::size_t at(int i)
{
    return static_cast<std::size_t>(i);
}

// A colour of a layout as the default palette draws it.
inline QColor qcolor(Color c)
{
    return toQColor(c, QPalette());
}

// The first `count` entries of a sequence hold 0..count-1, each once.
template <class Seq>
bool holdsPermutation(const Seq &seq, int count)
{
    std::vector<int> head(seq.begin(), seq.begin() + std::max(count, 0));
    std::sort(head.begin(), head.end());
    for (int k = 0; k < static_cast<int>(head.size()); ++k)
        if (head[at(k)] != k)
            return false;
    return true;
}

} // namespace qh::test

// Fails the test with the text a check returns; an empty text means all held.
#define QH_VERIFY_NO_FAULT(check)                                                                                  \
    do {                                                                                                           \
        const QString fault_ = (check);                                                                            \
        QVERIFY2(fault_.isEmpty(), qPrintable(fault_));                                                            \
    } while (false)
