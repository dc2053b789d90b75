#include "ui/realplatform.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

namespace qh {

void RealPlatform::openUrl(const QUrl &url)
{
    // The browser runs on its own; whether it opened changes nothing here.
    (void)QDesktopServices::openUrl(url);
}

void RealPlatform::showMessage(const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok);
    // Right even where Qt's Chinese catalog is missing.
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

void RealPlatform::endProcess()
{
    // Hide everything at once so no window is seen or clicked again; the event
    // loop then returns and main() ends without any window's closing steps.
    for (QWidget *w : QApplication::topLevelWidgets())
        w->hide();
    QCoreApplication::exit(0);
}

} // namespace qh
