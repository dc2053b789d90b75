// 青禾抽签: start-up. Everything but this file lives in the libraries that the
// tests link too.

#include "core/instructions.h"
#include "app/program.h"
#include "core/clock.h"
#include "core/random.h"
#include "ui/application.h"
#include "ui/realplatform.h"

#include <QApplication>

#include <random>

int main(int argc, char *argv[])
{
    const auto application = qh::createApplication(argc, argv);

    qh::RealPlatform platform;
    qh::SystemClock clock;
    qh::RandomSource random{std::random_device{}()};
    qh::Program program(platform, clock, random, qh::instructionsUrl(QApplication::applicationDirPath()));
    program.start(qh::commandLineArguments(argc, argv));
    // The exit buttons and the window's frame end the process themselves;
    // should the loop end otherwise (the session ends), it ends as they do.
    qh::endProcessNow(QApplication::exec());
}
