// In-process timings of the windows, each interleaved with a bare-Qt baseline:
//   bench_ui ROSTER_FILE [--reps N] [--events N]
// - seat-open: opening the seat-chart window (roster read twice, 172 controls
//   built, shuffle, deal) until its first paint, against building and showing
//   172 plain buttons, option buttons and labels at the same places;
// - events: a card click, 随机排列, a group choice, and a press of the draw
//   button in each of the four modes, each until the window has repainted,
//   against a click on a plain button that changes a plain label's text.
// Prints one JSON object per figure on stdout (times in milliseconds).

#include "benchplatform.h"
#include "benchstats.h"

#include "app/program.h"
#include "ui/application.h"
#include "seatchart/form2.h"
#include "singledraw/form1.h"
#include "core/clock.h"
#include "core/random.h"
#include "core/units.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

namespace {

using qh::bench::median;

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "bench_ui: %s\n", what);
    std::exit(1);
}

// Counts paint events of the widgets of one top-level window.
class PaintProbe final : public QObject {
public:
    QWidget *target = nullptr;
    int paints = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && target && watched->isWidgetType() &&
            static_cast<QWidget *>(watched)->window() == target)
            ++paints;
        return false;
    }
};

PaintProbe *g_probe = nullptr;

// Call before the action that is to repaint `window`.
void expectPaint(QWidget *window)
{
    g_probe->target = window;
    g_probe->paints = 0;
}

// Processes events until `window` has painted. A repaint is done within one
// pass of the event loop, so the window is complete when this returns.
void waitForPaint()
{
    QElapsedTimer guard;
    guard.start();
    while (g_probe->paints == 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (guard.elapsed() > 10000)
            fail("no paint within 10 s");
    }
    g_probe->target = nullptr;
}

double msSince(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void click(QAbstractButton *button, QPoint at = {})
{
    if (at.isNull())
        at = button->rect().center();
    QTest::mouseClick(button, Qt::LeftButton, {}, at);
}

// A radio button takes clicks on its indicator and its text.
void clickOption(QAbstractButton *option)
{
    click(option, QPoint(8, option->height() / 2));
}

// ---- the bare baseline of the seat chart: the same 172 rows, plain controls ----

std::unique_ptr<QWidget> buildBareSeatWindow(std::span<const qh::ControlSpec<qh::Form2Control>> table)
{
    auto window = std::make_unique<QWidget>();
    window->setFixedSize(qh::twipsSize(qh::kForm2ClientWidth, qh::kForm2ClientHeight));
    for (const auto &row : table) {
        const QString caption = QString::fromUtf8(row.caption);
        QWidget *w = nullptr;
        switch (row.kind) {
        case qh::ControlKind::Button:
        case qh::ControlKind::ColorButton: w = new QPushButton(caption, window.get()); break;
        case qh::ControlKind::OptionButton: w = new QRadioButton(caption, window.get()); break;
        case qh::ControlKind::Line: {
            auto *line = new QFrame(window.get());
            line->setFrameShape(QFrame::HLine);
            w = line;
            break;
        }
        default: w = new QLabel(caption, window.get()); break;
        }
        w->setGeometry(qh::twipsRect(row.left, row.top, std::max(row.width, 15), std::max(row.height, 15)));
    }
    return window;
}

// ---- the baseline of the events: a plain button that sets a plain label's text ----

struct BareClicker {
    QWidget window;
    QPushButton *button = nullptr;
    QLabel *label = nullptr;
    int clicks = 0;

    BareClicker()
    {
        window.setFixedSize(400, 200);
        button = new QPushButton(QStringLiteral("抽签"), &window);
        button->setGeometry(20, 120, 160, 40);
        label = new QLabel(QStringLiteral("赵钱孙李"), &window);
        label->setGeometry(20, 20, 360, 80);
        QObject::connect(button, &QPushButton::clicked, label, [this] {
            ++clicks;
            label->setText(QStringLiteral("名字%1").arg(clicks));
        });
        window.move(1100, 0);
        window.show();
        QTest::qWait(20);
    }

    double timedClick()
    {
        const int before = clicks;
        QElapsedTimer t;
        expectPaint(&window);
        t.start();
        click(button);
        waitForPaint();
        const double ms = msSince(t);
        if (clicks != before + 1)
            fail("the baseline button took no click");
        return ms;
    }
};

struct Row {
    std::string figure;
    std::vector<double> ours, base;
};

void printRow(const Row &r)
{
    std::printf("{\"figure\": \"%s\", \"ours_ms\": %.6f, \"base_ms\": %.6f, \"n\": %zu, \"ours_max_ms\": %.6f, "
                "\"base_max_ms\": %.6f, \"ours_first_ms\": %.6f, \"base_first_ms\": %.6f}\n",
                r.figure.c_str(), median(r.ours), median(r.base), r.ours.size(), qh::bench::maxOf(r.ours),
                qh::bench::maxOf(r.base), r.ours.empty() ? 0.0 : r.ours.front(),
                r.base.empty() ? 0.0 : r.base.front());
    std::fflush(stdout);
}

QWidget *findIn(QWidget *window, const char *name)
{
    QWidget *w = window ? window->findChild<QWidget *>(QString::fromLatin1(name)) : nullptr;
    if (!w)
        fail(name);
    return w;
}

} // namespace

int main(int argc, char *argv[])
{
    const auto application = qh::createApplication(argc, argv); // as main() does
    const QStringList args = qh::commandLineArguments(argc, argv);
    if (args.size() < 2)
        fail("usage: bench_ui ROSTER_FILE [--reps N] [--events N]");
    const QString roster = args.at(1);
    int reps = 31;
    int events = 200;
    for (qsizetype i = 2; i + 1 < args.size(); i += 2) {
        if (args.at(i) == QLatin1String("--reps"))
            reps = args.at(i + 1).toInt();
        else if (args.at(i) == QLatin1String("--events"))
            events = args.at(i + 1).toInt();
    }

    PaintProbe probe;
    g_probe = &probe;
    application->installEventFilter(&probe);

    // The whole program, as main() wires it; the start window is never opened,
    // its chosen file is set directly. The real clock: a click pays for it.
    qh::bench::BenchPlatform platform;
    qh::SystemClock clock;
    qh::RandomSource random{20200101};
    qh::Program program(platform, clock, random, QUrl());
    program.form0.presetFinalName(roster);
    qh::Form2 &form2 = program.form2;
    qh::Form1 &form1 = program.form1;

    // ---- 2. opening the seat chart ----
    const auto table = qh::form2Layout();
    if (table.size() != 172)
        fail("the seat chart no longer has 172 controls");
    Row open{"seat-open", {}, {}};
    for (int rep = 0; rep < reps; ++rep) {
        const auto oursOnce = [&] {
            QElapsedTimer t;
            t.start();
            if (!form2.open())
                fail("the seat chart did not open (roster?)");
            expectPaint(form2.window());
            waitForPaint();
            open.ours.push_back(msSince(t));
            if (form2.chart().roster().allLast != 81)
                fail("the roster does not hold 82 students");
            form2.close();
            flushDeletes();
        };
        const auto bareOnce = [&] {
            QElapsedTimer t;
            t.start();
            std::unique_ptr<QWidget> w = buildBareSeatWindow(table);
            expectPaint(w.get());
            w->show();
            waitForPaint();
            open.base.push_back(msSince(t));
            w.reset();
            flushDeletes();
        };
        // Alternate who goes first.
        if (rep % 2 == 0) {
            oursOnce();
            bareOnce();
        } else {
            bareOnce();
            oursOnce();
        }
    }
    printRow(open);
    if (platform.messagesShown || platform.endRequests)
        fail("the roster failed to load");

    // ---- 3. events ----
    BareClicker bare;
    if (!form2.open())
        fail("the seat chart did not open");
    QWidget *w2 = form2.window();
    QTest::qWait(50);
    auto *randomArrange = static_cast<QAbstractButton *>(findIn(w2, "Command4"));
    auto *all = static_cast<QAbstractButton *>(findIn(w2, "Option1"));
    auto *boys = static_cast<QAbstractButton *>(findIn(w2, "Option2"));

    const auto timed = [&](QWidget *window, const std::function<void()> &action) {
        QElapsedTimer t;
        expectPaint(window);
        t.start();
        action();
        waitForPaint();
        return msSince(t);
    };

    {
        Row cards{"card-click", {}, {}};
        int seat = 0;
        for (int e = 0; e < events; ++e) {
            // The next face-down card; a new arrangement when all are turned over.
            QAbstractButton *card = nullptr;
            for (int tries = 0; tries < 2 && !card; ++tries) {
                for (; seat < 82; ++seat) {
                    auto *c = static_cast<QAbstractButton *>(form2.controls().at("Command1", seat));
                    if (c->isVisible()) {
                        card = c;
                        break;
                    }
                }
                if (!card) {
                    click(randomArrange);
                    QTest::qWait(5);
                    seat = 0;
                }
            }
            if (!card)
                fail("no face-down card");
            cards.ours.push_back(timed(w2, [&] { click(card); }));
            if (card->isVisible())
                fail("a clicked card stayed face down");
            cards.base.push_back(bare.timedClick());
        }
        printRow(cards);
    }
    {
        Row arrange{"random-arrange", {}, {}};
        for (int e = 0; e < events; ++e) {
            // Turn a card over first, so the arrangement has something to undo.
            for (int s = 0; s < 82; ++s) {
                auto *c = static_cast<QAbstractButton *>(form2.controls().at("Command1", (e + s) % 82));
                if (c->isVisible()) {
                    click(c);
                    break;
                }
            }
            QTest::qWait(1);
            arrange.ours.push_back(timed(w2, [&] { click(randomArrange); }));
            if (!form2.chart().view().banner.isEmpty())
                fail("随机排列 left a name in the banner");
            arrange.base.push_back(bare.timedClick());
        }
        printRow(arrange);
    }
    {
        Row group{"group-choice", {}, {}};
        for (int e = 0; e < events; ++e) {
            QAbstractButton *option = e % 2 == 0 ? boys : all;
            group.ours.push_back(timed(w2, [&] { clickOption(option); }));
            if (!option->isChecked())
                fail("the option took no click");
            group.base.push_back(bare.timedClick());
        }
        printRow(group);
    }
    form2.close();
    flushDeletes();

    if (!form1.open())
        fail("the single-draw window did not open");
    QWidget *w1 = form1.window();
    QTest::qWait(50);
    const char *options[4] = {"Option1", "Option2", "Option3", "Option4"};
    for (int mode = 0; mode < 4; ++mode) {
        auto *option = static_cast<QAbstractButton *>(findIn(w1, options[mode]));
        if (!option->isChecked()) { // the load selects Option2
            clickOption(option);
            QTest::qWait(5);
        }
        if (!option->isChecked())
            fail("the draw mode took no click");
        auto *draw = static_cast<QAbstractButton *>(findIn(w1, "Command1"));
        Row press{std::string("draw-press-") + options[mode], {}, {}};
        for (int e = 0; e < events; ++e) {
            const QString before = draw->text();
            const QString nameBefore = static_cast<QLabel *>(findIn(w1, "Label1"))->text();
            press.ours.push_back(timed(w1, [&] { click(draw); }));
            if (draw->text() == before && static_cast<QLabel *>(findIn(w1, "Label1"))->text() == nameBefore)
                fail("a press of the draw button changed nothing");
            press.base.push_back(bare.timedClick());
        }
        printRow(press);
    }
    form1.close();
    flushDeletes();
    if (platform.messagesShown || platform.endRequests)
        fail("the program asked for a message box or its end");
    return 0;
}
