// The whole program as main() starts it, read back from its pixels: every
// control that carries text must show it, whole, at the display scale the
// test runs at (ctest runs it at 1, 1.25, 1.5 and 2). A text property proves
// nothing about what a teacher sees; only pixels do.

#include "ink.h"
#include "programdriver.h"
#include "testmain.h"

#include <QFile>
#include <QTemporaryDir>

using namespace qh;
using test::Ink;
using test::ProgramDriver;

namespace {

// Longer than a name label's line, the banner's width and the drawn name's box.
const QString kLongName = QStringLiteral("阿卜杜热合曼·买买提明");

// Says what was measured, and keeps the control's picture for a look: a
// failure names the PNG.
QString describe(QWidget &w, const Ink &ink)
{
    const QString png = QDir::temp().filePath(QStringLiteral("tst_pixels-%1-x%2.png")
                                                  .arg(w.objectName(), QString::number(ink.ratio)));
    w.grab().save(png);
    return QStringLiteral("%1 \"%2\": %3 ink pixels in %4x%5+%6+%7 (area %8x%9+%10+%11), see %12")
        .arg(w.objectName(), test::textOf(w))
        .arg(ink.pixels)
        .arg(ink.box.width()).arg(ink.box.height()).arg(ink.box.left()).arg(ink.box.top())
        .arg(ink.area.width()).arg(ink.area.height()).arg(ink.area.left()).arg(ink.area.top())
        .arg(png);
}

// The text is drawn (enough ink for its characters) and not cut at an edge.
void verifyDrawn(QWidget *w)
{
    QVERIFY2(w, "no such control");
    QVERIFY2(w->isVisible(), qPrintable(w->objectName()));
    const QString text = test::textOf(*w).remove(QLatin1Char(' '));
    QVERIFY2(!text.isEmpty(), qPrintable(w->objectName()));
    const Ink ink = test::measureInk(*w);
    const double perChar = 12 * ink.ratio * ink.ratio;
    if (ink.pixels < std::max(20.0, perChar * text.size()) || ink.touchesEdge())
        QFAIL(qPrintable(describe(*w, ink)));
}

void addRows(const char *form, const QStringList &names)
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("control");
    for (const QString &name : names)
        QTest::newRow(qPrintable(name)) << QString::fromLatin1(form) << name;
}

} // namespace

class TestPixels : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    ProgramDriver m_driver{11};
    int m_students = 0;

    void verifyRow()
    {
        QFETCH(QString, form);
        QFETCH(QString, control);
        verifyDrawn(ProgramDriver::control(qPrintable(form), control));
    }

private slots:
    void initTestCase()
    {
        QFile sample(QDir(qEnvironmentVariable("QH_SOURCE_DIR")).filePath(QStringLiteral("examples/名单-utf8.txt")));
        QVERIFY(sample.open(QIODevice::ReadOnly));
        QByteArray roster = sample.readAll();
        roster += (kLongName + QStringLiteral(",男\n")).toUtf8();
        m_students = roster.count('\n');
        QFile out(m_dir.filePath(QStringLiteral("名单.txt")));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(roster);
        out.close();
        QDir::setCurrent(m_dir.path());
        m_driver.program.start();
        QVERIFY(ProgramDriver::window("Form0"));
    }

    void startWindow_data()
    {
        addRows("Form0", {QStringLiteral("Label3"), QStringLiteral("Label1"), QStringLiteral("Label2"),
                          QStringLiteral("Command1"), QStringLiteral("Command2")});
    }
    void startWindow()
    {
        // 开始使用 is drawn enabled once a roster is chosen.
        auto *files = ProgramDriver::control<QListWidget>("Form0", QStringLiteral("File1"));
        QVERIFY(files && files->count() == 1);
        files->setCurrentRow(0);
        verifyRow();
    }

    void cardNumbers_data()
    {
        m_driver.click(ProgramDriver::control("Form0", QStringLiteral("Command1")));
        QVERIFY(ProgramDriver::window("Form2"));
        QStringList names;
        for (int s = 0; s < m_students; ++s)
            names << controlName("Command1", s);
        names << QStringLiteral("Command2") << QStringLiteral("Command3") << QStringLiteral("Command4")
              << QStringLiteral("Option1") << QStringLiteral("Option2") << QStringLiteral("Option3");
        addRows("Form2", names);
    }
    void cardNumbers() { verifyRow(); }

    // Every card turned over in turn; the banner checked whenever it shows the
    // long name, which it must shrink to fit.
    void reveals()
    {
        bool sawLongName = false;
        for (int s = 0; s < m_students; ++s) {
            m_driver.click(ProgramDriver::control("Form2", controlName("Command1", s)));
            auto *banner = ProgramDriver::control<QLabel>("Form2", QStringLiteral("Label2"));
            QVERIFY(banner);
            if (banner->text() == kLongName) {
                sawLongName = true;
                verifyDrawn(banner);
            }
        }
        QVERIFY(sawLongName);
        verifyDrawn(ProgramDriver::control("Form2", QStringLiteral("Label2")));
    }

    void nameLabels_data()
    {
        QStringList names;
        for (int s = 0; s < m_students; ++s)
            names << controlName("Label1", s);
        addRows("Form2", names);
    }
    void nameLabels()
    {
        verifyRow();
        QFETCH(QString, control);
        auto *label = ProgramDriver::control<QLabel>("Form2", control);
        // A long name is read from the back row: glyphs at least 10 px high.
        if (label->text() == kLongName) {
            const Ink ink = test::measureInk(*label);
            QVERIFY2(ink.tallestLine >= 10 * ink.ratio, qPrintable(describe(*label, ink)));
        }
    }

    // Pressed until the long name comes up: each name once per pass.
    void singleDraw_data()
    {
        m_driver.click(ProgramDriver::control("Form2", QStringLiteral("Command2")));
        QVERIFY(ProgramDriver::window("Form1"));
        addRows("Form1", {QStringLiteral("Label1"), QStringLiteral("Command1"), QStringLiteral("Command2"),
                          QStringLiteral("Command3"), QStringLiteral("Frame1"), QStringLiteral("Option1"),
                          QStringLiteral("Option2"), QStringLiteral("Option3"), QStringLiteral("Option4")});
    }
    void singleDraw()
    {
        auto *name = ProgramDriver::control<QLabel>("Form1", QStringLiteral("Label1"));
        QVERIFY(name);
        for (int i = 0; i < m_students && name->text() != kLongName; ++i)
            m_driver.click(ProgramDriver::control("Form1", QStringLiteral("Command1")));
        QCOMPARE(name->text(), kLongName);
        verifyRow();
    }

    void shortDrawnName()
    {
        auto *name = ProgramDriver::control<QLabel>("Form1", QStringLiteral("Label1"));
        m_driver.click(ProgramDriver::control("Form1", QStringLiteral("Command1")));
        QVERIFY(name->text() != kLongName);
        verifyDrawn(name);
    }
};

QH_TEST_MAIN(TestPixels)
#include "tst_pixels.moc"
