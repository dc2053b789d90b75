// A class opened without clicking through the lists: a roster's path on the
// command line (a desktop shortcut) or a file dropped on the start window.

#include "testmain.h"
#include "programdriver.h"
#include "ui/filecontrols.h"

#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>

#include <filesystem>

using namespace qh;
using test::ProgramDriver;

class TestOpenFile : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString abs(const QString &relative) const { return QDir::cleanPath(m_dir.filePath(relative)); }

    // Rows shared by the command line and the drop. path is as given
    // (relative ones from the working folder, the fixture's folder); absolute
    // is the file it names.
    void pathRows()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("absolute");
        QTest::addColumn<bool>("chosen");
        QTest::addColumn<bool>("listed"); // File1 shows and selects it
        const QString roster = QStringLiteral("班级 一/二班 名单.txt");
        QTest::newRow("Chinese and spaces") << abs(roster) << abs(roster) << true << true;
        QTest::newRow("relative") << roster << abs(roster) << true << true;
        QTest::newRow("relative through ..") << QStringLiteral("班级 一/空 文件夹/../二班 名单.txt") << abs(roster)
                                             << true << true;
        QTest::newRow("another extension") << abs(QStringLiteral("班级 一/三班.csv"))
                                           << abs(QStringLiteral("班级 一/三班.csv")) << true << false;
        QTest::newRow("missing file") << abs(QStringLiteral("班级 一/没有.txt"))
                                      << abs(QStringLiteral("班级 一/没有.txt")) << false << false;
        QTest::newRow("folder") << QStringLiteral("班级 一") << abs(QStringLiteral("班级 一")) << false << false;
        QTest::newRow("file with a separator behind") << abs(roster) + QLatin1Char('/') << abs(roster) << false << false;
#ifndef Q_OS_WIN
        // L is a link to ../B/sub: the system follows it before "..".
        QTest::newRow("link, then ..") << QStringLiteral("A/L/../r.txt") << abs(QStringLiteral("B/r.txt")) << true
                                       << true;
        QTest::newRow("link, then .., missing") << m_dir.filePath(QStringLiteral("A/L/../没有.txt"))
                                                << abs(QStringLiteral("B/没有.txt")) << false << false;
#endif
    }

    // The start window shows the file as chosen by hand, or nothing chosen.
    void verifyChoice(const QString &absolute, bool chosen, bool listed) const
    {
        auto *start = ProgramDriver::control("Form0", QStringLiteral("Command1"));
        auto *drive = ProgramDriver::control<DriveList>("Form0", QStringLiteral("Drive1"));
        auto *dirs = ProgramDriver::control<DirList>("Form0", QStringLiteral("Dir1"));
        auto *files = ProgramDriver::control<FileList>("Form0", QStringLiteral("File1"));
        QVERIFY(start && drive && dirs && files);
        const QString folder = chosen ? QFileInfo(absolute).absolutePath() : abs(QStringLiteral("."));
        QCOMPARE(start->isEnabled(), chosen);
        QCOMPARE(dirs->path(), folder);
        QCOMPARE(files->path(), folder);
        QVERIFY(QDir::toNativeSeparators(folder).startsWith(drive->drive()));
        QCOMPARE(files->selectedFileName(), listed ? QFileInfo(absolute).fileName() : QString());
        // The first control that can take the focus has it: 开始使用 once chosen.
        QCOMPARE(start->window()->focusWidget(), chosen ? start : static_cast<QWidget *>(drive));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("班级 一/空 文件夹")));
        for (const char *name : {"名单.txt", "班级 一/二班 名单.txt", "班级 一/三班.csv", "班级 一/一班.txt"}) {
            QVERIFY(!test::writeFile(m_dir.filePath(QString::fromUtf8(name)), "学生甲,男\r\n").isEmpty());
        }
#ifndef Q_OS_WIN
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("A")) && QDir(m_dir.path()).mkpath(QStringLiteral("B/sub")));
        for (const char *name : {"A/r.txt", "B/r.txt"}) {
            QVERIFY(!test::writeFile(m_dir.filePath(QString::fromUtf8(name)), "学生乙,女\n").isEmpty());
        }
        std::error_code error;
        std::filesystem::create_directory_symlink("../B/sub", QFile::encodeName(m_dir.filePath(QStringLiteral("A/L"))).toStdString(), error);
        QVERIFY(!error);
#endif
        QDir::setCurrent(m_dir.path());
    }

    void cleanup() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    void commandLine_data() { pathRows(); }
    void commandLine()
    {
        QFETCH(QString, path);
        QFETCH(QString, absolute);
        QFETCH(bool, chosen);
        QFETCH(bool, listed);
        ProgramDriver d;
        QVERIFY(d.start({QStringLiteral("qinghe"), path, QStringLiteral("名单.txt")}));
        QVERIFY(ProgramDriver::window("Form0"));
        QCOMPARE(d.program.form0.finalName(), chosen ? QDir::toNativeSeparators(absolute) : QString());
        verifyChoice(absolute, chosen, listed);
        // A path that cannot be opened is named in a box; the program goes on.
        using Message = QPair<QString, QString>;
        const QList<Message> box{{QStringLiteral("青禾抽签"),
                                  QStringLiteral("无法打开名单文件：") + QDir::toNativeSeparators(absolute)}};
        QCOMPARE(d.platform.messages, chosen ? QList<Message>() : box);
        QCOMPARE(d.platform.endCount, 0);
        if (chosen) {
            // Enter presses 开始使用, which loads that roster, as after a click in the list.
            QWidget *window = ProgramDriver::window("Form0");
            QTest::keyClick(window->focusWidget(), Qt::Key_Return);
            QVERIFY(ProgramDriver::window("Form2"));
            QVERIFY(d.platform.messages.isEmpty());
        }
    }

    // The command line is the program's own: what Qt would have taken as its
    // options is a path like any other.
    void commandLineForms_data()
    {
        QTest::addColumn<QStringList>("arguments"); // after the program's name
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("named"); // in the box
        const QString roster = abs(QStringLiteral("班级 一/二班 名单.txt"));
        QTest::newRow("-- then the roster") << QStringList{QStringLiteral("--"), QStringLiteral("名单.txt")}
                                            << abs(QStringLiteral("名单.txt")) << QString();
        QTest::newRow("file URL") << QStringList{QUrl::fromLocalFile(roster).toString()} << roster << QString();
        QTest::newRow("file URL naming localhost")
            << QStringList{QStringLiteral("file://localhost") + QUrl::fromLocalFile(roster).path()} << roster << QString();
        QTest::newRow("file URL, encoded") << QStringList{QString::fromLatin1(QUrl::fromLocalFile(roster).toEncoded())}
                                           << roster << QString();
        QTest::newRow("-style then a roster") << QStringList{QStringLiteral("-style"), QStringLiteral("名单.txt")}
                                              << QString() << abs(QStringLiteral("-style"));
        QTest::newRow("-- alone") << QStringList{QStringLiteral("--")} << QString() << QString();
        // A path with spaces typed without quotes: when no argument alone is
        // a file, all of them joined are tried, and named in the box.
        QTest::newRow("spaces, no quotes") << QStringList{abs(QStringLiteral("班级")), QStringLiteral("一/三班.csv")}
                                           << abs(QStringLiteral("班级 一/三班.csv")) << QString();
        QTest::newRow("spaces, no quotes, one a file alone")
            << QStringList{abs(QStringLiteral("班级")), QStringLiteral("一/二班"), QStringLiteral("名单.txt")}
            << QString() << abs(QStringLiteral("班级"));
        QTest::newRow("-platform bogus") << QStringList{QStringLiteral("-platform"), QStringLiteral("bogus")}
                                         << QString() << abs(QStringLiteral("-platform bogus"));
    }
    void commandLineForms()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, chosen);
        QFETCH(QString, named);
        ProgramDriver d;
        QVERIFY(d.start(QStringList{QStringLiteral("qinghe")} + arguments));
        QVERIFY(ProgramDriver::window("Form0"));
        QCOMPARE(d.program.form0.finalName(), QDir::toNativeSeparators(chosen));
        QCOMPARE(d.platform.messages.size(), named.isEmpty() ? 0 : 1);
        if (!named.isEmpty())
            QCOMPARE(d.platform.messages.first().second,
                     QStringLiteral("无法打开名单文件：") + QDir::toNativeSeparators(named));
    }

    void drop_data()
    {
        pathRows();
        QTest::newRow("several files: the first")
            << abs(QStringLiteral("班级 一/二班 名单.txt")) + QStringLiteral("|") + abs(QStringLiteral("名单.txt"))
            << abs(QStringLiteral("班级 一/二班 名单.txt")) << true << true;
        QTest::newRow("web address") << QStringLiteral("http://www.mingxi.example/名单.txt") << QString() << false
                                     << false;
    }
    void drop()
    {
        QFETCH(QString, path);
        QFETCH(QString, absolute);
        QFETCH(bool, chosen);
        QFETCH(bool, listed);
        ProgramDriver d;
        QVERIFY(d.start());
        QWidget *window = ProgramDriver::window("Form0");
        QVERIFY(window && window->acceptDrops());
        // The drop comes from another program's window, which is active.
        QWidget explorer;
        explorer.show();
        explorer.activateWindow();
        QTRY_VERIFY(explorer.isActiveWindow());
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString &p : path.split(QLatin1Char('|')))
            urls << (p.startsWith(QLatin1String("http")) ? QUrl(p) : QUrl::fromLocalFile(p));
        mime.setUrls(urls);

        // Local paths are taken while dragging (whether one is a file is
        // asked off the window's thread once dropped), others refused; always
        // as a copy: a move would let the file manager delete the roster.
        const bool local = !absolute.isEmpty();
        const QPoint over = window->rect().center();
        QDragEnterEvent enter(over, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(window, &enter);
        QCOMPARE(enter.isAccepted(), local);
        QCOMPARE(enter.dropAction(), Qt::CopyAction);
        QDropEvent drop(over, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(window, &drop);
        QCOMPARE(drop.isAccepted(), local);
        QCOMPARE(drop.dropAction(), Qt::CopyAction);
        QTRY_VERIFY(!d.program.form0.isReading());
        // In front, so Enter starts.
        if (local)
            QTRY_VERIFY(window->isActiveWindow());

        QCOMPARE(d.program.form0.finalName(), chosen ? QDir::toNativeSeparators(absolute) : QString());
        verifyChoice(absolute, chosen, listed);
        QVERIFY(d.platform.messages.isEmpty());
    }

    void dropReplacesAnEarlierChoice()
    {
        ProgramDriver d;
        QVERIFY(d.start({QStringLiteral("qinghe"), QStringLiteral("名单.txt")}));
        QCOMPARE(d.program.form0.finalName(), QDir::toNativeSeparators(abs(QStringLiteral("名单.txt"))));
        QWidget *window = ProgramDriver::window("Form0");
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(abs(QStringLiteral("班级 一/三班.csv")))});
        QDragEnterEvent enter(window->rect().center(), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(window, &enter);
        QDropEvent drop(window->rect().center(), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(window, &drop);
        QTRY_COMPARE(d.program.form0.finalName(), QDir::toNativeSeparators(abs(QStringLiteral("班级 一/三班.csv"))));
        // The earlier file is no longer shown as selected.
        QVERIFY(ProgramDriver::control<FileList>("Form0", QStringLiteral("File1"))->selectedFileName().isEmpty());
    }
};

QH_TEST_MAIN(TestOpenFile)
#include "tst_openfile.moc"
