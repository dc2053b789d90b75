#pragma once
// The platform seam for the benchmarks: like the real one it is handed to the
// program, but it opens no browser (the start window's load would otherwise
// launch one on every run), shows no box and ends nothing. It only counts, so
// a run can check that nothing unexpected was asked for.

#include "core/platform.h"

namespace qh::bench {

class BenchPlatform final : public Platform {
public:
    void openUrl(const QUrl &) override { ++urlsOpened; }
    void showMessage(const QString &, const QString &) override { ++messagesShown; }
    void endProcess() override { ++endRequests; }

    int urlsOpened = 0;
    int messagesShown = 0;
    int endRequests = 0;
};

} // namespace qh::bench
