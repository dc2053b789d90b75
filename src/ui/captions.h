#pragma once
// Texts shared by all three windows.

#include <QString>

namespace qh {

// Two spaces after the maker and after the bracket, a full-width colon, one trailing space.
inline QString windowCaption() { return QStringLiteral("明溪工坊  青禾抽签(2020.01版)  作者：林远舟 "); }
// The maker's web address, shown in the link label and the stored captions.
inline QString makerAddress() { return QStringLiteral("www.mingxi.example"); }

} // namespace qh
