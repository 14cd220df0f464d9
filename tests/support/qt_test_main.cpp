// SPDX-License-Identifier: MIT
// GoogleTest entry point for tests that need a QApplication. Windows are
// drawn offscreen unless the caller asks for another platform.
#include "platform/form_registry.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const int status = RUN_ALL_TESTS();
    platform::FormRegistry::instance().destroyAll();
    return status;
}
