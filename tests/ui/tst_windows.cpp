// Windows only, on the real windows platform with input as Windows delivers
// it (run under Wine by scripts/windows.sh): the draw button that leaves the
// slide show active, things that are no files given as a roster, and the
// drive list.

#include "core/roster.h"
#include "core/windowsheader.h"
#include "testmain.h"
#include "ui/filecontrols.h"
#include "ui/form.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

// A left click at a screen point, through the system's input queue.
void clickAt(QPoint at)
{
    SetCursorPos(at.x(), at.y());
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
}

} // namespace

class TestWindows : public QObject {
    Q_OBJECT
private slots:
    // The slide show keeps the keyboard when the draw button is pressed; a
    // press anywhere else in the window activates it as usual.
    void drawButtonPressLeavesTheActiveWindow_data()
    {
        QTest::addColumn<bool>("onButton");
        QTest::newRow("on the button") << true;
        QTest::newRow("elsewhere") << false;
    }

    void drawButtonPressLeavesTheActiveWindow()
    {
        QFETCH(bool, onButton);
        QWidget slideShow;
        slideShow.setWindowTitle(QStringLiteral("slide show"));
        slideShow.setGeometry(500, 150, 300, 200);
        qh::FormWindow form;
        form.setGeometry(100, 150, 300, 200);
        auto *button = new QPushButton(QStringLiteral("抽"), &form);
        button->setGeometry(20, 20, 100, 50);
        form.setNoActivateButton(button);
        QSignalSpy clicked(button, &QPushButton::clicked);
        form.show();
        slideShow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(QTest::qWaitForWindowExposed(&slideShow));
        slideShow.activateWindow();
        QTRY_VERIFY(slideShow.isActiveWindow());

        clickAt(onButton ? button->mapToGlobal(button->rect().center()) : form.mapToGlobal(QPoint(250, 150)));
        if (onButton) {
            QTRY_COMPARE(clicked.count(), 1);
            QTest::qWait(300); // an activation would have arrived with the press
            QVERIFY(slideShow.isActiveWindow());
        } else {
            QTRY_VERIFY(form.isActiveWindow());
        }
    }

    // Devices, pipes and folders are no rosters: the read fails at once
    // (and the caller shows its box) rather than wait on them.
    void nonFilesFailAtOnce_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("CON") << QStringLiteral("CON");
        QTest::newRow("NUL") << QStringLiteral("NUL");
        QTest::newRow("COM1") << QStringLiteral("COM1");
        QTest::newRow("NUL.txt") << QStringLiteral("NUL.txt");
        QTest::newRow("pipe") << QStringLiteral("\\\\.\\pipe\\qinghe-test-roster");
        QTest::newRow("folder") << QDir::tempPath();
    }

    void nonFilesFailAtOnce()
    {
        QFETCH(QString, path);
        // A pipe server that never writes: a reader that opened it would wait.
        HANDLE server = CreateNamedPipeW(L"\\\\.\\pipe\\qinghe-test-roster", PIPE_ACCESS_DUPLEX,
                                         PIPE_TYPE_BYTE | PIPE_WAIT, 4, 0, 0, 0, nullptr);
        QVERIFY(server != INVALID_HANDLE_VALUE);
        QElapsedTimer timer;
        timer.start();
        qh::RosterLists lists;
        const bool read = qh::readRoster(path, 82, lists) == qh::RosterStatus::Loaded;
        const qint64 took = timer.elapsed();
        CloseHandle(server);
        QVERIFY(!read);
        QVERIFY2(took < 3000, qPrintable(QString::number(took)));
    }

    // The drive list holds the drives that exist, the working folder's among them.
    void driveListHoldsTheDrivesThatExist()
    {
        const QStringList drives = qh::DriveList::availableDrives();
        QVERIFY(drives.contains(QDir::toNativeSeparators(QDir::currentPath().left(3)), Qt::CaseInsensitive));
        for (const QString &drive : drives)
            QVERIFY2(QFileInfo(drive).isDir(), qPrintable(drive));
    }

    // Each drive shows its volume's label as Windows' own drive list does,
    // "C: [青禾测试]", once its reading has answered.
    void driveListShowsVolumeLabels()
    {
        const QString root = QStringLiteral("C:\\");
        const auto *native = reinterpret_cast<const wchar_t *>(root.utf16());
        const auto label = [native] {
            wchar_t text[MAX_PATH + 1] = {};
            GetVolumeInformationW(native, text, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0);
            return QString::fromWCharArray(text);
        };
        const QString before = label();
        const auto restore = [&] { SetVolumeLabelW(native, reinterpret_cast<const wchar_t *>(before.utf16())); };
        // Only an administrator may label a drive; Wine does not keep one set.
        SetVolumeLabelW(native, L"青禾测试");
        if (label() != QStringLiteral("青禾测试")) {
            restore();
            QSKIP("this drive's label cannot be changed here");
        }
        qh::DriveList list;
        const bool answered = QTest::qWaitFor([&] { return !list.isReading(); }, 10000);
        restore();
        QVERIFY(answered);
        const int index = list.findData(root, Qt::UserRole, Qt::MatchFixedString);
        QVERIFY(index >= 0);
        QCOMPARE(list.itemText(index), QStringLiteral("C: [青禾测试]"));
    }
};

QH_TEST_MAIN(TestWindows)
#include "tst_windows.moc"
