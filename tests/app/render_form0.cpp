// Renders the start window to a PNG for a look by eye: render_form0 OUT.png [FOLDER]
// The lists show FOLDER (default: the working folder); 名单.txt is chosen if there.

#include "app/form0.h"
#include "recordingplatform.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QTest>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    if (argc > 2)
        QDir::setCurrent(QString::fromLocal8Bit(argv[2]));
    qh::test::RecordingPlatform platform;
    qh::test::RecordingSwitcher switcher;
    qh::Form0 form(platform, switcher, QUrl());
    form.open();
    // Choose the sample roster, as a teacher would before pressing 开始使用.
    auto *files = form.controls().get<QListWidget>("File1");
    const QList<QListWidgetItem *> sample = files->findItems(QStringLiteral("名单.txt"), Qt::MatchExactly);
    if (!sample.isEmpty())
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, files->visualItemRect(sample.first()).center());
    QTest::qWait(200);
    return form.window()->grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
