#pragma once
// The platform seam as the program uses it for real.

#include "ui/platform.h"

namespace qh {

class RealPlatform final : public Platform {
public:
    void openUrl(const QUrl &url) override;
    void showMessage(const QString &title, const QString &text) override;
    void endProcess() override;
};

} // namespace qh
