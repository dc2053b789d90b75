#pragma once
// The main() of every test that shows a window: the application is created by
// the program's own process set-up, as main() does, so what a test sees on
// screen is what a teacher gets.

#include "ui/application.h"

#include <QTest>

#include <cstring>

namespace qh::test {

// That set-up gives Qt none of the command line, so a test's
// "-platform NAME" (a screen from a JSON file, say) goes to Qt the way the
// environment passes it; the remaining arguments are QTest's.
inline void platformFromCommandLine(int &argc, char **argv)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") != 0)
            continue;
        qputenv("QT_QPA_PLATFORM", argv[i + 1]);
        for (int j = i; j + 2 <= argc; ++j)
            argv[j] = argv[j + 2];
        argc -= 2;
        --i;
    }
}

} // namespace qh::test

#define QH_TEST_MAIN(TestObject)                                                                   \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        qh::test::platformFromCommandLine(argc, argv);                                             \
        const auto application = qh::createApplication(argc, argv);                               \
        TestObject test;                                                                           \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
