#include "roster/fieldreader.h"

#include <bit>
#include <cstring>
#include <type_traits>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#  include <emmintrin.h>
#  define QH_ROSTER_SSE2 1
#endif

namespace qh {

namespace {

// A byte field keeps enough bytes for kMaxFieldLength characters of up to
// four bytes each.
constexpr qsizetype kMaxFieldBytes = 4 * FieldReader::kMaxFieldLength;

// Set bits of a 16-bit mask. (std::popcount becomes a library call on
// processors without a popcount instruction, which costs more than this.)
constexpr int bitCount16(unsigned x)
{
    x = x - ((x >> 1) & 0x5555u);
    x = (x & 0x3333u) + ((x >> 2) & 0x3333u);
    x = (x + (x >> 4)) & 0x0F0Fu;
    return int((x + (x >> 8)) & 0x1Fu);
}
static_assert(bitCount16(0) == 0 && bitCount16(0xFFFF) == 16 && bitCount16(0x8001) == 2);

template <typename Unit> constexpr bool isBlank(Unit c)
{
    return c == Unit(' ') || c == Unit('\t');
}

template <typename Unit> constexpr bool isSeparator(Unit c)
{
    // All three lie at or below the comma; almost every byte or character of
    // a name lies above it, so one comparison usually decides.
    return std::make_unsigned_t<Unit>(c) <= ',' && (c == Unit(',') || c == Unit('\n') || c == Unit('\r'));
}

// Index of the first separator in [from, size), or size.
qsizetype findSeparator(const char *p, qsizetype from, qsizetype size)
{
#ifdef QH_ROSTER_SSE2
    const __m128i comma = _mm_set1_epi8(',');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; from + 16 <= size; from += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + from));
        const __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, comma), _mm_cmpeq_epi8(v, cr)),
                                          _mm_cmpeq_epi8(v, lf));
        const unsigned mask = unsigned(_mm_movemask_epi8(hits));
        if (mask != 0)
            return from + std::countr_zero(mask);
    }
#endif
    for (; from < size; ++from) {
        if (isSeparator(p[from]))
            return from;
    }
    return size;
}

qsizetype findSeparator(const char16_t *p, qsizetype from, qsizetype size)
{
    for (; from < size; ++from) {
        if (isSeparator(p[from]))
            return from;
    }
    return size;
}

qsizetype findQuote(const char *p, qsizetype from, qsizetype size)
{
    const void *hit = std::memchr(p + from, '"', size_t(size - from));
    return hit ? static_cast<const char *>(hit) - p : size;
}

qsizetype findQuote(const char16_t *p, qsizetype from, qsizetype size)
{
    for (; from < size; ++from) {
        if (p[from] == u'"')
            return from;
    }
    return size;
}

template <typename Container> void chopBlanks(Container &text)
{
    qsizetype n = qsizetype(text.size());
    while (n > 0 && isBlank(text[n - 1]))
        --n;
    text.resize(n);
}

} // namespace

FieldReader::FieldReader(QIODevice &device, TextEncoding encoding, qsizetype chunkBytes,
                         TextDecoder::Route route)
    : m_device(device)
    , m_encoding(encoding)
    , m_route(route)
    , m_wide(encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE)
    , m_chunkBytes(chunkBytes > 0 ? chunkBytes : kChunkBytes)
    , m_raw(m_chunkBytes, Qt::Uninitialized)
{
}

template <> inline const char *FieldReader::units<char>() const
{
    return m_raw.constData();
}

template <> inline const char16_t *FieldReader::units<char16_t>() const
{
    return m_wideUnits.data();
}

void FieldReader::readChunk()
{
    qint64 got = m_device.read(m_raw.data(), m_chunkBytes);
    if (got < 0) {
        m_error = true;
        got = 0;
    }
    if (got == 0)
        m_deviceDone = true;
    else if (byteObserver)
        byteObserver(QByteArrayView(m_raw.constData(), qsizetype(got)));
    m_pos = 0;
    if (!m_wide) {
        m_size = qsizetype(got);
        return;
    }

    const bool littleEndian = m_encoding == TextEncoding::Utf16LE;
    const auto unit = [littleEndian](char a, char b) {
        const auto lo = char16_t(uchar(littleEndian ? a : b));
        const auto hi = char16_t(uchar(littleEndian ? b : a));
        return char16_t(lo | (hi << 8));
    };
    m_wideUnits.clear();
    qsizetype i = 0;
    if (m_oddByte && got > 0) {
        m_wideUnits.push_back(unit(*m_oddByte, m_raw[0]));
        m_oddByte.reset();
        i = 1;
    }
    for (; i + 1 < got; i += 2)
        m_wideUnits.push_back(unit(m_raw[i], m_raw[i + 1]));
    if (i < got)
        m_oddByte = m_raw[i];
    if (m_deviceDone && m_oddByte) {
        // A file of an odd length ends in half a character.
        m_wideUnits.push_back(u'\uFFFD');
        m_oddByte.reset();
    }
    m_size = qsizetype(m_wideUnits.size());
}

TextDecoder &FieldReader::decoder()
{
    if (!m_decoder)
        m_decoder.emplace(m_encoding, m_route);
    return *m_decoder;
}

template <typename Unit>
void FieldReader::keep(const Unit *from, qsizetype count, bool trackBlanks)
{
    qsizetype take = 0;
    if constexpr (std::is_same_v<Unit, char>) {
        take = qMin(count, qMax<qsizetype>(kMaxFieldBytes - qsizetype(m_fieldBytes.size()), 0));
        m_fieldBytes.append(from, size_t(take));
    } else {
        take = qMin(count, qMax<qsizetype>(kMaxFieldLength - qsizetype(m_fieldUnits.size()), 0));
        m_fieldUnits.append(from, size_t(take));
    }
    if (trackBlanks && !m_droppedNonBlank) {
        for (qsizetype i = take; i < count; ++i) {
            if (!isBlank(from[i])) {
                m_droppedNonBlank = true;
                break;
            }
        }
    }
}

template <typename Unit> void FieldReader::consumeSeparator()
{
    const Unit c = units<Unit>()[m_pos++];
    if (c == Unit('\r') && fill() && units<Unit>()[m_pos] == Unit('\n'))
        ++m_pos;
}

template <typename Unit> bool FieldReader::readFieldAs(QString *value)
{
    const bool keeping = value != nullptr;

    // Spaces and tabs in front of the field.
    for (;;) {
        if (!fill())
            return false;
        const Unit *p = units<Unit>();
        while (m_pos < m_size && isBlank(p[m_pos]))
            ++m_pos;
        if (m_pos < m_size)
            break;
    }

    m_fieldBytes.clear();
    m_fieldUnits.clear();
    m_droppedNonBlank = false;

    if (units<Unit>()[m_pos] == Unit('"')) {
        ++m_pos;
        bool closed = false;
        while (!closed && fill()) {
            const Unit *p = units<Unit>();
            const qsizetype end = findQuote(p, m_pos, m_size);
            if (keeping)
                keep(p + m_pos, end - m_pos, false);
            m_pos = end;
            if (end < m_size) {
                ++m_pos;
                closed = true;
            }
        }
        // Whatever stands between the closing quote and the separator is dropped.
        while (closed && fill()) {
            m_pos = findSeparator(units<Unit>(), m_pos, m_size);
            if (m_pos < m_size) {
                consumeSeparator<Unit>();
                break;
            }
        }
        finishValue(value, false);
        return true;
    }

    while (fill()) {
        const Unit *p = units<Unit>();
        const qsizetype end = findSeparator(p, m_pos, m_size);
        if (keeping)
            keep(p + m_pos, end - m_pos, true);
        m_pos = end;
        if (end < m_size) {
            consumeSeparator<Unit>();
            break;
        }
    }
    finishValue(value, true);
    return true;
}

void FieldReader::finishValue(QString *value, bool trimBlanks)
{
    if (!value)
        return;
    if (m_wide) {
        if (trimBlanks && !m_droppedNonBlank)
            chopBlanks(m_fieldUnits);
        // Taken unit for unit: fromUtf16() would read a U+FEFF or U+FFFE at the
        // start of the field as a byte-order mark, dropping it or swapping the rest.
        *value = QString(reinterpret_cast<const QChar *>(m_fieldUnits.data()), qsizetype(m_fieldUnits.size()));
    } else {
        if (trimBlanks && !m_droppedNonBlank)
            chopBlanks(m_fieldBytes);
        *value = decoder().decode(QByteArrayView(m_fieldBytes.data(), qsizetype(m_fieldBytes.size())));
    }
    // Cut at the limit, and never between the halves of a surrogate pair.
    if (value->size() >= kMaxFieldLength) {
        value->truncate(kMaxFieldLength);
        if (value->back().isHighSurrogate())
            value->chop(1);
    }
}

template <typename Unit> qint64 FieldReader::countFieldsAs()
{
    enum class State { Plain, Quoted, AfterQuote };
    State state = State::Plain;
    qint64 fields = 0;
    bool afterCR = false;  // the last unit was a CR that ended a field: an LF now is part of it
    bool started = false;  // the current plain field has units, blanks included
    bool nonBlank = false; // ... other than blanks

    while (fill()) {
        const Unit *p = units<Unit>();
        const qsizetype n = m_size;
        qsizetype i = m_pos;
        while (i < n) {
            if (state == State::Quoted) {
                i = findQuote(p, i, n);
                if (i < n) {
                    ++i;
                    state = State::AfterQuote;
                }
                continue;
            }
            if (state == State::AfterQuote) {
                i = findSeparator(p, i, n);
                if (i < n) {
                    ++fields;
                    afterCR = p[i] == Unit('\r');
                    ++i;
                    state = State::Plain;
                    started = nonBlank = false;
                }
                continue;
            }

            qsizetype scalarEnd = n;
#ifdef QH_ROSTER_SSE2
            if constexpr (std::is_same_v<Unit, char>) {
                // Sixteen bytes at a time while no quote is in sight: every
                // separator then ends a field, except the LF of a CR LF.
                const __m128i quote = _mm_set1_epi8('"');
                const __m128i comma = _mm_set1_epi8(',');
                const __m128i cr = _mm_set1_epi8('\r');
                const __m128i lf = _mm_set1_epi8('\n');
                const __m128i space = _mm_set1_epi8(' ');
                const __m128i tab = _mm_set1_epi8('\t');
                for (; i + 16 <= n; i += 16) {
                    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
                    const unsigned quotes = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, quote)));
                    if (quotes != 0) {
                        scalarEnd = i + std::countr_zero(quotes) + 1;
                        break;
                    }
                    const unsigned crs = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, cr)));
                    const unsigned lfs = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lf)));
                    const unsigned seps = crs | lfs | unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, comma)));
                    const unsigned blanks = unsigned(_mm_movemask_epi8(
                        _mm_or_si128(_mm_cmpeq_epi8(v, space), _mm_cmpeq_epi8(v, tab))));
                    const unsigned joined = ((crs << 1) | (afterCR ? 1u : 0u)) & lfs;
                    fields += bitCount16(seps & ~joined);
                    if (seps != 0) {
                        const int last = 31 - std::countl_zero(seps);
                        const unsigned behind = 0xFFFFu & ~((2u << last) - 1u);
                        started = behind != 0;
                        nonBlank = (behind & ~blanks) != 0;
                    } else {
                        started = true;
                        nonBlank = nonBlank || (~blanks & 0xFFFFu) != 0;
                    }
                    afterCR = (crs & 0x8000u) != 0;
                }
            }
#endif
            while (i < scalarEnd && state == State::Plain) {
                const Unit c = p[i++];
                if (afterCR) {
                    afterCR = false;
                    if (c == Unit('\n'))
                        continue;
                }
                if (isSeparator(c)) {
                    ++fields;
                    afterCR = c == Unit('\r');
                    started = nonBlank = false;
                    continue;
                }
                started = true;
                if (isBlank(c))
                    continue;
                if (c == Unit('"') && !nonBlank)
                    state = State::Quoted;
                else
                    nonBlank = true;
            }
        }
        m_pos = n;
    }

    if (state != State::Plain || nonBlank)
        return fields + 1; // the last field ends at the end of the file
    return started ? -1 : fields;
}

qint64 FieldReader::countFieldsToEnd()
{
    return m_wide ? countFieldsAs<char16_t>() : countFieldsAs<char>();
}

bool FieldReader::readField(QString *value)
{
    return m_wide ? readFieldAs<char16_t>(value) : readFieldAs<char>(value);
}

} // namespace qh
