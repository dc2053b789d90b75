#include "core/roster.h"

#include "core/gb18030ranges.h"
#include "core/regularfile.h"
#include "core/windowsheader.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace qh {

RosterLists::RosterLists(int slotCount)
    : allNames(size_t(qMax(slotCount, 0)))
    , boyNames(size_t(qMax(slotCount, 0)))
    , girlNames(size_t(qMax(slotCount, 0)))
{
}

namespace {

bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }
bool isSeparator(char16_t c) { return c == u',' || c == u'\r' || c == u'\n'; }

constexpr char16_t kFullWidthComma = u'\uFF0C';
constexpr uchar kUtf8FullWidthComma[] = {0xEF, 0xBC, 0x8C};
constexpr uchar kGbFullWidthComma[] = {0xA3, 0xAC};

bool isGbLead(uchar b) { return b >= 0x81 && b <= 0xFE; }
bool isGbTrail(uchar b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFE); }
bool isGbDigit(uchar b) { return b >= 0x30 && b <= 0x39; }

// A four-byte GB18030 code's place in the order of all of them, 81 30 81 30 first.
constexpr int gbFourByteIndex(int b1, int b2, int b3, int b4)
{
    return ((b1 - 0x81) * 10 + (b2 - 0x30)) * 1260 + (b3 - 0x81) * 10 + (b4 - 0x30);
}

// GB18030's four-byte codes that stand for a character: U+0080 to U+FFFF
// (81 30 81 30 to 84 31 A4 39) and U+10000 to U+10FFFF (90 30 81 30 to E3 32 9A 35).
bool isMappedGbFourByte(const uchar *b)
{
    const int code = gbFourByteIndex(b[0], b[1], b[2], b[3]);
    return code <= gbFourByteIndex(0x84, 0x31, 0xA4, 0x39)
        || (code >= gbFourByteIndex(0x90, 0x30, 0x81, 0x30) && code <= gbFourByteIndex(0xE3, 0x32, 0x9A, 0x35));
}

bool isCjkIdeograph(char32_t c)
{
    return (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF)
        || (c >= 0x20000 && c <= 0x3FFFF);
}

bool isSexWord(QStringView text)
{
    const QStringView word = text.trimmed();
    return word == u"男" || word == u"女";
}

qint64 ideographCount(QStringView text)
{
    qint64 count = 0;
    for (const char32_t c : text.toUcs4())
        count += isCjkIdeograph(c);
    return count;
}

// Qt's UTF-8 check on a file that streams past in pieces: a sequence cut by
// the end of a piece waits for the next one.
class Utf8Check {
public:
    void feed(QByteArrayView bytes)
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
    bool validAtEnd() const { return m_valid && m_tail.isEmpty(); }
    bool validSoFar() const { return m_valid; }

private:
    bool m_valid = true;
    QByteArray m_tail;
};

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

// A field's bytes as text. A roster is never shown misread: where GB18030
// cannot be decoded at all, the decoder fails and so does the read.
class Decoder {
public:
    explicit Decoder(TextEncoding encoding)
        : m_encoding(encoding)
        , m_qt(encoding == TextEncoding::Gb18030 ? QStringDecoder("GB18030", kFlags)
                                                 : QStringDecoder(QStringConverter::Utf8, kFlags))
    {
    }

    QString decode(const QByteArray &bytes)
    {
        if (m_encoding == TextEncoding::Utf8)
            return m_qt.decode(bytes);
        if (m_qt.isValid()) {
            // Qt's ICU decoder silently keeps an incomplete character at the
            // end for a next call that never comes; a line feed, never part
            // of a GB18030 character, makes it give the replacement character.
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
    bool failed() const { return m_failed; }

private:
    // The byte-order mark is skipped by the reader; any other is text.
    static constexpr QStringConverter::Flags kFlags =
        QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;
    TextEncoding m_encoding;
    QStringDecoder m_qt;
    bool m_failed = false;
};

// The field rules as a state machine over code units: bytes for UTF-8 and
// GB18030, whose multi-byte characters never contain the bytes of space,
// tab, quote, comma, CR or LF, and 16-bit units for UTF-16. The full-width
// comma, the one separator of more than one byte, is found where a character
// begins. It counts every field and keeps the text of the first `keep`.
class FieldScanner {
public:
    FieldScanner(const FieldScan &scan, TextEncoding encoding)
        : m_scan(scan)
        , m_encoding(encoding)
        , m_wide(encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE)
        , m_decoder(encoding)
        , m_weigh(scan.weighEncodings)
    {
    }

    bool done() const { return m_scan.stopAfter >= 0 && m_fields.count >= m_scan.stopAfter; }
    bool validGb18030() const { return m_validGb; }
    // The fields only tell UTF-8 from GB18030 while both are still possible.
    void stopWeighing() { m_weigh = false; }

    template <typename Unit> void feed(const Unit *units, qsizetype n)
    {
        for (qsizetype i = 0; i < n && !done(); ++i) {
            const auto unit = std::make_unsigned_t<Unit>(units[i]);
            if (m_wide)
                unit == kFullWidthComma ? takeFullWidthComma({kFullWidthComma}) : take(char16_t(unit));
            else if (m_encoding == TextEncoding::Utf8)
                takeUtf8(uchar(unit));
            else
                takeGb(uchar(unit));
        }
    }

    Fields finish()
    {
        if (m_pendingCount > 0 && !done()) {
            if (m_encoding == TextEncoding::Gb18030)
                m_validGb = false; // a character cut off by the end
            flushPending();
        }
        if (m_state != State::Before && !done())
            endField(m_state == State::Plain);
        // Blanks where a field ought to begin, and then the end: a failure.
        m_fields.ok = (done() || !m_blanks) && !m_decoder.failed();
        m_fields.validGb18030 = m_validGb;
        return std::move(m_fields);
    }

private:
    enum class State { Before, Plain, Quoted, AfterQuote };

    void flushPending()
    {
        const int n = std::exchange(m_pendingCount, 0);
        for (int k = 0; k < n; ++k)
            take(m_pending[k]);
    }

    // Outside quotes it is a comma; inside, text like any other.
    void takeFullWidthComma(std::initializer_list<char16_t> units)
    {
        if (m_state == State::Quoted) {
            for (const char16_t unit : units)
                take(unit);
        } else {
            take(u',');
        }
    }

    // UTF-8: EF never continues a character, so EF BC 8C is the comma wherever it stands.
    void takeUtf8(uchar byte)
    {
        if (byte == kUtf8FullWidthComma[m_pendingCount]) {
            m_pending[m_pendingCount++] = byte;
            if (m_pendingCount == int(std::size(kUtf8FullWidthComma))) {
                m_pendingCount = 0;
                takeFullWidthComma({0xEF, 0xBC, 0x8C});
            }
            return;
        }
        if (m_pendingCount > 0)
            flushPending();
        if (byte == kUtf8FullWidthComma[0])
            m_pending[m_pendingCount++] = byte;
        else
            take(byte);
    }

    // GB18030 holds back the bytes of a character until it is whole; a lead
    // byte that starts no character is one bad character, and the bytes after
    // it are read again, as the decoder does.
    void takeGb(uchar byte)
    {
        for (;;) {
            const int n = m_pendingCount;
            if (n == 0) {
                if (isGbLead(byte)) {
                    m_pending[m_pendingCount++] = byte;
                    return;
                }
                if (byte == 0x80 || byte == 0xFF)
                    m_validGb = false;
                take(byte);
                return;
            }
            const uchar lead = m_pending[0];
            if (n == 1 && isGbTrail(byte)) {
                m_pendingCount = 0;
                if (lead == kGbFullWidthComma[0] && byte == kGbFullWidthComma[1]) {
                    takeFullWidthComma({lead, byte});
                } else {
                    take(lead);
                    take(byte);
                }
                return;
            }
            if ((n == 1 && isGbDigit(byte)) || (n == 2 && isGbLead(byte)) || (n == 3 && isGbDigit(byte))) {
                m_pending[m_pendingCount++] = byte;
                if (m_pendingCount == 4) {
                    if (!isMappedGbFourByte(m_pending))
                        m_validGb = false;
                    flushPending();
                }
                return;
            }
            m_validGb = false;
            const uchar rest[] = {m_pending[1], m_pending[2]};
            m_pendingCount = 0;
            take(lead);
            for (int k = 0; k < n - 1; ++k)
                takeGb(rest[k]); // a digit, then perhaps a lead byte: never bad again here
        }
    }

    void take(char16_t c)
    {
        if (m_afterCR) {
            m_afterCR = false;
            if (c == u'\n')
                return; // CR LF is one line end
        }
        const bool separator = isSeparator(c);
        switch (m_state) {
        case State::Before:
            if (isBlank(c)) {
                m_blanks = true;
            } else if (c == u'"') {
                m_state = State::Quoted;
            } else if (!separator) {
                m_state = State::Plain;
                keep(c);
            }
            break;
        case State::Plain:
            if (!separator)
                keep(c);
            break;
        case State::Quoted:
            if (c == u'"')
                m_state = State::AfterQuote;
            else
                keep(c);
            return;
        case State::AfterQuote: // dropped up to the separator
            break;
        }
        if (separator) {
            endField(m_state == State::Plain || m_state == State::Before);
            m_afterCR = c == u'\r';
        }
    }

    void keep(char16_t c)
    {
        if (m_fields.count >= m_scan.keep && !m_weigh)
            return;
        m_nonAscii = m_nonAscii || c >= 0x80;
        // Enough bytes for kMaxFieldLength characters of up to four bytes each.
        const qsizetype room = m_wide ? kMaxFieldLength : 4 * kMaxFieldLength;
        if (qsizetype(m_field.size()) < room)
            m_field.push_back(c);
        else if (!isBlank(c))
            m_droppedNonBlank = true;
    }

    void endField(bool trimBlanks)
    {
        // An ASCII field is the same text either way, and holds no ideograph.
        if (m_weigh && m_nonAscii) {
            if (m_fields.count % 2 == 0)
                m_fields.nameIdeographs += ideographCount(text());
            else
                m_fields.sexWords += isSexWord(text());
        }
        if (m_fields.count < m_scan.keep) {
            if (trimBlanks && !m_droppedNonBlank) {
                while (!m_field.empty() && isBlank(m_field.back()))
                    m_field.pop_back();
            }
            m_fields.kept << text();
        }
        ++m_fields.count;
        m_field.clear();
        m_droppedNonBlank = false;
        m_nonAscii = false;
        m_blanks = false;
        m_state = State::Before;
    }

    QString text()
    {
        QString value;
        if (m_wide) {
            // Unit for unit: QString::fromUtf16() would read a U+FEFF or
            // U+FFFE at the start of the field as a byte-order mark.
            value = QString(reinterpret_cast<const QChar *>(m_field.data()), qsizetype(m_field.size()));
        } else {
            QByteArray bytes(qsizetype(m_field.size()), Qt::Uninitialized);
            std::transform(m_field.begin(), m_field.end(), bytes.begin(), [](char16_t c) { return char(c); });
            value = m_decoder.decode(bytes);
        }
        if (value.size() >= kMaxFieldLength) {
            value.truncate(kMaxFieldLength);
            if (value.back().isHighSurrogate())
                value.chop(1);
        }
        return value;
    }

    FieldScan m_scan;
    TextEncoding m_encoding;
    bool m_wide;
    Decoder m_decoder;
    bool m_weigh;
    bool m_validGb = true;
    bool m_nonAscii = false;     // the field holds a unit beyond ASCII
    uchar m_pending[4] = {};     // bytes of a character not yet whole
    int m_pendingCount = 0;
    Fields m_fields;
    State m_state = State::Before;
    bool m_afterCR = false;        // an LF now belongs to the CR that ended the last field
    bool m_blanks = false;         // blanks skipped where a field ought to begin
    bool m_droppedNonBlank = false; // a cut-off tail held more than blanks
    std::u16string m_field;
};

std::array<Fields, 2> readFieldsEitherWay(QIODevice &device, const FieldScan &scan);

struct Pass {
    std::optional<TextEncoding> mark;
    TextEncoding encoding = TextEncoding::Utf8;
    Fields fields;
};

// One pass from the start of the device: the byte-order mark, then the
// fields in `encoding`, or, for the first pass of a file without a mark, in
// the encoding that fits it (and with the count that goes with it).
std::optional<Pass> readPass(QIODevice &device, qsizetype chunkBytes, std::optional<TextEncoding> encoding,
                             qint64 keep, qint64 stopAfter)
{
    Pass pass;
    if (!device.seek(0))
        return std::nullopt;
    const QByteArray head = device.read(3);
    if (head.startsWith("\xEF\xBB\xBF"))
        pass.mark = TextEncoding::Utf8;
    else if (head.startsWith("\xFF\xFE"))
        pass.mark = TextEncoding::Utf16LE;
    else if (head.startsWith("\xFE\xFF"))
        pass.mark = TextEncoding::Utf16BE;
    if (!device.seek(!pass.mark ? 0 : pass.mark == TextEncoding::Utf8 ? 3 : 2))
        return std::nullopt;
    if (pass.mark || encoding) {
        pass.encoding = pass.mark.value_or(*encoding);
        pass.fields = readFields(device, {pass.encoding, keep, stopAfter, chunkBytes});
    } else {
        // Valid UTF-8 is UTF-8, unless the bytes are GB18030 as well and
        // read better that way: more sexes written 男 or 女 (a UTF-8 file
        // with full-width commas and two-character names is valid GB18030
        // too, with no separator left in it), then more Chinese characters
        // in the names.
        auto [utf8, gb] = readFieldsEitherWay(device, {TextEncoding::Utf8, keep, stopAfter, chunkBytes, true});
        const auto weight = [](const Fields &f) { return std::pair(f.sexWords, f.nameIdeographs); };
        const bool isGb = !utf8.validUtf8 || (gb.validGb18030 && weight(gb) > weight(utf8));
        pass.encoding = isGb ? TextEncoding::Gb18030 : TextEncoding::Utf8;
        pass.fields = std::move(isGb ? gb : utf8);
        if (isGb && pass.fields.count < 0) { // cut short: neither encoding fits
            if (!device.seek(0))
                return std::nullopt;
            pass.fields = readFields(device, {pass.encoding, keep, stopAfter, chunkBytes});
        }
    }
    if (!pass.fields.ok)
        return std::nullopt;
    return pass;
}

// The column headings of a spreadsheet's first row, spaces anywhere.
bool isHeading(const QString &name, const QString &sex)
{
    const auto squeezed = [](QString text) {
        return text.remove(u' ').remove(u'\t').remove(u'\u3000');
    };
    return squeezed(name) == u"姓名" && squeezed(sex) == u"性别";
}

// Both passes; `passOverFile(encoding, keep, stopAfter)` opens the file (or
// rewinds the device) and runs one readPass() on it.
template <typename PassOverFile> bool readTwice(PassOverFile passOverFile, int limit, RosterLists &lists)
{
    const size_t slotCount = std::min({lists.allNames.size(), lists.boyNames.size(), lists.girlNames.size()});
    limit = int(std::clamp<qint64>(limit, 0, qint64(slotCount)));

    // First pass: the encoding, the count and whether a heading leads.
    const std::optional<Pass> first = passOverFile(std::nullopt, 2, -1);
    if (!first || first->fields.count % 2 != 0)
        return false;
    const qint64 heading = first->fields.count >= 2 && isHeading(first->fields.kept[0], first->fields.kept[1]);
    const qint64 records = first->fields.count / 2 - heading;

    // Second pass: below the limit to the end of the file, else exactly
    // `limit` records, leaving the rest unread. Any sign that the file is
    // no longer the one just counted makes it fail.
    const qint64 wanted = std::min<qint64>(records, limit);
    const qint64 fields = 2 * (heading + wanted);
    const std::optional<Pass> second = passOverFile(first->encoding, fields, records < limit ? -1 : fields);
    if (!second || second->mark != first->mark || second->fields.count != fields)
        return false;

    int boys = 0;
    int girls = 0;
    const QStringView boy(kBoySex);
    for (qint64 k = 0; k < wanted; ++k) {
        const QString &name = second->fields.kept[2 * (heading + k)];
        lists.allNames[size_t(k)] = name;
        if (second->fields.kept[2 * (heading + k) + 1] == boy)
            lists.boyNames[size_t(boys++)] = name;
        else
            lists.girlNames[size_t(girls++)] = name;
    }
    lists.allLast = int(wanted) - 1;
    lists.boyLast = boys - 1;
    lists.girlLast = girls - 1;
    lists.recordCount = records;
    return true;
}

} // namespace

namespace {

// Feeds the device from its current position to each scanner (8-bit
// encodings only when there are several). Fields of the first scanner carry
// the UTF-8 verdict.
std::vector<Fields> scanDevice(QIODevice &device, const FieldScan &scan, std::vector<TextEncoding> encodings)
{
    std::vector<FieldScanner> scanners;
    for (const TextEncoding encoding : encodings)
        scanners.emplace_back(scan, encoding);
    Utf8Check utf8;
    // Read both ways, bytes that are not UTF-8 are GB18030, so the UTF-8
    // scan can stop; and GB18030 that is not valid is only wanted if the
    // bytes turn out not to be UTF-8 either, which is rare enough to be read
    // again (its Fields then have count -1).
    bool gbRetired = false;
    const auto retired = [&](const FieldScanner &s) {
        if (scanners.size() < 2)
            return false;
        return &s == &scanners.front() ? !utf8.validSoFar() : gbRetired;
    };
    const auto allDone = [&] {
        return std::all_of(scanners.begin(), scanners.end(), [&](const FieldScanner &s) { return s.done() || retired(s); });
    };
    const bool wide = encodings.front() == TextEncoding::Utf16LE || encodings.front() == TextEncoding::Utf16BE;
    const qsizetype chunkBytes = scan.chunkBytes > 0 ? scan.chunkBytes : kChunkBytes;
    QByteArray raw(chunkBytes, Qt::Uninitialized);
    std::u16string units;
    int oddByte = -1; // half a UTF-16 unit left over from a chunk
    while (!allDone()) {
        const qint64 got = device.read(raw.data(), chunkBytes);
        if (got < 0)
            return std::vector<Fields>(encodings.size());
        if (got == 0)
            break;
        const QByteArrayView bytes(raw.constData(), got);
        if (!wide) {
            utf8.feed(bytes);
            gbRetired = gbRetired || (scanners.size() > 1 && !scanners.back().validGb18030() && utf8.validSoFar());
            const bool bothPossible = utf8.validSoFar()
                && std::all_of(scanners.begin(), scanners.end(), [](const FieldScanner &s) { return s.validGb18030(); });
            for (FieldScanner &scanner : scanners) {
                if (!bothPossible)
                    scanner.stopWeighing();
                if (!retired(scanner))
                    scanner.feed(bytes.data(), bytes.size());
            }
            continue;
        }
        units.clear();
        for (const char byte : bytes) {
            if (oddByte < 0) {
                oddByte = uchar(byte);
                continue;
            }
            const int second = uchar(byte);
            units.push_back(char16_t(encodings.front() == TextEncoding::Utf16LE ? oddByte | second << 8
                                                                                : oddByte << 8 | second));
            oddByte = -1;
        }
        scanners.front().feed(units.data(), qsizetype(units.size()));
    }
    if (oddByte >= 0 && !scanners.front().done()) {
        // A file of an odd length ends in half a character.
        const char16_t replacement = u'\uFFFD';
        scanners.front().feed(&replacement, 1);
    }
    std::vector<Fields> result;
    for (FieldScanner &scanner : scanners) {
        result.push_back(scanner.finish());
        if (retired(scanner))
            result.back().count = -1;
        result.back().validUtf8 = !wide && utf8.validAtEnd();
    }
    return result;
}

// The same bytes read as UTF-8 and as GB18030 at once (`scan.encoding` is not
// used). A reading that cannot be the file's stops early, with count -1: UTF-8
// once a byte is not UTF-8, GB18030 once a byte is not GB18030 while all are
// still UTF-8.
std::array<Fields, 2> readFieldsEitherWay(QIODevice &device, const FieldScan &scan)
{
    std::vector<Fields> both = scanDevice(device, scan, {TextEncoding::Utf8, TextEncoding::Gb18030});
    return {std::move(both[0]), std::move(both[1])};
}

} // namespace

Fields readFields(QIODevice &device, const FieldScan &scan)
{
    return scanDevice(device, scan, {scan.encoding}).front();
}

bool readRoster(const QString &path, int limit, RosterLists &lists)
{
    return readTwice([&](auto... pass) -> std::optional<Pass> {
        SizedFile file;
        if (!file.openFile(path))
            return std::nullopt;
        return readPass(file, kChunkBytes, pass...);
    }, limit, lists);
}

bool readRoster(QIODevice &device, int limit, RosterLists &lists, qsizetype chunkBytes)
{
    if (!device.isReadable() || device.isSequential())
        return false;
    return readTwice([&](auto... pass) { return readPass(device, chunkBytes, pass...); }, limit, lists);
}

} // namespace qh
