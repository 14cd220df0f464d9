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

namespace {

// The offscreen platform says of every window that it cannot raise it or
// grab the keyboard; hundreds of such lines would bury a failing case's own
// report in a CI log.
QtMessageHandler g_qtHandler = nullptr;

void withoutOffscreenLimits(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support")))
        return;
    g_qtHandler(type, context, message);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    g_qtHandler = qInstallMessageHandler(withoutOffscreenLimits);
    testing::InitGoogleTest(&argc, argv);
    TestApplication app(argc, argv);
    TestApplication::setQuitOnLastWindowClosed(false);
    return RUN_ALL_TESTS();
}
