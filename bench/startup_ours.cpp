// Start-up of the program as main() builds it, ending right after the start
// window's first paint. The only difference from main(): the platform counts
// instead of opening the instructions page in a browser, which the start
// window's load does on every start.

#include "benchplatform.h"
#include "paintwatch.h"

#include "core/instructions.h"
#include "app/program.h"
#include "ui/application.h"
#include "core/clock.h"
#include "core/random.h"

#include <QApplication>

#include <cstdio>
#include <random>

int main(int argc, char *argv[])
{
    const auto application = qh::createApplication(argc, argv);

    qh::bench::BenchPlatform platform;
    qh::SystemClock clock;
    qh::RandomSource random{std::random_device{}()};
    const QUrl page = qh::instructionsUrl(QApplication::applicationDirPath());
    qh::Program program(platform, clock, random, page);
    program.start();

    QWidget *window = program.form0.window();
    if (!window) {
        std::fprintf(stderr, "the start window did not open\n");
        return 1;
    }
    qh::bench::QuitAfterFirstPaint quitter;
    window->installEventFilter(&quitter);
    const int rc = QApplication::exec();
    // The start window asks for its instructions page once where there is one
    // (none beside the program copied alone); anything else is a fault.
    if (platform.urlsOpened != (page.isEmpty() ? 0 : 1) || platform.messagesShown != 0 || platform.endRequests != 0) {
        std::fprintf(stderr, "unexpected platform calls: %d urls, %d messages, %d ends\n", platform.urlsOpened,
                     platform.messagesShown, platform.endRequests);
        return 1;
    }
    return rc;
}
