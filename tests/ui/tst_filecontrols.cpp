// The drive, folder and file lists of the start window.

#include "testmain.h"
#include "ui/filecontrols.h"
#include "fifo.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QApplication>
#include <QHelpEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

#include <atomic>
#include <memory>
#include <semaphore>
#include <utility>

using namespace qh;

namespace {

void touch(const QString &path)
{
    QVERIFY(!test::writeFile(path, {}).isEmpty());
}

QStringList texts(const QListWidget &list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out << list.item(i)->text().trimmed();
    return out;
}

// A drive's probe that answers when let; shared with the probe's thread,
// which may outlive the test.
struct Gate {
    std::counting_semaphore<8> answer{0};
    std::atomic<int> asked{0};
};

} // namespace

class TestFileControls : public QObject {
    Q_OBJECT
private slots:
    void fileListShowsOnlyTxtCaseInsensitively()
    {
        QTemporaryDir dir;
        for (const char *name : {"名单.txt", "B.TXT", "c.Txt", "notes.doc", "txt", "a.txt.bak", "班级 二.txt"})
            touch(dir.filePath(QString::fromUtf8(name)));
        QDir(dir.path()).mkdir(QStringLiteral("folder.txt"));

        FileList list;
        list.setPattern(QStringLiteral("*.txt"));
        list.showFiles(readFiles(dir.path(), list.patterns()));
        QStringList shown = texts(list);
        shown.sort();
        QStringList expected{QStringLiteral("B.TXT"), QStringLiteral("c.Txt"), QStringLiteral("名单.txt"),
                             QStringLiteral("班级 二.txt")};
        expected.sort();
        QCOMPARE(shown, expected);
    }

    // A named pipe or a dangling link named like a roster is not offered; a
    // link to a roster is.
    void fileListOffersRegularFilesOnly()
    {
        QTemporaryDir dir;
        touch(dir.filePath(QStringLiteral("a.txt")));
        test::Fifo fifo(dir.filePath(QStringLiteral("名单.txt")));
        if (!fifo.ok())
            QSKIP("no named pipes here");
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("a.txt")), dir.filePath(QStringLiteral("link.txt"))));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("gone")), dir.filePath(QStringLiteral("dangling.txt"))));
        const FileContents files = readFiles(dir.path(), {QStringLiteral("*.txt")});
        QVERIFY(files.ok);
        FileList list;
        list.showFiles(files);
        QCOMPARE(texts(list), (QStringList{QStringLiteral("a.txt"), QStringLiteral("link.txt")}));
    }

    void fileListReportsChoice()
    {
        QTemporaryDir dir;
        touch(dir.filePath(QStringLiteral("a.txt")));
        touch(dir.filePath(QStringLiteral("b.txt")));
        FileList list;
        list.showFiles(readFiles(dir.path(), {QStringLiteral("*.txt")}));
        list.resize(200, 200);
        list.show();
        QSignalSpy spy(&list, &FileList::fileSelected);
        const QRect r = list.visualItemRect(list.item(1));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, r.center());
        QVERIFY(!spy.isEmpty());
        QCOMPARE(spy.last().at(0).toString(), QStringLiteral("b.txt"));
        QCOMPARE(list.selectedFileName(), QStringLiteral("b.txt"));
    }

    void unreadableFolderLeavesListsAsTheyWere()
    {
        QTemporaryDir dir;
        const QString missing = dir.filePath(QStringLiteral("missing"));
        QVERIFY(!readFiles(missing, {QStringLiteral("*.txt")}).ok);
        QVERIFY(!readFolder(missing).ok);
        DriveList drives;
        QSignalSpy spy(&drives, &DriveList::folderRead);
        drives.openFolder(dir.path());
        QTRY_COMPARE(spy.count(), 1);
        drives.openFolder(missing);
        QTRY_VERIFY(!drives.isReading());
        QCOMPARE(spy.count(), 1);
        QCOMPARE(drives.folder().path, QDir(dir.path()).canonicalPath());
    }

    // A name cut off by its list shows whole in a tool tip; one that fits
    // shows none.
    void cutOffNamesShowWholeInAToolTip()
    {
        FileList list;
        const QString longName = QStringLiteral("初二（3）班 第二学期 期中以后的座位名单.txt");
        list.showFiles({true, QStringLiteral("/"), {QStringLiteral("a.txt"), longName}});
        list.resize(120, 200);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        const auto tipOver = [&](int row) -> QString {
            QToolTip::hideText();
            if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); }))
                return QStringLiteral("(a tool tip stays)");
            const QPoint at = list.visualItemRect(list.item(row)).center();
            QHelpEvent help(QEvent::ToolTip, at, list.viewport()->mapToGlobal(at));
            QApplication::sendEvent(list.viewport(), &help);
            return QToolTip::isVisible() ? QToolTip::text() : QString();
        };
        QCOMPARE(tipOver(list.row(list.findItems(longName, Qt::MatchExactly).value(0))), longName);
        QCOMPARE(tipOver(list.row(list.findItems(QStringLiteral("a.txt"), Qt::MatchExactly).value(0))), QString());
    }

    void dirListShowsChainAndSubfolders()
    {
        QTemporaryDir dir;
        QDir d(dir.path());
        d.mkpath(QStringLiteral("班级/一班"));
        d.mkdir(QStringLiteral("b folder"));
        DirList list;
        QSignalSpy spy(&list, &DirList::folderOpened);
        list.showFolder(readFolder(dir.path()));
        const QStringList shown = texts(list);
        QVERIFY(shown.contains(QStringLiteral("班级")));
        QVERIFY(shown.contains(QStringLiteral("b folder")));
        QCOMPARE(shown.last(), QStringLiteral("班级")); // subfolders follow the chain, sorted
        QCOMPARE(list.currentItem()->text().trimmed(), QFileInfo(dir.path()).fileName());

        // Opening a subfolder (double click / Enter) asks for it to be read.
        QListWidgetItem *sub = list.findItems(QStringLiteral("班级"), Qt::MatchEndsWith).value(0);
        QVERIFY(sub);
        emit list.itemActivated(sub);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.last().at(0).toString(), d.absoluteFilePath(QStringLiteral("班级")));
    }

    // A folder on a share starts its chain at the share, \\server\share,
    // as one root; the drive list offers the share.
    void shareIsOneRoot()
    {
#ifndef Q_OS_WIN
        QSKIP("shares are named \\\\server\\share on Windows only");
#else
        QCOMPARE(folderChain(QStringLiteral("//server/share/班级/一班")),
                 (QStringList{QStringLiteral("//server/share"), QStringLiteral("//server/share/班级"),
                              QStringLiteral("//server/share/班级/一班")}));
        QCOMPARE(folderChain(QStringLiteral("C:/班级")), (QStringList{QStringLiteral("C:/"), QStringLiteral("C:/班级")}));
        DriveList list(nullptr, {[] { return QStringList{QStringLiteral("C:\\")}; }, {}});
        list.selectDriveOf(QStringLiteral("\\\\server\\share\\班级"));
        QCOMPARE(list.count(), 2);
        QCOMPARE(list.drive(), QStringLiteral("\\\\server\\share"));
        list.selectDriveOf(QStringLiteral("//server/share/班级/一班"));
        QCOMPARE(list.count(), 2);
#endif
    }

    // The folder list goes where the system goes: L, a link to ../B/sub,
    // then "..", is B.
    void dirListFollowsLinksBeforeDotDot()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows folds .. before it follows a link");
#else
        QTemporaryDir tmp;
        QVERIFY(QDir(tmp.path()).mkpath(QStringLiteral("A")) && QDir(tmp.path()).mkpath(QStringLiteral("B/sub")));
        QVERIFY(QFile::link(QStringLiteral("../B/sub"), tmp.filePath(QStringLiteral("A/L"))));
        QCOMPARE(readFolder(tmp.filePath(QStringLiteral("A/L/.."))).path, tmp.filePath(QStringLiteral("B")));
#endif
    }

    void drivesFromMountInfo_data()
    {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QStringList>("drives");
        QTest::newRow("empty") << QByteArray() << QStringList{QStringLiteral("/")};
        QTest::newRow("pseudo and system mounts left out")
            << QByteArray("22 27 0:21 / /proc rw - proc proc rw\n"
                          "27 1 254:0 / / rw shared:1 - ext4 /dev/vda rw\n"
                          "31 23 0:28 / /sys/fs/cgroup rw - tmpfs tmpfs rw\n"
                          "40 27 0:40 / /home/li rw - autofs systemd-1 rw\n"
                          "41 27 0:41 / /run/media/li/U rw - vfat /dev/sdb1 rw\n"
                          "42 27 0:42 / /etc/hosts rw - ext4 /dev/vda rw\n")
            << QStringList{QStringLiteral("/")};
        QTest::newRow("shares and sticks, escapes undone, each once")
            << QByteArray("27 1 254:0 / / rw - ext4 /dev/vda rw\n"
                          "50 27 0:50 / /mnt/class\\040share rw master:2 - nfs4 srv:/c rw\n"
                          "51 27 8:17 / /media/U\\134x rw - vfat /dev/sdb1 rw\n"
                          "52 27 8:17 / /media/U\\134x rw - vfat /dev/sdb1 rw\n"
                          "broken line\n")
            << QStringList{QStringLiteral("/"), QStringLiteral("/mnt/class share"), QStringLiteral("/media/U\\x")};
    }

    void drivesFromMountInfo()
    {
        QFETCH(QByteArray, table);
        QFETCH(QStringList, drives);
        QCOMPARE(DriveList::drivesFromMountInfo(table), drives);
    }

    // A chosen drive is asked in the background: while it does not answer,
    // the window goes on handling events and can be closed; a late answer
    // after the close, or after another choice, changes nothing.
    void chosenDriveIsAskedInTheBackground_data()
    {
        QTest::addColumn<QString>("then");
        QTest::newRow("answers: readable") << QStringLiteral("readable");
        QTest::newRow("answers: unreadable") << QStringLiteral("unreadable");
        QTest::newRow("closed before it answers") << QStringLiteral("close");
        QTest::newRow("other drive chosen meanwhile") << QStringLiteral("other");
    }

    void chosenDriveIsAskedInTheBackground()
    {
        QFETCH(QString, then);
        const auto gate = std::make_shared<Gate>();
        QTemporaryDir drives;
        QVERIFY(QDir(drives.path()).mkpath(QStringLiteral("hung")) && QDir(drives.path()).mkpath(QStringLiteral("b")));
        // Roots as the system lists them (C:\ on Windows).
        const QString hung = QDir::toNativeSeparators(drives.filePath(QStringLiteral("hung")));
        const QString other = QDir::toNativeSeparators(drives.filePath(QStringLiteral("b")));
        DriveSource source{[hung, other] { return QStringList{QStringLiteral("/"), hung, other}; },
                           [gate, hung, then](const QString &root) {
                               ++gate->asked;
                               if (root == hung)
                                   gate->answer.acquire();
                               return then != QLatin1String("unreadable");
                           }};
        auto *list = new DriveList(nullptr, source);
        QSignalSpy spy(list, &DriveList::folderRead);
        list->setCurrentIndex(1);
        emit list->activated(1);
        QTRY_COMPARE(gate->asked.load(), 1);
        QTest::qWait(50); // events keep flowing while the drive is silent
        QCOMPARE(spy.count(), 0);

        if (then == QLatin1String("close"))
            delete std::exchange(list, nullptr);
        if (then == QLatin1String("other")) {
            list->setCurrentIndex(2);
            emit list->activated(2);
            QTRY_COMPARE(spy.count(), 1);
            QCOMPARE(spy.last().at(0).toString(), other);
        }
        gate->answer.release();
        if (list)
            QTRY_VERIFY(!list->isReading());
        else
            QTest::qWait(100); // the late answer finds no window
        if (then == QLatin1String("readable")) {
            QCOMPARE(spy.count(), 1);
            QCOMPARE(spy.last().at(0).toString(), hung);
            QCOMPARE(list->drive(), hung);
        } else if (then == QLatin1String("unreadable")) {
            // The entry stays chosen, saying why, then the drive in use returns.
            QCOMPARE(list->currentIndex(), 1);
            QCOMPARE(list->toolTip(), QStringLiteral("驱动器未就绪：") + hung);
            QTRY_COMPARE_WITH_TIMEOUT(list->currentIndex(), 0, DriveList::kNotReadyMs * 3);
            QCOMPARE(spy.count(), 0);
        } else if (then == QLatin1String("other")) {
            QCOMPARE(spy.count(), 1);
            QCOMPARE(list->drive(), other);
        }
        delete list;
    }

    // Quick switches between drives that do not answer read each drive once
    // at a time, not once per choice; the last choice is the one shown.
    void oneReadingPerDriveAtATime()
    {
        const auto gate = std::make_shared<Gate>();
        QTemporaryDir drives;
        QVERIFY(QDir(drives.path()).mkpath(QStringLiteral("a")) && QDir(drives.path()).mkpath(QStringLiteral("b")));
        const QStringList roots{QStringLiteral("/"), QDir::toNativeSeparators(drives.filePath(QStringLiteral("a"))),
                                QDir::toNativeSeparators(drives.filePath(QStringLiteral("b")))};
        DriveList list(nullptr, {[roots] { return roots; }, [gate](const QString &) {
                                     ++gate->asked;
                                     gate->answer.acquire();
                                     return true;
                                 }});
        QSignalSpy spy(&list, &DriveList::folderRead);
        for (int i = 0; i < 200; ++i) {
            list.setCurrentIndex(1 + i % 2);
            emit list.activated(1 + i % 2);
            QCoreApplication::processEvents();
        }
        QTRY_COMPARE(gate->asked.load(), 2);
        QTest::qWait(50); // and no more readings start
        QCOMPARE(gate->asked.load(), 2);
        gate->answer.release(2);
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy.last().at(0).toString(), roots[2]);
        // The other drive's answer may come later than the one shown: once
        // it has come, that drive is asked afresh.
        QTRY_VERIFY(!list.isReading());
        QCOMPARE(spy.count(), 1);
        list.setCurrentIndex(1);
        emit list.activated(1);
        gate->answer.release();
        QTRY_COMPARE(spy.count(), 2);
        QCOMPARE(gate->asked.load(), 3);
        QCOMPARE(QDir::toNativeSeparators(list.folder().path), roots[1]);
    }

    // A drive opens in the working folder only when that lies on it:
    // /media/usb does not hold /media/usb2/班级.
    void chosenDriveOpensInWorkingFolderOnlyIfItHoldsIt_data()
    {
        QTest::addColumn<QString>("drive");
        QTest::addColumn<QString>("opens");
        QTest::newRow("name is a prefix of the folder's drive") << "usb" << "usb";
        QTest::newRow("drive holding the folder") << "usb2" << "usb2/班级";
    }
    void chosenDriveOpensInWorkingFolderOnlyIfItHoldsIt()
    {
        QFETCH(QString, drive);
        QFETCH(QString, opens);
        QTemporaryDir tmp;
        QVERIFY(QDir(tmp.path()).mkpath(QStringLiteral("usb2/班级")) && QDir(tmp.path()).mkpath(QStringLiteral("usb")));
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(tmp.filePath(QStringLiteral("usb2/班级"))));
        const auto native = [&](const QString &name) { return QDir::toNativeSeparators(tmp.filePath(name)); };
        const QString root = native(drive);
        DriveList list(nullptr, {[&] { return QStringList{QStringLiteral("/"), native(QStringLiteral("usb")),
                                                          native(QStringLiteral("usb2"))}; },
                                 [](const QString &) { return true; }});
        QSignalSpy spy(&list, &DriveList::folderRead);
        const int index = list.findData(root);
        list.setCurrentIndex(index);
        emit list.activated(index);
        QTRY_COMPARE(spy.count(), 1);
        QDir::setCurrent(before);
        QCOMPARE(spy.last().at(0).toString(), native(opens));
    }

    // Bursts of readings over several drives, each drive with its own
    // long-lived thread: all of them answer, and the last asked for is shown.
    void everyReadingAnswers()
    {
        QTemporaryDir tmp;
        QStringList roots;
        for (int i = 0; i < 8; ++i) {
            QVERIFY(QDir(tmp.path()).mkpath(QString::number(i)));
            roots << QDir::toNativeSeparators(tmp.filePath(QString::number(i)));
        }
        DriveList list(nullptr, {[roots] { return roots; }, {}});
        QSignalSpy spy(&list, &DriveList::folderRead);
        for (int round = 1; round <= 40; ++round) {
            for (const QString &root : roots)
                list.openFolder(root);
            QVERIFY2(spy.wait(10000), qPrintable(QString::number(round)));
            QTRY_VERIFY_WITH_TIMEOUT(!list.isReading(), 10000);
            QCOMPARE(spy.count(), round); // the last asked for, once
            QCOMPARE(spy.last().at(0).toString(), roots.last());
        }
    }

    void drivesIncludeRootOfWorkingFolder()
    {
        const QStringList drives = DriveList::availableDrives();
        QVERIFY(!drives.isEmpty());
        DriveList list;
        list.selectDriveOf(QDir::currentPath());
        QVERIFY(QDir::toNativeSeparators(QDir::currentPath()).startsWith(list.drive(), Qt::CaseInsensitive));
    }
};

QH_TEST_MAIN(TestFileControls)
#include "tst_filecontrols.moc"
