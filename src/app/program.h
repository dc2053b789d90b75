#pragma once
// The whole program wired together: the three windows' state objects and the
// window switching, with the platform, clock and random source passed in. The
// real main(), the soak test and the start-up benchmark all build this.

#include "app/app.h"
#include "app/form0.h"
#include "seatchart/form2.h"
#include "singledraw/form1.h"

#include <QApplication>
#include <QUrl>

#include <memory>

namespace qh {

// The one process set-up: main(), the pixel tests, the render tool and the
// benchmarks all create their application here, so a picture or a
// measurement shows what a teacher gets. argc must outlive the application.
std::unique_ptr<QApplication> createApplication(int &argc, char **argv);

class Program {
public:
    Program(Platform &platform, Clock &clock, RandomSource &random, const QUrl &instructions);

    // Opens the start window. arguments are the command line's: a roster's
    // path after the program's name (a desktop shortcut, "open with") is
    // chosen in it; further ones are ignored.
    void start(const QStringList &arguments = {});

    App app;
    Form0 form0;
    Form1 form1;
    Form2 form2;
};

} // namespace qh
