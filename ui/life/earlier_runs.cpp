// SPDX-License-Identifier: MIT
#include "ui/life/earlier_runs.h"

#include "core/accounting/running_totals.h"
#include "core/reports/layouts.h"
#include "printing/cups_client.h"
#include "printing/unprinted_journal.h"
#include "printing/unprinted_lines_file.h"
#include "ui/forms/clerk_words.h"
#include "ui/forms/owner.h"
#include "ui/life/print_wait.h"
#include "ui/message_boxes.h"

#include <QDateTime>
#include <QFile>

#include <memory>
#include <optional>
#include <set>

namespace ui {
namespace {

namespace words = forms::words;

PrintProgress::Words progressWords()
{
    return {.waiting = &words::waitingForPrintService, .pages = &words::pagesPrepared, .login = &words::printerLogin};
}

// The lines of the jobs that were on their way as the run ended and that
// CUPS took; none when a print server cannot say.
std::optional<std::set<printing::LineId>> takenOnTheirWay(const printing::JournalContents &contents)
{
    std::set<printing::LineId> taken;
    if (contents.jobsOnTheirWay.empty())
        return taken;
    PrintProgress progress(progressWords());
    for (const printing::JournalJob &job : contents.jobsOnTheirWay) {
        std::optional<bool> took;
        progress.waitFor([&] { took = printing::cups::jobTookDocument(job.server, job.jobId); });
        if (!took)
            return std::nullopt;
        if (*took)
            taken.insert(job.ids.begin(), job.ids.end());
    }
    return taken;
}

// The lines of an earlier run that still wait, and when they were entered.
struct Waiting {
    std::vector<printing::LineId> ids;
    std::vector<reports::PrintStatement> statements;
    QDateTime first, last;
};

Waiting waitingLines(const printing::JournalContents &contents, const std::set<printing::LineId> &taken)
{
    Waiting waiting;
    for (std::size_t i = 0; i < contents.lines.size(); ++i) {
        const auto &[id, statement] = contents.lines[i];
        if (taken.contains(id))
            continue;
        waiting.ids.push_back(id);
        waiting.statements.push_back(statement);
        waiting.first = waiting.first.isValid() ? waiting.first : contents.acceptedAt[i];
        waiting.last = contents.acceptedAt[i];
    }
    return waiting;
}

// Prints one earlier run's waiting lines with its summary; what the clerk is
// to be told, if anything.
QString printJournal(forms::Owner &owner, printing::EarlierJournal &journal)
{
    const printing::JournalContents contents = journal.read();
    if (!contents.readable)
        return words::journalSetAside(journal.path(), journal.setAside());

    // A document of its own, through a print service of its own: this run's
    // waiting lines and totals stay as they are.
    printing::PrintService printer;
    printer.setWatcherFactory([] { return std::make_unique<PrintProgress>(progressWords()); });
    std::optional<std::set<printing::LineId>> taken;
    try {
        taken = takenOnTheirWay(contents);
    } catch (const printing::PrinterError &) {
        // The printing module is missing: printAndEndDoc below says so.
        taken = std::set<printing::LineId>();
    }
    const Waiting waiting = waitingLines(contents, taken.value_or(std::set<printing::LineId>()));
    if (waiting.ids.empty()) {
        // Every line went out before the run ended.
        journal.remove();
        return {};
    }
    for (const reports::PrintStatement &statement : waiting.statements)
        printer.print(statement);
    const auto figures = contents.totals.restored().summaryFigures(owner.format());
    const auto summary = reports::summary(figures.averageText, figures.revenueText);
    const auto count = static_cast<int>(waiting.ids.size());
    printing::PrintOutcome outcome;
    if (taken)
        outcome = printer.printAndEndDoc(summary, words::jobChartersFromEarlierRun());
    else
        outcome.error = printing::PrinterError(printing::PrintProblem::NoPrintService);
    if (outcome) {
        for (const QString &file : contents.files)
            QFile::remove(file);
        journal.remove();
        return words::earlierRunPrinted(count, waiting.first, waiting.last, contents.files);
    }
    // Kept for the next start; a PDF of them meanwhile, which that start
    // removes once it has printed them.
    reports::PrintDocument document = printer.document();
    for (const auto &statement : summary)
        document.print(statement);
    const printing::SavedLines file = printing::saveUnprintedLines(
        document, printing::unprintedLinesFolder(), words::earlierRunFileName(waiting.first));
    if (file.saved)
        journal.keptInFile(waiting.ids, file.path);
    return words::earlierRunKept(count, waiting.first, waiting.last, *outcome.error, file);
}

} // namespace

void printEarlierRuns(forms::Owner &owner)
{
    std::vector<printing::EarlierJournal> journals = printing::claimEarlierJournals(printing::journalFolder());
    QStringList told;
    for (printing::EarlierJournal &journal : journals) {
        const QString sentence = printJournal(owner, journal);
        if (!sentence.isEmpty())
            told << sentence;
    }
    if (!told.isEmpty())
        tellOutcome(owner.messageBoxes(), told.join(QStringLiteral("\n\n")));
}

} // namespace ui
