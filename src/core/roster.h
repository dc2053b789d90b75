#pragma once
// The class roster: a text file of "name,sex" records, read into three name
// lists (all students, boys, girls). Each mode window keeps its own lists and
// reloads them from the file every time it opens.
//
// How the file splits into fields, the way the program has always read it:
//  - spaces and tabs in front of a field are skipped;
//  - a field that begins with a double quote runs to the next double quote,
//    commas, spaces and line ends included; anything between the closing
//    quote and the next separator is dropped; a quote that is never closed
//    takes the rest of the file;
//  - any other field runs to the next comma or line end, without the spaces
//    and tabs in front of that separator;
//  - the separator is consumed: a comma, ASCII "," or full-width "，" (as a
//    Chinese input method types it), or a line end, which is CR LF, a lone CR
//    or a lone LF;
//  - a field that ends at the end of the file is complete, but if the file
//    ends where a field ought to begin, reading fails;
//  - a field keeps at most kMaxFieldLength characters (never half a
//    surrogate pair); the rest of a longer one is skipped.
//
// Encodings: a byte-order mark (UTF-8, UTF-16 LE or BE) at the very start of
// the file is taken at its word; otherwise a file that is valid UTF-8 as a
// whole is UTF-8, and anything else GB18030, the superset of GBK. Bytes that
// are valid both ways (short GBK names can be) are GB18030 when their name
// fields hold more CJK ideographs read that way; a tie stays UTF-8. A U+FEFF
// or U+FFFE anywhere else is text.
//
// A first record whose fields are the column headings 姓名 and 性别 (spaces
// anywhere in them aside) is a spreadsheet's heading row, not a student.

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <array>
#include <vector>

class QIODevice;

namespace qh {

// (Sizes are called slotCount: `slots` is a Qt keyword macro.)
struct RosterLists {
    explicit RosterLists(int slotCount = 83); // the seat chart uses 83 slots, the single draw 82

    // Each list has `slotCount` entries; a slot nobody filled holds empty text.
    std::vector<QString> allNames, boyNames, girlNames;
    // Index of the last filled slot, -1 for an empty list.
    int allLast = -1, boyLast = -1, girlLast = -1;
    // Records the file holds, even beyond the limit.
    qint64 recordCount = 0;
};

struct RosterOptions {
    int slotCount;
    int limit;
};
inline constexpr RosterOptions kSeatChartRoster{83, 82};
inline constexpr RosterOptions kSingleDrawRoster{82, 82};

// The sex field that makes a record a boy's; any other text is a girl's.
inline constexpr char16_t kBoySex[] = u"男";

inline constexpr qsizetype kMaxFieldLength = 4096;
inline constexpr qsizetype kChunkBytes = 64 * 1024;

enum class TextEncoding { Utf8, Gb18030, Utf16LE, Utf16BE };

struct FieldScan {
    TextEncoding encoding = TextEncoding::Utf8;
    qint64 keep = 0;       // how many fields, from the first, to keep the text of
    qint64 stopAfter = -1; // stop once this many fields are read; -1 reads to the end
    qsizetype chunkBytes = kChunkBytes;
    // While the bytes are both valid UTF-8 and valid GB18030, count what
    // tells the two apart: sex fields that read 男 or 女, and the CJK
    // ideographs in the name fields (the even ones, from the first).
    bool weighEncodings = false;
};

struct Fields {
    // False after a read error, or if the text ends where a field ought to begin.
    bool ok = false;
    qint64 count = 0;
    QStringList kept;
    // Whether every byte read was valid UTF-8 (the 8-bit encodings only).
    bool validUtf8 = true;
    // Whether every byte read was valid GB18030 (a GB18030 scan only).
    bool validGb18030 = true;
    qint64 sexWords = 0;
    qint64 nameIdeographs = 0;
};

// Reads fields from the device's current position, which must be where the
// text starts (after any byte-order mark), in chunks of `chunkBytes`: any
// file is read in bounded memory.
Fields readFields(QIODevice &device, const FieldScan &scan);

// Reads the roster file in two passes: the first counts the records (and
// finds a malformed file before any list is touched), the second fills the
// lists with the first `limit` records. Slots above the filled ranges keep
// what an earlier load put there.
//
// Returns false if the file is not a regular file or cannot be read, if it
// ends where a field ought to begin or after half a record, or if it changed
// between the two passes; `lists` is then left as it was. The file is only
// ever opened for reading, and never waited on. `limit` is clamped to the
// size of the lists. Showing the failure is the caller's business.
[[nodiscard]] bool readRoster(const QString &path, int limit, RosterLists &lists);

// The same on an open, random-access device (both passes start at its beginning).
[[nodiscard]] bool readRoster(QIODevice &device, int limit, RosterLists &lists,
                              qsizetype chunkBytes = kChunkBytes);

} // namespace qh
