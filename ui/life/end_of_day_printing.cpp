// SPDX-License-Identifier: MIT
#include "ui/life/end_of_day_printing.h"

#include "printing/cups_client.h"
#include "printing/unprinted_lines_file.h"
#include "ui/forms/clerk_words.h"
#include "ui/message_boxes.h"
#include "ui/life/print_wait.h"
#include "ui/life/worker_thread.h"

#include <QApplication>
#include <QDateTime>
#include <QProgressDialog>
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

EndOfDay::EndOfDay(printing::PrintService &printer, MessageBoxPresenter &messageBoxes,
                   QMessageBoxPresenter &realBoxes)
    : m_printer(printer), m_messageBoxes(messageBoxes), m_realBoxes(realBoxes)
{
}

void EndOfDay::end()
{
    // Once the loop has stopped, a second request (a signal while the lines
    // go out at the end) must not stop the message boxes that follow.
    if (std::exchange(m_ending, true))
        return;
    // Every line CUPS has not taken (a summary on its way, lines waiting)
    // is on disk before anything is waited for or shown, so that a kill
    // meanwhile (a session manager's, after its timeout) loses none.
    if (m_printer.hasWaitingLines())
        keepUnprintedLinesSafe();
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *shown : windows)
        if (!qobject_cast<QProgressDialog *>(shown))
            shown->hide();
    exitWhenIdle();
}

void EndOfDay::exitWhenIdle()
{
    // Stopping the loop while a document goes out would make every message
    // box after it return at once, unseen: what became of the document
    // (a stopped printer holding it, say) must be told first.
    if (!m_printer.isSending()) {
        // Kept only while lines still wait.
        if (!m_printer.hasWaitingLines())
            m_keptAtEnd.remove();
        QCoreApplication::exit(0);
        return;
    }
    m_printer.afterSending(&m_printer, [this] { exitWhenIdle(); });
}

const printing::SavedLines &EndOfDay::keepUnprintedLinesSafe()
{
    return m_keptAtEnd.keep(m_printer, words::unprintedLinesFileName(QDateTime::currentDateTime()));
}

std::optional<QString> EndOfDay::sendSafely(const QString &jobName)
{
    if (!m_printer.hasWaitingLines()) {
        m_keptAtEnd.remove();
        return std::nullopt;
    }
    const printing::SavedLines file = keepUnprintedLinesSafe();
    const printing::PrintOutcome outcome = m_printer.endDoc(jobName);
    if (!outcome.error) {
        m_keptAtEnd.remove();
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
    const bool nextStart = m_printer.discardWaitingLines(file.path);
    m_keptAtEnd.release();
    return words::linesSavedAtEnd(*outcome.error, file.path, nextStart);
}

QString EndOfDay::saveCutShort()
{
    const printing::SavedLines file = keepUnprintedLinesSafe();
    m_keptAtEnd.release();
    return file.saved ? words::linesSavedCutShort(file.path) : words::linesLostCutShort(file);
}

void EndOfDay::printWaitingLinesAtEnd()
{
    // On disk before a message box is shown again or anything is waited for.
    if (m_printer.hasWaitingLines())
        keepUnprintedLinesSafe();
    m_realBoxes.presentCutShort();
    if (!m_printer.hasWaitingLines()) {
        m_keptAtEnd.remove();
        return;
    }
    // The windows are hidden by now: the progress window says at once why
    // the program is still there.
    m_printer.setWatcherFactory([] {
        return std::make_unique<ui::PrintProgress>(
            ui::PrintProgress::Words{
                .waiting = &words::printingAtEnd, .pages = &words::pagesPrepared, .login = &words::printerLogin},
            std::chrono::milliseconds(0));
    });
    if (const auto sentence = sendSafely(words::jobChartersAtClosing()))
        tellOutcome(m_messageBoxes, *sentence);
}

void EndOfDay::printWaitingLinesWithoutDisplay()
{
    // The process ends right after this, past the service's own end: no
    // job is followed any more.
    m_printer.stopFollowingJobs();
    if (m_printer.hasWaitingLines())
        keepUnprintedLinesSafe();
    for (const QString &sentence : m_realBoxes.unread())
        tellOnStandardError(sentence);
    if (!m_printer.hasWaitingLines()) {
        m_keptAtEnd.remove();
        return;
    }
    if (m_printer.isSending()) {
        tellOnStandardError(saveCutShort());
        return;
    }
    const Clock::time_point until = Clock::now() + kWaitWithoutDisplay;
    m_printer.setWatcherFactory([until] { return std::make_unique<Deadline>(until); });
    if (const auto sentence = sendSafely(words::jobChartersAtClosing()))
        tellOnStandardError(*sentence);
}

void EndOfDay::commitWaitingLines(QSessionManager *session)
{
    const auto sentence = sendSafely(words::jobChartersAtSessionSave());
    if (!sentence)
        return;
    if (session == nullptr || session->allowsInteraction()) {
        tellOutcome(m_messageBoxes, *sentence);
        if (session != nullptr)
            session->release();
    } else {
        tellOnStandardError(*sentence);
    }
}

void EndOfDay::commitWaitingLinesOnSessionRequest()
{
    auto putOff = std::make_shared<bool>(false);
    QObject::connect(qGuiApp, &QGuiApplication::commitDataRequest, &m_printer,
                     [this, putOff](QSessionManager &session) {
                         if (!m_printer.isSending()) {
                             commitWaitingLines(&session);
                             return;
                         }
                         // The session may end the program before the document
                         // on its way is through: every waiting line is on disk
                         // first, and the commit is done once it is through.
                         keepUnprintedLinesSafe();
                         if (std::exchange(*putOff, true))
                             return;
                         m_printer.afterSending(&m_printer, [this, putOff] {
                             *putOff = false;
                             if (!m_ending)
                                 commitWaitingLines(nullptr);
                         });
                     });
}

} // namespace ui
