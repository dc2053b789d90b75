#pragma once
// Reads a roster file as a stream of comma- or line-separated fields, the way
// the program has always read it:
//  - spaces and tabs in front of a field are skipped;
//  - a field that begins with a double quote runs to the next double quote,
//    commas, spaces and line ends included; anything between the closing
//    quote and the next separator is dropped; a quote that is never closed
//    takes the rest of the file;
//  - any other field runs to the next comma or line end, without the spaces
//    and tabs in front of that separator;
//  - the separator is consumed: a comma, or a line end, which is CR LF, a lone
//    CR or a lone LF;
//  - a field that ends at the end of the file is complete, but if the file
//    ends where a field ought to begin, reading fails.
//
// The file is read in fixed-size chunks, so a huge file chosen by mistake is
// read in bounded memory, and a field keeps at most kMaxFieldLength
// characters (the rest of a longer field is skipped). Separators are found
// in the raw bytes: in UTF-8 and GB18030 the bytes of space, tab, quote,
// comma, CR and LF never occur inside a multi-byte character, so only the
// fields that are kept need decoding. UTF-16 files are scanned by 16-bit
// units instead.

#include "roster/textdecoding.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <functional>
#include <optional>
#include <string>

namespace qh {

class FieldReader {
public:
    static constexpr qsizetype kChunkBytes = 64 * 1024;
    static constexpr qsizetype kMaxFieldLength = 4096;

    // Reads `device` from its current position, which must be where the text
    // starts (after any byte-order mark). The device must stay open as long
    // as the reader is used.
    explicit FieldReader(QIODevice &device, TextEncoding encoding,
                         qsizetype chunkBytes = kChunkBytes,
                         TextDecoder::Route route = TextDecoder::Route::Auto);
    FieldReader(const FieldReader &) = delete;
    FieldReader &operator=(const FieldReader &) = delete;

    // True when nothing is left to read (the file's end-of-file test). Also
    // true after a read error, which hasError() then reports.
    bool atEnd() { return !fill(); }

    // Reads the next field into *value, or skips it if `value` is null.
    // False if the text ends where a field ought to begin, or on a read error.
    bool readField(QString *value);

    // Reads all remaining fields without keeping any, from a field's start.
    // Returns how many there were, or -1 if the text ends in blanks where a
    // field ought to begin: the same as calling readField(nullptr) until
    // atEnd(), only faster.
    qint64 countFieldsToEnd();

    bool hasError() const { return m_error; }

    // Sees every byte the reader takes from the device, in order.
    std::function<void(QByteArrayView)> byteObserver;

private:
    template <typename Unit> bool readFieldAs(QString *value);
    template <typename Unit> qint64 countFieldsAs();
    template <typename Unit> const Unit *units() const;
    template <typename Unit> void keep(const Unit *from, qsizetype count, bool trackBlanks);
    template <typename Unit> void consumeSeparator();

    // Makes at least one unit available; false at the end of the text.
    bool fill()
    {
        while (m_pos >= m_size) {
            if (m_deviceDone)
                return false;
            readChunk();
        }
        return true;
    }
    void readChunk();
    void finishValue(QString *value, bool trimBlanks);
    TextDecoder &decoder();

    QIODevice &m_device;
    TextEncoding m_encoding;
    TextDecoder::Route m_route;
    bool m_wide;                          // UTF-16: scan 16-bit units
    qsizetype m_chunkBytes;
    QByteArray m_raw;                     // the last chunk read
    std::u16string m_wideUnits;           // that chunk as UTF-16 units
    std::optional<char> m_oddByte;        // half a unit left over from a chunk
    qsizetype m_pos = 0;                  // next unit of the current chunk
    qsizetype m_size = 0;                 // units in the current chunk
    bool m_deviceDone = false;
    bool m_error = false;

    // The field being read, as far as it is kept.
    std::string m_fieldBytes;
    std::u16string m_fieldUnits;
    bool m_droppedNonBlank = false;       // a cut-off tail held more than blanks
    std::optional<TextDecoder> m_decoder; // made for the first kept field
};

} // namespace qh
