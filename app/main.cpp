// SPDX-License-Identifier: MIT
#include "printing/program_info.h"
#include "ui/forms/frm_main.h"
#include "ui/forms/program_end.h"
#include "ui/program.h"
#include "ui/widgets/session_end.h"
#include "ui/widgets/termination_signals.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    ui::preferX11UnderWayland();
    QApplication app(argc, argv);
    QApplication::setApplicationName(program_info::title());
    QApplication::setApplicationVersion(program_info::version());
    // Lets docks tie the running window to its desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.selvaro.Yachts"));
    // Closing a window is handled by the windows themselves: the hidden entry
    // window must not keep the program alive, nor end it.
    QApplication::setQuitOnLastWindowClosed(false);

    ui::Program program;
    // Ended by the system, the program still sends the lines waiting.
    ui::endOnTerminationSignals([&program] { program.end(); });
    // So does the session manager at a logout, whatever window is open.
    ui::endOnQuitRequest([&program] { program.end(); });
    // Before a logout it sends them without ending.
    forms::commitWaitingLinesOnSessionRequest(program);
    // With the display gone (the X server, the Wayland compositor), Qt ends
    // the program at once, past the end below; the lines still go out, and
    // no window is touched.
    const ui::DisplayGoneHook displayGone([&program] { forms::printWaitingLinesWithoutDisplay(program); });
    program.frmMain().show();
    const int status = QApplication::exec();
    forms::printWaitingLinesAtEnd(program);
    return status;
}
