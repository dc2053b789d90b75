#pragma once
// The platform seam as tests see it: records what the program asked for and
// does none of it.

#include "core/platform.h"
#include "ui/form.h"

#include <QList>
#include <QPair>

namespace qh::test {

class RecordingPlatform final : public Platform {
public:
    void openUrl(const QUrl &url) override { urls.append(url); }
    void openUrlMinimised(const QUrl &url) override
    {
        urls.append(url);
        minimisedUrls.append(url);
    }
    void showMessage(const QString &title, const QString &text) override
    {
        messages.append({title, text});
        ++events;
        messageOrder = events;
    }
    void endProcess() override
    {
        ++endCount;
        ++events;
        endOrder = events;
    }

    QList<QUrl> urls;          // every page opened
    QList<QUrl> minimisedUrls; // those opened minimised
    QList<QPair<QString, QString>> messages;
    int endCount = 0;
    int events = 0;
    int messageOrder = 0; // position of the last message among events
    int endOrder = 0;     // position of the last end among events
};

// A switcher that only records the windows asked for.
class RecordingSwitcher final : public WindowSwitcher {
public:
    void switchTo(FormId next) override { requests.append(next); }
    QList<FormId> requests;
};

} // namespace qh::test
