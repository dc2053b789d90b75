// A key held down on the draw button draws one name, and a key that switched
// windows does nothing in the next one, with the key events a real X server
// sends: run under Xvfb, the key held with xdotool.

#include "testmain.h"
#include "programdriver.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

using qh::test::ProgramDriver;

class TestHeldKey : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb") ||
            QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            QSKIP("needs an X server and xdotool");
        QStringList lines;
        for (int i = 1; i <= 40; ++i)
            lines << QStringLiteral("学生%1,%2").arg(i).arg(i % 2 ? u'男' : u'女');
        QVERIFY(!qh::test::writeFile(m_dir.filePath(QStringLiteral("名单.txt")), qh::test::rosterBytes(lines, "UTF-8", "\n")).isEmpty());
    }

    void heldKeyDrawsOneName_data()
    {
        QTest::addColumn<QString>("key"); // as xdotool names it
        QTest::newRow("Enter") << QStringLiteral("Return");
        QTest::newRow("keypad Enter") << QStringLiteral("KP_Enter");
        QTest::newRow("Space") << QStringLiteral("space");
    }
    void heldKeyDrawsOneName()
    {
        QFETCH(QString, key);
        ProgramDriver d;
        QVERIFY(d.start({QStringLiteral("qinghe"), m_dir.filePath(QStringLiteral("名单.txt"))}));
        ProgramDriver::click(ProgramDriver::control("Form0", QStringLiteral("Command1")));
        ProgramDriver::click(ProgramDriver::control("Form2", QStringLiteral("Command2")));
        QWidget *form = ProgramDriver::window("Form1");
        auto *draw = ProgramDriver::control<QAbstractButton>("Form1", QStringLiteral("Command1"));
        QVERIFY(form && draw);
        QCOMPARE(draw->text(), QStringLiteral("共有 40人")); // 不重复, a new pass
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form));
        draw->setFocus();

        // About a hundred repeats; Qt's own auto-repeat flag misses a few.
        QProcess held;
        hold(held, key, 5);
        released(held);
        QCOMPARE(draw->text(), QStringLiteral("还有 39人"));
        form->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Held on 开始使用 (the roster from the command line) or on 转平铺式, Enter
    // opens the seat chart and nothing more: its first card has the focus,
    // and every card stays face down.
    void heldKeyAcrossWindows_data() { ProgramDriver::addSwitchRows(); }
    void heldKeyAcrossWindows()
    {
        QFETCH(QString, form);
        QFETCH(QString, button);
        ProgramDriver d;
        d.focusBeforeSwitch(m_dir.filePath(QStringLiteral("名单.txt")), form, button);
        QProcess held;
        hold(held, QStringLiteral("Return"), 3);
        // Activated while the key is held, as a window manager does (Xvfb has none).
        QTRY_VERIFY(ProgramDriver::window("Form2"));
        ProgramDriver::window("Form2")->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(ProgramDriver::window("Form2")));
        released(held);
        ProgramDriver::verifyChartUntouched(40);
        ProgramDriver::window("Form2")->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

private:
    // Holds a key down for some seconds, as a finger does: the X server repeats it.
    static void hold(QProcess &held, const QString &key, int seconds)
    {
        held.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("xdotool keydown %1 && sleep %2 && xdotool keyup %1")
                                                                     .arg(key).arg(seconds)});
        QVERIFY(held.waitForStarted());
    }
    // Waits for the key's release, and for its last events to reach the window.
    static void released(QProcess &held)
    {
        QTRY_COMPARE_WITH_TIMEOUT(held.state(), QProcess::NotRunning, 15000);
        QCOMPARE(held.exitCode(), 0);
        QTest::qWait(300);
    }
};

QH_TEST_MAIN(TestHeldKey)
#include "tst_heldkey.moc"
