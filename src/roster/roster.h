#pragma once
// The class roster: a text file of "name,sex" records, read into three name
// lists (all students, boys, girls). Each mode window keeps its own lists and
// reloads them from the file every time it opens.

#include <QString>
#include <QtGlobal>

#include <functional>
#include <vector>

class QIODevice;

namespace qh {

class Platform;

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

// Reads the roster file in two passes: the first counts the records (and
// finds a malformed file before any list is touched), the second fills the
// lists with the first `limit` records. Slots above the filled ranges keep
// what an earlier load put there.
//
// Returns false if the file cannot be opened or read, if it ends where a
// field ought to begin, or if it changed between the two passes; `lists` is
// then left as it was. The file is only ever opened for reading.
// `limit` is clamped to the size of the lists.
bool readRoster(const QString &path, int limit, RosterLists &lists);

// The same on an open, random-access device (both passes start at its
// beginning). `chunkBytes` sets how much is read at a time.
bool readRoster(QIODevice &device, int limit, RosterLists &lists,
                qsizetype chunkBytes = 64 * 1024);

// The load step's roster loading. On failure it shows the modal box titled
// "名单文件出错提示", then ends the process, and returns false. On success it
// calls `afterLoad` (if given) and returns true.
bool LoadRoster(const QString &path, RosterLists &lists, int limit, Platform &platform,
                const std::function<void(const RosterLists &)> &afterLoad = {});

} // namespace qh
