// The control layer: units, colours, building a window from a layout table,
// and labels that shrink long names instead of cutting them.

#include "testmain.h"
#include "ui/colorbutton.h"
#include "core/colors.h"
#include "ui/controls.h"
#include "ui/fitlabel.h"
#include "ui/fonts.h"
#include "ui/form.h"
#include "ui/linecontrol.h"
#include "core/units.h"
#include "ui/zoom.h"

#include <QApplication>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTest>

#include <algorithm>
#include <memory>

using namespace qh;
using namespace Qt::StringLiterals;

namespace {

using K = ControlKind;
enum class TestControl { Card, Exit, Name, ModeFrame, Option, Rule };
using enum TestControl;
const ControlSpec<TestControl> kTable[] = {
    {.kind = K::ColorButton, .name = "Command1", .index = 0, .id = Card, .caption = "1", .left = 240, .top = 7440, .width = 795,
     .height = 550, .font = {FontFace::HeiTi, 26.25}, .back = colors::LightBlue, .tabIndex = 2},
    {.kind = K::Button, .name = "Command3", .id = Exit, .caption = "退出", .left = 360, .top = 8280, .width = 1800, .height = 550,
     .font = {FontFace::SongTi, 15.75}, .tabIndex = 1},
    {.kind = K::Label, .name = "Label1", .index = 0, .id = Name, .caption = "赵钱孙李", .left = 360, .top = 7560, .width = 1200,
     .height = 405, .font = {FontFace::HeiTi, 14.25}, .back = colors::White, .fore = colors::DarkRed},
    {.kind = K::Frame, .name = "Frame1", .id = ModeFrame, .caption = "方式选择", .left = 120, .top = 2040, .width = 5000,
     .height = 615, .font = {FontFace::SongTi, 10.5}},
    {.kind = K::OptionButton, .name = "Option1", .id = Option, .caption = "可重复", .left = 360, .top = 240, .width = 1000,
     .height = 300, .back = colors::LightRed, .tabIndex = 0, .toolTip = "全体同学,青禾抽签.", .container = ModeFrame},
    {.kind = K::Line, .name = "Line1", .id = Rule, .left = 360, .top = 8160, .width = 14160, .height = 0,
     .fore = colors::WindowText},
};

// A window finds its controls by its own enum of them only: another window's
// enum, or any other, does not compile.
enum class OtherWindowControl { Card };
template <class Table, class Id>
concept FindsBy = requires(const Table &c, Id id) { c.template get<QWidget>(id); };
static_assert(FindsBy<Controls<TestControl>, TestControl>);
static_assert(!FindsBy<Controls<TestControl>, OtherWindowControl>);
static_assert(!FindsBy<Controls<TestControl>, Qt::AlignmentFlag>);
static_assert(!FindsBy<Controls<TestControl>, int>);

// The next control the Tab key reaches, skipping those that never take focus.
QWidget *nextTabStop(QWidget *w)
{
    for (QWidget *n = w->nextInFocusChain(); n && n != w; n = n->nextInFocusChain())
        if (n->focusPolicy() & Qt::TabFocus)
            return n;
    return nullptr;
}

} // namespace

// A label of that size and font size showing `text`.
static std::unique_ptr<FitLabel> fitLabel(const QString &text, QSize size, int pixelSize, bool shrink, bool wrap = false)
{
    auto label = std::make_unique<FitLabel>();
    label->setShrinkToFit(shrink);
    label->setWordWrap(wrap);
    QFont f = label->font();
    f.setPixelSize(pixelSize);
    label->setFont(f);
    label->resize(size);
    label->setText(text);
    return label;
}

class TestControls : public QObject {
    Q_OBJECT
private slots:
    void twips_data()
    {
        QTest::addColumn<int>("twips");
        QTest::addColumn<int>("pixels");
        QTest::newRow("zero") << 0 << 0;
        QTest::newRow("exact") << 15090 << 1006;
        QTest::newRow("rounds down below half") << 6648 << 443;
        QTest::newRow("rounds up at half") << 7 + 15 << 1;
        QTest::newRow("rounds half up") << 8 << 1;
        QTest::newRow("negative") << -30 << -2;
    }
    void twips()
    {
        QFETCH(int, twips);
        QFETCH(int, pixels);
        QCOMPARE(twipsToPixels(twips), pixels);
    }

    void points()
    {
        QCOMPARE(pointsToPixels(26.25), 35);
        QCOMPARE(pointsToPixels(84.75), 113);
        QCOMPARE(pointsToPixels(10.5), 14);
        QCOMPARE(pointsToPixels(60), 80);
    }

    static QStringList songWanted() { return {u"宋体"_s, u"SimSun"_s, u"Noto Serif CJK SC"_s}; }

    void fontsAskOnlyForInstalledFamilies_data()
    {
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QStringList>("asked");
        QTest::newRow("none installed: all, for Qt's own fallback") << QStringList{u"Tahoma"_s} << songWanted();
        QTest::newRow("first installed") << QStringList{u"Tahoma"_s, u"宋体"_s} << QStringList{u"宋体"_s};
        QTest::newRow("wanted order, not the machine's")
            << QStringList{u"Noto Serif CJK SC"_s, u"Arial"_s, u"simsun"_s} << QStringList{u"SimSun"_s, u"Noto Serif CJK SC"_s};
        QTest::newRow("foundry suffix") << QStringList{u"Noto Serif CJK SC [GOOG]"_s} << QStringList{u"Noto Serif CJK SC"_s};
    }

    void fontsAskOnlyForInstalledFamilies()
    {
        QFETCH(QStringList, installed);
        QFETCH(QStringList, asked);
        QCOMPARE(onlyInstalled(songWanted(), installed), asked);
    }

    void everyFaceStartsWithAnInstalledFamily()
    {
        // This machine has a Chinese face for each (fonts-noto-cjk at least).
        // A weight the face lacks, or on Windows more than one family, makes Qt
        // read every installed face.
        for (FontFace face : {FontFace::SongTi, FontFace::HeiTi, FontFace::LiShu}) {
            const QFont font = makeFont({face, 12});
            const QStringList asked = font.families();
            QVERIFY(!asked.isEmpty());
            QVERIFY2(QFontDatabase::hasFamily(asked.first()), qPrintable(asked.join(u", "_s)));
            const QStringList styles = QFontDatabase::styles(asked.first());
            QVERIFY2(std::any_of(styles.begin(), styles.end(),
                                 [&](const QString &style) {
                                     return QFontDatabase::weight(asked.first(), style) == font.weight();
                                 }),
                     qPrintable(asked.first()));
#ifdef Q_OS_WIN
            QCOMPARE(asked.size(), 1);
#endif
        }
    }

    void colorsFromBgr()
    {
        const QPalette pal;
        QCOMPARE(toQColor(Color{0x00FFC0C0}, pal), QColor(0xC0, 0xC0, 0xFF));
        QCOMPARE(toQColor(Color{0x000000FF}, pal), QColor(255, 0, 0));
        QCOMPARE(toQColor(Color{0x0000008F}, pal), QColor(0x8F, 0, 0));
        QCOMPARE(toQColor(Color{0x00C00000}, pal), QColor(0, 0, 0xC0));
    }

    void systemColorsFromPalette()
    {
        QPalette pal;
        pal.setColor(QPalette::Button, QColor(1, 2, 3));
        pal.setColor(QPalette::ButtonText, QColor(4, 5, 6));
        pal.setColor(QPalette::Base, QColor(7, 8, 9));
        pal.setColor(QPalette::Text, QColor(10, 11, 12));
        QVERIFY(colors::ButtonFace.isSystem());
        QVERIFY(!colors::LightBlue.isSystem());
        QCOMPARE(toQColor(colors::ButtonFace, pal), QColor(1, 2, 3));
        QCOMPARE(toQColor(colors::ButtonText, pal), QColor(4, 5, 6));
        QCOMPARE(toQColor(colors::WindowBackground, pal), QColor(7, 8, 9));
        QCOMPARE(toQColor(colors::WindowText, pal), QColor(10, 11, 12));
    }

    void controlNames()
    {
        QCOMPARE(controlName("Command1", 5), QStringLiteral("Command1(5)"));
        QCOMPARE(controlName("Command1", 0), QStringLiteral("Command1(0)"));
        QCOMPARE(controlName("Label2"), QStringLiteral("Label2"));
    }

    void buildsEveryRow()
    {
        QWidget form;
        const Controls c = buildControls(form, kTable);
        // One widget per row, found by its name, and no other named one.
        QSet<QWidget *> built;
        for (const auto &row : kTable)
            built.insert(c.at(row.name, row.index));
        QVERIFY(!built.contains(nullptr));
        QCOMPARE(built.size(), qsizetype(std::size(kTable)));
        int named = 0;
        for (QWidget *w : form.findChildren<QWidget *>())
            named += !w->objectName().isEmpty();
        QCOMPARE(named, int(std::size(kTable)));

        auto *card = c.get<ColorButton>("Command1", 0);
        QVERIFY(qobject_cast<ColorButton *>(c.at("Command1", 0)));
        QCOMPARE(card->objectName(), QStringLiteral("Command1(0)"));
        QCOMPARE(card->geometry(), QRect(16, 496, 53, 37));
        QCOMPARE(card->font().pixelSize(), 35);
        QCOMPARE(card->palette().color(QPalette::Button), QColor(0xC0, 0xC0, 0xFF));
        QCOMPARE(designOf(*card)->back->value, 0x00FFC0C0u);
        QCOMPARE(card->text(), QStringLiteral("1"));

        auto *label = c.get<QLabel>("Label1", 0);
        QVERIFY(qobject_cast<FitLabel *>(label));
        QVERIFY(label->autoFillBackground());
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0x8F, 0, 0));
        QCOMPARE(label->palette().color(QPalette::Window), QColor(Qt::white));
        QCOMPARE(label->text(), QStringLiteral("赵钱孙李"));
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);

        auto *option = c.get<QRadioButton>("Option1");
        QCOMPARE(option->parentWidget(), c.at("Frame1"));
        QCOMPARE(option->geometry(), QRect(24, 16, 67, 20)); // relative to the frame
        QCOMPARE(option->toolTip(), QStringLiteral("全体同学,青禾抽签."));
        QCOMPARE(option->palette().color(QPalette::Window), QColor(0xFF, 0x80, 0x80));
        QVERIFY(!option->isChecked());

        auto *line = c.get<LineControl>("Line1");
        QCOMPARE(line->from(), QPoint(24, 544));
        QCOMPARE(line->to(), QPoint(968, 544));
        QCOMPARE(line->geometry().height(), 1);

        QVERIFY(!c.at("Nothing"));
    }

    // One factor for every control of a window: geometry (edges rounded, a
    // frame's controls inside their frame), font and line; back at 1 exactly
    // as built.
    void zoomScalesEveryControl_data()
    {
        QTest::addColumn<double>("zoom");
        QTest::addColumn<QPoint>("offset");
        QTest::newRow("maximised") << 1.8 << QPoint(40, 0);
        QTest::newRow("small screen") << 0.83 << QPoint();
    }
    void zoomScalesEveryControl()
    {
        QFETCH(double, zoom);
        QFETCH(QPoint, offset);
        FormWindow form;
        setClientSizeTwips(form, 15090, 8970);
        const Controls c = buildControls(form, kTable);
        QHash<QWidget *, QRect> built;
        QHash<QWidget *, int> px;
        for (const auto &row : kTable) {
            QWidget *w = c.at(row.name, row.index);
            built.insert(w, w->geometry());
            px.insert(w, w->font().pixelSize());
        }
        applyZoom(form, zoom, offset);
        QCOMPARE(zoomOf(*c.at("Option1")), zoom);
        for (const auto &row : kTable) {
            QWidget *w = c.at(row.name, row.index);
            const QPoint shift = row.container != kNoControl<TestControl> ? QPoint() : offset;
            if (row.kind != K::Line) // a line lies between its ends, below
                QCOMPARE(w->geometry(), zoomRect(built.value(w), zoom).translated(shift));
            if (row.font.face != FontFace::None)
                QCOMPARE(w->font().pixelSize(), qRound(px.value(w) * zoom));
        }
        auto *line = c.get<LineControl>("Line1");
        QCOMPARE(line->from(), QPoint(qRound(24 * zoom), qRound(544 * zoom)) + offset);
        QCOMPARE(line->to(), QPoint(qRound(968 * zoom), qRound(544 * zoom)) + offset);
        applyZoom(form, 1.0);
        for (const auto &row : kTable) {
            QWidget *w = c.at(row.name, row.index);
            QCOMPARE(w->geometry(), built.value(w));
            QCOMPARE(w->font().pixelSize(), px.value(w));
        }
    }

    void stackingFollowsRowOrder()
    {
        // The card row comes before the label row, so the card lies on top where they overlap.
        QWidget form;
        form.resize(1100, 700);
        const Controls c = buildControls(form, kTable);
        const QPoint overlap = c.at("Label1", 0)->geometry().topLeft() + QPoint(2, 2);
        QVERIFY(c.at("Command1", 0)->geometry().contains(overlap));
        QCOMPARE(form.childAt(overlap), c.at("Command1", 0));
    }

    void focusOrderFollowsTabIndex()
    {
        QWidget form;
        const Controls c = buildControls(form, kTable);
        QCOMPARE(nextTabStop(c.at("Option1")), c.at("Command3"));
        QCOMPARE(nextTabStop(c.at("Command3")), c.at("Command1", 0));
        QCOMPARE(c.at("Line1")->focusPolicy(), Qt::NoFocus);
    }

    void buttonKeysFocusedButton_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<bool>("autoRepeat");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("clicks");
        const QString card = QStringLiteral("Command1(0)"), plain = QStringLiteral("Command3");
        const Qt::KeyboardModifiers none, keypad(Qt::KeypadModifier), shift(Qt::ShiftModifier);
        QTest::newRow("Enter on a coloured button") << card << int(Qt::Key_Return) << none << false << true << 1;
        QTest::newRow("keypad Enter on a coloured button") << card << int(Qt::Key_Enter) << keypad << false << true << 1;
        QTest::newRow("Enter on a standard button") << plain << int(Qt::Key_Return) << none << false << true << 1;
        QTest::newRow("Space as before") << card << int(Qt::Key_Space) << none << false << true << 1;
        QTest::newRow("held Enter repeats nothing") << card << int(Qt::Key_Return) << none << true << true << 0;
        QTest::newRow("Shift+Enter") << plain << int(Qt::Key_Return) << shift << false << true << 0;
        QTest::newRow("disabled button") << card << int(Qt::Key_Return) << none << false << false << 0;
    }
    void buttonKeysFocusedButton()
    {
        QFETCH(QString, button);
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(bool, autoRepeat);
        QFETCH(bool, enabled);
        QFETCH(int, clicks);
        QWidget form;
        const Controls c = buildControls(form, kTable);
        auto *b = static_cast<QPushButton *>(c.find(button));
        b->setEnabled(enabled);
        int clicked = 0;
        connect(b, &QPushButton::clicked, this, [&] { ++clicked; });
        // Sent straight to the button, as to the focus widget of an active window.
        QKeyEvent press(QEvent::KeyPress, key, modifiers, QString(), autoRepeat);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, QString(), autoRepeat);
        QApplication::sendEvent(b, &press);
        QApplication::sendEvent(b, &release);
        QCOMPARE(clicked, clicks);
    }

    // A held key presses once, as each platform delivers it: X11 sends a
    // release and a press with one timestamp per repeat (its auto-repeat flag
    // not to be trusted), Windows repeats the press. "P600" is a press at 600
    // ms, "R" a release, "a" the auto-repeat flag; clicks lists the events
    // (counted from 0) at which the button clicks.
    void heldKeyPressesOnce_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("events");
        QTest::addColumn<QString>("clicks");
        const int enter = Qt::Key_Return, keypad = Qt::Key_Enter, space = Qt::Key_Space;
        const QString x11 = QStringLiteral("P100 R600 P600 R640 P640 R680a P680a R720 P720 R2000");
        QTest::newRow("X11: held Enter") << enter << x11 << QStringLiteral("0");
        QTest::newRow("X11: held keypad Enter") << keypad << x11 << QStringLiteral("0");
        QTest::newRow("X11: held Space") << space << x11 << QStringLiteral("0");
        QTest::newRow("X11: held, then pressed again") << enter << x11 + QStringLiteral(" P2100 R2180") << QStringLiteral("0,10");
        QTest::newRow("Windows: held Enter") << enter << QStringLiteral("P100 P600a P640a P680a R900") << QStringLiteral("0");
        QTest::newRow("Windows: held Space") << space << QStringLiteral("P100 P600a P640a P680a R900") << QStringLiteral("0");
        QTest::newRow("repeats without the flag") << enter << QStringLiteral("P100 P600 P640 R900") << QStringLiteral("0");
        QTest::newRow("Windows: held, then pressed again") << space << QStringLiteral("P100 P600a R900 P1000 R1100") << QStringLiteral("0,3");
        QTest::newRow("quick taps: each at once") << space << QStringLiteral("P100 R150 P200 R250 P300") << QStringLiteral("0,2,4");
        QTest::newRow("no timestamps: each tap") << enter << QStringLiteral("P0 R0 P0 R0") << QStringLiteral("0,2");
    }
    void heldKeyPressesOnce()
    {
        QFETCH(int, key);
        QFETCH(QString, events);
        QFETCH(QString, clicks);
        QWidget form;
        const Controls c = buildControls(form, kTable);
        auto *b = static_cast<QPushButton *>(c.find(QStringLiteral("Command1(0)")));
        QStringList clickedAt;
        int at = 0;
        connect(b, &QPushButton::clicked, this, [&] { clickedAt << QString::number(at); });
        const Qt::KeyboardModifiers modifiers = key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
        for (const QString &e : events.split(u' ')) {
            const bool repeat = e.endsWith(u'a');
            QKeyEvent k(e.startsWith(u'P') ? QEvent::KeyPress : QEvent::KeyRelease, key, modifiers,
                        key == Qt::Key_Space ? QStringLiteral(" ") : QString(), repeat);
            k.setTimestamp(e.mid(1, e.size() - 1 - int(repeat)).toULongLong());
            QApplication::sendEvent(b, &k);
            ++at;
        }
        QCOMPARE(clickedAt.join(u','), clicks);
    }

    void setColorsAtRunTime()
    {
        QWidget form;
        const Controls c = buildControls(form, kTable);
        QWidget *card = c.at("Command1", 0);
        setBackColor(*card, colors::LightGreen);
        QCOMPARE(card->palette().color(QPalette::Button), QColor(0xC0, 0xFF, 0xC0));
        setBackColor(*card, colors::ButtonFace);
        QCOMPARE(card->palette().color(QPalette::Button), QPalette().color(QPalette::Button));
        QCOMPARE(designOf(*card)->back->value, 0x8000000Fu);
        QWidget *label = c.at("Label1", 0);
        setForeColor(*label, colors::Red);
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    }

    void colorButtonFillsFaceWithBackColor()
    {
        QWidget form;
        const Controls c = buildControls(form, kTable);
        auto *card = c.get<ColorButton>("Command1", 0);
        card->setText(QString());
        const QImage image = card->grab().toImage();
        QCOMPARE(image.pixelColor(card->width() / 2, card->height() / 2), QColor(0xC0, 0xC0, 0xFF));
    }

    void optionButtonShowsItsBackColor()
    {
        QWidget form;
        const Controls c = buildControls(form, kTable);
        auto *option = c.get<QRadioButton>("Option1");
        option->setText(QString());
        const QImage image = option->grab().toImage();
        // Far right of the button, clear of the indicator.
        QCOMPARE(image.pixelColor(option->width() - 3, option->height() / 2), QColor(0xFF, 0x80, 0x80));
    }

    void fitLabelKeepsFontWhenTextFits()
    {
        QCOMPARE(fitLabel(QStringLiteral("王五"), {80, 27}, 19, true)->fittedFont().pixelSize(), 19);
    }

    void fitLabelShrinksLongText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("pixelSize");
        QTest::addColumn<bool>("wrap");
        QTest::addColumn<QStringList>("lines");
        const QString uyghur = QStringLiteral("阿卜杜热合曼·买买提明");
        QTest::newRow("seven characters in a name label")
            << QStringLiteral("欧阳司马诸葛亮") << 80 << 27 << 19 << false << QStringList{QStringLiteral("欧阳司马诸葛亮")};
        QTest::newRow("long banner") << uyghur << 521 << 129 << 113 << false << QStringList{uyghur};
        QTest::newRow("latin name") << QStringLiteral("Alexandria Montgomery") << 80 << 27 << 19 << false
                                    << QStringList{QStringLiteral("Alexandria Montgomery")};
        QTest::newRow("too tall for the box") << QStringLiteral("李") << 200 << 20 << 40 << false
                                              << QStringList{QStringLiteral("李")};
        // A wrapping name label breaks a long name after its "·" first.
        QTest::newRow("name label, two lines at the dot")
            << uyghur << 80 << 27 << 19 << true
            << QStringList{QStringLiteral("阿卜杜热合曼·"), QStringLiteral("买买提明")};
        QTest::newRow("name label, never a line starting with the dot")
            << QStringLiteral("阿卜杜热合曼·买买提") << 72 << 27 << 19 << true
            << QStringList{QStringLiteral("阿卜杜热合"), QStringLiteral("曼·买买提")};
        QTest::newRow("name label, two lines between characters")
            << QStringLiteral("欧阳司马诸葛孔明亮") << 80 << 27 << 19 << true
            << QStringList{QStringLiteral("欧阳司马诸葛"), QStringLiteral("孔明亮")};
    }
    void fitLabelShrinksLongText()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, pixelSize);
        QFETCH(bool, wrap);
        QFETCH(QStringList, lines);
        const auto owned = fitLabel(text, {width, height}, pixelSize, true, wrap);
        const FitLabel &label = *owned;
        const QFont fitted = label.fittedFont();
        QVERIFY(fitted.pixelSize() < pixelSize);
        QVERIFY(label.fits(fitted));
        QCOMPARE(label.fittedLines(), lines);
        for (const QString &line : lines)
            QVERIFY(QFontMetricsF(fitted).horizontalAdvance(line) <= width);
        // The largest size that fits: one pixel more would not.
        QFont bigger = fitted;
        bigger.setPixelSize(fitted.pixelSize() + 1);
        QVERIFY(!label.fits(bigger));
    }

    void plainLabelDoesNotShrink()
    {
        QCOMPARE(fitLabel(QStringLiteral("很长很长的一行字"), {40, 20}, 24, false)->fittedFont().pixelSize(), 24);
    }
};

QH_TEST_MAIN(TestControls)
#include "tst_controls.moc"
