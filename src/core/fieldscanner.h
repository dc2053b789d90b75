#pragma once
// How a roster file splits into fields, read in chunks in bounded memory:
//  - spaces and tabs in front of a field are skipped;
//  - a field that begins with a double quote runs to the next double quote,
//    separators included; anything between the closing quote and the next
//    separator is dropped; a quote that is never closed takes the rest of
//    the file;
//  - any other field runs to the next separator, without the spaces and
//    tabs in front of it;
//  - the separator is consumed: a comma, ASCII "," or full-width "，" (as a
//    Chinese input method types it), a tab that follows a field's text (a
//    spreadsheet's text export), or a line end, which is CR LF, a lone CR or
//    a lone LF;
//  - a field that ends at the end of the file is complete; a line of
//    nothing but blanks is one empty field; if the file ends where a field
//    ought to begin after blanks within a line, reading fails;
//  - a field keeps at most kMaxFieldLength characters (never half a
//    surrogate pair); the rest of a longer one is skipped.
// A U+FEFF or U+FFFE is text (the reader skips a byte-order mark before
// the scanner sees the bytes).

#include "core/textencoding.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <functional>
#include <string>

class QIODevice;

namespace qh {

inline constexpr qsizetype kMaxFieldLength = 4096;
inline constexpr qsizetype kChunkBytes = 64 * 1024;

struct ScannedField {
    QString text;           // empty unless the sink wanted it
    bool nonAscii = false;  // the text holds more than ASCII
    bool endsLine = false;  // a line end, or the end of the file, ended it
    bool blankLine = false; // the whole of its line, and nothing but blanks
};

// Where the fields go, one by one.
class FieldSink {
public:
    // Whether the text of the field that begins next is wanted.
    virtual bool wantsText() const = 0;
    virtual void field(const ScannedField &field) = 0;
    // Enough fields: the scanner stops.
    virtual bool done() const { return false; }

protected:
    ~FieldSink() = default;
};

// The field rules as a state machine over code units: bytes for UTF-8 and
// GB18030, whose multi-byte characters never contain the bytes of space,
// tab, quote, comma, CR or LF, and 16-bit units for UTF-16. The full-width
// comma, the one separator of more than one byte, is found where a character
// begins.
class FieldScanner {
public:
    FieldScanner(TextEncoding encoding, FieldSink &sink);

    // The next bytes of the text (UTF-16: any number, pairs made across calls).
    void feed(QByteArrayView bytes);
    // The end of the text. False if it ends where a field ought to begin, or
    // if GB18030 cannot be decoded here at all.
    bool finish();
    bool done() const { return m_done; }
    // Whether every byte so far is valid GB18030 (a GB18030 scan only; a
    // character cut off by the end counts once finish() has run).
    bool validGb18030() const { return m_validGb; }

private:
    enum class State { Before, Plain, Quoted, AfterQuote };

    void takeUnit(char16_t unit);
    void takeUtf8(uchar byte);
    void takeGb(uchar byte);
    void flushPending();
    void takeFullWidthComma(std::initializer_list<char16_t> units);
    void take(char16_t c);
    void keep(char16_t c);
    void endField(bool trimBlanks, bool endsLine);
    QString text();

    TextEncoding m_encoding;
    FieldSink &m_sink;
    Decoder m_decoder;
    bool m_validGb = true;
    bool m_wantText = false;
    bool m_done = false;            // the sink wants no more fields
    bool m_nonAscii = false;        // the field holds a unit beyond ASCII
    uchar m_pending[4] = {};        // bytes of a character not yet whole
    int m_pendingCount = 0;
    int m_oddByte = -1;             // half a UTF-16 unit
    State m_state = State::Before;
    bool m_afterCR = false;         // an LF now belongs to the CR that ended the last field
    bool m_lineStart = true;        // the field begins a line
    bool m_blanks = false;          // blanks skipped where a field ought to begin
    bool m_droppedNonBlank = false; // a cut-off tail held more than blanks
    std::u16string m_field;
};

// Reads the device from its current position in chunks of `chunkBytes`,
// handing each to `feed` until it returns false or the device ends. False
// on a read error.
bool readChunks(QIODevice &device, qsizetype chunkBytes, const std::function<bool(QByteArrayView)> &feed);

// Every field of a device, from its current position: the count, and the
// text of the first `keep`.
struct FieldScan {
    TextEncoding encoding = TextEncoding::Utf8;
    qint64 keep = 0;
    qsizetype chunkBytes = kChunkBytes;
};
struct Fields {
    bool ok = false; // false after a read error, or as finish() says
    qint64 count = 0;
    QStringList kept;
    bool validGb18030 = true;
};
Fields readFields(QIODevice &device, const FieldScan &scan);

} // namespace qh
