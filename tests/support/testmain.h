#pragma once
// The main() of every test that shows a window: the application is created by
// the program's own process set-up, as main() does, so what a test sees on
// screen is what a teacher gets.

#include "app/program.h"

#include <QTest>

#define QH_TEST_MAIN(TestObject)                                                                   \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        const auto application = qh::createApplication(argc, argv);                               \
        TestObject test;                                                                           \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
