// The seat-chart window on screen (offscreen platform): the controls it builds,
// what the start deals, clicks on cards, options and buttons, the keyboard
// order, a roster failure, and reopening the window.

#include "testmain.h"
#include "seatchart/form2.h"
#include "windowfixture.h"
#include "seatchart_support.h"
#include "core/colors.h"
#include "ui/fitlabel.h"
#include "core/units.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QDir>
#include <QTest>

#include <memory>

using namespace qh;
using namespace qh::test;

namespace {

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

    WindowFixture m_fx{QStringLiteral("名单.txt"), 30000.5, 4242};
    std::unique_ptr<Form2> m_form;
    QList<Student> m_class; // the class last written

    void writeRoster(const QList<Student> &cls)
    {
        m_class = cls;
        m_fx.writeRoster(rosterLines(cls));
    }

    // Opens the window on a class; null when it does not open.
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
    QColor nameColour(int s) const { return label(s)->palette().color(QPalette::WindowText); }

    QList<QWidget *> allControls() const { return m_form->window()->findChildren<QWidget *>(); }
    // The name under card `seat` in `group`, as the class and the seat order say.
    QString nameUnder(SeatGroup group, int seat) const
    {
        return groupNames(m_class, group)[m_form->chart().seatOrder()[at(seat)]];
    }

    // What the widgets of a dealt group must show: numbers, names, colours,
    // visibility. Returns an empty string when all holds, else what failed.
    QString dealtWidgetFaults(SeatGroup group) const
    {
        const int n = static_cast<int>(groupNames(m_class, group).size()) - 1;
        // A group's cards wear its option's own colour.
        const QColor colour = option(groupSpec(group).option)->palette().color(QPalette::Window);
        for (int s = 0; s < seat::kSeatCount; ++s) {
            const QString where = QStringLiteral("seat %1: ").arg(s);
            if (s > n) {
                if (card(s)->isVisible() || !label(s)->text().isEmpty())
                    return where + QStringLiteral("not cleared above the group");
                continue;
            }
            if (!card(s)->isVisible() || label(s)->isVisible())
                return where + QStringLiteral("not face down");
            if (card(s)->text() != QString::number(s + 1))
                return where + QStringLiteral("card reads ") + card(s)->text();
            if (card(s)->palette().color(QPalette::Button) != colour)
                return where + QStringLiteral("wrong card colour");
            if (label(s)->text() != nameUnder(group, s))
                return where + QStringLiteral("name is not the one at seatOrder");
        }
        return banner()->text().isEmpty() ? QString() : QStringLiteral("banner not empty");
    }

private slots:
    void init()
    {
        QVERIFY(m_fx.reset());
        m_fx.random = RandomSource(4242);
        m_form = std::make_unique<Form2>(m_fx.context());
    }

    void cleanup()
    {
        m_form.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void startDealsTheClass_data() { classSizeRows(); }
    void startDealsTheClass()
    {
        QFETCH(int, students);
        const int n = std::min(students, 82) - 1;
        FormWindow *w = openOn(makeClass(students));
        QVERIFY(w);
        QVERIFY(w->isVisible());
        QCOMPARE(w->objectName(), QStringLiteral("Form2"));
        QCOMPARE(w->windowTitle(), loadedWindowCaption());
        QCOMPARE(w->size(), twipsSize(15090, 8970));
        QVERIFY(option("Option1")->isChecked());
        QVERIFY(!option("Option2")->isChecked() && !option("Option3")->isChecked());
        QCOMPARE(m_form->chart().roster().allLast, n);
        QH_VERIFY_NO_FAULT(dealtWidgetFaults(SeatGroup::All));
        QCOMPARE(m_fx.platform.endCount, 0);
        QVERIFY(m_fx.platform.messages.isEmpty());
        // The focus goes to the first visible stop of the keyboard order: card
        // 1 when there is one (seat 0's card comes late in the order).
        QVERIFY(w->focusWidget());
        QCOMPARE(w->focusWidget()->objectName(),
                 n >= 1 ? QStringLiteral("Command1(1)") : QStringLiteral("Command4"));
        // One shuffle only: selecting 全体 at the start does not run the group choice as well.
        RandomSource twin(4242);
        for (int i = 0; i < n; ++i) {
            twin.reseed(m_fx.clock);
            twin.next64();
        }
        QCOMPARE(m_fx.random.next64(), twin.next64());

        // Every card and label where the layout puts it; the dealt cards 1500 wide.
        for (int s = 0; s < seat::kSeatCount; ++s) {
            const seat::SeatPlace &p = seat::seatPlaces()[at(s)];
            const int width = s <= n ? 1500 : p.card.width;
            QCOMPARE(card(s)->geometry(), twipsRect(p.card.left, p.card.top, width, p.card.height));
            QCOMPARE(label(s)->geometry(), twipsRect(p.label.left, p.label.top, p.label.width, p.label.height));
        }
    }

    void firstViewIsTheLayout()
    {
        // A caption changed in the layout alone is what the first view holds.
        std::vector<ControlSpec<Form2Control>> table(form2Layout().begin(), form2Layout().end());
        table[22].caption = "二十三";
        QCOMPARE(firstView(table).cards[22].caption, QStringLiteral("二十三"));

        // While the start reads the roster nothing is dealt: card 23 shows the
        // layout's caption, and the view the window compares against holds it.
        writeRoster(makeClass(45));
        const QString stored = QString::fromUtf8(form2Layout()[22].caption);
        QStringList beforeDealing;
        Form2 form(FormContext{m_fx.platform, m_fx.clock, m_fx.random, m_fx.switcher, [&] {
                                   beforeDealing << form.controls().get<QPushButton>("Command1", 22)->text()
                                                 << form.chart().view().cards[22].caption;
                                   return m_fx.path;
                               }});
        QVERIFY(form.open());
        QCOMPARE(beforeDealing, QStringList({stored, stored}));
    }

    void barAndBanner()
    {
        QVERIFY(openOn(makeClass(45, 3)));
        int named = 0;
        for (QWidget *w : allControls())
            named += !w->objectName().isEmpty();
        QCOMPARE(named, 82 + 82 + 8);
        QVERIFY(m_form->controls().at("Line1"));
        QCOMPARE(banner()->geometry(), twipsRect(3600, 360, 7815, 1935));
        QCOMPARE(banner()->palette().color(QPalette::Window), qcolor(colors::Blue));
        QCOMPARE(banner()->palette().color(QPalette::WindowText), qcolor(colors::White));
        QVERIFY(qobject_cast<FitLabel *>(banner())->shrinkToFit());
        QVERIFY(qobject_cast<FitLabel *>(label(0))->shrinkToFit());

        // The colours as drawn, not only as the palettes say: an option's face
        // right of its caption, a card's face, the banner and the window.
        const auto pixel = [](QWidget *w, QPoint p) { return w->grab().toImage().pixelColor(p); };
        const struct {
            const char *name;
            const char *caption;
            int left;
            Color face; // options only
        } bar[] = {{"Command3", "退出点名", 360, {}},          {"Command2", "转堆叠式", 2832, {}},
                   {"Command4", "随机排列", 5304, {}},          {"Option1", "全体", 7776, colors::LightBlue},
                   {"Option2", "男生", 10248, colors::LightGreen}, {"Option3", "女生", 12720, colors::LightPink}};
        for (const auto &b : bar) {
            QAbstractButton *w = m_form->controls().get<QAbstractButton>(b.name);
            QVERIFY(w);
            QCOMPARE(w->text(), QString::fromUtf8(b.caption));
            QCOMPARE(w->geometry(), twipsRect(b.left, 8280, 1800, 550));
            QVERIFY(w->isVisible() && w->isEnabled());
            if (qobject_cast<QRadioButton *>(w)) {
                QCOMPARE(w->palette().color(QPalette::Window), qcolor(b.face));
                QCOMPARE(pixel(w, QPoint(w->width() - 5, w->height() / 2)), qcolor(b.face));
            }
        }
        QCOMPARE(pixel(card(0), QPoint(6, 6)), qcolor(colors::LightBlue));
        QCOMPARE(pixel(banner(), QPoint(4, 4)), qcolor(colors::Blue));
        QCOMPARE(pixel(m_form->window(), QPoint(600, 200)), qcolor(colors::White));
        click(option("Option3"));
        QCOMPARE(pixel(card(0), QPoint(6, 6)), qcolor(colors::LightPink));
    }

    void clickingCardsRevealsNames()
    {
        FormWindow *w = openOn(makeClass(82));
        QVERIFY(w);
        // Every card lies above every name label: a click on a name's spot
        // hits the card while it is face down.
        const QObjectList kids = w->children();
        qsizetype lowestCard = kids.size(), highestLabel = -1;
        for (int s = 0; s < seat::kSeatCount; ++s) {
            lowestCard = std::min(lowestCard, kids.indexOf(card(s)));
            highestLabel = std::max(highestLabel, kids.indexOf(label(s)));
        }
        QVERIFY(highestLabel >= 0 && lowestCard > highestLabel);
        const QPoint spot = label(0)->geometry().center();
        QCOMPARE(w->childAt(spot), static_cast<QWidget *>(card(0)));

        click(card(0)); // the card reading "1"
        QCOMPARE(w->childAt(spot), static_cast<QWidget *>(label(0)));
        const QString first = nameUnder(SeatGroup::All, 0);
        QCOMPARE(banner()->text(), first);
        QCOMPARE(label(0)->text(), first);
        QVERIFY(label(0)->isVisible() && !card(0)->isVisible());
        QCOMPARE(nameColour(0), qcolor(colors::Red));

        // The second reveal touches only what changes: its card goes, its
        // name shows in red, and the earlier red name turns dark red.
        TouchCounter counter;
        for (QWidget *w : allControls())
            w->installEventFilter(&counter);
        click(card(40));
        const QSet<QString> expected{QStringLiteral("Command1(40)"), QStringLiteral("Label1(40)"),
                                     QStringLiteral("Label1(0)")};
        QCOMPARE(counter.touched, expected);
        QCOMPARE(banner()->text(), nameUnder(SeatGroup::All, 40));
        QCOMPARE(label(40)->text(), banner()->text());
        QCOMPARE(nameColour(40), qcolor(colors::Red));
        QCOMPARE(nameColour(0), qcolor(colors::DarkRed));
        QVERIFY(label(0)->isVisible());
        int red = 0;
        for (int s = 0; s < seat::kSeatCount; ++s)
            red += nameColour(s) == qcolor(colors::Red) ? 1 : 0;
        QCOMPARE(red, 1);
    }

    void enterOnFocusedCardRevealsIt_data() { enterKeyRows(); }
    void enterOnFocusedCardRevealsIt()
    {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QVERIFY(openOn(makeClass(10)));
        card(2)->setFocus();
        QTest::keyClick(card(2), Qt::Key(key), modifiers);
        QCOMPARE(banner()->text(), nameUnder(SeatGroup::All, 2));
        QVERIFY(label(2)->isVisible() && !card(2)->isVisible());
    }

    void groupOptions()
    {
        QVERIFY(openOn(makeClass(45, 3)));
        click(card(3));
        click(option("Option2"));
        QVERIFY(option("Option2")->isChecked());
        QCOMPARE(m_form->chart().view().selected, std::optional<SeatGroup>(SeatGroup::Boys));
        QH_VERIFY_NO_FAULT(dealtWidgetFaults(SeatGroup::Boys));
        click(card(2)); // the card reading "3"
        QCOMPARE(banner()->text(), nameUnder(SeatGroup::Boys, 2));

        click(option("Option3"));
        QH_VERIFY_NO_FAULT(dealtWidgetFaults(SeatGroup::Girls));
        click(option("Option1"));
        QH_VERIFY_NO_FAULT(dealtWidgetFaults(SeatGroup::All));
        // Group choices keep the width the start gave.
        for (int s = 0; s < 45; ++s)
            QCOMPARE(card(s)->width(), twipsToPixels(1500));
    }

    void clickingTheSelectedOptionAgainDoesNotRedeal()
    {
        QVERIFY(openOn(makeClass(20)));
        click(card(4));
        const auto order = m_form->chart().seatOrder();
        click(option("Option1")); // already selected: no change of selection
        QCOMPARE(m_form->chart().seatOrder(), order);
        QVERIFY(label(4)->isVisible());
    }

    void randomArrangeButton()
    {
        QVERIFY(openOn(makeClass(45, 3)));
        click(option("Option2"));
        click(card(1));
        click(card(6));
        const auto order = m_form->chart().seatOrder();
        click(button("Command4"));
        QVERIFY(m_form->chart().seatOrder() != order);
        QVERIFY(option("Option2")->isChecked());
        QH_VERIFY_NO_FAULT(dealtWidgetFaults(SeatGroup::Boys)); // face down, numbered from 1, still light green
        // The last reveal's colours stay.
        QCOMPARE(nameColour(6), qcolor(colors::Red));
        QCOMPARE(nameColour(1), qcolor(colors::DarkRed));
    }

    void tabFollowsTheKeyboardOrder()
    {
        // The keyboard order written out: Command1(s) is the card of seat s.
        QStringList expected;
        const auto cards = [&](int from, int to) {
            for (int s = from; s <= to; ++s)
                expected << QStringLiteral("Command1(%1)").arg(s);
        };
        for (int first : {1, 11, 21, 31, 41})
            cards(first, first + 8);
        cards(51, 53);
        expected << QStringLiteral("Command4") << QStringLiteral("Option1") << QStringLiteral("Command2");
        cards(54, 59);
        expected << QStringLiteral("Command3");
        cards(61, 69);
        cards(71, 73);
        cards(75, 77);
        cards(79, 80);
        for (int s : {50, 40, 30, 20, 10, 0, 60, 70, 74, 78, 81})
            cards(s, s);
        expected << expected.first(); // and round again

        FormWindow *w = openOn(makeClass(82));
        QVERIFY(w);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QCOMPARE(tabStops(int(expected.size())), expected);
    }

    void navigationButtons()
    {
        QVERIFY(openOn(makeClass(5)));
        click(button("Command2"));
        QCOMPARE(m_fx.switcher.requests, QList<FormId>{FormId::SingleDraw});
        QCOMPARE(m_fx.platform.endCount, 0);
        click(button("Command3"));
        QCOMPARE(m_fx.platform.endCount, 1);
        QVERIFY(m_fx.platform.messages.isEmpty());
    }

    void rosterFailureEndsBeforeShowing()
    {
        m_fx.path = m_fx.filePath(QStringLiteral("gone.txt")); // never written
        QVERIFY(!m_form->open());
        QVERIFY(!m_form->isOpen());
        QCOMPARE(m_fx.platform.messages.size(), 1);
        QCOMPARE(m_fx.platform.messages.first(),
                 qMakePair(QStringLiteral("青禾抽签"), QStringLiteral("无法打开名单文件：") + QDir::toNativeSeparators(m_fx.path)));
        QCOMPARE(m_fx.platform.endCount, 1);
        QVERIFY(m_fx.platform.messageOrder < m_fx.platform.endOrder);
        for (QWidget *top : QApplication::topLevelWidgets())
            QVERIFY(!(top->isVisible() && top->objectName() == QStringLiteral("Form2")));
    }

    void reopeningRebuildsTheWidgets()
    {
        QVERIFY(openOn(makeClass(45, 3)));
        const SeatChart *state = &m_form->chart();
        click(option("Option3"));
        click(card(2));
        QPointer<QWidget> oldCard = card(0);
        const auto order = m_form->chart().seatOrder();

        m_form->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(oldCard.isNull()); // the controls are gone
        QCOMPARE(m_form->chart().view().selected, std::optional<SeatGroup>(SeatGroup::Girls)); // the state stays

        // The roster file changed meanwhile: it is read again.
        QList<Student> cls = makeClass(45, 3);
        cls.append({QStringLiteral("新同学"), true});
        QVERIFY(openOn(cls));
        QCOMPARE(&m_form->chart(), state);
        QCOMPARE(m_form->chart().roster().allLast, 45);
        QVERIFY(option("Option1")->isChecked());
        QH_VERIFY_NO_FAULT(dealtWidgetFaults(SeatGroup::All));
        QVERIFY(m_form->chart().seatOrder() != order);
        for (int s = 0; s < seat::kSeatCount; ++s) // the layout's colours again
            QCOMPARE(nameColour(s), qcolor(s == 1 ? colors::Black : colors::ButtonText));
    }

    void longNamesShrinkToFit()
    {
        const QString longName = QStringLiteral("欧阳司马诸葛亮"); // seven characters
        const QString shortName = QStringLiteral("王浩然");
        QVERIFY(openOn({{longName, true}, {shortName, false}}));
        const int longSeat = nameUnder(SeatGroup::All, 0) == longName ? 0 : 1;
        click(card(longSeat));
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
        click(card(1 - longSeat));
        auto *fit = qobject_cast<FitLabel *>(label(1 - longSeat));
        QCOMPARE(fit->text(), shortName);
        QCOMPARE(fit->fittedFont().pixelSize(), fit->font().pixelSize());
        QCOMPARE(fit->font().pixelSize(), pointsToPixels(14.25));
    }
};

QH_TEST_MAIN(TestForm2)
#include "tst_form2.moc"
