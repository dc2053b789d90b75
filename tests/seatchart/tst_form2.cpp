// The seat-chart window on screen (offscreen platform): the controls it builds,
// what the start deals, clicks on cards, options and buttons, the keyboard
// order, a roster failure, and reopening the window.

#include "seatchart/form2.h"
#include "recordingplatform.h"
#include "seatchart_support.h"
#include "ui/captions.h"
#include "ui/clock.h"
#include "ui/colors.h"
#include "ui/fitlabel.h"
#include "ui/random.h"
#include "ui/units.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace qh;
using namespace qh::test;

namespace {

constexpr std::size_t at(int i)
{
    return static_cast<std::size_t>(i);
}

QColor qcolor(VbColor c)
{
    return toQColor(c, QPalette());
}

// Counts the property changes each control receives.
class TouchCounter : public QObject {
public:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        switch (e->type()) {
        case QEvent::PaletteChange:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::ShowToParent:
        case QEvent::HideToParent:
        case QEvent::FontChange:
            touched.insert(o->objectName());
            break;
        default:
            break;
        }
        return false;
    }
    QSet<QString> touched;
};

} // namespace

class TestForm2 : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    RecordingPlatform m_platform;
    RecordingSwitcher m_switcher;
    FixedClock m_clock{30000.5};
    RandomSource m_random{4242};
    std::unique_ptr<Form2> m_form;

    void writeRoster(const QList<Student> &cls)
    {
        QByteArray bytes;
        for (const Student &s : cls)
            bytes += (s.name + QLatin1Char(',') + (s.boy ? QStringLiteral("男") : QStringLiteral("女")) +
                      QStringLiteral("\r\n"))
                         .toUtf8();
        QFile f(m_path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    // Opens the window on a class; fails the test when it does not open.
    FormWindow *openOn(const QList<Student> &cls)
    {
        writeRoster(cls);
        if (!m_form->open())
            return nullptr;
        return m_form->window();
    }

    QPushButton *card(int s) const { return m_form->controls().get<QPushButton>("Command1", s); }
    QLabel *label(int s) const { return m_form->controls().get<QLabel>("Label1", s); }
    QLabel *banner() const { return m_form->controls().get<QLabel>("Label2"); }
    QRadioButton *option(const char *name) const { return m_form->controls().get<QRadioButton>(name); }
    QPushButton *button(const char *name) const { return m_form->controls().get<QPushButton>(name); }

    // Checks the widgets against the state of a dealt group: numbers, names, colours, visibility.
    void verifyDealtWidgets(SeatGroup group)
    {
        const SeatChart &c = m_form->chart();
        const int n = c.lastOf(group);
        for (int s = 0; s < seat::kSeatCount; ++s) {
            QPushButton *b = card(s);
            QLabel *l = label(s);
            if (s <= n) {
                QVERIFY2(b->isVisible(), qPrintable(b->objectName()));
                QCOMPARE(b->text(), QString::number(s + 1));
                QCOMPARE(b->palette().color(QPalette::Button), qcolor(cardColor(group)));
                QVERIFY(!l->isVisible());
                QCOMPARE(l->text(), c.namesOf(group)[at(c.seatOrder[at(s)])]);
            } else {
                QVERIFY2(!b->isVisible(), qPrintable(b->objectName()));
                QCOMPARE(l->text(), QString());
            }
        }
        QCOMPARE(banner()->text(), QString());
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_path = m_dir->filePath(QStringLiteral("名单.txt"));
        m_platform = RecordingPlatform();
        m_switcher.requests.clear();
        m_random = RandomSource(4242);
        m_form = std::make_unique<Form2>(
            FormContext{m_platform, m_clock, m_random, m_switcher, [this] { return m_path; }});
    }

    void cleanup()
    {
        m_form.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void startDealsTheClass_data()
    {
        QTest::addColumn<int>("students");
        QTest::newRow("empty roster") << 0;
        QTest::newRow("one student") << 1;
        QTest::newRow("45 students") << 45;
        QTest::newRow("82 students") << 82;
        QTest::newRow("100 students") << 100;
    }

    void startDealsTheClass()
    {
        QFETCH(int, students);
        FormWindow *w = openOn(makeClass(students));
        QVERIFY(w);
        QVERIFY(w->isVisible());
        QCOMPARE(w->objectName(), QStringLiteral("Form2"));
        QCOMPARE(w->windowTitle(), windowCaption());
        QCOMPARE(w->size(), twipsSize(15090, 8970));
        QVERIFY(option("Option1")->isChecked());
        QVERIFY(!option("Option2")->isChecked() && !option("Option3")->isChecked());
        verifyDealtWidgets(SeatGroup::All);
        QCOMPARE(m_form->chart().roster.allLast, std::min(students, 82) - 1);
        // One shuffle only: selecting 全体 at the start does not run the group choice as well.
        RandomSource twin(4242);
        for (int i = 0; i < std::min(students, 82) - 1; ++i) {
            twin.reseed(m_clock);
            twin.next64();
        }
        QCOMPARE(m_random.next64(), twin.next64());
        QCOMPARE(m_platform.endCount, 0);
        QVERIFY(m_platform.messages.isEmpty());

        // Every card and label where the layout puts it; the dealt cards 1500 wide.
        const int n = std::min(students, 82) - 1;
        for (int s = 0; s < seat::kSeatCount; ++s) {
            const seat::SeatPlace &p = seat::seatPlaces()[at(s)];
            const int width = s <= n ? seat::kDealtCardWidth : p.card.width;
            QCOMPARE(card(s)->geometry(), twipsRect(p.card.left, p.card.top, width, p.card.height));
            QCOMPARE(label(s)->geometry(), twipsRect(p.label.left, p.label.top, p.label.width, p.label.height));
        }
    }

    void fixedControls()
    {
        QVERIFY(openOn(makeClass(3)));
        QCOMPARE(banner()->geometry(), twipsRect(3600, 360, 7815, 1935));
        QCOMPARE(banner()->palette().color(QPalette::Window), qcolor(colors::Blue));
        QCOMPARE(banner()->palette().color(QPalette::WindowText), qcolor(colors::White));
        QVERIFY(qobject_cast<FitLabel *>(banner())->shrinkToFit());
        QVERIFY(qobject_cast<FitLabel *>(label(0))->shrinkToFit());
        const struct {
            const char *name;
            const char *caption;
            int left;
        } bar[] = {{"Command3", "退出点名", 360}, {"Command2", "转堆叠式", 2832}, {"Command4", "随机排列", 5304},
                   {"Option1", "全体", 7776},     {"Option2", "男生", 10248},     {"Option3", "女生", 12720}};
        for (const auto &b : bar) {
            QAbstractButton *w = m_form->controls().get<QAbstractButton>(b.name);
            QVERIFY(w);
            QCOMPARE(w->text(), QString::fromUtf8(b.caption));
            QCOMPARE(w->geometry(), twipsRect(b.left, 8280, 1800, 550));
            QVERIFY(w->isVisible() && w->isEnabled());
        }
        QCOMPARE(option("Option1")->palette().color(QPalette::Window), qcolor(colors::LightBlue));
        QCOMPARE(option("Option2")->palette().color(QPalette::Window), qcolor(colors::LightGreen));
        QCOMPARE(option("Option3")->palette().color(QPalette::Window), qcolor(colors::LightPink));
        QVERIFY(m_form->controls().at("Line1"));
        QCOMPARE(int(m_form->controls().all().size()), 82 + 82 + 8);
    }

    void coloursAsDrawn()
    {
        // What the teacher sees, not only what the palettes say.
        QVERIFY(openOn(makeClass(45, 3)));
        const auto pixel = [](QWidget *w, QPoint p) { return w->grab().toImage().pixelColor(p); };
        const auto nearRight = [](QWidget *w) { return QPoint(w->width() - 5, w->height() / 2); };
        QCOMPARE(pixel(option("Option1"), nearRight(option("Option1"))), qcolor(colors::LightBlue));
        QCOMPARE(pixel(option("Option2"), nearRight(option("Option2"))), qcolor(colors::LightGreen));
        QCOMPARE(pixel(option("Option3"), nearRight(option("Option3"))), qcolor(colors::LightPink));
        QCOMPARE(pixel(card(0), QPoint(6, 6)), qcolor(colors::LightBlue));
        QCOMPARE(pixel(banner(), QPoint(4, 4)), qcolor(colors::Blue));
        QCOMPARE(pixel(m_form->window(), QPoint(600, 200)), qcolor(colors::White));
        QTest::mouseClick(option("Option3"), Qt::LeftButton);
        QCOMPARE(pixel(card(0), QPoint(6, 6)), qcolor(colors::LightPink));
    }

    void cardsLieAboveTheirNames()
    {
        FormWindow *w = openOn(makeClass(82));
        QVERIFY(w);
        // Stacking: every card comes after every name label among the window's children.
        const QObjectList kids = w->children();
        qsizetype lowestCard = kids.size(), highestLabel = -1;
        for (int s = 0; s < seat::kSeatCount; ++s) {
            lowestCard = std::min(lowestCard, kids.indexOf(card(s)));
            highestLabel = std::max(highestLabel, kids.indexOf(label(s)));
        }
        QVERIFY(highestLabel >= 0 && lowestCard > highestLabel);
        // What a click on a name's spot hits: the card while face down, nothing to click afterwards.
        const QPoint spot = label(30)->geometry().center();
        QCOMPARE(w->childAt(spot), static_cast<QWidget *>(card(30)));
        QTest::mouseClick(card(30), Qt::LeftButton);
        QCOMPARE(w->childAt(spot), static_cast<QWidget *>(label(30)));
    }

    void clickingCardsRevealsNames()
    {
        QVERIFY(openOn(makeClass(30)));
        const SeatChart &c = m_form->chart();
        QTest::mouseClick(card(0), Qt::LeftButton);
        const QString first = c.roster.allNames[at(c.seatOrder[0])];
        QCOMPARE(banner()->text(), first);
        QCOMPARE(label(0)->text(), first);
        QVERIFY(label(0)->isVisible());
        QVERIFY(!card(0)->isVisible());
        QCOMPARE(label(0)->palette().color(QPalette::WindowText), qcolor(colors::Red));

        QTest::mouseClick(card(12), Qt::LeftButton);
        const QString second = c.roster.allNames[at(c.seatOrder[12])];
        QCOMPARE(banner()->text(), second);
        QCOMPARE(label(12)->text(), second);
        QCOMPARE(label(12)->palette().color(QPalette::WindowText), qcolor(colors::Red));
        QCOMPARE(label(0)->palette().color(QPalette::WindowText), qcolor(colors::DarkRed));
        QVERIFY(label(0)->isVisible());
        int red = 0;
        for (int s = 0; s < seat::kSeatCount; ++s)
            red += label(s)->palette().color(QPalette::WindowText) == qcolor(colors::Red) ? 1 : 0;
        QCOMPARE(red, 1);
    }

    void aClickTouchesOnlyWhatChanged()
    {
        QVERIFY(openOn(makeClass(82)));
        QTest::mouseClick(card(5), Qt::LeftButton);
        TouchCounter counter;
        for (QWidget *w : m_form->controls().all())
            w->installEventFilter(&counter);
        QTest::mouseClick(card(40), Qt::LeftButton);
        // The clicked card goes, its name shows in red, and the earlier red name turns dark red.
        const QSet<QString> expected{QStringLiteral("Command1(40)"), QStringLiteral("Label1(40)"),
                                     QStringLiteral("Label1(5)")};
        QCOMPARE(counter.touched, expected);
    }

    void groupOptions()
    {
        QVERIFY(openOn(makeClass(45, 3)));
        QTest::mouseClick(card(3), Qt::LeftButton);
        QTest::mouseClick(option("Option2"), Qt::LeftButton);
        QVERIFY(option("Option2")->isChecked());
        QCOMPARE(m_form->chart().view().selected, std::optional<SeatGroup>(SeatGroup::Boys));
        verifyDealtWidgets(SeatGroup::Boys);
        QTest::mouseClick(card(2), Qt::LeftButton); // the card reading "3"
        const SeatChart &c = m_form->chart();
        QCOMPARE(banner()->text(), c.roster.boyNames[at(c.seatOrder[2])]);

        QTest::mouseClick(option("Option3"), Qt::LeftButton);
        verifyDealtWidgets(SeatGroup::Girls);
        QTest::mouseClick(option("Option1"), Qt::LeftButton);
        verifyDealtWidgets(SeatGroup::All);
        // Group choices keep the width the start gave.
        for (int s = 0; s < 45; ++s)
            QCOMPARE(card(s)->width(), twipsToPixels(seat::kDealtCardWidth));
    }

    void clickingTheSelectedOptionAgainDoesNotRedeal()
    {
        QVERIFY(openOn(makeClass(20)));
        QTest::mouseClick(card(4), Qt::LeftButton);
        const auto order = m_form->chart().seatOrder;
        QTest::mouseClick(option("Option1"), Qt::LeftButton); // already selected: no change of selection
        QCOMPARE(m_form->chart().seatOrder, order);
        QVERIFY(label(4)->isVisible());
    }

    void randomArrangeButton()
    {
        QVERIFY(openOn(makeClass(45, 3)));
        QTest::mouseClick(option("Option2"), Qt::LeftButton);
        QTest::mouseClick(card(1), Qt::LeftButton);
        QTest::mouseClick(card(6), Qt::LeftButton);
        const auto order = m_form->chart().seatOrder;
        QTest::mouseClick(button("Command4"), Qt::LeftButton);
        QVERIFY(m_form->chart().seatOrder != order);
        QVERIFY(option("Option2")->isChecked());
        verifyDealtWidgets(SeatGroup::Boys); // face down, numbered from 1, still light green
        // The last reveal's colours stay.
        QCOMPARE(label(6)->palette().color(QPalette::WindowText), qcolor(colors::Red));
        QCOMPARE(label(1)->palette().color(QPalette::WindowText), qcolor(colors::DarkRed));
    }

    void focusGoesToTheFirstVisibleControl_data()
    {
        QTest::addColumn<int>("students");
        QTest::addColumn<QString>("expected");
        QTest::newRow("82 students") << 82 << QStringLiteral("Command1(1)");
        QTest::newRow("two students") << 2 << QStringLiteral("Command1(1)");
        QTest::newRow("one student") << 1 << QStringLiteral("Command4");
        QTest::newRow("empty roster") << 0 << QStringLiteral("Command4");
    }

    void focusGoesToTheFirstVisibleControl()
    {
        QFETCH(int, students);
        QFETCH(QString, expected);
        FormWindow *w = openOn(makeClass(students));
        QVERIFY(w);
        QVERIFY(w->focusWidget());
        QCOMPARE(w->focusWidget()->objectName(), expected);
    }

    void tabFollowsTheKeyboardOrder()
    {
        FormWindow *w = openOn(makeClass(82));
        QVERIFY(w);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QStringList visited;
        for (int k = 0; k < 87; ++k) {
            QWidget *f = QApplication::focusWidget();
            QVERIFY(f);
            visited.append(f->objectName());
            QTest::keyClick(f, Qt::Key_Tab);
        }
        QStringList expected;
        for (const FocusStop &stop : form2FocusOrder())
            expected.append(controlName(stop.name, stop.index));
        expected.append(expected.first()); // and round again
        QCOMPARE(visited, expected);
    }

    void navigationButtons()
    {
        QVERIFY(openOn(makeClass(5)));
        QTest::mouseClick(button("Command2"), Qt::LeftButton);
        QCOMPARE(m_switcher.requests, QList<FormId>{FormId::SingleDraw});
        QCOMPARE(m_platform.endCount, 0);
        QTest::mouseClick(button("Command3"), Qt::LeftButton);
        QCOMPARE(m_platform.endCount, 1);
        QVERIFY(m_platform.messages.isEmpty());
    }

    void rosterFailureEndsBeforeShowing()
    {
        m_path = m_dir->filePath(QStringLiteral("gone.txt")); // never written
        QVERIFY(!m_form->open());
        QVERIFY(!m_form->isOpen());
        QCOMPARE(m_platform.messages.size(), 1);
        QCOMPARE(m_platform.messages.first().first, QStringLiteral("名单文件出错提示"));
        QCOMPARE(m_platform.endCount, 1);
        QVERIFY(m_platform.messageOrder < m_platform.endOrder);
        for (QWidget *top : QApplication::topLevelWidgets())
            QVERIFY(!(top->isVisible() && top->objectName() == QStringLiteral("Form2")));
    }

    void reopeningRebuildsTheWidgets()
    {
        FormWindow *first = openOn(makeClass(45, 3));
        QVERIFY(first);
        const SeatChart *state = &m_form->chart();
        QTest::mouseClick(option("Option3"), Qt::LeftButton);
        QTest::mouseClick(card(2), Qt::LeftButton);
        QPointer<QWidget> oldCard = card(0);
        const auto order = m_form->chart().seatOrder;

        m_form->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(oldCard.isNull()); // the controls are gone
        QCOMPARE(m_form->chart().view().selected, std::optional<SeatGroup>(SeatGroup::Girls)); // the state stays

        // The roster file changed meanwhile: it is read again.
        QList<Student> cls = makeClass(45, 3);
        cls.append({QStringLiteral("新同学"), true});
        FormWindow *second = openOn(cls);
        QVERIFY(second);
        QCOMPARE(&m_form->chart(), state);
        QCOMPARE(m_form->chart().roster.allLast, 45);
        QVERIFY(option("Option1")->isChecked());
        verifyDealtWidgets(SeatGroup::All);
        QVERIFY(m_form->chart().seatOrder != order);
        for (int s = 0; s < seat::kSeatCount; ++s)
            QCOMPARE(label(s)->palette().color(QPalette::WindowText),
                     qcolor(s == 1 ? colors::Black : colors::ButtonText));
    }

    void longNamesShrinkToFit()
    {
        const QString longName = QStringLiteral("欧阳司马诸葛亮"); // seven characters
        const QString shortName = QStringLiteral("王浩然");
        QVERIFY(openOn({{longName, true}, {shortName, false}}));
        const SeatChart &c = m_form->chart();
        const int longSeat = c.roster.allNames[at(c.seatOrder[0])] == longName ? 0 : 1;
        QTest::mouseClick(card(longSeat), Qt::LeftButton);
        for (QLabel *l : {label(longSeat), banner()}) {
            auto *fit = qobject_cast<FitLabel *>(l);
            QVERIFY(fit);
            QCOMPARE(fit->text(), longName);
            const QFont f = fit->fittedFont();
            QVERIFY2(QFontMetrics(f).horizontalAdvance(longName) <= fit->contentsRect().width(),
                     qPrintable(fit->objectName()));
            QVERIFY(f.pixelSize() <= fit->font().pixelSize());
        }
        // A name that fits keeps the layout's size.
        QTest::mouseClick(card(1 - longSeat), Qt::LeftButton);
        auto *fit = qobject_cast<FitLabel *>(label(1 - longSeat));
        QCOMPARE(fit->text(), shortName);
        QCOMPARE(fit->fittedFont().pixelSize(), fit->font().pixelSize());
        QCOMPARE(fit->font().pixelSize(), pointsToPixels(14.25));
    }
};

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
