#pragma once
// Window captions and texts shared by the three windows, all in one place.

#include <QString>

namespace qh {

// The maker's web address, shown in the link label and the stored captions.
inline QString makerAddress() { return QStringLiteral("www.mingxi.example"); }

// Every window's caption once its load has run. Two spaces after the maker and
// after the bracket, a full-width colon, one trailing space.
inline QString windowCaption() { return QStringLiteral("明溪工坊  青禾抽签(2020.01版)  作者：林远舟 "); }

// The captions each window is created with; its load replaces them at once.
// The start window's has one trailing space more than the load's.
inline QString startStoredCaption() { return windowCaption() + QLatin1Char(' '); }
inline QString seatChartStoredCaption()
{
    return QStringLiteral("青禾抽签  作者 林远舟   ") + makerAddress() + QLatin1Char(' ');
}
inline QString singleDrawStoredCaption() { return QStringLiteral("青禾抽签 林远舟 ") + makerAddress() + QLatin1Char(' '); }

} // namespace qh
