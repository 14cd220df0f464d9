// SPDX-License-Identifier: MIT
// GoogleTest entry point for tests that need an application object. Windows
// are drawn offscreen unless the caller asks for another platform.
#ifdef SELVARO_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    TestApplication app(argc, argv);
    TestApplication::setQuitOnLastWindowClosed(false);
    return RUN_ALL_TESTS();
}
