#pragma once
// What the program does to the outside world and tests must not do for real:
// open a page in the browser, show a modal message box, end the process.

#include <QString>
#include <QUrl>

namespace qh {

class Platform {
public:
    virtual ~Platform() = default;
    // Opens the page without waiting; failure is ignored.
    virtual void openUrl(const QUrl &url) = 0;
    // The same, minimised and without taking the keyboard from the window in
    // front, where the desktop allows it.
    virtual void openUrlMinimised(const QUrl &url) { openUrl(url); }
    // A modal box with one OK button (reading 确定) and no icon; returns when it is closed.
    virtual void showMessage(const QString &title, const QString &text) = 0;
    // Ends the process at once. Callers return straight after; no window
    // runs closing steps.
    virtual void endProcess() = 0;
};

} // namespace qh
