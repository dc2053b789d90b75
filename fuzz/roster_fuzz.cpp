// Feeds arbitrary bytes to the roster reader as a file in memory. Whatever
// the bytes, reading must not crash, must not depend on how the file is cut
// into chunks, and must leave the lists in a consistent state; the fast
// field count and the UTF-8 check must agree with their plain counterparts.

#include "roster/fieldreader.h"
#include "roster/roster.h"
#include "roster/textdecoding.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

bool sameLists(const qh::RosterLists &a, const qh::RosterLists &b)
{
    return a.allNames == b.allNames && a.boyNames == b.boyNames && a.girlNames == b.girlNames
        && a.allLast == b.allLast && a.boyLast == b.boyLast && a.girlLast == b.girlLast
        && a.recordCount == b.recordCount;
}

void checkInvariants(const qh::RosterLists &lists, int limit)
{
    require(lists.recordCount >= 0);
    require(lists.allLast == int(std::min<qint64>(lists.recordCount, limit)) - 1);
    require(lists.allLast == lists.boyLast + lists.girlLast + 1);
    require(lists.boyLast >= -1 && lists.boyLast <= lists.allLast);
    require(lists.girlLast >= -1 && lists.girlLast <= lists.allLast);
    for (int k = 0; k <= lists.allLast; ++k)
        require(lists.allNames[size_t(k)].size() <= qh::FieldReader::kMaxFieldLength);
}

// Fields one by one, as the loader reads them: the count, or -1 if a read fails.
qint64 countByReading(QBuffer &buffer, qh::TextEncoding encoding, qsizetype chunk)
{
    buffer.seek(0);
    qh::FieldReader reader(buffer, encoding, chunk);
    qint64 fields = 0;
    while (!reader.atEnd()) {
        QString value;
        if (!reader.readField(&value))
            return -1;
        require(value.size() <= qh::FieldReader::kMaxFieldLength);
        ++fields;
    }
    return fields;
}

qint64 countFast(QBuffer &buffer, qh::TextEncoding encoding, qsizetype chunk)
{
    buffer.seek(0);
    qh::FieldReader reader(buffer, encoding, chunk);
    const qint64 fields = reader.countFieldsToEnd();
    require(reader.atEnd());
    return fields;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The first byte picks a chunk size and a record limit; the rest is the file.
    const uint8_t control = size > 0 ? data[0] : 0;
    const qsizetype chunk = 1 + control % 19;
    const int limit = (control & 0x80) ? 3 : 82;
    const QByteArray bytes = size > 0 ? QByteArray(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1))
                                      : QByteArray();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);

    qh::RosterLists small(qh::kSeatChartRoster.slotCount);
    qh::RosterLists whole(qh::kSeatChartRoster.slotCount);
    const bool okSmall = qh::readRoster(buffer, limit, small, chunk);
    const bool okWhole = qh::readRoster(buffer, limit, whole);
    require(okSmall == okWhole);
    require(sameLists(small, whole));
    if (okWhole)
        checkInvariants(whole, limit);
    else
        require(sameLists(whole, qh::RosterLists(qh::kSeatChartRoster.slotCount)));

    for (auto encoding : {qh::TextEncoding::Utf8, qh::TextEncoding::Utf16LE}) {
        const qint64 read = countByReading(buffer, encoding, chunk);
        require(countFast(buffer, encoding, chunk) == read);
        require(countFast(buffer, encoding, qh::FieldReader::kChunkBytes) == read);
    }

    const bool valid = QByteArrayView(bytes).isValidUtf8();
    for (auto method : {qh::Utf8Validator::Method::Fastest, qh::Utf8Validator::Method::Portable}) {
        qh::Utf8Validator validator(method);
        for (qsizetype at = 0; at < bytes.size(); at += chunk)
            validator.feed(QByteArrayView(bytes).sliced(at, std::min(chunk, bytes.size() - at)));
        require(validator.isValidAtEnd() == valid);
    }
    return 0;
}
