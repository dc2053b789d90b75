// The single-draw window on screen (offscreen platform): its load, layout,
// option clicks, draws, navigation and the roster read at every opening.

#include "singledraw/form1.h"

#include "recordingplatform.h"
#include "ui/captions.h"
#include "ui/clock.h"
#include "ui/colorbutton.h"
#include "ui/fitlabel.h"
#include "ui/random.h"
#include "ui/units.h"

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace qh;

namespace {

// Records the window's flags at the moment it is first shown.
class ShowWatcher : public QObject {
public:
    bool eventFilter(QObject *obj, QEvent *event) override
    {
        if (event->type() == QEvent::Show && obj->isWidgetType() &&
            obj->objectName() == QStringLiteral("Form1")) {
            auto *w = static_cast<QWidget *>(obj);
            if (w->isWindow()) {
                ++shows;
                flagsAtShow = w->windowFlags();
            }
        }
        return false;
    }
    int shows = 0;
    Qt::WindowFlags flagsAtShow;
};

QColor qcolor(VbColor c)
{
    return toQColor(c, QPalette());
}

} // namespace

class TestForm1 : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void load_data();
    void load();
    void staysOnTopBeforeFirstShow();
    void layoutGeometry_data();
    void layoutGeometry();
    void clientArea();
    void toolTips_data();
    void toolTips();
    void colorsAndLook();
    void focusStartsOnCommand2();
    void tabOrder();
    void optionClicks();
    void clickOnSelectedOptionKeepsPass();
    void drawPressesThroughPass();
    void pressesDoNotReload();
    void navigation();
    void failedLoad_data();
    void failedLoad();
    void reopenStartsNewPassAndRereads();
    void repeatingAvoidsPickAcrossReopen();
    void longNamesShrink();

private:
    // Students as (name, sex) lines, written in GBK with CR LF.
    void writeRoster(const QStringList &lines);
    void writeClass(int boys, int girls);
    void writeRaw(const QByteArray &bytes);
    template <class T = QWidget>
    T *control(const char *name) const
    {
        return m_form->window() ? m_form->window()->findChild<T *>(QString::fromUtf8(name)) : nullptr;
    }
    QString drawCaption() const { return control<QPushButton>("Command1")->text(); }
    QColor drawColor() const { return control<QPushButton>("Command1")->palette().color(QPalette::Button); }
    QString shownName() const { return control<QLabel>("Label1")->text(); }
    void click(const char *name)
    {
        QWidget *w = control(name);
        QVERIFY2(w, name);
        QTest::mouseClick(w, Qt::LeftButton);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    test::RecordingPlatform m_platform;
    test::RecordingSwitcher m_switcher;
    FixedClock m_clock{40000.0};
    RandomSource m_random{20200101};
    std::unique_ptr<Form1> m_form;
};

void TestForm1::writeRaw(const QByteArray &bytes)
{
    QFile f(m_path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

void TestForm1::writeRoster(const QStringList &lines)
{
    QStringEncoder gbk("GB18030");
    QVERIFY(gbk.isValid());
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += QByteArray(gbk.encode(line)) + "\r\n";
    writeRaw(bytes);
}

void TestForm1::writeClass(int boys, int girls)
{
    QStringList lines;
    // Boys and girls interleaved, as in a real class list.
    for (int b = 1, g = 1; b <= boys || g <= girls;) {
        if (b <= boys)
            lines << QStringLiteral("男生%1,男").arg(b++);
        if (g <= girls)
            lines << QStringLiteral("女生%1,女").arg(g++);
    }
    writeRoster(lines);
}

void TestForm1::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_path = m_dir->filePath(QStringLiteral("名单 一班.txt"));
    m_platform = test::RecordingPlatform();
    m_switcher.requests.clear();
    m_form = std::make_unique<Form1>(
        FormContext{m_platform, m_clock, m_random, m_switcher, [this] { return m_path; }});
}

void TestForm1::cleanup()
{
    m_form.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_dir.reset();
}

void TestForm1::load_data()
{
    QTest::addColumn<int>("boys");
    QTest::addColumn<int>("girls");
    QTest::newRow("45 students") << 23 << 22;
    QTest::newRow("boys only") << 6 << 0;
    QTest::newRow("82 students") << 41 << 41;
}

void TestForm1::load()
{
    QFETCH(int, boys);
    QFETCH(int, girls);
    writeClass(boys, girls);
    QVERIFY(m_form->open());
    QWidget *w = m_form->window();
    QVERIFY(w && w->isVisible());
    QCOMPARE(w->windowTitle(), QStringLiteral("明溪工坊  青禾抽签(2020.01版)  作者：林远舟 "));
    QCOMPARE(w->windowTitle(), windowCaption());
    QVERIFY(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));

    QVERIFY(control<QRadioButton>("Option2")->isChecked());
    for (const char *other : {"Option1", "Option3", "Option4"})
        QVERIFY2(!control<QRadioButton>(other)->isChecked(), other);
    const int all = boys + girls;
    QCOMPARE(drawCaption(), QStringLiteral("共有 %1人").arg(all));
    QCOMPARE(drawColor(), qcolor(colors::LightBlue));
    QCOMPARE(control("Command1")->property("qhBackColor").toUInt(), colors::LightBlue.value);
    QCOMPARE(shownName(), QString());
    QCOMPARE(control<QPlainTextEdit>("Text1")->toPlainText(), QString());
    QCOMPARE(control<QLabel>("Label4")->text(), QString::number(all - 1));
    QCOMPARE(control<QLabel>("Label5")->text(), QString::number(boys - 1));
    QCOMPARE(control<QLabel>("Label6")->text(), QString::number(girls - 1));
    QCOMPARE(control<QLabel>("Label3")->text(), QStringLiteral("Label3"));

    QCOMPARE(m_form->state().drawPos, 0);
    QCOMPARE(m_form->state().poolLast, all - 1);
    QCOMPARE(m_form->state().maxStudents, 82);
    QVERIFY(m_platform.messages.isEmpty());
    QCOMPARE(m_platform.endCount, 0);
    QVERIFY(m_switcher.requests.isEmpty());
}

void TestForm1::staysOnTopBeforeFirstShow()
{
    writeClass(3, 3);
    ShowWatcher watcher;
    qApp->installEventFilter(&watcher);
    QVERIFY(m_form->open());
    qApp->removeEventFilter(&watcher);
    QCOMPARE(watcher.shows, 1);
    QVERIFY(watcher.flagsAtShow.testFlag(Qt::WindowStaysOnTopHint));
    // Centred on the screen (within the frame's few pixels, which are only
    // known once the window is shown).
    const QRect avail = m_form->window()->screen()->availableGeometry();
    const QPoint offset = m_form->window()->frameGeometry().center() - avail.center();
    QVERIFY2(qAbs(offset.x()) <= 3 && qAbs(offset.y()) <= 3,
             qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));
}

void TestForm1::layoutGeometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<double>("points");
    const QString form = QStringLiteral("Form1");
    const QString frame = QStringLiteral("Frame1");
    auto row = [&](const char *name, const char *cls, const QString &parent, QRect r, double pt) {
        QTest::newRow(name) << QString::fromUtf8(name) << QString::fromUtf8(cls) << parent << r << pt;
    };
    row("Command3", "QPushButton", form, QRect(4200, 1440, 1000, 555), 10.5);
    row("Command1", "qh::ColorButton", form, QRect(1360, 1440, 2600, 555), 14.25);
    row("Text1", "QPlainTextEdit", form, QRect(5880, 960, 2850, 1575), 12);
    row("Frame1", "QGroupBox", form, QRect(120, 2040, 5000, 615), 10.5);
    row("Option4", "QRadioButton", frame, QRect(3840, 240, 1000, 300), 10.5);
    row("Option3", "QRadioButton", frame, QRect(2685, 240, 1000, 300), 10.5);
    row("Option2", "QRadioButton", frame, QRect(1515, 240, 1000, 300), 10.5);
    row("Option1", "QRadioButton", frame, QRect(360, 240, 1000, 300), 10.5);
    row("Command2", "QPushButton", form, QRect(120, 1440, 1000, 555), 10.5);
    row("Label1", "qh::FitLabel", form, QRect(120, 120, 5115, 1245), 60);
    row("Label6", "QLabel", form, QRect(7800, 5520, 1575, 615), 12);
    row("Label5", "QLabel", form, QRect(5205, 5520, 1695, 495), 12);
    row("Label4", "QLabel", form, QRect(2595, 5520, 1695, 495), 12);
    row("Label3", "QLabel", form, QRect(360, 5520, 1335, 735), 12);
}

void TestForm1::layoutGeometry()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(QString, parent);
    QFETCH(QRect, twips);
    QFETCH(double, points);
    writeClass(2, 2);
    QVERIFY(m_form->open());
    QWidget *w = control(name.toUtf8().constData());
    QVERIFY(w);
    QVERIFY2(w->inherits(className.toUtf8().constData()), w->metaObject()->className());
    QCOMPARE(w->parentWidget()->objectName(), parent);
    QCOMPARE(w->geometry(), twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    QCOMPARE(w->font().pixelSize(), pointsToPixels(points));
    QVERIFY(w->isVisibleTo(m_form->window()));
}

void TestForm1::clientArea()
{
    writeClass(2, 2);
    QVERIFY(m_form->open());
    QWidget *w = m_form->window();
    QCOMPARE(w->size(), twipsSize(5340, 2775));
    const QRect client = w->rect();
    for (const char *inside : {"Label1", "Command1", "Command2", "Command3", "Frame1"})
        QVERIFY2(client.contains(control(inside)->geometry()), inside);
    // These exist but lie beyond the client area.
    for (const char *outside : {"Text1", "Label3", "Label4", "Label5", "Label6"})
        QVERIFY2(!client.intersects(control(outside)->geometry()), outside);
    // No two visible controls overlap.
    const QStringList names{QStringLiteral("Label1"), QStringLiteral("Command1"), QStringLiteral("Command2"),
                            QStringLiteral("Command3"), QStringLiteral("Frame1")};
    for (int a = 0; a < names.size(); ++a)
        for (int b = a + 1; b < names.size(); ++b)
            QVERIFY2(!control(names[a].toUtf8().constData())
                          ->geometry()
                          .intersects(control(names[b].toUtf8().constData())->geometry()),
                     qPrintable(names[a] + QLatin1Char('/') + names[b]));
}

void TestForm1::toolTips_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("tip");
    QTest::newRow("Command1") << QStringLiteral("Command1") << QStringLiteral("青禾抽签,人人机会平等.");
    QTest::newRow("Option1") << QStringLiteral("Option1") << QStringLiteral("全体同学,青禾抽签.");
    QTest::newRow("Option2") << QStringLiteral("Option2") << QStringLiteral(" 所有同学每人一次机会.");
    QTest::newRow("Option3") << QStringLiteral("Option3") << QStringLiteral(" 男同学每人一次机会.");
    QTest::newRow("Option4") << QStringLiteral("Option4") << QStringLiteral(" 女同学每人一次机会.");
    QTest::newRow("Command2") << QStringLiteral("Command2") << QString();
    QTest::newRow("Command3") << QStringLiteral("Command3") << QString();
    QTest::newRow("Label1") << QStringLiteral("Label1") << QString();
}

void TestForm1::toolTips()
{
    QFETCH(QString, name);
    QFETCH(QString, tip);
    writeClass(2, 2);
    QVERIFY(m_form->open());
    QCOMPARE(control(name.toUtf8().constData())->toolTip(), tip);
}

void TestForm1::colorsAndLook()
{
    writeClass(2, 2);
    QVERIFY(m_form->open());
    auto *name = control<QLabel>("Label1");
    QCOMPARE(name->palette().color(QPalette::Window), qcolor(colors::DarkBlue));
    QCOMPARE(name->palette().color(QPalette::WindowText), qcolor(colors::White));
    QVERIFY(name->autoFillBackground());
    QCOMPARE(name->frameShape(), QFrame::Panel); // a thin sunken edge
    QCOMPARE(name->frameShadow(), QFrame::Sunken);
    QCOMPARE(name->lineWidth(), 1);
    QVERIFY(name->alignment().testFlag(Qt::AlignHCenter));
    QVERIFY(!name->wordWrap());

    const std::pair<const char *, VbColor> options[] = {
        {"Option1", colors::LightRed}, {"Option2", colors::LightBlue},
        {"Option3", colors::LightGreen}, {"Option4", colors::LightPink}};
    // What the teacher sees: the option's face, right of its caption.
    for (const auto &[option, color] : options) {
        const QImage face = control(option)->grab().toImage();
        QVERIFY2(face.pixelColor(face.width() - 2, 1) == qcolor(color), option);
    }
    const QImage nameFace = name->grab().toImage();
    QCOMPARE(nameFace.pixelColor(nameFace.width() / 2, nameFace.height() / 2), qcolor(colors::DarkBlue));
    const QImage drawFace = control("Command1")->grab().toImage();
    QCOMPARE(drawFace.pixelColor(6, drawFace.height() / 2), qcolor(colors::LightBlue));

    // The frame's top line runs through its caption, above the options.
    auto *frame = control<QGroupBox>("Frame1");
    const QImage frameFace = frame->grab().toImage();
    const int lineY = frame->font().pixelSize() / 2;
    QCOMPARE(frameFace.pixelColor(frame->width() - 10, lineY).rgb(), frame->palette().color(QPalette::Mid).rgb());
    QVERIFY(lineY < control("Option1")->y());
    QVERIFY(frameFace.pixelColor(frame->width() - 10, control("Option1")->y() + 2).rgb() != frame->palette().color(QPalette::Mid).rgb());

    QCOMPARE(control<QGroupBox>("Frame1")->title(), QStringLiteral("方式选择"));
    QCOMPARE(control<QPushButton>("Command2")->text(), QStringLiteral("转平铺式"));
    QCOMPARE(control<QPushButton>("Command3")->text(), QStringLiteral("退出程序"));
    QCOMPARE(control<QRadioButton>("Option1")->text(), QStringLiteral("可重复"));
    QCOMPARE(control<QRadioButton>("Option2")->text(), QStringLiteral("不重复"));
    QCOMPARE(control<QRadioButton>("Option3")->text(), QStringLiteral("男同学"));
    QCOMPARE(control<QRadioButton>("Option4")->text(), QStringLiteral("女同学"));
    auto *text = control<QPlainTextEdit>("Text1");
    QCOMPARE(text->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(text->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    // Labels and the frame never take the focus.
    for (const char *label : {"Label1", "Label3", "Label4", "Label5", "Label6", "Frame1"})
        QVERIFY2(control(label)->focusPolicy() == Qt::NoFocus, label);
}

void TestForm1::focusStartsOnCommand2()
{
    writeClass(2, 2);
    QVERIFY(m_form->open());
    QCOMPARE(m_form->window()->focusWidget(), control("Command2"));
}

void TestForm1::tabOrder()
{
    writeClass(2, 2);
    QVERIFY(m_form->open());
    QWidget *w = m_form->window();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QCOMPARE(QApplication::focusWidget(), control("Command2"));
    // Only the selected option is a stop; Text1 is reached although unseen.
    const char *expected[] = {"Option2", "Text1", "Command1", "Command3", "Command2"};
    for (const char *name : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY2(QApplication::focusWidget() == control(name),
                 qPrintable(QStringLiteral("expected %1, got %2")
                                .arg(QString::fromUtf8(name), QApplication::focusWidget()
                                                                 ? QApplication::focusWidget()->objectName()
                                                                 : QStringLiteral("none"))));
    }

    // The arrow keys move the selection inside the frame, running its steps;
    // the tab stop follows the selected option.
    QTest::keyClick(control("Command2"), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), control("Option2"));
    QTest::keyClick(control("Option2"), Qt::Key_Right);
    QCOMPARE(QApplication::focusWidget(), control("Option3"));
    QVERIFY(control<QRadioButton>("Option3")->isChecked());
    QCOMPARE(drawCaption(), QStringLiteral("共有 2人"));
    QCOMPARE(drawColor(), qcolor(colors::LightGreen));
    control("Command2")->setFocus();
    QTest::keyClick(control("Command2"), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), control("Option3"));
}

void TestForm1::optionClicks()
{
    writeClass(23, 22);
    QVERIFY(m_form->open());
    click("Command1");
    QVERIFY(!shownName().isEmpty());

    click("Option3");
    QVERIFY(control<QRadioButton>("Option3")->isChecked());
    QVERIFY(!control<QRadioButton>("Option2")->isChecked());
    QCOMPARE(drawCaption(), QStringLiteral("共有 23人"));
    QCOMPARE(drawColor(), qcolor(colors::LightGreen));
    QCOMPARE(shownName(), QString());

    click("Command1");
    QVERIFY(shownName().startsWith(QStringLiteral("男生")));
    click("Option4");
    QCOMPARE(drawCaption(), QStringLiteral("共有 22人"));
    QCOMPARE(drawColor(), qcolor(colors::LightPink));
    QCOMPARE(shownName(), QString());
    click("Command1");
    QVERIFY(shownName().startsWith(QStringLiteral("女生")));

    control<QPlainTextEdit>("Text1")->setPlainText(QStringLiteral("随便写"));
    click("Option1");
    QCOMPARE(drawCaption(), QStringLiteral("青禾抽签 人人平等"));
    QCOMPARE(drawColor(), qcolor(colors::LightRed));
    QCOMPARE(shownName(), QString());
    QCOMPARE(control<QPlainTextEdit>("Text1")->toPlainText(), QString());
    for (int i = 0; i < 5; ++i) {
        click("Command1");
        QVERIFY(!shownName().isEmpty());
        QCOMPARE(drawCaption(), QStringLiteral("青禾抽签 人人平等"));
        QCOMPARE(drawColor(), qcolor(colors::LightRed));
    }

    click("Option2");
    QCOMPARE(drawCaption(), QStringLiteral("共有 45人"));
    QCOMPARE(drawColor(), qcolor(colors::LightBlue));
    QCOMPARE(shownName(), QString());
}

void TestForm1::clickOnSelectedOptionKeepsPass()
{
    writeClass(5, 5);
    QVERIFY(m_form->open());
    click("Command1");
    click("Command1");
    const QString name = shownName();
    QCOMPARE(drawCaption(), QStringLiteral("还有 8人"));
    click("Option2");
    QVERIFY(control<QRadioButton>("Option2")->isChecked());
    QCOMPARE(drawCaption(), QStringLiteral("还有 8人"));
    QCOMPARE(shownName(), name);
    QCOMPARE(m_form->state().drawPos, 2);
}

void TestForm1::drawPressesThroughPass()
{
    writeClass(23, 22);
    QVERIFY(m_form->open());
    QSet<QString> seen;
    for (int press = 1; press <= 45; ++press) {
        click("Command1");
        seen.insert(shownName());
        if (press < 45) {
            QCOMPARE(drawCaption(), QStringLiteral("还有 %1人").arg(45 - press));
            QCOMPARE(drawColor(), qcolor(colors::LightBlue));
        }
    }
    QCOMPARE(seen.size(), 45);
    QVERIFY(!seen.contains(QString()));
    QCOMPARE(drawCaption(), QStringLiteral("点完了"));
    QCOMPARE(drawColor(), qcolor(colors::ButtonFace));
    QCOMPARE(control("Command1")->property("qhBackColor").toUInt(), colors::ButtonFace.value);
    click("Command1");
    QCOMPARE(shownName(), QString());
    QCOMPARE(drawCaption(), QStringLiteral("共有 45人"));
    QCOMPARE(drawColor(), qcolor(colors::LightBlue));
    click("Command1");
    QVERIFY(seen.contains(shownName()));
    QCOMPARE(drawCaption(), QStringLiteral("还有 44人"));
}

void TestForm1::pressesDoNotReload()
{
    writeClass(3, 3);
    QVERIFY(m_form->open());
    QWidget *label = control("Label1");
    QVERIFY(QFile::remove(m_path)); // a press must not touch the file
    for (int i = 0; i < 20; ++i)
        click("Command1");
    click("Option1");
    for (int i = 0; i < 5; ++i)
        click("Command1");
    QCOMPARE(control("Label1"), label); // the same widgets: nothing rebuilt
    QVERIFY(!shownName().isEmpty());
    QVERIFY(m_platform.messages.isEmpty());
    QCOMPARE(m_platform.endCount, 0);
}

void TestForm1::navigation()
{
    writeClass(3, 3);
    QVERIFY(m_form->open());
    click("Command2");
    QCOMPARE(m_switcher.requests, QList<FormId>{FormId::SeatChart});
    QCOMPARE(m_platform.endCount, 0);
    click("Command3");
    QCOMPARE(m_platform.endCount, 1);
    QVERIFY(m_platform.messages.isEmpty()); // no question asked
    QCOMPARE(m_switcher.requests.size(), 1);
}

void TestForm1::failedLoad_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("remove");
    QTest::newRow("file deleted") << QByteArray() << true;
    QTest::newRow("name without sex") << QByteArray("Zhang San\r\n") << false;
    QTest::newRow("empty line after last record") << QByteArray("Li,F\r\nWang,F\r\n\r\n") << false;
}

void TestForm1::failedLoad()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, remove);
    // First a good load, then the file goes bad before the next opening.
    writeClass(3, 3);
    QVERIFY(m_form->open());
    m_form->close();
    if (remove)
        QVERIFY(QFile::remove(m_path));
    else
        writeRaw(bytes);

    ShowWatcher watcher;
    qApp->installEventFilter(&watcher);
    QVERIFY(!m_form->open());
    qApp->removeEventFilter(&watcher);
    QCOMPARE(watcher.shows, 0);
    QVERIFY(!m_form->isOpen());
    QCOMPARE(m_platform.messages.size(), 1);
    QCOMPARE(m_platform.messages[0].first, QStringLiteral("名单文件出错提示"));
    QCOMPARE(m_platform.messages[0].second, QStringLiteral("文件格式错误,或光标不在最后一行,或学生数超过82"));
    QCOMPARE(m_platform.endCount, 1);
    QVERIFY(m_platform.messageOrder < m_platform.endOrder);
    QVERIFY(m_switcher.requests.isEmpty());
}

void TestForm1::reopenStartsNewPassAndRereads()
{
    writeClass(23, 22);
    QVERIFY(m_form->open());
    for (int i = 0; i < 7; ++i)
        click("Command1");
    click("Option3");
    click("Command1");
    m_form->close();
    QVERIFY(!m_form->isOpen());

    writeClass(6, 4); // the teacher edited the roster in between
    QVERIFY(m_form->open());
    QVERIFY(control<QRadioButton>("Option2")->isChecked());
    QVERIFY(!control<QRadioButton>("Option3")->isChecked());
    QCOMPARE(drawCaption(), QStringLiteral("共有 10人"));
    QCOMPARE(drawColor(), qcolor(colors::LightBlue));
    QCOMPARE(shownName(), QString());
    QCOMPARE(control<QLabel>("Label4")->text(), QStringLiteral("9"));
    QCOMPARE(control<QLabel>("Label5")->text(), QStringLiteral("5"));
    QCOMPARE(control<QLabel>("Label6")->text(), QStringLiteral("3"));
    QCOMPARE(m_form->state().drawPos, 0);
    QCOMPARE(m_form->window()->windowTitle(), windowCaption());
    QCOMPARE(m_form->window()->focusWidget(), control("Command2"));
    QSet<QString> seen;
    for (int i = 0; i < 10; ++i) {
        click("Command1");
        seen.insert(shownName());
    }
    QCOMPARE(seen.size(), 10);
    QCOMPARE(drawCaption(), QStringLiteral("点完了"));
}

void TestForm1::repeatingAvoidsPickAcrossReopen()
{
    // Two students: the repeating draw must alternate, also across visits.
    writeRoster({QStringLiteral("甲同学,男"), QStringLiteral("乙同学,女")});
    QString previous;
    for (int visit = 0; visit < 30; ++visit) {
        QVERIFY(m_form->open());
        click("Option1");
        click("Command1");
        if (!previous.isEmpty())
            QVERIFY2(shownName() != previous, qPrintable(QStringLiteral("visit %1").arg(visit)));
        previous = shownName();
        QVERIFY(!previous.isEmpty());
        // A mode change in between does not forget the pick either.
        click("Option3");
        click("Command1");
        click("Option1");
        click("Command1");
        QVERIFY(shownName() != previous);
        previous = shownName();
        m_form->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

void TestForm1::longNamesShrink()
{
    const QString longName = QStringLiteral("欧阳诸葛司马上官慕容端木长孙宇文");
    writeRoster({longName + QStringLiteral(",男"), QStringLiteral("张三,女")});
    QVERIFY(m_form->open());
    auto *label = qobject_cast<FitLabel *>(control("Label1"));
    QVERIFY(label);
    QVERIFY(label->shrinkToFit());
    const int layoutPixels = pointsToPixels(60);
    QCOMPARE(layoutPixels, 80);

    click("Option3");
    click("Command1");
    QCOMPARE(label->text(), longName);
    QCOMPARE(label->font().pixelSize(), layoutPixels);
    const QFont fitted = label->fittedFont();
    QVERIFY2(fitted.pixelSize() < layoutPixels, qPrintable(QString::number(fitted.pixelSize())));
    QVERIFY(label->fits(fitted));

    click("Option4");
    click("Command1");
    QCOMPARE(label->text(), QStringLiteral("张三"));
    QCOMPARE(label->fittedFont().pixelSize(), layoutPixels);
}

QTEST_MAIN(TestForm1)
#include "test_form1.moc"
