// SPDX-License-Identifier: MIT
#pragma once

#include "ui/life/lines_kept_at_end.h"

#include <QString>

#include <optional>

class QSessionManager;

namespace printing {
class PrintService;
}

namespace ui {

class MessageBoxPresenter;
class QMessageBoxPresenter;

// The end of the program, however it ends, and the charter lines still
// waiting then. Before anything is shown or waited for, they are saved as a
// PDF in the user's documents folder (ui/life/lines_kept_at_end.h), so that
// the program killed meanwhile leaves them there; the file is removed once
// CUPS has taken the whole document. When the printer cannot take them, the
// clerk is told where the file is, or that they are lost and why when it
// could not be written either; a printer that holds the job is told too.
// The program (ui::Program) owns one.
class EndOfDay {
public:
    // `messageBoxes` shows what the clerk is told; `realBoxes` are the
    // program's own, whose boxes the end may close before they are read.
    EndOfDay(printing::PrintService &printer, MessageBoxPresenter &messageBoxes, QMessageBoxPresenter &realBoxes);

    // Ends the program: every line CUPS has not taken is put on disk first,
    // then every window is hidden and the event loop stops; nothing is
    // asked. A document on its way goes out first, and what became of it is
    // told (the progress window stays meanwhile). Asked again once ending,
    // it changes nothing.
    void end();

    // After the event loop has stopped (Exit, closing the main window, the
    // termination signals): a progress window shows while the waiting lines
    // go out, and the clerk is told in a message box.
    void printWaitingLinesAtEnd();

    // With the display gone, as Qt ends the process (ui::DisplayGoneHook): no
    // window is shown, not even the progress window, and the clerk is told on
    // standard error. The print service is waited for 10 seconds at most;
    // then its calls give up and end before this returns, so that the lines
    // are in exactly one confirmed job or one file. Lines that were on their
    // way when the display went are saved, as the program cannot know
    // whether they arrived; the caller ends the process at once afterwards.
    void printWaitingLinesWithoutDisplay();

    // From now on, when the session manager asks the program to commit its
    // data before a logout or shutdown, or at a checkpoint, the waiting
    // lines are sent as above, without a question, as a job named for that,
    // and the program goes on: the logout may yet be cancelled. The clerk is
    // told in a message box where the session manager lets the program
    // interact, else on standard error. With a document on its way, every
    // waiting line is saved at once, and they are sent once that document
    // is through.
    void commitWaitingLinesOnSessionRequest();

private:
    // Stops the event loop once no document is on its way.
    void exitWhenIdle();
    // Puts every line CUPS has not taken on disk, unless the file kept at
    // the end holds exactly those already, so that a kill before CUPS takes
    // them loses none.
    const printing::SavedLines &keepUnprintedLinesSafe();
    // Sends the waiting lines as the job named, on disk until CUPS has taken
    // them, and kept there when it does not. Returns what the clerk must be
    // told, if anything.
    std::optional<QString> sendSafely(const QString &jobName);
    // The lines were on their way when the program had to end: they are
    // saved, since whether they arrived cannot be known.
    QString saveCutShort();
    // Sends the waiting lines before a logout or at a checkpoint; the
    // session is null when the commit was put off until a document on its
    // way was through, and the session manager no longer waits for it.
    void commitWaitingLines(QSessionManager *session);

    printing::PrintService &m_printer;
    MessageBoxPresenter &m_messageBoxes;
    QMessageBoxPresenter &m_realBoxes;
    LinesKeptAtEnd m_keptAtEnd;
    bool m_ending = false;
};

} // namespace ui
