#pragma once
// Which encoding a roster file is in, and turning its bytes into text.
//
// Teachers save rosters from Notepad or Excel: older ones in GBK (the
// Chinese ANSI code page), newer ones in UTF-8, with or without a byte-order
// mark, sometimes as "Unicode" (UTF-16). A file with a byte-order mark is
// taken at its word; otherwise a file that is valid UTF-8 as a whole is
// UTF-8, and anything else is GB18030, the superset of GBK.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

#include <optional>

namespace qh {

enum class TextEncoding { Utf8, Utf16LE, Utf16BE, Gb18030 };

struct ByteOrderMark {
    TextEncoding encoding;
    qsizetype length; // bytes to skip before the text
};

// The byte-order mark at the start of `head`, if any. `head` needs to hold
// the first three bytes of the file (fewer if the file is shorter).
std::optional<ByteOrderMark> sniffByteOrderMark(QByteArrayView head);

// Strict UTF-8 check that takes the bytes in pieces of any size, so a whole
// file can be checked while it streams past. Overlong forms, surrogates and
// code points above U+10FFFF are invalid, as is a sequence cut off at the end.
class Utf8Validator {
public:
    // Fastest checks sixteen bytes at a time where the processor allows it;
    // Portable works everywhere. Both give the same verdicts.
    enum class Method { Fastest, Portable };
    explicit Utf8Validator(Method method = Method::Fastest);

    void feed(QByteArrayView bytes);
    // True while everything fed so far could still be valid UTF-8.
    bool stillValid() const { return m_valid; }
    // The verdict once the last bytes have been fed.
    bool isValidAtEnd() const;
    // Whether Fastest uses sixteen-byte blocks on this processor.
    static bool hasBlockMethod();

private:
    void feedPortable(QByteArrayView bytes);
    void feedBlocks(QByteArrayView bytes);

    bool m_valid = true;
    bool m_blocks = false;
    // Portable: the start of a sequence cut by the end of a piece.
    char m_pending[4] = {};
    qsizetype m_pendingSize = 0;
    // Blocks: the last block checked, whether it ended inside a sequence,
    // and bytes waiting to fill the next block.
    unsigned char m_previous[16] = {};
    bool m_previousIncomplete = false;
    unsigned char m_staged[16] = {};
    qsizetype m_stagedSize = 0;
};

// Length of the longest prefix of `bytes` that ends on a GB18030 character
// boundary, parsing from the start. Only an incomplete character at the very
// end is left out; malformed bytes in the middle count as one-byte characters
// (the decoder turns them into replacement characters).
qsizetype gb18030CompletePrefix(QByteArrayView bytes);

// Decodes complete pieces of text (a field's bytes) in one encoding. Each call
// stands alone: an incomplete character at the end of a piece becomes a
// replacement character instead of waiting for the next call.
class TextDecoder {
public:
    // How GB18030 is decoded. Qt knows GB18030 only where it is built with
    // ICU; elsewhere Windows' own code page 54936 serves, and on other systems
    // Latin-1 keeps the file's structure intact though the names come out
    // garbled.
    enum class Route { Auto, Qt, WindowsCodePage, Latin1 };

    explicit TextDecoder(TextEncoding encoding, Route route = Route::Auto);

    TextEncoding encoding() const { return m_encoding; }
    // The route in use: never Auto.
    Route route() const { return m_route; }
    // Whether `route` can be used on this system (Auto and Latin1 always can).
    static bool isRouteAvailable(Route route);

    QString decode(QByteArrayView bytes);

private:
    TextEncoding m_encoding;
    Route m_route;
    QStringDecoder m_qt;
    QByteArray m_scratch;
};

} // namespace qh
