// Windows only, on the real windows platform with keys as Windows delivers
// them (run under Wine by scripts/windows.sh): Enter held on a button that
// switches windows opens the next window and does nothing more there. Qt's
// Windows keyboard code forgets held keys while no window is active, so the
// next window's first repeat reaches it as a fresh press.

#include "core/windowsheader.h"
#include "programdriver.h"
#include "testfiles.h"
#include "testmain.h"

#include <QTemporaryDir>

using qh::test::ProgramDriver;

namespace {

void sendKey(WORD vk, bool down)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof(INPUT));
}

// Enter held as a finger holds it: a press, the repeat delay, then repeated
// presses without a release (Windows marks them as repeats), then the release.
void holdEnter()
{
    sendKey(VK_RETURN, true);
    QTest::qWait(600);
    for (int repeat = 0; repeat < 30; ++repeat) {
        sendKey(VK_RETURN, true);
        QTest::qWait(33);
    }
    sendKey(VK_RETURN, false);
    QTest::qWait(300); // the last messages reach the window
}

} // namespace

class TestWindowsKeys : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QStringList lines;
        for (int i = 1; i <= 20; ++i)
            lines << QStringLiteral("学生%1,%2").arg(i).arg(i % 2 ? u'男' : u'女');
        QVERIFY(!qh::test::writeFile(m_dir.filePath(QStringLiteral("名单.txt")),
                                     qh::test::rosterBytes(lines, "UTF-8", "\n"))
                     .isEmpty());
    }

    // Held on 开始使用 (the roster from the command line) or on 转平铺式, Enter
    // opens the seat chart, whose first card has the focus, and every card
    // stays face down.
    void heldEnterAcrossWindows_data() { ProgramDriver::addSwitchRows(); }
    void heldEnterAcrossWindows()
    {
        QFETCH(QString, form);
        QFETCH(QString, button);
        ProgramDriver d;
        d.focusBeforeSwitch(m_dir.filePath(QStringLiteral("名单.txt")), form, button);
        holdEnter();
        ProgramDriver::verifyChartUntouched(20);
        ProgramDriver::window("Form2")->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

QH_TEST_MAIN(TestWindowsKeys)
#include "tst_windowskeys.moc"
