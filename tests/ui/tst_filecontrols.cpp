// The drive, folder and file lists of the start window.

#include "testmain.h"
#include "ui/filecontrols.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace qh;

namespace {

void touch(const QString &path)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
}

QStringList texts(const QListWidget &list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out << list.item(i)->text().trimmed();
    return out;
}

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
        QVERIFY(list.setPath(dir.path()));
        QStringList shown = texts(list);
        shown.sort();
        QStringList expected{QStringLiteral("B.TXT"), QStringLiteral("c.Txt"), QStringLiteral("名单.txt"),
                             QStringLiteral("班级 二.txt")};
        expected.sort();
        QCOMPARE(shown, expected);
    }

    void fileListReportsChoice()
    {
        QTemporaryDir dir;
        touch(dir.filePath(QStringLiteral("a.txt")));
        touch(dir.filePath(QStringLiteral("b.txt")));
        FileList list;
        list.setPattern(QStringLiteral("*.txt"));
        list.setPath(dir.path());
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
        touch(dir.filePath(QStringLiteral("a.txt")));
        FileList files;
        files.setPattern(QStringLiteral("*.txt"));
        QVERIFY(files.setPath(dir.path()));
        QVERIFY(!files.setPath(dir.filePath(QStringLiteral("missing"))));
        QCOMPARE(files.count(), 1);
        QCOMPARE(QDir(files.path()), QDir(dir.path()));

        DirList dirs;
        QVERIFY(dirs.setPath(dir.path()));
        QSignalSpy spy(&dirs, &DirList::pathChanged);
        QVERIFY(!dirs.setPath(dir.filePath(QStringLiteral("missing"))));
        QCOMPARE(spy.count(), 0);
        QCOMPARE(dirs.path(), QDir(dir.path()).absolutePath());
    }

    void dirListShowsChainAndSubfolders()
    {
        QTemporaryDir dir;
        QDir d(dir.path());
        d.mkpath(QStringLiteral("班级/一班"));
        d.mkdir(QStringLiteral("b folder"));
        DirList list;
        QSignalSpy spy(&list, &DirList::pathChanged);
        QVERIFY(list.setPath(dir.path()));
        QCOMPARE(spy.count(), 1);
        const QStringList shown = texts(list);
        QVERIFY(shown.contains(QStringLiteral("班级")));
        QVERIFY(shown.contains(QStringLiteral("b folder")));
        QCOMPARE(shown.last(), QStringLiteral("班级")); // subfolders follow the chain, sorted
        QCOMPARE(list.currentItem()->text().trimmed(), QFileInfo(dir.path()).fileName());

        // Opening a subfolder (double click / Enter) moves there.
        QListWidgetItem *sub = list.findItems(QStringLiteral("班级"), Qt::MatchEndsWith).value(0);
        QVERIFY(sub);
        emit list.itemActivated(sub);
        QCOMPARE(list.path(), d.absoluteFilePath(QStringLiteral("班级")));
        QCOMPARE(spy.count(), 2);
        QVERIFY(texts(list).contains(QStringLiteral("一班")));
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
