// Feeds arbitrary bytes to the roster reader as a file in memory. Whatever
// the bytes, reading must not crash, must not depend on how the file is cut
// into chunks, and must leave the lists in a consistent state; counting
// fields must agree with reading them, and the UTF-8 and GB18030 checks with Qt's.

#include "core/roster.h"

#include <QBuffer>
#include <QStringDecoder>

#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <limits>

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
        require(lists.allNames[size_t(k)].size() <= qh::kMaxFieldLength);
}

qh::Fields scan(QBuffer &buffer, qh::TextEncoding encoding, qsizetype chunk, qint64 keep)
{
    buffer.seek(0);
    return qh::readFields(buffer, {encoding, keep, chunk});
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
    const bool okSmall = qh::readRoster(buffer, limit, small, chunk) == qh::RosterStatus::Loaded;
    const bool okWhole = qh::readRoster(buffer, limit, whole) == qh::RosterStatus::Loaded;
    require(okSmall == okWhole);
    require(sameLists(small, whole));
    if (okWhole)
        checkInvariants(whole, limit);
    else
        require(sameLists(whole, qh::RosterLists(qh::kSeatChartRoster.slotCount)));

    // Counting alone and reading every field, in small chunks or large, agree;
    // the UTF-8 verdict is Qt's on the whole.
    for (auto encoding : {qh::TextEncoding::Utf8, qh::TextEncoding::Gb18030, qh::TextEncoding::Utf16LE}) {
        const qh::Fields read = scan(buffer, encoding, chunk, std::numeric_limits<qint64>::max());
        const qh::Fields counted = scan(buffer, encoding, qh::kChunkBytes, 0);
        require(read.ok == counted.ok && read.count == counted.count && read.kept.size() == read.count);
        for (const QString &field : read.kept)
            require(field.size() <= qh::kMaxFieldLength);
        if (encoding == qh::TextEncoding::Utf8) {
            qh::Utf8Check check;
            for (qsizetype at = 0; at < bytes.size(); at += chunk)
                check.feed(QByteArrayView(bytes).sliced(at, std::min(chunk, bytes.size() - at)));
            require(check.validAtEnd() == QByteArrayView(bytes).isValidUtf8());
        }
        if (encoding == qh::TextEncoding::Gb18030) {
            // A line feed after the bytes makes a character cut off at the end an error.
            QStringDecoder gb("GB18030", QStringConverter::Flag::Stateless);
            const QString text = gb.decode(bytes + '\n'); // decodes only when made a string
            Q_UNUSED(text)
            require(read.validGb18030 == counted.validGb18030 && (!gb.isValid() || read.validGb18030 == !gb.hasError()));
        }
    }
    return 0;
}
