#include "core/textencoding.h"

#include "core/gb18030ranges.h"
#include "core/gb2312level1.h"
#include "core/windowsheader.h"

#include <QChar>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <tuple>

namespace qh {

namespace {

// A four-byte GB18030 code's place in the order of all of them, 81 30 81 30 first.
constexpr int gbFourByteIndex(int b1, int b2, int b3, int b4)
{
    return ((b1 - 0x81) * 10 + (b2 - 0x30)) * 1260 + (b3 - 0x81) * 10 + (b4 - 0x30);
}

#ifdef Q_OS_WIN
// GB18030 where Qt has no decoder for it (no ICU). Code page 54936 is missing
// from Wine and from some trimmed Windows, but GBK, code page 936, is on every
// one: it takes the one- and two-byte characters but for the few GB18030
// gives real characters where GBK has none; the four-byte ones follow the
// standard's fixed mapping. Bad bytes become U+FFFD where ICU puts them.
// Empty if this Windows lacks code page 936.
std::optional<QString> decodeGb18030(QByteArrayView bytes)
{
    constexpr UINT kGbkCodePage = 936;
    if (!IsValidCodePage(kGbkCodePage))
        return std::nullopt;
    const auto at = [&](qsizetype i) { return i < bytes.size() ? uchar(bytes[i]) : 0; };
    QString text;
    text.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        const uchar lead = at(i);
        if (lead < 0x80) {
            text += QChar(char16_t(lead));
            ++i;
        } else if (!isGbLead(lead)) {
            text += QChar::ReplacementCharacter;
            ++i;
        } else if (isGbDigit(at(i + 1)) && isGbLead(at(i + 2)) && isGbDigit(at(i + 3))) {
            const int index = gbFourByteIndex(lead, at(i + 1), at(i + 2), at(i + 3));
            const int supplementary = gbFourByteIndex(0x90, 0x30, 0x81, 0x30); // U+10000
            char32_t c = 0;
            if (index >= supplementary && index <= supplementary + 0xFFFFF) {
                c = char32_t(0x10000 + index - supplementary);
            } else {
                // The last run starting at or before the index.
                const auto *run = std::upper_bound(std::begin(gb18030::kBmpRuns), std::end(gb18030::kBmpRuns), index,
                                                   [](int i, const gb18030::FourByteRun &r) { return i < r.linear; });
                if (run != std::begin(gb18030::kBmpRuns) && index < (run - 1)->linear + (run - 1)->length)
                    c = char32_t((run - 1)->codePoint + index - (run - 1)->linear);
            }
            if (c != 0)
                text += QStringView(QChar::fromUcs4(c));
            else
                text += QChar::ReplacementCharacter;
            i += 4;
        } else if (isGbTrail(at(i + 1))) {
            const auto code = std::uint16_t(lead << 8 | at(i + 1));
            const auto *beyond = std::lower_bound(std::begin(gb18030::kBeyondGbk), std::end(gb18030::kBeyondGbk), code,
                                                  [](const gb18030::TwoByte &t, std::uint16_t c) { return t.code < c; });
            wchar_t unit = 0;
            if (beyond != std::end(gb18030::kBeyondGbk) && beyond->code == code)
                text += QChar(char16_t(beyond->codePoint));
            else if (MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, bytes.data() + i, 2, &unit, 1) == 1)
                text += QChar(char16_t(unit));
            else
                text += QChar::ReplacementCharacter;
            i += 2;
        } else {
            text += QChar::ReplacementCharacter;
            ++i;
        }
    }
    return text;
}
#endif

// The byte-order mark is skipped by the reader; any other is text.
constexpr QStringConverter::Flags kDecoderFlags =
    QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;

bool isLevel1(char32_t c)
{
    if (c < gb2312::kLevel1First || c > gb2312::kLevel1Last)
        return false;
    const char32_t bit = c - gb2312::kLevel1First;
    return (gb2312::kLevel1Bits[bit / 64] >> (bit % 64)) & 1;
}

} // namespace

std::optional<std::pair<TextEncoding, int>> byteOrderMark(QByteArrayView head)
{
    if (head.startsWith("\xEF\xBB\xBF"))
        return std::pair(TextEncoding::Utf8, 3);
    if (head.startsWith("\xFF\xFE"))
        return std::pair(TextEncoding::Utf16LE, 2);
    if (head.startsWith("\xFE\xFF"))
        return std::pair(TextEncoding::Utf16BE, 2);
    return std::nullopt;
}

// GB18030's four-byte codes that stand for a character: U+0080 to U+FFFF
// (81 30 81 30 to 84 31 A4 39) and U+10000 to U+10FFFF (90 30 81 30 to E3 32 9A 35).
bool isMappedGbFourByte(const uchar *b)
{
    const int code = gbFourByteIndex(b[0], b[1], b[2], b[3]);
    return code <= gbFourByteIndex(0x84, 0x31, 0xA4, 0x39)
        || (code >= gbFourByteIndex(0x90, 0x30, 0x81, 0x30) && code <= gbFourByteIndex(0xE3, 0x32, 0x9A, 0x35));
}

void Utf8Check::feed(QByteArrayView bytes)
{
    if (!m_valid)
        return;
    m_tail.append(bytes.data(), bytes.size());
    qsizetype cut = m_tail.size();
    for (qsizetype back = 1; back <= qMin<qsizetype>(3, m_tail.size()); ++back) {
        const auto c = uchar(m_tail[m_tail.size() - back]);
        if ((c & 0xC0) == 0x80) // a continuation byte: look further back
            continue;
        const qsizetype length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        if (length > back)
            cut = m_tail.size() - back;
        break;
    }
    m_valid = QByteArrayView(m_tail).first(cut).isValidUtf8();
    m_tail.remove(0, cut);
}

Decoder::Decoder(TextEncoding encoding)
    : m_encoding(encoding)
    , m_qt(encoding == TextEncoding::Gb18030 ? QStringDecoder("GB18030", kDecoderFlags)
                                             : QStringDecoder(QStringConverter::Utf8, kDecoderFlags))
{
}

QString Decoder::decode(const QByteArray &bytes)
{
    if (m_encoding != TextEncoding::Gb18030)
        return m_qt.decode(bytes);
    if (m_qt.isValid()) {
        // Qt's ICU decoder silently keeps an incomplete character at the end
        // for a next call that never comes; a line feed, never part of a
        // GB18030 character, makes it give the replacement character.
        QString text = m_qt.decode(bytes + '\n');
        if (text.endsWith(u'\n'))
            text.chop(1);
        return text;
    }
#ifdef Q_OS_WIN
    if (std::optional<QString> text = decodeGb18030(bytes))
        return *text;
#endif
    m_failed = true;
    return {};
}

bool isSexWord(QStringView text)
{
    const QStringView word = text.trimmed();
    return word == u"男" || word == u"女";
}

qint64 nameScore(QStringView name)
{
    qint64 score = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        char32_t c = name[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(name[i].unicode(), name[i + 1].unicode());
            ++i;
        }
        if (c < 0x80)
            continue;
        if (isLevel1(c)) {
            ++score;
        } else {
            const QChar::Category category = QChar::category(c);
            score -= category == QChar::Other_PrivateUse || category == QChar::Other_NotAssigned;
        }
    }
    return score;
}

TextEncoding chooseEncoding(const Reading &utf8, const Reading &gb18030)
{
    if (!utf8.valid) // GB18030 then, bad bytes and all
        return TextEncoding::Gb18030;
    if (!gb18030.valid)
        return TextEncoding::Utf8;
    const auto weight = [](const Reading &r) { return std::tuple(r.ok, r.sexWords, r.nameScore); };
    return weight(gb18030) > weight(utf8) ? TextEncoding::Gb18030 : TextEncoding::Utf8;
}

} // namespace qh
