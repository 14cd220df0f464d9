// SPDX-License-Identifier: MIT
#include "ui/life/end_of_day_printing.h"

#include "printing/cups_client.h"
#include "printing/unprinted_lines_file.h"
#include "ui/forms/clerk_words.h"
#include "ui/message_boxes.h"
#include "ui/program.h"
#include "ui/life/print_wait.h"
#include "ui/life/worker_thread.h"

#include <QGuiApplication>
#include <QSessionManager>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <utility>

namespace ui {
namespace {

namespace words = forms::words;

using Clock = std::chrono::steady_clock;

// How long the lines may take to go out once the display is gone: the
// program must end soon, and the print service waits for a scheduler that
// does not answer without end.
constexpr std::chrono::seconds kWaitWithoutDisplay{10};
constexpr std::chrono::milliseconds kAskAgain{100};

// Sends the waiting lines as the job named. Before the first byte goes to
// CUPS, every line it has not taken is on disk (Program::linesKeptAtEnd), so
// that the program killed meanwhile (as session managers do when it takes
// long) loses nothing; the file goes once CUPS has taken them, and is kept
// when not. Returns what the clerk must be told, if anything.
std::optional<QString> sendSafely(ui::Program &program, const QString &jobName)
{
    printing::PrintService &printer = program.printer();
    LinesKeptAtEnd &kept = program.linesKeptAtEnd();
    if (!printer.hasWaitingLines()) {
        kept.remove();
        return std::nullopt;
    }
    const printing::SavedLines file = program.keepUnprintedLinesSafe();
    const printing::PrintOutcome outcome = printer.endDoc(jobName);
    if (!outcome.error) {
        kept.remove();
        if (outcome.delivery == printing::Delivery::HeldByStoppedPrinter)
            return words::printerStopped(outcome.printer, outcome.printerMessage);
        if (outcome.delivery == printing::Delivery::HeldInQueue)
            return words::printerHoldsJob(outcome.printer);
        return std::nullopt;
    }
    if (!file.saved)
        return words::linesLostAtEnd(*outcome.error, file);
    // The clerk is told where the file is: it is the clerk's now, and the
    // journal's, which prints its lines at the next start.
    const bool nextStart = printer.discardWaitingLines(file.path);
    kept.release();
    return words::linesSavedAtEnd(*outcome.error, file.path, nextStart);
}

// The lines were on their way when the program had to end: they are saved,
// since whether they arrived cannot be known.
QString saveCutShort(ui::Program &program)
{
    const printing::SavedLines file = program.keepUnprintedLinesSafe();
    program.linesKeptAtEnd().release();
    return file.saved ? words::linesSavedCutShort(file.path) : words::linesLostCutShort(file);
}

void tellOnStandardError(const QString &sentence)
{
    std::fputs((sentence + QLatin1Char('\n')).toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

// Runs the calls to the print service on a thread of their own until the
// deadline; then tells them to give up (libcups's timeout callback) and
// waits for the thread to end, so that exactly one outcome follows and no
// thread is left running as the process ends.
class Deadline final : public printing::PrintWatcher {
public:
    explicit Deadline(Clock::time_point until) : m_until(until) {}

    void pageDone(int, int) override {}

    void waitFor(const std::function<void()> &work) override
    {
        WorkerThread worker(work);
        // Asked again until the calls are through, in case libcups was just
        // reconnecting as they were abandoned.
        while (!worker.endedBy(std::max(m_until, Clock::now() + kAskAgain)))
            printing::cups::abandonWaits();
        worker.finish();
    }

private:
    Clock::time_point m_until;
};

} // namespace

void printWaitingLinesAtEnd(ui::Program &program)
{
    // On disk before a message box is shown again or anything is waited for.
    if (program.printer().hasWaitingLines())
        program.keepUnprintedLinesSafe();
    program.showMessagesCutShort();
    if (!program.printer().hasWaitingLines()) {
        program.linesKeptAtEnd().remove();
        return;
    }
    // The windows are hidden by now: the progress window says at once why
    // the program is still there.
    program.printer().setWatcherFactory([] {
        return std::make_unique<ui::PrintProgress>(
            ui::PrintProgress::Words{
                .waiting = &words::printingAtEnd, .pages = &words::pagesPrepared, .login = &words::printerLogin},
            std::chrono::milliseconds(0));
    });
    if (const auto sentence = sendSafely(program, words::jobChartersAtClosing()))
        tellOutcome(program.messageBoxes(), *sentence);
}

void printWaitingLinesWithoutDisplay(ui::Program &program)
{
    printing::PrintService &printer = program.printer();
    // The process ends right after this, past the service's own end: no
    // job is followed any more.
    printer.stopFollowingJobs();
    if (printer.hasWaitingLines())
        program.keepUnprintedLinesSafe();
    for (const QString &sentence : program.unreadMessages())
        tellOnStandardError(sentence);
    if (!printer.hasWaitingLines()) {
        program.linesKeptAtEnd().remove();
        return;
    }
    if (printer.isSending()) {
        tellOnStandardError(saveCutShort(program));
        return;
    }
    const Clock::time_point until = Clock::now() + kWaitWithoutDisplay;
    printer.setWatcherFactory([until] { return std::make_unique<Deadline>(until); });
    if (const auto sentence = sendSafely(program, words::jobChartersAtClosing()))
        tellOnStandardError(*sentence);
}

namespace {

// Sends the waiting lines before a logout or at a checkpoint; the session
// is null when the commit was put off until a document on its way was
// through, and the session manager no longer waits for it.
void commitWaitingLines(ui::Program &program, QSessionManager *session)
{
    const auto sentence = sendSafely(program, words::jobChartersAtSessionSave());
    if (!sentence)
        return;
    if (session == nullptr || session->allowsInteraction()) {
        tellOutcome(program.messageBoxes(), *sentence);
        if (session != nullptr)
            session->release();
    } else {
        tellOnStandardError(*sentence);
    }
}

} // namespace

void commitWaitingLinesOnSessionRequest(ui::Program &program)
{
    auto putOff = std::make_shared<bool>(false);
    QObject::connect(qGuiApp, &QGuiApplication::commitDataRequest, &program.printer(),
                     [&program, putOff](QSessionManager &session) {
                         printing::PrintService &printer = program.printer();
                         if (!printer.isSending()) {
                             commitWaitingLines(program, &session);
                             return;
                         }
                         // The session may end the program before the document
                         // on its way is through: every waiting line is on disk
                         // first, and the commit is done once it is through.
                         program.keepUnprintedLinesSafe();
                         if (std::exchange(*putOff, true))
                             return;
                         printer.afterSending(&printer, [&program, putOff] {
                             *putOff = false;
                             if (!program.isEnding())
                                 commitWaitingLines(program, nullptr);
                         });
                     });
}

} // namespace ui
