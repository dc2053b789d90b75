#include "core/fieldscanner.h"

#include <QIODevice>

#include <algorithm>
#include <iterator>
#include <utility>

namespace qh {

namespace {

bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }
bool isLineEnd(char16_t c) { return c == u'\r' || c == u'\n'; }

constexpr char16_t kFullWidthComma = u'\uFF0C';
constexpr uchar kUtf8FullWidthComma[] = {0xEF, 0xBC, 0x8C};
constexpr uchar kGbFullWidthComma[] = {0xA3, 0xAC};

} // namespace

FieldScanner::FieldScanner(TextEncoding encoding, FieldSink &sink)
    : m_encoding(encoding)
    , m_sink(sink)
    , m_decoder(encoding)
    , m_wantText(sink.wantsText())
    , m_done(sink.done())
{
}

void FieldScanner::feed(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.data());
    const qsizetype n = bytes.size();
    switch (m_encoding) {
    case TextEncoding::Utf8:
        for (qsizetype i = 0; i < n && !m_done; ++i)
            takeUtf8(p[i]);
        break;
    case TextEncoding::Gb18030:
        for (qsizetype i = 0; i < n && !m_done; ++i)
            takeGb(p[i]);
        break;
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE:
        for (qsizetype i = 0; i < n && !m_done; ++i) {
            if (m_oddByte < 0) {
                m_oddByte = p[i];
                continue;
            }
            const int first = std::exchange(m_oddByte, -1);
            takeUnit(char16_t(m_encoding == TextEncoding::Utf16LE ? first | p[i] << 8 : first << 8 | p[i]));
        }
        break;
    }
}

bool FieldScanner::finish()
{
    if (m_oddByte >= 0 && !done())
        takeUnit(u'\uFFFD'); // a file of an odd length ends in half a character
    if (m_pendingCount > 0 && !done()) {
        if (m_encoding == TextEncoding::Gb18030)
            m_validGb = false; // a character cut off by the end
        flushPending();
    }
    bool ok = true;
    if (!done()) {
        if (m_state != State::Before)
            endField(m_state == State::Plain, true);
        else if (m_blanks && m_lineStart)
            endField(true, true); // a last line of blanks alone
        else
            ok = !m_blanks; // blanks where a field ought to begin, and then the end
    }
    return ok && !m_decoder.failed();
}

void FieldScanner::takeUnit(char16_t unit)
{
    if (unit == kFullWidthComma)
        takeFullWidthComma({kFullWidthComma});
    else
        take(unit);
}

void FieldScanner::flushPending()
{
    const int n = std::exchange(m_pendingCount, 0);
    for (int k = 0; k < n; ++k)
        take(m_pending[k]);
}

// Outside quotes it is a comma; inside, text like any other.
void FieldScanner::takeFullWidthComma(std::initializer_list<char16_t> units)
{
    if (m_state == State::Quoted) {
        for (const char16_t unit : units)
            take(unit);
    } else {
        take(u',');
    }
}

// UTF-8: EF never continues a character, so EF BC 8C is the comma wherever it stands.
void FieldScanner::takeUtf8(uchar byte)
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

// GB18030 holds back the bytes of a character until it is whole; a lead byte
// that starts no character is one bad character, and the bytes after it are
// read again, as the decoder does.
void FieldScanner::takeGb(uchar byte)
{
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
    takeGb(byte);
}

void FieldScanner::take(char16_t c)
{
    if (m_afterCR) {
        m_afterCR = false;
        if (c == u'\n')
            return; // CR LF is one line end
    }
    const bool lineEnd = isLineEnd(c);
    bool separator = lineEnd || c == u',';
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
        separator = separator || c == u'\t';
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
        separator = separator || c == u'\t';
        break;
    }
    if (separator) {
        endField(m_state == State::Plain || m_state == State::Before, lineEnd);
        m_afterCR = c == u'\r';
    }
}

void FieldScanner::keep(char16_t c)
{
    if (!m_wantText)
        return;
    m_nonAscii = m_nonAscii || c >= 0x80;
    // Enough bytes for kMaxFieldLength characters of up to four bytes each.
    const qsizetype room = isWide(m_encoding) ? kMaxFieldLength : 4 * kMaxFieldLength;
    if (qsizetype(m_field.size()) < room)
        m_field.push_back(c);
    else if (!isBlank(c))
        m_droppedNonBlank = true;
}

void FieldScanner::endField(bool trimBlanks, bool endsLine)
{
    ScannedField field;
    field.endsLine = endsLine;
    field.blankLine = endsLine && m_lineStart && m_state == State::Before;
    if (m_wantText) {
        if (trimBlanks && !m_droppedNonBlank) {
            while (!m_field.empty() && isBlank(m_field.back()))
                m_field.pop_back();
        }
        field.text = text();
        field.nonAscii = m_nonAscii;
    }
    m_sink.field(field);
    m_wantText = m_sink.wantsText();
    m_done = m_sink.done();
    m_lineStart = endsLine;
    m_field.clear();
    m_droppedNonBlank = false;
    m_nonAscii = false;
    m_blanks = false;
    m_state = State::Before;
}

QString FieldScanner::text()
{
    QString value;
    if (isWide(m_encoding)) {
        // Unit for unit: QString::fromUtf16() would read a U+FEFF or U+FFFE
        // at the start of the field as a byte-order mark.
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

bool readChunks(QIODevice &device, qsizetype chunkBytes, const std::function<bool(QByteArrayView)> &feed)
{
    chunkBytes = chunkBytes > 0 ? chunkBytes : kChunkBytes;
    QByteArray raw(chunkBytes, Qt::Uninitialized);
    for (;;) {
        const qint64 got = device.read(raw.data(), chunkBytes);
        if (got < 0)
            return false;
        if (got == 0 || !feed(QByteArrayView(raw.constData(), got)))
            return true;
    }
}

namespace {

class FieldCollector final : public FieldSink {
public:
    explicit FieldCollector(Fields &fields, qint64 keep) : m_fields(fields), m_keep(keep) {}
    bool wantsText() const override { return m_fields.count < m_keep; }
    void field(const ScannedField &field) override
    {
        if (m_fields.count++ < m_keep)
            m_fields.kept << field.text;
    }

private:
    Fields &m_fields;
    qint64 m_keep;
};

} // namespace

Fields readFields(QIODevice &device, const FieldScan &scan)
{
    Fields fields;
    FieldCollector collector(fields, scan.keep);
    FieldScanner scanner(scan.encoding, collector);
    const bool read = readChunks(device, scan.chunkBytes, [&](QByteArrayView bytes) {
        scanner.feed(bytes);
        return true;
    });
    if (!read)
        return Fields{};
    fields.ok = scanner.finish();
    fields.validGb18030 = scanner.validGb18030();
    return fields;
}

} // namespace qh
