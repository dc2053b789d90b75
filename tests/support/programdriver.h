#pragma once
// Drives the whole program as a teacher would, finding windows and controls
// only by their names (Form0, Command1(5), Option2, ...).

#include "app/program.h"
#include "recordingplatform.h"
#include "windowfixture.h"
#include "core/clock.h"
#include "core/random.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QString>
#include <QTest>
#include <QUrl>
#include <QWidget>

#include <cstdint>

namespace qh::test {

struct ProgramDriver {
    // The page is only recorded, never opened: it need not exist.
    explicit ProgramDriver(std::uint64_t seed = 1)
        : random(seed), program(platform, clock, random, QUrl::fromLocalFile(QStringLiteral("/qinghe/instructions.html")))
    {
    }

    RecordingPlatform platform;
    FixedClock clock{30000.0};
    RandomSource random;
    Program program;

    // Starts the program and waits until the start window's lists have been
    // read (off the window's thread); false if they never are.
    bool start(const QStringList &arguments = {});

    // The visible top-level window of that name, or null.
    static QWidget *window(const char *name);
    static int visibleWindows();
    template <class T = QWidget>
    static T *control(const char *form, const QString &name)
    {
        QWidget *w = window(form);
        return w ? w->findChild<T *>(name) : nullptr;
    }
    // A click, and what the event loop runs after it.
    static void click(QWidget *w);
    // Chooses a roster in the start window's file list and presses 开始使用.
    void startWith(const QString &fileName);
    // Starts on the roster at path (as from the command line), goes on to
    // the single-draw window when form is Form1, and gives that window's
    // button the focus, its window active: ready for a key held on it.
    void focusBeforeSwitch(const QString &path, const QString &form, const QString &button);
    // The rows of focusBeforeSwitch that hold a key on a button switching to
    // the seat chart: 开始使用 and 转平铺式.
    static void addSwitchRows();
    // The seat chart is active with every card of its first students face
    // down and nothing in the banner.
    static void verifyChartUntouched(int students);
};

} // namespace qh::test
