#include "roster/textdecoding.h"

#include <cstring>

#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
#  include <immintrin.h>
#  define QH_UTF8_SSSE3 1
#endif

#include "roster/windowsheader.h"

namespace qh {

namespace {

// Bytes in the UTF-8 sequence that `lead` starts; 1 for ASCII and for bytes
// that cannot start a sequence (those fail the check where they stand).
qsizetype utf8SequenceLength(uchar lead)
{
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 1;
}

bool isGbLead(uchar c) { return c >= 0x81 && c <= 0xFE; }
bool isGbDigit(uchar c) { return c >= 0x30 && c <= 0x39; }
bool isGbTrail(uchar c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }

#ifdef Q_OS_WIN
constexpr UINT kGb18030CodePage = 54936;

// Appends the text of `bytes` (complete characters) decoded by Windows.
// False if the code page is missing on this system.
bool appendWindowsCodePage(QByteArrayView bytes, QString &out)
{
    const int inLength = int(bytes.size());
    const int needed = MultiByteToWideChar(kGb18030CodePage, 0, bytes.data(), inLength, nullptr, 0);
    if (needed <= 0)
        return false;
    const qsizetype start = out.size();
    out.resize(start + needed);
    const int written = MultiByteToWideChar(kGb18030CodePage, 0, bytes.data(), inLength,
                                            reinterpret_cast<wchar_t *>(out.data() + start), needed);
    out.resize(start + qMax(written, 0));
    return written > 0;
}
#endif

#ifdef QH_UTF8_SSSE3
// The lookup method of Keiser and Lemire ("Validating UTF-8 in less than one
// instruction per byte", 2021): three table lookups on the nibbles of each
// byte and its predecessor flag every invalid two-byte pattern; a check of
// the bytes two and three back catches missing or extra continuations.
// Checks `count` blocks of sixteen bytes; false if any is invalid.
__attribute__((target("ssse3"))) bool checkUtf8BlocksSsse3(const uchar *p, qsizetype count,
                                                         uchar previous[16], bool &previousIncomplete)
{
    constexpr char kTooShort = 1 << 0;
    constexpr char kTooLong = 1 << 1;
    constexpr char kOverlong3 = 1 << 2;
    constexpr char kTooLarge = 1 << 3;
    constexpr char kSurrogate = 1 << 4;
    constexpr char kOverlong2 = 1 << 5;
    constexpr char kTooLarge1000 = 1 << 6;
    constexpr char kOverlong4 = 1 << 6;
    constexpr char kTwoConts = char(1 << 7);
    constexpr char kCarry = kTooShort | kTooLong | kTwoConts;

    const __m128i byte1High = _mm_setr_epi8(
        kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong,
        kTwoConts, kTwoConts, kTwoConts, kTwoConts,
        kTooShort | kOverlong2, kTooShort, kTooShort | kOverlong3 | kSurrogate,
        kTooShort | kTooLarge | kTooLarge1000 | kOverlong4);
    const __m128i byte1Low = _mm_setr_epi8(
        kCarry | kOverlong3 | kOverlong2 | kOverlong4, kCarry | kOverlong2, kCarry, kCarry,
        kCarry | kTooLarge, kCarry | kTooLarge | kTooLarge1000, kCarry | kTooLarge | kTooLarge1000,
        kCarry | kTooLarge | kTooLarge1000, kCarry | kTooLarge | kTooLarge1000,
        kCarry | kTooLarge | kTooLarge1000, kCarry | kTooLarge | kTooLarge1000,
        kCarry | kTooLarge | kTooLarge1000, kCarry | kTooLarge | kTooLarge1000,
        kCarry | kTooLarge | kTooLarge1000 | kSurrogate, kCarry | kTooLarge | kTooLarge1000,
        kCarry | kTooLarge | kTooLarge1000);
    const __m128i byte2High = _mm_setr_epi8(
        kTooShort, kTooShort, kTooShort, kTooShort, kTooShort, kTooShort, kTooShort, kTooShort,
        kTooLong | kOverlong2 | kTwoConts | kOverlong3 | kTooLarge1000 | kOverlong4,
        kTooLong | kOverlong2 | kTwoConts | kOverlong3 | kTooLarge,
        kTooLong | kOverlong2 | kTwoConts | kSurrogate | kTooLarge,
        kTooLong | kOverlong2 | kTwoConts | kSurrogate | kTooLarge,
        kTooShort, kTooShort, kTooShort, kTooShort);
    const __m128i nibble = _mm_set1_epi8(0x0F);
    // A block ends inside a sequence if one of its last three bytes starts
    // a sequence longer than what is left.
    const __m128i incompleteAbove = _mm_setr_epi8(
        char(0xFF), char(0xFF), char(0xFF), char(0xFF), char(0xFF), char(0xFF), char(0xFF), char(0xFF),
        char(0xFF), char(0xFF), char(0xFF), char(0xFF), char(0xFF), char(0xF0 - 1), char(0xE0 - 1),
        char(0xC0 - 1));

    __m128i prev = _mm_loadu_si128(reinterpret_cast<const __m128i *>(previous));
    __m128i incomplete = previousIncomplete ? _mm_set1_epi8(1) : _mm_setzero_si128();
    __m128i error = _mm_setzero_si128();
    for (qsizetype b = 0; b < count; ++b, p += 16) {
        const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        if (_mm_movemask_epi8(in) == 0) {
            error = _mm_or_si128(error, incomplete);
            incomplete = _mm_setzero_si128();
            prev = in;
            continue;
        }
        const __m128i prev1 = _mm_alignr_epi8(in, prev, 15);
        const __m128i prev2 = _mm_alignr_epi8(in, prev, 14);
        const __m128i prev3 = _mm_alignr_epi8(in, prev, 13);
        const __m128i special = _mm_and_si128(
            _mm_and_si128(
                _mm_shuffle_epi8(byte1High, _mm_and_si128(_mm_srli_epi16(prev1, 4), nibble)),
                _mm_shuffle_epi8(byte1Low, _mm_and_si128(prev1, nibble))),
            _mm_shuffle_epi8(byte2High, _mm_and_si128(_mm_srli_epi16(in, 4), nibble)));
        const __m128i third = _mm_subs_epu8(prev2, _mm_set1_epi8(char(0xE0 - 0x80)));
        const __m128i fourth = _mm_subs_epu8(prev3, _mm_set1_epi8(char(0xF0 - 0x80)));
        const __m128i mustContinue = _mm_and_si128(_mm_or_si128(third, fourth), _mm_set1_epi8(char(0x80)));
        error = _mm_or_si128(error, _mm_xor_si128(mustContinue, special));
        incomplete = _mm_subs_epu8(in, incompleteAbove);
        prev = in;
    }
    _mm_storeu_si128(reinterpret_cast<__m128i *>(previous), prev);
    previousIncomplete = _mm_movemask_epi8(_mm_cmpeq_epi8(incomplete, _mm_setzero_si128())) != 0xFFFF;
    return _mm_movemask_epi8(_mm_cmpeq_epi8(error, _mm_setzero_si128())) == 0xFFFF;
}
#endif

bool qtKnowsGb18030()
{
    return QStringDecoder("GB18030").isValid();
}

} // namespace

std::optional<ByteOrderMark> sniffByteOrderMark(QByteArrayView head)
{
    if (head.startsWith("\xEF\xBB\xBF"))
        return ByteOrderMark{TextEncoding::Utf8, 3};
    if (head.startsWith("\xFF\xFE"))
        return ByteOrderMark{TextEncoding::Utf16LE, 2};
    if (head.startsWith("\xFE\xFF"))
        return ByteOrderMark{TextEncoding::Utf16BE, 2};
    return std::nullopt;
}

Utf8Validator::Utf8Validator(Method method)
    : m_blocks(method == Method::Fastest && hasBlockMethod())
{
}

bool Utf8Validator::hasBlockMethod()
{
#ifdef QH_UTF8_SSSE3
    return __builtin_cpu_supports("ssse3");
#else
    return false;
#endif
}

void Utf8Validator::feed(QByteArrayView bytes)
{
    if (!m_valid || bytes.isEmpty())
        return;
    if (m_blocks)
        feedBlocks(bytes);
    else
        feedPortable(bytes);
}

bool Utf8Validator::isValidAtEnd() const
{
    if (!m_valid)
        return false;
    if (!m_blocks)
        return m_pendingSize == 0;
#ifdef QH_UTF8_SSSE3
    // The last bytes, padded with ASCII zeros: a sequence cut off at the end
    // then lacks its continuation bytes.
    if (m_stagedSize == 0)
        return !m_previousIncomplete;
    uchar last[16] = {};
    std::memcpy(last, m_staged, size_t(m_stagedSize));
    uchar previous[16];
    std::memcpy(previous, m_previous, sizeof previous);
    bool incomplete = m_previousIncomplete;
    return checkUtf8BlocksSsse3(last, 1, previous, incomplete) && !incomplete;
#else
    return false;
#endif
}

void Utf8Validator::feedBlocks(QByteArrayView bytes)
{
#ifdef QH_UTF8_SSSE3
    auto *p = reinterpret_cast<const uchar *>(bytes.data());
    qsizetype n = bytes.size();
    if (m_stagedSize > 0) {
        const qsizetype take = qMin(16 - m_stagedSize, n);
        std::memcpy(m_staged + m_stagedSize, p, size_t(take));
        m_stagedSize += take;
        p += take;
        n -= take;
        if (m_stagedSize < 16)
            return;
        m_valid = checkUtf8BlocksSsse3(m_staged, 1, m_previous, m_previousIncomplete);
        m_stagedSize = 0;
        if (!m_valid)
            return;
    }
    const qsizetype blocks = n / 16;
    m_valid = checkUtf8BlocksSsse3(p, blocks, m_previous, m_previousIncomplete);
    m_stagedSize = n - blocks * 16;
    std::memcpy(m_staged, p + blocks * 16, size_t(m_stagedSize));
#else
    feedPortable(bytes);
#endif
}

void Utf8Validator::feedPortable(QByteArrayView bytes)
{
    // Complete the sequence the previous piece ended in.
    if (m_pendingSize > 0) {
        const qsizetype length = utf8SequenceLength(uchar(m_pending[0]));
        const qsizetype take = qMin(length - m_pendingSize, bytes.size());
        std::memcpy(m_pending + m_pendingSize, bytes.data(), size_t(take));
        m_pendingSize += take;
        bytes = bytes.sliced(take);
        if (m_pendingSize < length)
            return;
        m_valid = QByteArrayView(m_pending, m_pendingSize).isValidUtf8();
        m_pendingSize = 0;
        if (!m_valid)
            return;
    }

    // Hold back a sequence cut off by the end of this piece.
    qsizetype cut = bytes.size();
    for (qsizetype back = 1; back <= 4 && back <= bytes.size(); ++back) {
        const uchar c = uchar(bytes[bytes.size() - back]);
        if ((c & 0xC0) == 0x80)
            continue;
        if (utf8SequenceLength(c) > back)
            cut = bytes.size() - back;
        break;
    }
    m_valid = bytes.first(cut).isValidUtf8();
    if (m_valid && cut < bytes.size()) {
        m_pendingSize = bytes.size() - cut;
        std::memcpy(m_pending, bytes.data() + cut, size_t(m_pendingSize));
    }
}

qsizetype gb18030CompletePrefix(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        if (!isGbLead(p[i])) { // ASCII, or 0x80 / 0xFF which stand alone
            ++i;
            continue;
        }
        if (i + 1 >= n)
            return i;
        if (isGbTrail(p[i + 1])) {
            i += 2;
            continue;
        }
        if (!isGbDigit(p[i + 1])) {
            ++i;
            continue;
        }
        // Four-byte form: lead, digit, lead, digit.
        if (i + 2 >= n)
            return i;
        if (!isGbLead(p[i + 2])) {
            ++i;
            continue;
        }
        if (i + 3 >= n)
            return i;
        i += isGbDigit(p[i + 3]) ? 4 : 1;
    }
    return n;
}

TextDecoder::TextDecoder(TextEncoding encoding, Route route)
    : m_encoding(encoding)
    , m_route(Route::Qt)
{
    using Flag = QStringConverter::Flag;
    // The byte-order mark is skipped by the reader; a second one is text.
    const QStringConverter::Flags flags = Flag::Stateless | Flag::ConvertInitialBom;
    switch (encoding) {
    case TextEncoding::Utf8:
        m_qt = QStringDecoder(QStringConverter::Utf8, flags);
        return;
    case TextEncoding::Utf16LE:
        m_qt = QStringDecoder(QStringConverter::Utf16LE, flags);
        return;
    case TextEncoding::Utf16BE:
        m_qt = QStringDecoder(QStringConverter::Utf16BE, flags);
        return;
    case TextEncoding::Gb18030:
        break;
    }

    if (route == Route::Auto) {
        if (qtKnowsGb18030())
            route = Route::Qt;
        else if (isRouteAvailable(Route::WindowsCodePage))
            route = Route::WindowsCodePage;
        else
            route = Route::Latin1;
    } else if (!isRouteAvailable(route)) {
        route = Route::Latin1;
    }
    m_route = route;
    if (route == Route::Qt)
        m_qt = QStringDecoder("GB18030", flags);
}

bool TextDecoder::isRouteAvailable(Route route)
{
    switch (route) {
    case Route::Auto:
    case Route::Latin1:
        return true;
    case Route::Qt:
        return qtKnowsGb18030();
    case Route::WindowsCodePage:
#ifdef Q_OS_WIN
        return IsValidCodePage(kGb18030CodePage) != 0;
#else
        return false;
#endif
    }
    return false;
}

QString TextDecoder::decode(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return QString();
    if (m_encoding != TextEncoding::Gb18030)
        return m_qt.decode(bytes);

    switch (m_route) {
    case Route::Qt: {
        // Qt's ICU decoder silently keeps an incomplete character at the end
        // for a next call that never comes. A line feed, which is never part
        // of a GB18030 character, makes it give the replacement character.
        if (gb18030CompletePrefix(bytes) == bytes.size())
            return m_qt.decode(bytes);
        m_scratch.resize(0);
        m_scratch.append(bytes.data(), bytes.size());
        m_scratch.append('\n');
        QString text = m_qt.decode(m_scratch);
        if (text.endsWith(u'\n'))
            text.chop(1);
        return text;
    }
    case Route::WindowsCodePage: {
#ifdef Q_OS_WIN
        // MultiByteToWideChar takes an int length; cut long input between
        // characters.
        constexpr qsizetype kMaxPiece = qsizetype(1) << 26;
        QString text;
        while (!bytes.isEmpty()) {
            QByteArrayView piece = bytes.first(qMin(bytes.size(), kMaxPiece));
            if (piece.size() < bytes.size()) {
                const qsizetype cut = gb18030CompletePrefix(piece);
                if (cut > 0)
                    piece = piece.first(cut);
            }
            if (!appendWindowsCodePage(piece, text))
                text += QString::fromLatin1(piece);
            bytes = bytes.sliced(piece.size());
        }
        return text;
#else
        break;
#endif
    }
    case Route::Auto:
    case Route::Latin1:
        break;
    }
    return QString::fromLatin1(bytes);
}

} // namespace qh
