#pragma once

#include <QApplication>
#include <QTest>

// The tests run in a process of their own that this one waits for. A run
// that ends before its end fails, whatever its status and however it is
// run: the child-exit handler ends with status 0 a process it takes for a
// player between fork and exec.
int runToTheEnd(int argc, char** argv, int (*tests)(int, char**));

// QTEST_MAIN, run to the end.
#define TARRAGON_TEST_MAIN(TestObject)                                                             \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        return runToTheEnd(argc, argv, [](int count, char** arguments) {                           \
            QApplication app(count, arguments);                                                    \
            app.setAttribute(Qt::AA_Use96Dpi, true);                                               \
            TestObject test;                                                                       \
            QTEST_SET_MAIN_SOURCE_PATH                                                             \
            return QTest::qExec(&test, count, arguments);                                          \
        });                                                                                        \
    }
