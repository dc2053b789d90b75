#pragma once
// The platform seam as the program uses it for real.

#include "core/platform.h"

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

} // namespace qh
