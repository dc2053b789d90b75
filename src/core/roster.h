#pragma once
// The class roster: a text file of records, each a student's name and sex,
// read into a list of students; each mode window keeps its own three name
// lists (all students, boys, girls), filled from the file every time it opens.
//
// The file splits into fields as core/fieldscanner.h says, in the encoding
// core/textencoding.h settles: a byte-order mark (UTF-8, UTF-16 LE or BE) is
// taken at its word; otherwise bytes that are not valid UTF-8 are GB18030,
// the superset of GBK, and bytes valid both ways are read the way that keeps
// the rules below, then that has more sexes written 男 or 女, then more
// characters common in Chinese names; a tie is UTF-8.
//
// How the fields make records, as the first line says:
//  - a first line that names a 姓名 column (blanks anywhere in a heading
//    aside), other than the two fields 姓名 and 性别, is a spreadsheet's
//    heading row: each line after it is one student, the name from the 姓名
//    column and the sex from the first 性别 column, if there is one; other
//    columns are ignored, and a line without the 姓名 column (a blank one
//    too) breaks the rules;
//  - otherwise the fields pair up in order, whatever the lines: a name, then
//    its sex; a first record of 姓名 and 性别 is the heading row, not a
//    student; an odd number of fields breaks the rules;
//  - blank lines after the last record are no records.
// A sex field of exactly 男 makes a boy; any other text (a missing one too)
// a girl.

#include "core/fieldscanner.h"

#include <QString>
#include <QtGlobal>

#include <vector>

class QIODevice;

namespace qh {

struct Student {
    QString name;
    bool boy = false;
    friend bool operator==(const Student &, const Student &) = default;
};

// A roster file's first students, up to a limit, and how many it holds.
struct Roster {
    std::vector<Student> students;
    qint64 recordCount = 0; // even beyond the limit
};

enum class RosterStatus {
    Loaded,
    CannotOpen, // not a regular file, or it cannot be opened or read
    Malformed,  // it breaks the rules, or changed while it was read
};

// The sex field that makes a record a boy's.
inline constexpr char16_t kBoySex[] = u"男";

// Reads the roster file in two passes: the first settles the encoding and
// counts the records (a malformed file fails before anything is kept), the
// second keeps the first `limit` students and reads no further than it must.
// On failure `roster` is left as it was. The file is only ever opened for
// reading, and never waited on.
[[nodiscard]] RosterStatus readStudents(const QString &path, int limit, Roster &roster);
// The same on an open, random-access device (both passes start at its beginning).
[[nodiscard]] RosterStatus readStudents(QIODevice &device, int limit, Roster &roster,
                                        qsizetype chunkBytes = kChunkBytes);

// A window's lists. (Sizes are called slotCount: `slots` is a Qt keyword macro.)
struct RosterLists {
    explicit RosterLists(int slotCount = 83); // the seat chart uses 83 slots, the single draw 82

    // The students in file order into the first slots of allNames and, by
    // sex, of boyNames and girlNames. Slots above the filled ranges keep what
    // an earlier load put there.
    void assign(const Roster &roster);

    // Each list has `slotCount` entries; a slot nobody filled holds empty text.
    std::vector<QString> allNames, boyNames, girlNames;
    // Index of the last filled slot, -1 for an empty list.
    int allLast = -1, boyLast = -1, girlLast = -1;
    qint64 recordCount = 0;
};

struct RosterOptions {
    int slotCount;
    int limit;
};
inline constexpr RosterOptions kSeatChartRoster{83, 82};
inline constexpr RosterOptions kSingleDrawRoster{82, 82};

// readStudents() into the lists, `limit` clamped to their size; on failure
// they are left as they were. Showing the failure is the caller's business.
[[nodiscard]] RosterStatus readRoster(const QString &path, int limit, RosterLists &lists);
[[nodiscard]] RosterStatus readRoster(QIODevice &device, int limit, RosterLists &lists,
                                      qsizetype chunkBytes = kChunkBytes);

} // namespace qh
