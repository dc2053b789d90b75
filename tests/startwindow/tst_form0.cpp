// The start window: its layout against the table, its load, the choice of a
// roster file and the buttons.

#include "testmain.h"
#include "testfiles.h"
#include "testhelpers.h"
#include "core/finalname.h"
#include "core/instructions.h"
#include "startwindow/form0.h"
#include "windowfixture.h"
#include "core/captions.h"
#include "core/colors.h"
#include "ui/filecontrols.h"
#include "ui/fonts.h"
#include "ui/zoom.h"
#include "ui/linecontrol.h"
#include "core/units.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace qh;

class TestForm0 : public QObject {
    Q_OBJECT

    // The folder the start window lists, for the whole run.
    test::WindowFixture m_fx{QStringLiteral("名单.txt"), 0.0, 1};

    void touch(const QString &name)
    {
        QVERIFY(!test::writeFile(m_fx.filePath(name), "学生甲,男\r\n").isEmpty());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_fx.makeFolder());
        touch(QStringLiteral("名单.txt"));
        touch(QStringLiteral("二班.TXT"));
        touch(QStringLiteral("readme.md"));
        QDir(m_fx.folder()).mkpath(QStringLiteral("班级 一/初二"));
        QFile::copy(m_fx.filePath(QStringLiteral("名单.txt")), m_fx.filePath(QStringLiteral("班级 一/甲.txt")));
        QDir::setCurrent(m_fx.folder());
    }
    void init() { m_fx.resetRecorders(); }

    void composeFinalName_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QString>("expected");
        const QChar bs(u'\\'), sl(u'/');
        QTest::newRow("drive root keeps its one backslash") << "C:\\" << "a.txt" << bs << "C:\\a.txt";
        QTest::newRow("Chinese folder") << "C:\\班级" << "a.txt" << bs << "C:\\班级\\a.txt";
        QTest::newRow("nested with spaces") << "D:\\my docs\\二班" << "名单.txt" << bs << "D:\\my docs\\二班\\名单.txt";
        QTest::newRow("forward slashes become native") << "C:/班级" << "a.txt" << bs << "C:\\班级\\a.txt";
        QTest::newRow("unix root") << "/" << "名单.txt" << sl << "/名单.txt";
        QTest::newRow("unix folder") << "/home/老师/班级" << "a.txt" << sl << "/home/老师/班级/a.txt";
        QTest::newRow("folder with trailing separator") << "/media/u盘/" << "a.txt" << sl << "/media/u盘/a.txt";
    }
    void composeFinalName()
    {
        QFETCH(QString, folder);
        QFETCH(QString, file);
        QFETCH(QChar, separator);
        QFETCH(QString, expected);
        QCOMPARE(qh::composeFinalName(folder, file, separator), expected);
    }

    void layoutMatchesTable()
    {
        Form0 form(m_fx.platform, m_fx.switcher, QUrl());
        QVERIFY(form.open());
        QTRY_VERIFY(!form.isReading());
        FormWindow *w = form.window();
        QCOMPARE(w->objectName(), QStringLiteral("Form0"));
        QCOMPARE(w->size(), twipsSize(14865, 8370));
        QCOMPARE(w->background(), colors::White);
        const QImage shot = w->grab().toImage();
        QCOMPARE(shot.pixelColor(twipsPoint(7000, 1750)), QColor(Qt::white)); // between title and lists

        for (const auto &row : form0Layout()) {
            QWidget *c = form.controls().at(row.name, row.index);
            QVERIFY2(c, row.name);
            QCOMPARE(c->parentWidget(), w);
            if (row.kind == ControlKind::Line) {
                auto *line = static_cast<LineControl *>(c);
                QCOMPARE(line->from(), twipsPoint(1680, 7320));
                QCOMPARE(line->to(), twipsPoint(14040, 7320));
                QCOMPARE(line->palette().color(QPalette::WindowText), QColor(0x80, 0x80, 0xFF));
                continue;
            }
            // Pictures are as large as their pictures, which the table states too.
            QCOMPARE(c->geometry(), twipsRect(row.left, row.top, row.width, row.height));
            if (row.kind == ControlKind::Picture) {
                QVERIFY2(!static_cast<QLabel *>(c)->pixmap().isNull(), row.name);
                continue;
            }
            QCOMPARE(c->font().pixelSize(), pointsToPixels(row.font.points));
            // The table's face: its families, as many of them as this machine has.
            const QStringList face = fontFamilies(row.font.face);
            QVERIFY2(!c->font().families().isEmpty(), row.name);
            for (const QString &family : c->font().families())
                QVERIFY2(face.contains(family), row.name);
            QCOMPARE(designOf(*c)->back->value, row.back.value);
            QCOMPARE(designOf(*c)->fore->value, row.fore.value);
        }
        QCOMPARE(form.controls().at("Label3")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QCOMPARE(form.controls().get<QLabel>("Label2")->text(),
                 QStringLiteral("软件下载及使用说明  ") + makerAddress() + QStringLiteral(" "));
        QCOMPARE(form.controls().at("Image1")->toolTip(),
                 QStringLiteral("学生名单在“名单.txt”文件中,与本程序放在同一目录下."));
        QCOMPARE(form.controls().at("Image1")->size(), QSize(320, 240));
        QCOMPARE(form.controls().at("Image2")->size(), QSize(38, 39));
        QCOMPARE(form.controls().at("Image3")->size(), QSize(48, 48));

        // The emblem lies on the photograph; the empty Label4 on the title's corner.
        const QPoint onEmblem = form.controls().at("Image2")->geometry().center();
        QCOMPARE(w->childAt(onEmblem), form.controls().at("Image2"));
        const QPoint onCorner = form.controls().at("Label4")->geometry().topLeft() + QPoint(2, 2);
        QVERIFY(form.controls().at("Label3")->geometry().contains(onCorner));
        QCOMPARE(w->childAt(onCorner), form.controls().at("Label4"));

        // The pointing hand only over the link.
        QCOMPARE(form.controls().at("Label2")->cursor().shape(), Qt::PointingHandCursor);
        for (QWidget *c : w->findChildren<QWidget *>())
            if (c->objectName() != QLatin1String("Label2"))
                QVERIFY2(!c->testAttribute(Qt::WA_SetCursor), qPrintable(c->objectName()));
        form.close();
    }

    void loadStepsAndFocus()
    {
        const QUrl page = QUrl::fromLocalFile(QStringLiteral("/x/instructions.html"));
        Form0 form(m_fx.platform, m_fx.switcher, page);
        QVERIFY(form.finalName().isEmpty());
        QVERIFY(form.open());
        QTRY_VERIFY(!form.isReading());
        QCOMPARE(m_fx.platform.urls, QList<QUrl>{page});
        QCOMPARE(m_fx.platform.minimisedUrls, QList<QUrl>{page}); // behind the start window
        QCOMPARE(form.window()->windowTitle(), test::loadedWindowCaption());
        QVERIFY(!form.controls().at("Command1")->isEnabled());
        QCOMPARE(form.controls().get<QLabel>("Label1")->text(),
                 QStringLiteral("趣味教学软件，便于学生自主学习,也可延伸开发出各学科多种教学游戏。"));
        // The first control of the tab order that can take the focus: 开始使用 is disabled.
        QCOMPARE(form.window()->focusWidget(), form.controls().at("Drive1"));

        // The tab order: Command1 (disabled now), Drive1, Dir1, File1, Command2.
        const char *order[] = {"Command1", "Drive1", "Dir1", "File1", "Command2", "Command1"};
        for (size_t k = 0; k + 1 < std::size(order); ++k) {
            QWidget *n = form.controls().at(order[k])->nextInFocusChain();
            while (!(n->focusPolicy() & Qt::TabFocus))
                n = n->nextInFocusChain();
            QCOMPARE(n, form.controls().at(order[k + 1]));
        }

        // Each click on the link opens the page again.
        QTest::mouseClick(form.controls().at("Label2"), Qt::LeftButton);
        QTest::mouseClick(form.controls().at("Label2"), Qt::LeftButton);
        QCOMPARE(m_fx.platform.urls.size(), 3);
        QCOMPARE(m_fx.platform.minimisedUrls.size(), 1); // the link opens it normally
        QCOMPARE(m_fx.platform.endCount, 0);
        form.close();
    }

    // The page is found beside the program before the installed share folder.
    // With qinghe.exe copied alone there is none: nothing opens, at the start
    // or from the link (Windows would show an error for a missing file).
    void instructionsPageOnlyWhereItIs()
    {
        QTemporaryDir root;
        const QString app = root.filePath(QStringLiteral("青禾 抽签/bin"));
        QVERIFY(QDir().mkpath(app));
        QVERIFY(QDir().mkpath(app + QStringLiteral("/instructions.html"))); // a folder is no page
        QVERIFY(instructionsUrl(app).isEmpty());
        {
            Form0 form(m_fx.platform, m_fx.switcher, instructionsUrl(app));
            m_fx.platform.urls.clear();
            QVERIFY(form.open());
            QTest::mouseClick(form.controls().at("Label2"), Qt::LeftButton);
            QVERIFY(m_fx.platform.urls.isEmpty());
            form.close();
        }
        const QString shared = root.filePath(QStringLiteral("青禾 抽签/share/qinghe/instructions.html"));
        QVERIFY(QDir().mkpath(QFileInfo(shared).path()));
        QVERIFY(!test::writeFile(shared, "<html></html>").isEmpty());
        QCOMPARE(instructionsUrl(app), QUrl::fromLocalFile(shared));
        QVERIFY(QDir(app).rmdir(QStringLiteral("instructions.html")));
        QVERIFY(!test::writeFile(app + QStringLiteral("/instructions.html"), "<html></html>").isEmpty());
        QCOMPARE(instructionsUrl(app), QUrl::fromLocalFile(app + QStringLiteral("/instructions.html")));
    }

    void listsStartInWorkingFolderAndShowOnlyTxt()
    {
        Form0 form(m_fx.platform, m_fx.switcher, QUrl());
        QVERIFY(form.open());
        QTRY_VERIFY(!form.isReading());
        auto *files = form.controls().get<FileList>("File1");
        auto *dirs = form.controls().get<DirList>("Dir1");
        QCOMPARE(QDir(dirs->path()), QDir(m_fx.folder()));
        QStringList names;
        for (int i = 0; i < files->count(); ++i)
            names << files->item(i)->text();
        names.sort();
        QStringList expected{QStringLiteral("二班.TXT"), QStringLiteral("名单.txt")};
        expected.sort();
        QCOMPARE(names, expected);
        form.close();
    }

    void choosingFilesComposesFinalName()
    {
        Form0 form(m_fx.platform, m_fx.switcher, QUrl());
        QVERIFY(form.open());
        QTRY_VERIFY(!form.isReading());
        auto *files = form.controls().get<FileList>("File1");
        auto *dirs = form.controls().get<DirList>("Dir1");
        auto *start = form.controls().get<QPushButton>("Command1");
        const QString folder = QDir::toNativeSeparators(QDir(m_fx.folder()).absolutePath());

        test::clickItem(files, QStringLiteral("名单.txt"));
        QCOMPARE(form.finalName(), folder + QDir::separator() + QStringLiteral("名单.txt"));
        QVERIFY(start->isEnabled());

        test::clickItem(files, QStringLiteral("二班.TXT"));
        QCOMPARE(form.finalName(), folder + QDir::separator() + QStringLiteral("二班.TXT"));

        // Another folder (opened by a double click or Enter) without a choice
        // there keeps the earlier file and the enabled button.
        emit dirs->itemActivated(dirs->findItems(QStringLiteral("班级 一"), Qt::MatchEndsWith).value(0));
        QTRY_COMPARE(files->count(), 1);
        QCOMPARE(form.finalName(), folder + QDir::separator() + QStringLiteral("二班.TXT"));
        QVERIFY(start->isEnabled());

        // A file in the nested folder with a space in its name.
        test::clickItem(files, QStringLiteral("甲.txt"));
        QCOMPARE(form.finalName(), QDir::toNativeSeparators(m_fx.filePath(QStringLiteral("班级 一/甲.txt"))));
        QVERIFY(QFile::exists(form.finalName()));

        QTest::mouseClick(start, Qt::LeftButton);
        QCOMPARE(m_fx.switcher.requests, QList<FormId>{FormId::SeatChart});
        form.close();
        // finalname outlives the window.
        QCOMPARE(form.finalName(), QDir::toNativeSeparators(m_fx.filePath(QStringLiteral("班级 一/甲.txt"))));
    }

    void exitEndsAtOnce()
    {
        Form0 form(m_fx.platform, m_fx.switcher, QUrl());
        QVERIFY(form.open());
        QTRY_VERIFY(!form.isReading());
        QTest::mouseClick(form.controls().at("Command2"), Qt::LeftButton);
        QCOMPARE(m_fx.platform.endCount, 1);
        QVERIFY(m_fx.switcher.requests.isEmpty());
        QCOMPARE(m_fx.platform.messages.size(), 0);
    }
};

QH_TEST_MAIN(TestForm0)
#include "tst_form0.moc"
