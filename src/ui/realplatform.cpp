#include "ui/realplatform.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

#ifdef Q_OS_WIN
#  include "core/windowsheader.h"
#endif

namespace qh {

namespace {

// Greedy breaks between characters (a path has no spaces to break at); stops
// once more than `most` lines are needed.
QStringList brokenLines(const QString &text, const QFontMetrics &metrics, int width, qsizetype most)
{
    QStringList lines;
    QString line;
    int lineWidth = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString c = text.mid(i, n);
        const int w = metrics.horizontalAdvance(c);
        if (!line.isEmpty() && lineWidth + w > width) {
            lines << line;
            if (lines.size() > most)
                return lines;
            line.clear();
            lineWidth = 0;
        }
        line += c;
        lineWidth += w;
        i += n - 1;
    }
    lines << line;
    return lines;
}

} // namespace

QString boundedText(const QString &text, const QFontMetrics &metrics, int width, int lines)
{
    QStringList out;
    for (const QString &paragraph : text.split(QLatin1Char('\n'))) {
        QStringList broken = brokenLines(paragraph, metrics, width, lines);
        // Each line may fall short of the width by a character: shorten
        // until the rest fits.
        for (int room = lines * width; broken.size() > lines && room > 0; room -= width / 4)
            broken = brokenLines(metrics.elidedText(paragraph, Qt::ElideMiddle, room), metrics, width, lines);
        out << broken.mid(0, lines);
    }
    return out.join(QLatin1Char('\n'));
}

void RealPlatform::openUrl(const QUrl &url)
{
    // The browser runs on its own; whether it opened changes nothing here.
    (void)QDesktopServices::openUrl(url);
}

void RealPlatform::showMessage(const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, title, QString(), QMessageBox::Ok);
    // A path may be as long as the system allows: the box shows it on a few
    // lines, shortened in the middle, so it and its button fit the screen.
    // Plain text: a file name may hold "<".
    box.setTextFormat(Qt::PlainText);
    const auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
    const QFontMetrics metrics = label ? label->fontMetrics() : box.fontMetrics();
    const QScreen *screen = QGuiApplication::primaryScreen();
    const int width = qMin(metrics.averageCharWidth() * 50, screen ? screen->availableGeometry().width() / 3 : 400);
    box.setText(boundedText(text, metrics, width, 3));
    // Right even where Qt's Chinese catalog is missing.
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

void RealPlatform::endProcess()
{
    endProcessNow(0);
}

void endProcessNow(int status)
{
    std::fflush(nullptr);
#ifdef Q_OS_WIN
    TerminateProcess(GetCurrentProcess(), UINT(status));
#endif
    std::_Exit(status);
}

} // namespace qh
