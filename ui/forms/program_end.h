// SPDX-License-Identifier: MIT
#pragma once

namespace ui {
class Program;
}

// The charter lines still waiting as the program ends, however it ends. The
// printer gets them; when it cannot take them, they are saved as a PDF in
// the user's documents folder instead (printing/unprinted_lines_file.h) and
// the clerk is told where, or that they are lost and why when that fails too.
namespace forms {

// After the event loop has stopped (Exit, closing the main window, the
// termination signals): the clerk is told in a message box.
void printWaitingLinesAtEnd(ui::Program &program);

// With the display gone, as Qt ends the process (ui::DisplayGoneHook): no
// window is shown, not even the progress window, and the clerk is told on
// standard error. Lines that were on their way when the display went, or
// that the print service has not taken after some seconds, are saved, as
// the program cannot wait. The caller ends the process at once afterwards:
// a call to the print service may still be running.
void printWaitingLinesWithoutDisplay(ui::Program &program);

// From now on, when the session manager asks the program to commit its data
// before a logout or shutdown, or at a checkpoint, the waiting lines are sent
// as above, without a question, as a job named for that, and the program goes
// on: the logout may yet be cancelled. The clerk is told in a message box
// where the session manager lets the program interact, else on standard
// error.
void commitWaitingLinesOnSessionRequest(ui::Program &program);

} // namespace forms
