// The single-draw window on screen (offscreen platform): its load, layout,
// option clicks, draws, navigation and the roster read at every opening.

#include "testmain.h"
#include "singledraw/form1.h"

#include "shown.h"
#include "testhelpers.h"
#include "widgettext.h"
#include "ui/fitlabel.h"
#include "ui/zoom.h"
#include "core/units.h"
#include "windowfixture.h"

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QDir>
#include <QTest>

#include <memory>

using namespace qh;
using test::loadedWindowCaption;
using test::qcolor;
using test::textOf;

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

using Shown = test::Shown<QColor>;

Shown expect(const QString &name, const QString &caption, Color colour)
{
    return {name, caption, test::qcolor(colour)};
}

} // namespace

class TestForm1 : public QObject {
    Q_OBJECT

    // Students as (name, sex) lines, written in GBK with CR LF.
    void writeRoster(const QStringList &lines) { m_fx.writeRoster(lines, "GB18030"); }

    void writeClass(int boys, int girls)
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

    template <class T = QWidget>
    T *control(const char *name) const
    {
        return m_form->window() ? m_form->window()->findChild<T *>(QString::fromUtf8(name)) : nullptr;
    }
    QString shownName() const { return control<QLabel>("Label1")->text(); }
    Shown shown() const
    {
        const auto *draw = control<QPushButton>("Command1");
        return {shownName(), draw->text(), draw->palette().color(QPalette::Button)};
    }
    QStringList checkedOptions() const
    {
        QStringList out;
        for (const char *name : {"Option1", "Option2", "Option3", "Option4"})
            if (control<QRadioButton>(name)->isChecked())
                out << QString::fromUtf8(name);
        return out;
    }
    QStringList countLabels() const
    {
        return {textOf(*control("Label4")), textOf(*control("Label5")), textOf(*control("Label6"))};
    }
    // The option's own face colour: the one its mode gives the draw button.
    QColor face(const char *option) const
    {
        return control(option)->palette().color(QPalette::Window);
    }
    Shown expectOn(const QString &name, const QString &caption, const char *option) const
    {
        return {name, caption, face(option)};
    }
    void click(const char *name) { test::click(control(name)); }

    test::WindowFixture m_fx{QStringLiteral("名单 一班.txt"), 40000.0, 20200101};
    std::unique_ptr<Form1> m_form;

private slots:
    void init()
    {
        QVERIFY(m_fx.reset());
        m_form = std::make_unique<Form1>(m_fx.context());
    }

    void cleanup()
    {
        m_form.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_fx.clear();
    }

    void load_data()
    {
        QTest::addColumn<int>("boys");
        QTest::addColumn<int>("girls");
        QTest::newRow("45 students") << 23 << 22;
        QTest::newRow("boys only") << 6 << 0;
        QTest::newRow("82 students") << 41 << 41;
        QTest::newRow("empty roster") << 0 << 0;
    }

    void load()
    {
        QFETCH(int, boys);
        QFETCH(int, girls);
        writeClass(boys, girls);
        ShowWatcher watcher;
        qApp->installEventFilter(&watcher);
        QVERIFY(m_form->open());
        qApp->removeEventFilter(&watcher);
        QWidget *w = m_form->window();
        QVERIFY(w && w->isVisible());
        QCOMPARE(w->windowTitle(), loadedWindowCaption());
        QCOMPARE(w->size(), twipsSize(5340, 2775));

        // Topmost from the first show on, and centred on the screen (within the
        // frame's few pixels, which are only known once the window is shown).
        QCOMPARE(watcher.shows, 1);
        QVERIFY(watcher.flagsAtShow.testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        // A press on the draw button leaves the window in front its keyboard (Windows).
        QCOMPARE(m_form->window()->noActivateButton(), control("Command1"));
        const QPoint offset = w->frameGeometry().center() - w->screen()->availableGeometry().center();
        QVERIFY2(qAbs(offset.x()) <= 3 && qAbs(offset.y()) <= 3,
                 qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));

        // 不重复 selected, a new pass over everybody ready.
        const int all = boys + girls;
        QCOMPARE(checkedOptions(), QStringList{QStringLiteral("Option2")});
        QCOMPARE(shown(), expectOn({}, QStringLiteral("共有 %1人").arg(all), "Option2"));
        QCOMPARE(designOf(*control("Command1"))->back->value, designOf(*control("Option2"))->back->value);
        QCOMPARE(countLabels(), (QStringList{QString::number(all - 1), QString::number(boys - 1),
                                             QString::number(girls - 1)}));
        QCOMPARE(m_form->state().drawPos(), 0);
        QCOMPARE(m_form->state().poolLast(), all - 1);
        QCOMPARE(m_form->state().maxStudents(), 82);
        QVERIFY(m_fx.platform.messages.isEmpty());
        QCOMPARE(m_fx.platform.endCount, 0);
        QVERIFY(m_fx.switcher.requests.isEmpty());
    }

    void controls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<double>("points");
        QTest::addColumn<QString>("text"); // after the load, on a class of two boys and two girls
        QTest::addColumn<QString>("tip");
        const QString form = QStringLiteral("Form1");
        const QString frame = QStringLiteral("Frame1");
        auto row = [&](const char *name, const char *cls, const QString &parent, QRect r, double pt, const char *text,
                       const char *tip) {
            QTest::newRow(name) << QString::fromUtf8(name) << QString::fromUtf8(cls) << parent << r << pt
                                << QString::fromUtf8(text) << QString::fromUtf8(tip);
        };
        row("Command3", "QPushButton", form, QRect(4200, 1440, 1000, 555), 10.5, "退出程序", "");
        row("Command1", "qh::ColorButton", form, QRect(1360, 1440, 2600, 555), 14.25, "共有 4人", "青禾抽签,人人机会平等.");
        row("Text1", "QPlainTextEdit", form, QRect(5880, 960, 2850, 1575), 12, "", "");
        row("Frame1", "QGroupBox", form, QRect(120, 2040, 5000, 615), 10.5, "方式选择", "");
        // Only Option1's tip starts without a space.
        row("Option4", "QRadioButton", frame, QRect(3840, 240, 1000, 300), 10.5, "女同学", " 女同学每人一次机会.");
        row("Option3", "QRadioButton", frame, QRect(2685, 240, 1000, 300), 10.5, "男同学", " 男同学每人一次机会.");
        row("Option2", "QRadioButton", frame, QRect(1515, 240, 1000, 300), 10.5, "不重复", " 所有同学每人一次机会.");
        row("Option1", "QRadioButton", frame, QRect(360, 240, 1000, 300), 10.5, "可重复", "全体同学,青禾抽签.");
        row("Command2", "QPushButton", form, QRect(120, 1440, 1000, 555), 10.5, "转平铺式", "");
        row("Label1", "qh::FitLabel", form, QRect(120, 120, 5115, 1245), 60, "", ""); // placeholder never seen
        // Text1 and Label3..Label6 lie beyond the client area of 5340 x 2775.
        row("Label6", "QLabel", form, QRect(7800, 5520, 1575, 615), 12, "1", "");
        row("Label5", "QLabel", form, QRect(5205, 5520, 1695, 495), 12, "1", "");
        row("Label4", "QLabel", form, QRect(2595, 5520, 1695, 495), 12, "3", "");
        row("Label3", "QLabel", form, QRect(360, 5520, 1335, 735), 12, "Label3", "");
    }

    void controls()
    {
        QFETCH(QString, name);
        QFETCH(QString, className);
        QFETCH(QString, parent);
        QFETCH(QRect, twips);
        QFETCH(double, points);
        QFETCH(QString, text);
        QFETCH(QString, tip);
        writeClass(2, 2);
        QVERIFY(m_form->open());
        QWidget *w = control(name.toUtf8().constData());
        QVERIFY(w);
        QVERIFY2(w->inherits(className.toUtf8().constData()), w->metaObject()->className());
        QCOMPARE(w->parentWidget()->objectName(), parent);
        QCOMPARE(w->geometry(), twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
        QCOMPARE(w->font().pixelSize(), pointsToPixels(points));
        QVERIFY(w->isVisibleTo(m_form->window()));
        QCOMPARE(textOf(*w), text);
        QCOMPARE(w->toolTip(), tip);
    }

    void colorsAndLook()
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

        // What the teacher sees: each option's face, right of its caption, in its mode's colour.
        const std::pair<const char *, Color> options[] = {
            {"Option1", colors::LightRed}, {"Option2", colors::LightBlue},
            {"Option3", colors::LightGreen}, {"Option4", colors::LightPink}};
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
        const QRgb mid = frame->palette().color(QPalette::Mid).rgb();
        QCOMPARE(frameFace.pixelColor(frame->width() - 10, lineY).rgb(), mid);
        QVERIFY(lineY < control("Option1")->y());
        QVERIFY(frameFace.pixelColor(frame->width() - 10, control("Option1")->y() + 2).rgb() != mid);

        auto *text = control<QPlainTextEdit>("Text1");
        QCOMPARE(text->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(text->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        // Labels and the frame never take the focus.
        for (const char *label : {"Label1", "Label3", "Label4", "Label5", "Label6", "Frame1"})
            QVERIFY2(control(label)->focusPolicy() == Qt::NoFocus, label);
    }

    void tabOrder()
    {
        writeClass(2, 2);
        QVERIFY(m_form->open());
        QWidget *w = m_form->window();
        QCOMPARE(w->focusWidget(), control("Command2")); // before it is ever activated
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QCOMPARE(QApplication::focusWidget(), control("Command2"));
        // Only the selected option is a stop; Text1 is reached although unseen.
        QCOMPARE(test::tabStops(6), QStringList({QStringLiteral("Command2"), QStringLiteral("Option2"),
                                                 QStringLiteral("Text1"), QStringLiteral("Command1"),
                                                 QStringLiteral("Command3"), QStringLiteral("Command2")}));

        // The arrow keys move the selection inside the frame, running its steps;
        // the tab stop follows the selected option.
        QTest::keyClick(control("Command2"), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), control("Option2"));
        QTest::keyClick(control("Option2"), Qt::Key_Right);
        QCOMPARE(QApplication::focusWidget(), control("Option3"));
        QCOMPARE(checkedOptions(), QStringList{QStringLiteral("Option3")});
        QCOMPARE(shown(), expectOn({}, QStringLiteral("共有 2人"), "Option3"));
        control("Command2")->setFocus();
        QTest::keyClick(control("Command2"), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), control("Option3"));
    }

    void enterOnDrawButtonDraws_data() { test::enterKeyRows(); }
    void enterOnDrawButtonDraws()
    {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        writeClass(2, 2);
        QVERIFY(m_form->open());
        QWidget *draw = control("Command1");
        draw->setFocus();
        QTest::keyClick(draw, Qt::Key(key), modifiers);
        QCOMPARE(shown().caption, QStringLiteral("还有 3人"));
        QVERIFY(shownName().startsWith(QStringLiteral("男生")) || shownName().startsWith(QStringLiteral("女生")));
    }

    void optionClicks()
    {
        writeClass(23, 22);
        QVERIFY(m_form->open());
        click("Command1");
        QVERIFY(!shownName().isEmpty());
        // Each option empties the name and Text1 and puts up its own count and
        // colour; a press then draws from its group. Option2 comes last: it is
        // the one selected at the load.
        // The draw button wears the option's own face colour.
        const struct {
            const char *option;
            const char *caption;
            const char *afterPress;
            const char *drawnFrom; // the name's prefix; "" for anyone
        } steps[] = {
            {"Option3", "共有 23人", "还有 22人", "男生"},
            {"Option4", "共有 22人", "还有 21人", "女生"},
            {"Option1", "青禾抽签 人人平等", "青禾抽签 人人平等", ""},
            {"Option2", "共有 45人", "还有 44人", ""},
        };
        for (const auto &step : steps) {
            control<QPlainTextEdit>("Text1")->setPlainText(QStringLiteral("随便写"));
            click(step.option);
            QCOMPARE(checkedOptions(), QStringList{QString::fromUtf8(step.option)});
            QCOMPARE(shown(), expectOn({}, QString::fromUtf8(step.caption), step.option));
            QCOMPARE(textOf(*control("Text1")), QString());
            click("Command1");
            const QString name = shownName();
            QVERIFY2(!name.isEmpty() && name.startsWith(QString::fromUtf8(step.drawnFrom)), qPrintable(name));
            QCOMPARE(shown(), expectOn(name, QString::fromUtf8(step.afterPress), step.option));
        }
    }

    void clickOnSelectedOptionKeepsPass()
    {
        writeClass(5, 5);
        QVERIFY(m_form->open());
        click("Command1");
        click("Command1");
        const Shown before = shown();
        QCOMPARE(before.caption, QStringLiteral("还有 8人"));
        click("Option2");
        QCOMPARE(checkedOptions(), QStringList{QStringLiteral("Option2")});
        QCOMPARE(shown(), before);
        QCOMPARE(m_form->state().drawPos(), 2);
    }

    void pressesThroughPass()
    {
        writeClass(23, 22);
        QVERIFY(m_form->open());
        QWidget *label = control("Label1");
        QVERIFY(QFile::remove(m_fx.path)); // a press must not read the file again
        QSet<QString> seen;
        for (int press = 1; press <= 44; ++press) {
            click("Command1");
            seen.insert(shownName());
            QCOMPARE(shown(), expectOn(shownName(), QStringLiteral("还有 %1人").arg(45 - press), "Option2"));
        }
        click("Command1");
        seen.insert(shownName());
        QCOMPARE(seen.size(), 45);
        QVERIFY(!seen.contains(QString()));
        QCOMPARE(shown(), expect(shownName(), QStringLiteral("点完了"), colors::ButtonFace));
        QCOMPARE(designOf(*control("Command1"))->back->value, colors::ButtonFace.value);
        click("Command1");
        QCOMPARE(shown(), expectOn({}, QStringLiteral("共有 45人"), "Option2"));
        click("Command1");
        QVERIFY(seen.contains(shownName()));
        QCOMPARE(shown().caption, QStringLiteral("还有 44人"));

        click("Option1");
        click("Command1");
        QVERIFY(!shownName().isEmpty());
        QCOMPARE(control("Label1"), label); // the same widgets: nothing rebuilt
        QVERIFY(m_fx.platform.messages.isEmpty());
        QCOMPARE(m_fx.platform.endCount, 0);
    }

    void navigation()
    {
        writeClass(3, 3);
        QVERIFY(m_form->open());
        click("Command2");
        QCOMPARE(m_fx.switcher.requests, QList<FormId>{FormId::SeatChart});
        QCOMPARE(m_fx.platform.endCount, 0);
        click("Command3");
        QCOMPARE(m_fx.platform.endCount, 1);
        QVERIFY(m_fx.platform.messages.isEmpty()); // no question asked
        QCOMPARE(m_fx.switcher.requests.size(), 1);
    }

    void failedLoad_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("remove");
        QTest::newRow("file deleted") << QByteArray() << true;
        QTest::newRow("name without sex") << QByteArray("Zhang San\r\n") << false;
        QTest::newRow("blank line between records") << QByteArray("Li,F\r\n\r\nWang,F\r\n") << false;
    }

    void failedLoad()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, remove);
        // First a good load, then the file goes bad before the next opening.
        writeClass(3, 3);
        QVERIFY(m_form->open());
        m_form->close();
        if (remove)
            QVERIFY(QFile::remove(m_fx.path));
        else
            m_fx.writeBytes(bytes);

        ShowWatcher watcher;
        qApp->installEventFilter(&watcher);
        QVERIFY(!m_form->open());
        qApp->removeEventFilter(&watcher);
        QCOMPARE(watcher.shows, 0);
        QVERIFY(!m_form->isOpen());
        QCOMPARE(m_fx.platform.messages.size(), 1);
        // A file that is gone is named; one that breaks the rules gets the format box.
        const QPair<QString, QString> box =
            remove ? qMakePair(QStringLiteral("青禾抽签"), QStringLiteral("无法打开名单文件：") + QDir::toNativeSeparators(m_fx.path))
                   : qMakePair(QStringLiteral("名单文件出错提示"), QStringLiteral("文件格式错误,或光标不在最后一行,或学生数超过82"));
        QCOMPARE(m_fx.platform.messages[0], box);
        QCOMPARE(m_fx.platform.endCount, 1);
        QVERIFY(m_fx.platform.messageOrder < m_fx.platform.endOrder);
        QVERIFY(m_fx.switcher.requests.isEmpty());
    }

    void reopen_data()
    {
        QTest::addColumn<QString>("leaveIn");
        QTest::addColumn<int>("boys");
        QTest::addColumn<int>("girls");
        QTest::newRow("left in 男同学, roster edited") << QStringLiteral("Option3") << 6 << 4;
        QTest::newRow("left mid-pass in 不重复, same roster") << QStringLiteral("Option2") << 23 << 22;
    }

    void reopen()
    {
        // Every opening reads the roster again and starts a new pass in 不重复,
        // whatever the last visit left.
        QFETCH(QString, leaveIn);
        QFETCH(int, boys);
        QFETCH(int, girls);
        writeClass(23, 22);
        QVERIFY(m_form->open());
        for (int i = 0; i < 7; ++i)
            click("Command1");
        click(leaveIn.toUtf8().constData());
        click("Command1");
        m_form->close();
        QVERIFY(!m_form->isOpen());

        writeClass(boys, girls);
        QVERIFY(m_form->open());
        const int all = boys + girls;
        QCOMPARE(m_form->window()->windowTitle(), loadedWindowCaption());
        QCOMPARE(m_form->window()->focusWidget(), control("Command2"));
        QCOMPARE(checkedOptions(), QStringList{QStringLiteral("Option2")});
        QCOMPARE(shown(), expectOn({}, QStringLiteral("共有 %1人").arg(all), "Option2"));
        QCOMPARE(countLabels(), (QStringList{QString::number(all - 1), QString::number(boys - 1),
                                             QString::number(girls - 1)}));
        QCOMPARE(m_form->state().drawPos(), 0);
        QSet<QString> seen;
        for (int i = 0; i < all; ++i) {
            click("Command1");
            seen.insert(shownName());
        }
        QCOMPARE(seen.size(), all);
        QCOMPARE(shown().caption, QStringLiteral("点完了"));
    }

    void repeatingAvoidsPickAcrossReopen()
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

    void longNamesShrink()
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
};

QH_TEST_MAIN(TestForm1)
#include "tst_form1.moc"
