// The roster reader on one file:
//   bench_roster FILE [EXPECTED_RECORDS]
// Reads FILE once, as a window's load does (both passes, the first 82
// students kept), and prints a JSON object with the time taken. With
// EXPECTED_RECORDS it also checks the count, so a reader that gave up early
// cannot look fast. Run under /usr/bin/time -v for the peak memory.

#include "core/roster.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QString>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_roster FILE [EXPECTED_RECORDS]\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    const qint64 bytes = QFileInfo(path).size();

    qh::RosterLists lists(qh::kSeatChartRoster.slotCount);
    QElapsedTimer timer;
    timer.start();
    const bool ok = qh::readRoster(path, qh::kSeatChartRoster.limit, lists) == qh::RosterStatus::Loaded;
    const qint64 ns = timer.nsecsElapsed();
    if (!ok) {
        std::fprintf(stderr, "bench_roster: the reader rejected %s\n", argv[1]);
        return 1;
    }
    if (argc > 2 && lists.recordCount != std::strtoll(argv[2], nullptr, 10)) {
        std::fprintf(stderr, "bench_roster: %lld records read, %s expected\n",
                     static_cast<long long>(lists.recordCount), argv[2]);
        return 1;
    }
    if (lists.allLast != qh::kSeatChartRoster.limit - 1 || lists.allNames.front().isEmpty()) {
        std::fprintf(stderr, "bench_roster: the first students were not kept\n");
        return 1;
    }
    const double seconds = double(ns) / 1e9;
    std::printf("{\"bytes\": %lld, \"records\": %lld, \"seconds\": %.6f, \"mb_per_s\": %.1f}\n",
                static_cast<long long>(bytes), static_cast<long long>(lists.recordCount), seconds,
                double(bytes) / 1e6 / seconds);
    return 0;
}
