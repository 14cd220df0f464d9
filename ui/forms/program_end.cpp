// SPDX-License-Identifier: MIT
#include "ui/forms/program_end.h"

#include "printing/unprinted_lines_file.h"
#include "ui/forms/clerk_words.h"
#include "ui/program.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QSessionManager>

#include <chrono>
#include <cstdio>
#include <future>
#include <optional>
#include <thread>

namespace forms {
namespace {

// How long the lines may take to go out once the display is gone: the
// program must end soon, and the print service waits for a scheduler that
// does not answer without end.
constexpr std::chrono::seconds kWaitWithoutDisplay{10};

printing::SavedLines save(const reports::PrintDocument &document)
{
    return printing::saveUnprintedLines(document, printing::unprintedLinesFolder(),
                                        words::unprintedLinesFileName(QDateTime::currentDateTime()));
}

// Sends the waiting lines as the job named, or saves them when the printer
// cannot take them; returns what the clerk must be told, if anything.
std::optional<QString> sendOrSave(ui::Program &program, const QString &jobName = words::jobChartersAtClosing())
{
    printing::PrintService &printer = program.printer();
    const printing::PrintOutcome outcome = printer.endDoc(jobName);
    if (outcome)
        return std::nullopt;
    const printing::SavedLines file = save(printer.document());
    if (!file.saved)
        return words::linesLostAtEnd(*outcome.error, file);
    printer.discardWaitingLines();
    return words::linesSavedAtEnd(*outcome.error, file.path);
}

// The lines were on their way when the program had to end: they are saved,
// since whether they arrived cannot be known.
QString saveCutShort(const reports::PrintDocument &document)
{
    const printing::SavedLines file = save(document);
    return file.saved ? words::linesSavedCutShort(file.path) : words::linesLostCutShort(file);
}

void tellOnStandardError(const QString &sentence)
{
    std::fputs((sentence + QLatin1Char('\n')).toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

} // namespace

void printWaitingLinesAtEnd(ui::Program &program)
{
    if (const auto sentence = sendOrSave(program))
        ui::MsgBox(program.messageBoxes(), *sentence, ui::vbExclamation);
}

void printWaitingLinesWithoutDisplay(ui::Program &program)
{
    printing::PrintService &printer = program.printer();
    if (!printer.hasWaitingLines())
        return;
    printer.setWatcherFactory(nullptr);
    // A copy: the thread below may still be using the service's own.
    const reports::PrintDocument waiting = printer.document();
    if (printer.isSending()) {
        tellOnStandardError(saveCutShort(waiting));
        return;
    }
    std::packaged_task<std::optional<QString>()> send([&program] { return sendOrSave(program); });
    std::future<std::optional<QString>> sent = send.get_future();
    // Left running when it takes too long; the process ends right after.
    std::thread(std::move(send)).detach();
    if (sent.wait_for(kWaitWithoutDisplay) == std::future_status::ready) {
        if (const auto sentence = sent.get())
            tellOnStandardError(*sentence);
    } else {
        tellOnStandardError(saveCutShort(waiting));
    }
}

void commitWaitingLinesOnSessionRequest(ui::Program &program)
{
    QObject::connect(qGuiApp, &QGuiApplication::commitDataRequest, &program.printer(),
                     [&program](QSessionManager &session) {
                         const auto sentence = sendOrSave(program, words::jobChartersAtSessionSave());
                         if (!sentence)
                             return;
                         if (session.allowsInteraction()) {
                             ui::MsgBox(program.messageBoxes(), *sentence, ui::vbExclamation);
                             session.release();
                         } else {
                             tellOnStandardError(*sentence);
                         }
                     });
}

} // namespace forms
