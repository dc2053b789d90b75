// A teacher's whole session, end to end through the real windows: choose the
// roster, call names on the seat chart, draw in the small window, switch back
// and forth while the file changes, and leave.

#include "fifo.h"
#include "testmain.h"
#include "programdriver.h"
#include "widgettext.h"

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <memory>
#include <optional>

using namespace qh;
using test::ProgramDriver;

namespace {

void writeUtf8(const QString &path, const QString &text)
{
    QVERIFY(!test::writeFile(path, text.toUtf8()).isEmpty());
}

QString text(QWidget *w)
{
    return test::textOf(*w);
}

} // namespace

class TestAcceptance : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY(QFile::copy(test::sourcePath(QStringLiteral("examples/名单.txt")), m_dir.filePath(QStringLiteral("名单.txt"))));
        QDir::setCurrent(m_dir.path());
    }

    void sessionWithSampleRoster()
    {
        ProgramDriver d(7);
        QVERIFY(d.start());
        QVERIFY(ProgramDriver::window("Form0"));
        QCOMPARE(d.platform.urls.size(), 1); // the instructions page at start-up

        d.startWith(QStringLiteral("名单.txt"));
        QVERIFY(!ProgramDriver::window("Form0"));
        QCOMPARE(ProgramDriver::visibleWindows(), 1);
        QVERIFY(ProgramDriver::window("Form2"));
        QCOMPARE(d.program.form0.finalName(), QDir::toNativeSeparators(m_dir.filePath(QStringLiteral("名单.txt"))));

        // The class of 45 lies face down on cards 1..45.
        int visibleCards = 0;
        for (int s = 0; s < 82; ++s) {
            QWidget *card = ProgramDriver::control("Form2", QStringLiteral("Command1(%1)").arg(s));
            QVERIFY(card);
            visibleCards += card->isVisible();
            if (s < 45)
                QCOMPARE(text(card), QString::number(s + 1));
        }
        QCOMPARE(visibleCards, 45);

        // The card reading 7 turns over: its name in red, and in the banner.
        ProgramDriver::click(ProgramDriver::control("Form2", QStringLiteral("Command1(6)")));
        auto *name = ProgramDriver::control<QLabel>("Form2", QStringLiteral("Label1(6)"));
        QVERIFY(name->isVisible());
        QVERIFY(!name->text().isEmpty());
        QCOMPARE(text(ProgramDriver::control("Form2", QStringLiteral("Label2"))), name->text());
        QCOMPARE(name->palette().color(QPalette::WindowText), QColor(255, 0, 0));

        // 转堆叠式: the small window, on top, in 不重复 over all 45.
        ProgramDriver::click(ProgramDriver::control("Form2", QStringLiteral("Command2")));
        QWidget *form1 = ProgramDriver::window("Form1");
        QVERIFY(form1);
        QVERIFY(!ProgramDriver::window("Form2"));
        QVERIFY(form1->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QWidget *draw = ProgramDriver::control("Form1", QStringLiteral("Command1"));
        QCOMPARE(text(draw), QStringLiteral("共有 45人"));

        // A whole pass: every student exactly once.
        QSet<QString> seen;
        for (int press = 1; press <= 45; ++press) {
            ProgramDriver::click(draw);
            seen.insert(text(ProgramDriver::control("Form1", QStringLiteral("Label1"))));
        }
        QCOMPARE(seen.size(), 45);
        QCOMPARE(text(draw), QStringLiteral("点完了"));
        QVERIFY(!seen.contains(QString()));

        // The teacher removes a student; the next switch reads the file again.
        QFile file(m_dir.filePath(QStringLiteral("名单.txt")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray bytes = file.readAll();
        file.close();
        bytes.truncate(bytes.lastIndexOf("\r\n", bytes.size() - 3) + 2);
        QVERIFY(!test::writeFile(file.fileName(), bytes).isEmpty());

        ProgramDriver::click(ProgramDriver::control("Form1", QStringLiteral("Command2"))); // 转平铺式
        QVERIFY(ProgramDriver::window("Form2"));
        QVERIFY(!ProgramDriver::window("Form1"));
        QVERIFY(ProgramDriver::control("Form2", QStringLiteral("Command1(43)"))->isVisible());
        QVERIFY(!ProgramDriver::control("Form2", QStringLiteral("Command1(44)"))->isVisible());
        QVERIFY(text(ProgramDriver::control("Form2", QStringLiteral("Label2"))).isEmpty());

        ProgramDriver::click(ProgramDriver::control("Form2", QStringLiteral("Command2")));
        QCOMPARE(text(ProgramDriver::control("Form1", QStringLiteral("Command1"))), QStringLiteral("共有 44人"));
        QCOMPARE(text(ProgramDriver::control("Form1", QStringLiteral("Label4"))), QStringLiteral("43"));

        // 退出程序 ends at once, without a question.
        ProgramDriver::click(ProgramDriver::control("Form1", QStringLiteral("Command3")));
        QCOMPARE(d.platform.endCount, 1);
        QVERIFY(d.platform.messages.isEmpty());
    }

    void rosterBrokenBetweenSwitches_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("file removed") << QStringLiteral("remove");
        QTest::newRow("file malformed") << QStringLiteral("malform");
        QTest::newRow("file swapped for a named pipe") << QStringLiteral("fifo");
    }
    void rosterBrokenBetweenSwitches()
    {
        QFETCH(QString, change);
        const QString path = m_dir.filePath(QStringLiteral("班级.txt"));
        writeUtf8(path, QStringLiteral("张三,男\n李四,女\n"));
        ProgramDriver d(3);
        QVERIFY(d.start());
        d.startWith(QStringLiteral("班级.txt"));
        QVERIFY(ProgramDriver::window("Form2"));
        ProgramDriver::click(ProgramDriver::control("Form2", QStringLiteral("Command2")));
        QVERIFY(ProgramDriver::window("Form1"));

        std::optional<test::Fifo> fifo;
        if (change == QLatin1String("malform")) {
            writeUtf8(path, QStringLiteral("张三,男\n李四\n")); // the last record lacks its sex field
        } else {
            QVERIFY(QFile::remove(path));
            if (change == QLatin1String("fifo")) {
                fifo.emplace(path);
                if (!fifo->ok())
                    QSKIP("no named pipes here");
            }
        }

        ProgramDriver::click(ProgramDriver::control("Form1", QStringLiteral("Command2")));
        QCOMPARE(d.platform.messages.size(), 1);
        // Only a file that breaks the rules gets the format box; one that cannot be opened is named.
        const QPair<QString, QString> box = change == QLatin1String("malform")
            ? qMakePair(QStringLiteral("名单文件出错提示"), QStringLiteral("文件格式错误,或光标不在最后一行,或学生数超过82"))
            : qMakePair(QStringLiteral("青禾抽签"), QStringLiteral("无法打开名单文件：") + QDir::toNativeSeparators(path));
        QCOMPARE(d.platform.messages.first(), box);
        QCOMPARE(d.platform.endCount, 1);
        QVERIFY(d.platform.messageOrder < d.platform.endOrder);
        QCOMPARE(ProgramDriver::visibleWindows(), 0);
        if (fifo)
            QVERIFY2(!fifo->hadToUnblock(), "the load waited for a writer");
    }

    // The program's set-up loads Qt's own texts in Chinese.
    void qtOwnTextsAreChinese_data()
    {
        QTest::addColumn<int>("menuEntry"); // in the text box's context menu; -1: a message box's OK
        QTest::addColumn<QString>("expected");
        QTest::newRow("undo") << 0 << QStringLiteral("撤消(&U)");
        QTest::newRow("paste") << 5 << QStringLiteral("粘贴(&P)");
        QTest::newRow("select all") << 8 << QStringLiteral("全选");
        QTest::newRow("message box") << -1 << QStringLiteral("确定");
    }
    void qtOwnTextsAreChinese()
    {
        QFETCH(int, menuEntry);
        QFETCH(QString, expected);
        QString shown;
        if (menuEntry < 0) {
            QMessageBox box(QMessageBox::NoIcon, QString(), QString(), QMessageBox::Ok);
            shown = box.button(QMessageBox::Ok)->text();
        } else {
            QPlainTextEdit edit(QStringLiteral("甲"));
            const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
            shown = menu->actions().value(menuEntry)->text().section(QLatin1Char('\t'), 0, 0);
        }
        QCOMPARE(shown, expected);
    }

    void closingTheWindowEndsTheProgram()
    {
        ProgramDriver d(5);
        QVERIFY(d.start());
        d.startWith(QStringLiteral("名单.txt"));
        QWidget *form2 = ProgramDriver::window("Form2");
        QVERIFY(form2);
        form2->close();
        QCOMPARE(d.platform.endCount, 1);
        QCOMPARE(ProgramDriver::visibleWindows(), 0);
    }
};

QH_TEST_MAIN(TestAcceptance)
#include "tst_acceptance.moc"
