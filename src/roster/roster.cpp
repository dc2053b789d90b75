#include "roster/roster.h"

#include "roster/fieldreader.h"
#include "roster/regularfile.h"
#include "roster/textdecoding.h"
#include "ui/platform.h"

#include <QFile>

#include <algorithm>
#include <optional>

namespace qh {

RosterLists::RosterLists(int slotCount)
    : allNames(size_t(qMax(slotCount, 0)))
    , boyNames(size_t(qMax(slotCount, 0)))
    , girlNames(size_t(qMax(slotCount, 0)))
{
}

namespace {

struct FirstPass {
    std::optional<ByteOrderMark> bom;
    TextEncoding encoding = TextEncoding::Utf8;
    qint64 records = 0;
};

// Skips a byte-order mark at the start of the device. False if it cannot seek.
bool readByteOrderMark(QIODevice &device, std::optional<ByteOrderMark> &bom)
{
    const QByteArray head = device.read(3);
    bom = sniffByteOrderMark(head);
    return device.seek(bom ? bom->length : 0);
}

// Counts the records, and settles the encoding on the way: without a
// byte-order mark, the bytes stream past a UTF-8 check. Both candidates,
// UTF-8 and GB18030, put the separators at the same bytes, so the count does
// not depend on the outcome.
bool countRecords(QIODevice &device, qsizetype chunkBytes, FirstPass &pass)
{
    if (!readByteOrderMark(device, pass.bom))
        return false;
    Utf8Validator utf8;
    FieldReader reader(device, pass.bom ? pass.bom->encoding : TextEncoding::Utf8, chunkBytes);
    if (!pass.bom)
        reader.byteObserver = [&utf8](QByteArrayView bytes) { utf8.feed(bytes); };

    // Reading records while not at the end fails exactly when the text ends
    // in blanks where a field ought to begin, or after half a record.
    const qint64 fields = reader.countFieldsToEnd();
    if (fields < 0 || fields % 2 != 0 || reader.hasError())
        return false;

    pass.records = fields / 2;
    if (pass.bom)
        pass.encoding = pass.bom->encoding;
    else
        pass.encoding = utf8.isValidAtEnd() ? TextEncoding::Utf8 : TextEncoding::Gb18030;
    return true;
}

// Fills the lists with the first min(records, limit) records. Any sign that
// the file is no longer the one just counted makes it fail.
bool fillLists(QIODevice &device, const FirstPass &first, int limit, qsizetype chunkBytes,
               RosterLists &lists)
{
    std::optional<ByteOrderMark> bom;
    if (!readByteOrderMark(device, bom))
        return false;
    if (bom.has_value() != first.bom.has_value() || (bom && bom->encoding != first.bom->encoding))
        return false;

    FieldReader reader(device, first.encoding, chunkBytes);
    const QStringView boy(kBoySex);
    int boyNext = 0;
    int girlNext = 0;
    QString sex;
    const auto readRecord = [&](qint64 k) {
        QString &name = lists.allNames[size_t(k)];
        if (!reader.readField(&name) || !reader.readField(&sex))
            return false;
        if (sex == boy)
            lists.boyNames[size_t(boyNext++)] = name;
        else
            lists.girlNames[size_t(girlNext++)] = name;
        return true;
    };

    qint64 k = 0;
    if (first.records < limit) {
        while (!reader.atEnd()) {
            if (k == first.records) // more records than were counted
                return false;
            if (!readRecord(k))
                return false;
            ++k;
        }
        if (k != first.records)
            return false;
    } else {
        // The rest of the file is left unread.
        for (; k < limit; ++k) {
            if (!readRecord(k))
                return false;
        }
    }
    if (reader.hasError())
        return false;

    lists.allLast = int(k) - 1;
    lists.boyLast = boyNext - 1;
    lists.girlLast = girlNext - 1;
    lists.recordCount = first.records;
    return true;
}

int clampLimit(int limit, const RosterLists &lists)
{
    const size_t slotCount = std::min({lists.allNames.size(), lists.boyNames.size(), lists.girlNames.size()});
    return int(std::clamp<qint64>(limit, 0, qint64(slotCount)));
}


} // namespace

bool readRoster(const QString &path, int limit, RosterLists &lists)
{
    limit = clampLimit(limit, lists);
    FirstPass first;
    {
        QFile file;
        if (!openRegularFile(file, path) || !countRecords(file, FieldReader::kChunkBytes, first))
            return false;
    }
    RosterLists filled = lists;
    {
        QFile file;
        if (!openRegularFile(file, path) || !fillLists(file, first, limit, FieldReader::kChunkBytes, filled))
            return false;
    }
    lists = std::move(filled);
    return true;
}

bool readRoster(QIODevice &device, int limit, RosterLists &lists, qsizetype chunkBytes)
{
    if (!device.isReadable() || device.isSequential())
        return false;
    limit = clampLimit(limit, lists);
    FirstPass first;
    if (!device.seek(0) || !countRecords(device, chunkBytes, first))
        return false;
    RosterLists filled = lists;
    if (!device.seek(0) || !fillLists(device, first, limit, chunkBytes, filled))
        return false;
    lists = std::move(filled);
    return true;
}

bool LoadRoster(const QString &path, RosterLists &lists, int limit, Platform &platform,
                const std::function<void(const RosterLists &)> &afterLoad)
{
    if (!readRoster(path, limit, lists)) {
        platform.showMessage(QStringLiteral("名单文件出错提示"),
                             QStringLiteral("文件格式错误,或光标不在最后一行,或学生数超过82"));
        platform.endProcess();
        return false;
    }
    if (afterLoad)
        afterLoad(lists);
    return true;
}

} // namespace qh
