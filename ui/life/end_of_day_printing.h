// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace reports {
class PrintDocument;
}

// The charter lines still waiting as the program ends, however it ends.
// Before anything is shown or waited for, they are saved as a PDF in the
// user's documents folder (ui/life/lines_kept_at_end.h), so that the
// program killed meanwhile leaves them there; the file is removed once CUPS
// has taken the whole document. When the printer cannot take them, the
// clerk is told where the file is, or that they are lost and why when it
// could not be written either; a printer that holds the job is told too.
namespace ui {

class Program;

// After the event loop has stopped (Exit, closing the main window, the
// termination signals): a progress window shows while they go out, and the
// clerk is told in a message box.
void printWaitingLinesAtEnd(ui::Program &program);

// With the display gone, as Qt ends the process (ui::DisplayGoneHook): no
// window is shown, not even the progress window, and the clerk is told on
// standard error. The print service is waited for 10 seconds at most; then
// its calls give up and end before this returns, so that the lines are in
// exactly one confirmed job or one file. Lines that were on their way when
// the display went are saved, as the program cannot know whether they
// arrived; the caller ends the process at once afterwards.
void printWaitingLinesWithoutDisplay(ui::Program &program);

// From now on, when the session manager asks the program to commit its data
// before a logout or shutdown, or at a checkpoint, the waiting lines are sent
// as above, without a question, as a job named for that, and the program goes
// on: the logout may yet be cancelled. The clerk is told in a message box
// where the session manager lets the program interact, else on standard
// error. With a document on its way, every waiting line is saved at once,
// and they are sent once that document is through.
void commitWaitingLinesOnSessionRequest(ui::Program &program);

} // namespace ui
