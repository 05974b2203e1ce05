#pragma once

#include <QApplication>
#include <QtTest>

// QTEST_MAIN for suites that start the real browser engine, which needs shared GL
// contexts set before the application object exists.
#define VELTRASE_WEBENGINE_TEST_MAIN(TestObject)                                                                       \
    int main(int argc, char* argv[])                                                                                   \
    {                                                                                                                  \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);                                                    \
        QApplication app(argc, argv);                                                                                  \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                                       \
        TestObject test;                                                                                               \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
