// Renders the seat-chart window to PNG files for a look by eye:
//   render_form2 OUTPUT_DIR ROSTER_FILE
// form2-start.png after the window opens, form2-reveals.png after a few cards
// were turned over (form2-detail.png: its bottom left corner enlarged), form2-boys.png with 男生 chosen and two boys revealed,
// form2-longname.png with the longest name of the class revealed.

#include "seatchart/form2.h"
#include "recordingplatform.h"
#include "ui/clock.h"
#include "ui/random.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: render_form2 OUTPUT_DIR ROSTER_FILE\n");
        return 2;
    }
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    const QString roster = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(outDir);

    qh::test::RecordingPlatform platform;
    qh::test::RecordingSwitcher switcher;
    qh::FixedClock clock(36000.0);
    qh::RandomSource random(20200101);
    qh::Form2 form(qh::FormContext{platform, clock, random, switcher, [&] { return roster; }});
    QElapsedTimer timer;
    timer.start();
    const bool opened = form.open();
    const qint64 openMs = timer.elapsed();
    if (!opened) {
        std::fprintf(stderr, "the window did not open (roster failure: %s)\n",
                     platform.messages.isEmpty() ? "none" : qPrintable(platform.messages.first().second));
        return 1;
    }
    QWidget *w = form.window();
    QTest::qWait(50);
    bool ok = w->grab().save(outDir + QStringLiteral("/form2-start.png"));

    const auto click = [&](const char *name, int index) {
        if (auto *b = form.controls().get<QAbstractButton>(name, index); b && b->isVisible())
            QTest::mouseClick(b, Qt::LeftButton);
    };
    timer.start();
    for (int s : {0, 14, 27, 33, 41, 58, 5})
        click("Command1", s);
    const qint64 clicksMs = timer.elapsed();
    QTest::qWait(20);
    ok = w->grab().save(outDir + QStringLiteral("/form2-reveals.png")) && ok;
    // The bottom left corner at four times the size, to judge text placement.
    ok = w->grab(QRect(0, 330, 330, 270)).scaled(1320, 1080).save(outDir + QStringLiteral("/form2-detail.png")) && ok;

    click("Option2", -1);
    click("Command1", 2);
    click("Command1", 9);
    QTest::qWait(20);
    ok = w->grab().save(outDir + QStringLiteral("/form2-boys.png")) && ok;

    // The longest name of the class, revealed: it must shrink, not be cut off.
    click("Option1", -1);
    const qh::SeatChart &chart = form.chart();
    int longest = -1;
    for (int s = 0; s <= chart.lastOf(qh::SeatGroup::All); ++s)
        if (longest < 0 || chart.nameUnder(s).size() > chart.nameUnder(longest).size())
            longest = s;
    if (longest >= 0)
        click("Command1", longest);
    QTest::qWait(20);
    ok = w->grab().save(outDir + QStringLiteral("/form2-longname.png")) && ok;

    std::printf("opening (build, roster, deal, show): %lld ms; 7 card clicks: %lld ms\n", openMs, clicksMs);
    std::printf("%s\n", qPrintable(QDir(outDir).absolutePath()));
    return ok ? 0 : 1;
}
