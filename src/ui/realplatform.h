#pragma once
// The platform seam as the program uses it for real.

#include "core/platform.h"

#include <QFontMetrics>

namespace qh {

class RealPlatform final : public Platform {
public:
    void openUrl(const QUrl &url) override;
#ifdef Q_OS_WIN
    // In windowsdesktop.cpp; elsewhere the page opens as any other.
    void openUrlMinimised(const QUrl &url) override;
#endif
    void showMessage(const QString &title, const QString &text) override;
    void endProcess() override;
};

// Ends the process at once with that status: no window's closing steps and
// no teardown of the process's globals, which a thread still waiting on a
// drive might be using.
[[noreturn]] void endProcessNow(int status);

// text as a message box shows it: each line broken into lines at most width
// wide, and one that needs more than `lines` of them shortened in the middle
// ("…") to fit that many.
QString boundedText(const QString &text, const QFontMetrics &metrics, int width, int lines);

} // namespace qh
