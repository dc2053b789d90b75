#pragma once
// The encodings a roster comes in and how to tell them apart: the byte-order
// mark, the UTF-8 check over a file read in pieces, GB18030's byte classes,
// the decoding of a field's bytes (GB18030 decoded by hand on Windows, where
// Qt has no ICU), and the weighing that settles a file which is valid UTF-8
// and valid GB18030 alike.

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

#include <optional>
#include <utility>

namespace qh {

enum class TextEncoding { Utf8, Gb18030, Utf16LE, Utf16BE };

inline bool isWide(TextEncoding encoding)
{
    return encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE;
}

// The encoding a byte-order mark at the start of `head` names (UTF-8, UTF-16
// LE or BE), and how many bytes the mark takes.
std::optional<std::pair<TextEncoding, int>> byteOrderMark(QByteArrayView head);

inline bool isGbLead(uchar b) { return b >= 0x81 && b <= 0xFE; }
inline bool isGbTrail(uchar b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFE); }
inline bool isGbDigit(uchar b) { return b >= 0x30 && b <= 0x39; }
// Whether four bytes of the form lead, digit, lead, digit stand for a character.
bool isMappedGbFourByte(const uchar *bytes);

// Qt's UTF-8 check on a file that streams past in pieces: a sequence cut by
// the end of a piece waits for the next one.
class Utf8Check {
public:
    void feed(QByteArrayView bytes);
    bool validAtEnd() const { return m_valid && m_tail.isEmpty(); }
    bool validSoFar() const { return m_valid; }

private:
    bool m_valid = true;
    QByteArray m_tail;
};

// A field's bytes as text, in UTF-8 or GB18030. A roster is never shown
// misread: where GB18030 cannot be decoded at all, failed() turns true.
class Decoder {
public:
    explicit Decoder(TextEncoding encoding);
    QString decode(const QByteArray &bytes);
    bool failed() const { return m_failed; }

private:
    TextEncoding m_encoding;
    QStringDecoder m_qt;
    bool m_failed = false;
};

// A sex field written 男 or 女, blanks around it aside.
bool isSexWord(QStringView text);

// How much a name reads as a Chinese name: +1 for each of GB2312's 3,755
// level-1 characters (what a class list is nearly all made of), -1 for each
// private-use or unassigned one (what bytes read in the wrong encoding
// become); anything else counts nothing.
qint64 nameScore(QStringView name);

// What one reading of a file makes of it, for telling UTF-8 from GB18030.
struct Reading {
    bool valid = false;  // every byte is valid in this encoding
    bool ok = false;     // the text keeps the roster's rules (no failure box)
    qint64 sexWords = 0; // sex fields written 男 or 女
    qint64 nameScore = 0;
};

// For bytes without a mark: UTF-8 unless only GB18030 is valid, or both are
// and GB18030 reads better: it alone keeps the rules; else more sex fields
// written 男 or 女; else a higher name score. A tie is UTF-8.
TextEncoding chooseEncoding(const Reading &utf8, const Reading &gb18030);

} // namespace qh
