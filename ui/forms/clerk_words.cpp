// SPDX-License-Identifier: MIT
#include "ui/forms/clerk_words.h"

#include "core/platform/errors.h"
#include "printing/program_info.h"
#include "printing/print_error.h"
#include "printing/print_service.h"
#include "printing/unprinted_lines_file.h"

#include <QDateTime>
#include <QLocale>
#include <QStringList>

#include <array>
#include <cstring>

namespace forms::words {

QString missingDataTitle() { return QStringLiteral("Missing Data"); }
QString errorTitle() { return QStringLiteral("Error"); }
QString enterHours() { return QStringLiteral("Please enter the number of hours"); }
QString selectYachtType() { return QStringLiteral("Select the yacht type"); }
QString selectSize() { return QStringLiteral("You must select a size"); }
QString enterNewYachtType() { return QStringLiteral("Enter new yacht type"); }
QString selectYachtTypeToRemove() { return QStringLiteral("Select yacht type to remove"); }
QString yachtTypeCount(int count) { return QStringLiteral("The number of yacht types is ") + QString::number(count); }
QString noDataToSummarize() { return QStringLiteral("No data to summarize"); }

namespace {

// A reason given by CUPS or an administrator, ended as a sentence, so that
// the next sentence does not run into it.
QString sentence(const QString &reason)
{
    QString trimmed = reason.trimmed();
    if (trimmed.isEmpty() || trimmed.endsWith(QLatin1Char('.')) || trimmed.endsWith(QLatin1Char('!'))
        || trimmed.endsWith(QLatin1Char('?')))
        return trimmed;
    return trimmed + QLatin1Char('.');
}

} // namespace

QString faultCause(const platform::PlatformError &error)
{
    using platform::Fault;
    switch (error.fault()) {
    case Fault::HoursTooLarge:
        return QStringLiteral("the number of hours is larger than the program can hold");
    case Fault::ChargeTooLarge:
        return QStringLiteral("the charge is larger than the program can hold");
    case Fault::TotalRevenueTooLarge:
        return QStringLiteral("the total revenue would be larger than the program can hold");
    case Fault::TotalHoursTooLarge:
        return QStringLiteral("the total hours would be larger than the program can hold");
    case Fault::TooManyCharters:
        return QStringLiteral("no more than 32,767 charters can be recorded while the program runs");
    case Fault::NotANumber:
        return QStringLiteral("a text that should be a number is not one");
    case Fault::ArgumentOutOfRange:
        return QStringLiteral("an entry that does not exist was asked for");
    case Fault::CannotFormat:
        return QStringLiteral("a number could not be written in the regional format");
    case Fault::NotPrinted:
        return QStringLiteral("the document could not be printed");
    case Fault::ValueTooLarge:
        break;
    }
    return QStringLiteral("a value is larger than the program can hold");
}

QString charterRefused(const platform::PlatformError &error)
{
    return QStringLiteral("This charter was not accepted: %1.\n\nNothing was changed.").arg(faultCause(error));
}

QString commandStopped(const platform::PlatformError *fault)
{
    if (fault == nullptr)
        return QStringLiteral("The command could not be finished: the computer ran short of memory or of another "
                              "resource. Try again, or end other programs first.");
    if (const auto *printing = dynamic_cast<const printing::PrinterError *>(fault))
        return documentNotPrinted(*printing);
    return QStringLiteral("The command was not carried out: %1.").arg(faultCause(*fault));
}

QString printerFaultCause(const printing::PrinterError &error)
{
    using printing::PrintProblem;
    switch (error.problem()) {
    case PrintProblem::NoPrintService:
        return QStringLiteral("No printer can be reached: the print service (CUPS) is not running, "
                              "or no printer is set up on this computer.");
    case PrintProblem::PrintServerUnreachable:
        return QStringLiteral("The print server \"%1\" cannot be reached: the server or the network to it may be down.")
            .arg(error.destination());
    case PrintProblem::NotInstalled:
        return QStringLiteral("Printing is not installed completely: \"%1\" is missing or cannot be loaded "
                              "(is libcups installed?). Install the program again.")
            .arg(error.destination());
    case PrintProblem::NoDefaultPrinter:
        return QStringLiteral("No default printer is chosen. Choose one in the system's printer settings "
                              "and print again.");
    case PrintProblem::HandOverFailed:
        // Only a reason CUPS gave is told; none is made up. Where CUPS may
        // hold the whole document, all that is known is that it did not
        // confirm it.
        if (error.mayPrint())
            return error.detail().isEmpty()
                       ? QStringLiteral("The print service did not confirm that it took the whole document.")
                       : QStringLiteral("The print service did not confirm that it took the whole document: %1")
                             .arg(sentence(error.detail()));
        return error.detail().isEmpty()
                   ? QStringLiteral("The document did not reach the printer \"%1\" whole.").arg(error.destination())
                   : QStringLiteral("The document did not reach the printer \"%1\" whole: %2")
                         .arg(error.destination(), sentence(error.detail()));
    case PrintProblem::Refused:
        return QStringLiteral("The printer \"%1\" did not accept the document: %2")
            .arg(error.destination(), error.detail().isEmpty() ? QStringLiteral("CUPS did not accept the job.")
                                                               : sentence(error.detail()));
    case PrintProblem::LoginNeeded:
        return QStringLiteral("The printer \"%1\" needs a login (a user name and password) before it prints, "
                              "and none was given.")
            .arg(error.destination());
    case PrintProblem::CannotPrintDocuments:
        return QStringLiteral("The printer \"%1\" cannot print this program's documents%2. Choose another "
                              "printer as the default printer in the system's printer settings.")
            .arg(error.destination(),
                 error.detail().isEmpty() ? QString() : QStringLiteral(" (%1)").arg(error.detail()));
    case PrintProblem::CouldNotStart:
        return QStringLiteral("Printing to \"%1\" could not start.").arg(error.destination());
    case PrintProblem::CouldNotTurnPage:
        return QStringLiteral("The printer could not start page %1 of the document.").arg(error.page());
    case PrintProblem::NoAnswer:
        return QStringLiteral("The print service did not answer before the program had to end.");
    case PrintProblem::Busy:
        return QStringLiteral("Another document was on its way to the printer, so this one was not sent.");
    case PrintProblem::CouldNotFinish:
        break;
    }
    return QStringLiteral("Printing to \"%1\" could not be finished.").arg(error.destination());
}

namespace {

// CUPS could not be made to cancel a job that may hold the whole document.
QString mayHavePrinted(const QString &printer)
{
    return QStringLiteral("The document may have been printed: the printer \"%1\" may hold it whole, and it "
                          "could not be cancelled.")
        .arg(printer);
}

} // namespace

QString documentNotPrinted(const printing::PrinterError &error)
{
    if (error.mayPrint())
        return QStringLiteral("%1\n\n%2\n\nLook at the printer before printing again: the lines are kept, and "
                              "printing them again prints them a second time if this document printed.")
            .arg(mayHavePrinted(error.destination()), printerFaultCause(error));
    QString kept;
    switch (error.problem()) {
    case printing::PrintProblem::CannotPrintDocuments:
        kept = QStringLiteral("Nothing was lost: once another printer is the default, print it again, and "
                              "every line will be printed once.");
        break;
    case printing::PrintProblem::LoginNeeded:
        kept = QStringLiteral("Nothing was lost: print it again and give the login when asked, and every "
                              "line will be printed once.");
        break;
    default:
        kept = QStringLiteral("Nothing was lost: print it again when the printer is ready, and every "
                              "line will be printed once.");
    }
    return QStringLiteral("The document could not be printed.\n\n%1\n\n%2").arg(printerFaultCause(error), kept);
}

QString printerStopped(const QString &printer, const QString &reason)
{
    const QString stopped =
        reason.trimmed().isEmpty()
            ? QStringLiteral("The printer \"%1\" is stopped.").arg(printer)
            : QStringLiteral("The printer \"%1\" is stopped, for this reason: %2").arg(printer, sentence(reason));
    return stopped + QStringLiteral(" The document waits in its queue and prints once the printer is started "
                                    "again; there is no need to print it again.");
}

QString jobDropped(const printing::DroppedJob &dropped)
{
    QStringList said;
    if (!dropped.end.printerMessage.isEmpty())
        said << sentence(dropped.end.printerMessage);
    QStringList reasons = dropped.end.reasons;
    reasons.replaceInStrings(QStringLiteral("-"), QStringLiteral(" "));
    if (!reasons.isEmpty())
        said << QStringLiteral("(%1)").arg(reasons.join(QStringLiteral(", ")));
    const QString because = said.isEmpty() ? QStringLiteral("CUPS gave no reason.")
                                           : QStringLiteral("CUPS gave this reason: %1").arg(said.join(QLatin1Char(' ')));
    const QString document = QStringLiteral("\"%1\"").arg(dropped.jobName);
    if (dropped.end.pagesPrinted > 0) {
        const QString pages = dropped.end.pagesPrinted == 1
                                  ? QStringLiteral("1 page")
                                  : QStringLiteral("%1 pages").arg(dropped.end.pagesPrinted);
        const QString stopped = QStringLiteral("The printer \"%1\" took the document %2 and stopped it after %3. %4")
                                    .arg(dropped.printer, document, pages, because);
        const QString look =
            dropped.linesBack
                ? QStringLiteral("It may have printed in part: look at the printer. Its charter lines wait again: "
                                 "printing them again prints a second time those that printed.")
                : QStringLiteral("It may have printed in part: look at the printer, and print it again if it is not "
                                 "whole.");
        return stopped + QStringLiteral("\n\n") + look;
    }
    const QString unprinted = QStringLiteral("The printer \"%1\" took the document %2 and then dropped it without "
                                             "printing a page. %3")
                                  .arg(dropped.printer, document, because);
    const QString kept = dropped.linesBack ? QStringLiteral("Nothing was lost: its charter lines wait again, and are "
                                                            "printed once with the next summary.")
                                           : QStringLiteral("Print it again when the printer is ready.");
    return unprinted + QStringLiteral("\n\n") + kept;
}

QString printerHoldsJob(const QString &printer)
{
    return QStringLiteral("The printer \"%1\" holds the document in its queue until it is released there; "
                          "there is no need to print it again.")
        .arg(printer);
}

ui::LoginWords printerLogin(const QString &printer, bool again)
{
    const QString prompt =
        again ? QStringLiteral("The printer \"%1\" did not accept that user name and password. Try again, or "
                               "cancel to print later.")
              : QStringLiteral("The printer \"%1\" asks for a user name and password before it prints.");
    return {.title = QStringLiteral("Printer Login"),
            .prompt = prompt.arg(printer),
            .userLabel = QStringLiteral("&User name:"),
            .passwordLabel = QStringLiteral("&Password:")};
}

QString waitingForPrintService() { return QStringLiteral("Waiting for the print service\u2026"); }

QString pagesPrepared(int pagesDone, int pageCount)
{
    return QStringLiteral("Preparing the document for the printer: page %1 of %2.").arg(pagesDone).arg(pageCount);
}

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the sentence's parts, named as it reads
QString charterAccepted(const QString &name, const QString &hoursText, const QString &chargeText)
{
    // A charter with no name (which is allowed) is told by its hours alone.
    const QString hours = QStringLiteral("%1 hours, %2").arg(hoursText, chargeText);
    if (name.trimmed().isEmpty())
        return QStringLiteral("Charter accepted: %1").arg(hours);
    return QStringLiteral("Charter accepted: %1, %2").arg(name.trimmed(), hours);
}

// The printer by the name the print service gave it, when it gave one.
namespace {
QString sentTo(const QString &document, const QString &printer)
{
    return printer.isEmpty() ? QStringLiteral("%1 sent to the printer").arg(document)
                             : QStringLiteral("%1 sent to %2").arg(document, printer);
}
} // namespace

QString summarySent(const QString &printer) { return sentTo(QStringLiteral("Summary"), printer); }
QString yachtListSent(const QString &printer) { return sentTo(QStringLiteral("Yacht list"), printer); }

QString mainWindowName() { return program_info::title() + QStringLiteral(" main window"); }
QString mainWindowKeys() { return QStringLiteral("Alt+F for the File menu, Alt+H for Help."); }
QString mainMenuName() { return QStringLiteral("Main menu"); }
QString pictureName() { return program_info::title() + QStringLiteral(" emblem: a sloop under sail, red hull on a blue sea"); }
QString yachtTypeFieldName() { return QStringLiteral("Yacht type"); }

// A print job's name as the printer queue shows it: the program's, then what
// the job holds.
namespace {
QString jobName(QLatin1String holds)
{
    return program_info::title() + QStringLiteral(" \u2013 ") + holds;
}
} // namespace

QString jobChartersAndSummary() { return jobName(QLatin1String("charters and summary")); }
QString jobYachtList() { return jobName(QLatin1String("yacht list")); }
QString jobChartersAtClosing() { return jobName(QLatin1String("charters at closing")); }
QString jobChartersAtSessionSave()
{
    return jobName(QLatin1String("charters before logout or checkpoint"));
}

QString unprintedLinesFileName(const QDateTime &when)
{
    return QStringLiteral("%1 \u2013 charters not yet printed %2")
        .arg(program_info::title(), when.toString(QStringLiteral("yyyy-MM-dd HH-mm-ss")));
}

QString printingAtEnd()
{
    return QStringLiteral("Printing the waiting charter lines before the program ends\u2026");
}

QString linesSavedAtEnd(const printing::PrinterError &error, const QString &path, bool nextStart)
{
    if (nextStart && !error.mayPrint())
        return QStringLiteral("The charter lines still waiting could not be printed before the program ended. "
                              "They were saved in \"%1\". They will be printed when the program starts next, "
                              "which removes that file: print it by hand only where the program will not be "
                              "started again.\n\n%2")
            .arg(path, printerFaultCause(error));
    if (error.mayPrint())
        return QStringLiteral("%1 The charter lines still waiting were saved in \"%2\". Look at the printer before "
                              "printing that file: print it only if they were not printed.\n\n%3")
            .arg(mayHavePrinted(error.destination()), path, printerFaultCause(error));
    return QStringLiteral("The charter lines still waiting could not be printed before the program ended. "
                          "They were saved in \"%1\". Print that file when the printer is ready.\n\n%2")
        .arg(path, printerFaultCause(error));
}

namespace {

QString saveFailure(const printing::SavedLines &file)
{
    if (file.systemError == 0)
        return QStringLiteral("the document could not be laid out");
    // The system's own words, without strerror's buffer shared by every
    // thread: GNU's strerror_r writes them into ours or returns a constant.
    std::array<char, 256> buffer{};
    return QString::fromLocal8Bit(strerror_r(file.systemError, buffer.data(), buffer.size()));
}

QString cutShort()
{
    return QStringLiteral("The program lost its display while the charter lines still waiting were on their way "
                          "to the printer, and had to end without knowing whether the print service took them.");
}

} // namespace

QString linesLostAtEnd(const printing::PrinterError &error, const printing::SavedLines &file)
{
    if (error.mayPrint())
        return QStringLiteral("%1 Saving the charter lines still waiting in \"%2\" failed (%3): unless they were "
                              "printed, they are lost.\n\n%4")
            .arg(mayHavePrinted(error.destination()), file.path, saveFailure(file), printerFaultCause(error));
    return QStringLiteral("The charter lines still waiting could not be printed before the program ended. "
                          "Saving them in \"%1\" failed too (%2), so they are lost.\n\n%3")
        .arg(file.path, saveFailure(file), printerFaultCause(error));
}

QString linesSavedCutShort(const QString &path)
{
    return QStringLiteral("%1 They were saved in \"%2\". Look at the printer: print that file only if they were not "
                          "printed.")
        .arg(cutShort(), path);
}

QString linesNotKeptSafe(int systemError)
{
    std::array<char, 256> buffer{};
    return QStringLiteral("The charter was accepted and will be printed. But the program cannot keep charter lines "
                          "safe on disk until they are printed (%1), so should the computer lose power or the "
                          "program be stopped before they print, they would be lost. Print the summary often.")
        .arg(QString::fromLocal8Bit(strerror_r(systemError, buffer.data(), buffer.size())));
}

QString jobChartersFromEarlierRun() { return jobName(QLatin1String("charters from an earlier run")); }

QString earlierRunFileName(const QDateTime &firstLine)
{
    return QStringLiteral("%1 \u2013 charters from an earlier run %2")
        .arg(program_info::title(), firstLine.toString(QStringLiteral("yyyy-MM-dd HH-mm-ss")));
}

namespace {

// "3 charter lines entered on 10 December 2026 between 14:02 and 16:45".
QString linesEntered(int lines, const QDateTime &first, const QDateTime &last)
{
    const QLocale locale = QLocale::system();
    const QString count = lines == 1 ? QStringLiteral("1 charter line") : QStringLiteral("%1 charter lines").arg(lines);
    QString when;
    if (first.date() != last.date())
        when = QStringLiteral("between %1 and %2")
                   .arg(locale.toString(first, QLocale::ShortFormat), locale.toString(last, QLocale::ShortFormat));
    else if (first.time().toString(QStringLiteral("HHmm")) == last.time().toString(QStringLiteral("HHmm")))
        when = QStringLiteral("on %1 at %2")
                   .arg(locale.toString(first.date(), QLocale::LongFormat),
                        locale.toString(first.time(), QLocale::ShortFormat));
    else
        when = QStringLiteral("on %1 between %2 and %3")
                   .arg(locale.toString(first.date(), QLocale::LongFormat),
                        locale.toString(first.time(), QLocale::ShortFormat),
                        locale.toString(last.time(), QLocale::ShortFormat));
    return QStringLiteral("%1 entered %2").arg(count, when);
}

} // namespace

QString earlierRunPrinted(int lines, const QDateTime &first, const QDateTime &last, const QStringList &filesRemoved)
{
    QString told = QStringLiteral("%1, in a run of the program that ended before they were printed, have been "
                                  "printed now, followed by that run's summary.")
                       .arg(linesEntered(lines, first, last));
    for (const QString &file : filesRemoved)
        told += QStringLiteral(" The file \"%1\" that held them was removed: do not print them from it.").arg(file);
    return told;
}

QString earlierRunKept(int lines, const QDateTime &first, const QDateTime &last, const printing::PrinterError &error,
                       const printing::SavedLines &file)
{
    const QString kept =
        file.saved ? QStringLiteral("They are kept, and will be printed when the program starts next; until then "
                                    "they are also in \"%1\", which is removed once they are printed.")
                         .arg(file.path)
                   : QStringLiteral("They are kept, and will be printed when the program starts next.");
    return QStringLiteral("%1, in a run of the program that ended before they were printed, could not be printed "
                          "now. %2\n\n%3")
        .arg(linesEntered(lines, first, last), kept, printerFaultCause(error));
}

QString journalSetAside(const QString &path, const QString &aside)
{
    return QStringLiteral("The file \"%1\", where the program keeps charter lines until they are printed, is damaged "
                          "or is not one of the program's: it was set aside as \"%2\", and nothing was printed "
                          "from it.")
        .arg(path, aside);
}

QString linesLostCutShort(const printing::SavedLines &file)
{
    return QStringLiteral("%1 Saving them in \"%2\" failed too (%3), so unless they were printed, they are lost.")
        .arg(cutShort(), file.path, saveFailure(file));
}

} // namespace forms::words
