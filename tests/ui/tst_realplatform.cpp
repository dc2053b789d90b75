// The platform seam for real: the failure box. Built without the program's
// set-up on purpose, so Qt's Chinese catalog is not loaded and the box must
// read right by itself.

#include "ui/realplatform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>

class TestRealPlatform : public QObject {
    Q_OBJECT
private slots:
    void failureBoxHasOneQuedingButton()
    {
        QStringList buttons;
        QString title;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            title = box->windowTitle();
            for (QAbstractButton *b : box->buttons())
                buttons << b->text();
            box->accept();
        });
        qh::RealPlatform().showMessage(QStringLiteral("名单文件出错提示"), QStringLiteral("名单"));
        QCOMPARE(title, QStringLiteral("名单文件出错提示"));
        QCOMPARE(buttons, QStringList{QStringLiteral("确定")});
    }

    // A path as long as a command line allows (100 KB of folders) shows on a
    // few lines, shortened in the middle, and the box with its button fits
    // the screen; a short one shows whole.
    void boxNamingAPathFitsTheScreen_data()
    {
        QTest::addColumn<QString>("path");
        QString longPath = QStringLiteral("/home/老师");
        while (longPath.size() < 100 * 1024)
            longPath += QStringLiteral("/第%1层 文件夹").arg(longPath.size());
        QTest::newRow("100 KB") << longPath + QStringLiteral("/二班<b>名单</b>.txt");
        QTest::newRow("short") << QStringLiteral("/home/老师/名单.txt");
    }
    void boxNamingAPathFitsTheScreen()
    {
        QFETCH(QString, path);
        const QString text = QStringLiteral("无法打开名单文件：") + path;
        QRect box, button;
        QString shown;
        QTimer::singleShot(0, this, [&] {
            auto *b = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(b);
            box = b->frameGeometry();
            button = QRect(b->buttons().value(0)->mapToGlobal(QPoint()), b->buttons().value(0)->size());
            shown = b->text();
            b->accept();
        });
        qh::RealPlatform().showMessage(QStringLiteral("青禾抽签"), text);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY2(screen.contains(box), qPrintable(QStringLiteral("%1x%2").arg(box.width()).arg(box.height())));
        QVERIFY(screen.contains(button));
        QVERIFY(shown.count(QLatin1Char('\n')) < 3);
        if (path.size() < 100) {
            QCOMPARE(shown.remove(QLatin1Char('\n')), text);
        } else {
            // Its start and its file name stay; the middle gives way.
            QVERIFY(shown.startsWith(QStringLiteral("无法打开名单文件：/home/老师/")));
            QVERIFY(shown.remove(QLatin1Char('\n')).endsWith(QStringLiteral("/二班<b>名单</b>.txt")));
            QVERIFY(shown.contains(QChar(0x2026)));
        }
    }
};

QTEST_MAIN(TestRealPlatform)
#include "tst_realplatform.moc"
