#pragma once
// The whole program wired together: the three windows' state objects and the
// window switching, with the platform, clock and random source passed in. The
// real main(), the soak test and the start-up benchmark all build this.

#include "app/app.h"
#include "startwindow/form0.h"
#include "seatchart/form2.h"
#include "singledraw/form1.h"

#include <QUrl>

namespace qh {

// The command line as given, in Unicode: on Windows from the system's own
// wide command line, elsewhere argv in the locale's encoding.
QStringList commandLineArguments(int argc, char **argv);

// The arguments that name the roster: those after the program's name, or
// after a leading "--"; a file:// URL (what a desktop entry or a browser
// passes) names its local file. Empty when there is none. The start window
// tries the first, then all of them joined (openableArgument).
QStringList rosterArguments(const QStringList &arguments);

class Program {
public:
    Program(Platform &platform, Clock &clock, RandomSource &random, const QUrl &instructions);

    // Opens the start window. arguments are the command line's: the roster
    // it names (a desktop shortcut, "open with"; see rosterArguments) is
    // chosen in it.
    void start(const QStringList &arguments = {});

    App app;
    Form0 form0;
    Form1 form1;
    Form2 form2;
};

} // namespace qh
