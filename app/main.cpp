// SPDX-License-Identifier: MIT
#include "forms/frm_main.h"
#include "platform/form_registry.h"
#include "platform/program.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(platform::programTitle());
    QApplication::setApplicationVersion(QStringLiteral(SELVARO_VERSION));
    // Lets docks tie the running window to its desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.selvaro.Yachts"));
    // Closing a window is handled by the windows themselves: the hidden entry
    // window must not keep the program alive, nor end it.
    QApplication::setQuitOnLastWindowClosed(false);
    // Ended by the system, the program still sends the lines waiting.
    platform::endOnTerminationSignals();

    const platform::FormRegistry::Scope windows;
    forms::frmMain::instance().show();
    const int status = QApplication::exec();
    platform::sendWaitingLinesAtEnd();
    return status;
}
