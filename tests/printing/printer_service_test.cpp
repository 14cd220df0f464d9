// SPDX-License-Identifier: MIT
// The print document service: one current document, ended as one job, and
// never a line lost or printed twice when the printer fails.
#include "core/platform/errors.h"
#include "printing/print_service.h"
#include "core/reports/layouts.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

using printing::PrintOutcome;
using printing::PrintService;
using reports::PrintStatement;

namespace {

QString qs(const char *text) { return QString::fromUtf8(text); }

// What reached the "printer": each job as its lines of plain text.
struct Spool {
    std::vector<std::vector<QString>> jobs;
    std::vector<QString> jobNames;
    int attempts = 0;
    bool failing = false;
    bool failWithOtherError = false;
    std::function<void()> whileSending; // what the program's events do meanwhile
    // How each job the printer took ends, told as soon as it is followed.
    std::optional<printing::JobEnd> jobEnd;
};

// Tells how the job ended on a thread of its own, as the job watch does.
class ToldEnd final : public printing::JobFollow {
public:
    ToldEnd(printing::JobEnd end, std::function<void(const printing::JobEnd &)> ended)
        : m_thread([end, ended = std::move(ended)] { ended(end); })
    {
    }
    ~ToldEnd() override { m_thread.join(); }

private:
    std::thread m_thread;
};

class FakeSender final : public printing::DocumentSender {
public:
    explicit FakeSender(Spool &spool) : m_spool(spool) {}
    printing::Delivery send(const reports::PrintDocument &document, const QString &jobName,
                            printing::PrintWatcher *) override
    {
        ++m_spool.attempts;
        if (m_spool.whileSending)
            std::exchange(m_spool.whileSending, nullptr)();
        if (m_spool.failWithOtherError)
            throw std::bad_alloc();
        if (m_spool.failing)
            throw printing::PrinterError(printing::PrintProblem::NoPrintService);
        std::vector<QString> lines;
        for (const auto &line : document.lines())
            lines.push_back(line.plainText());
        m_spool.jobs.push_back(lines);
        m_spool.jobNames.push_back(jobName);
        return printing::Delivery::Printed;
    }

    std::unique_ptr<printing::JobFollow> followLastJob(std::function<void(const printing::JobEnd &)> ended) override
    {
        return m_spool.jobEnd ? std::make_unique<ToldEnd>(*m_spool.jobEnd, std::move(ended)) : nullptr;
    }

private:
    Spool &m_spool;
};

PrintStatement charter(const char *name)
{
    return reports::charterLine(qs(name), qs("Hobie"), 24, qs("2.5"), qs("$342.50"));
}

QString charterText(const char *name)
{
    reports::PrintDocument document;
    document.print(charter(name));
    return document.line(0).plainText();
}

const std::vector<QString> kSummaryLines{qs(""), qs("              Average Hours Chartered: 2.5"),
                                         qs("              Total Revenue: $342.50")};

std::vector<QString> concat(std::vector<QString> a, const std::vector<QString> &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class PrinterService : public testing::Test {
protected:
    Spool spool;
    PrintService printer{std::make_unique<FakeSender>(spool)};

    PrintOutcome printSummary() { return printer.printAndEndDoc(reports::summary(qs("2.5"), qs("$342.50")), qs("charters")); }
};

TEST_F(PrinterService, PrintingLinesNeverTouchesThePrinter)
{
    for (int i = 0; i < 100; ++i)
        printer.print(charter("Jones"));
    EXPECT_EQ(spool.attempts, 0);
    EXPECT_EQ(printer.document().lineCount(), 100u);
}

TEST_F(PrinterService, EndingSendsEveryWaitingLineAsOneJobAndStartsAfresh)
{
    printer.print(charter("Jones"));
    printer.print(charter("Smith"));
    ASSERT_TRUE(printSummary());
    ASSERT_EQ(spool.jobs.size(), 1u);
    EXPECT_EQ(spool.jobs[0], concat({charterText("Jones"), charterText("Smith")}, kSummaryLines));
    EXPECT_EQ(spool.jobNames[0], qs("charters"));
    EXPECT_TRUE(printer.document().isEmpty());

    printer.print(charter("Brown"));
    ASSERT_TRUE(printSummary());
    ASSERT_EQ(spool.jobs.size(), 2u);
    EXPECT_EQ(spool.jobs[1], concat({charterText("Brown")}, kSummaryLines));
}

TEST_F(PrinterService, SummaryTwiceGivesTwoDocumentsWithTheSameLines)
{
    ASSERT_TRUE(printSummary());
    ASSERT_TRUE(printSummary());
    ASSERT_EQ(spool.jobs.size(), 2u);
    EXPECT_EQ(spool.jobs[0], kSummaryLines);
    EXPECT_EQ(spool.jobs[1], kSummaryLines);
}

TEST_F(PrinterService, EndDocOnAnEmptyDocumentSendsNothing)
{
    EXPECT_TRUE(printer.endDoc(qs("charters")));
    EXPECT_EQ(spool.attempts, 0);
    printer.print(charter("Jones"));
    EXPECT_TRUE(printer.endDoc(qs("charters")));
    EXPECT_TRUE(printer.endDoc(qs("charters")));
    EXPECT_EQ(spool.attempts, 1);
    EXPECT_EQ(spool.jobs.size(), 1u);
}

TEST_F(PrinterService, FailedSummaryKeepsTheChartersAndTakesBackItsOwnLines)
{
    printer.print(charter("Jones"));
    printer.print(charter("Smith"));
    const auto waiting = printer.document().lines();

    spool.failing = true;
    const PrintOutcome outcome = printSummary();
    EXPECT_FALSE(outcome);
    ASSERT_TRUE(outcome.error.has_value());
    EXPECT_EQ(outcome.error->problem(), printing::PrintProblem::NoPrintService);
    EXPECT_EQ(printer.document().lineCount(), waiting.size());
    for (std::size_t i = 0; i < waiting.size(); ++i)
        EXPECT_EQ(printer.document().line(i).runs, waiting[i].runs);

    // more charters while the printer is away, then it comes back
    printer.print(charter("Brown"));
    EXPECT_FALSE(printSummary());
    spool.failing = false;
    ASSERT_TRUE(printSummary());
    ASSERT_EQ(spool.jobs.size(), 1u);
    EXPECT_EQ(spool.jobs[0],
              concat({charterText("Jones"), charterText("Smith"), charterText("Brown")}, kSummaryLines));
}

TEST_F(PrinterService, FailedYachtListLeavesNothingBehind)
{
    spool.failing = true;
    EXPECT_FALSE(printer.printAndEndDoc(reports::yachtList({qs("Hobie"), qs("Ranger")}), qs("charters")));
    EXPECT_TRUE(printer.document().isEmpty());
    spool.failing = false;
    ASSERT_TRUE(printer.printAndEndDoc(reports::yachtList({qs("Hobie")}), qs("charters")));
    ASSERT_EQ(spool.jobs.size(), 1u);
    EXPECT_EQ(spool.jobs[0].size(), 4u);
}

TEST_F(PrinterService, FailedEndDocKeepsTheDocumentForTheRetry)
{
    printer.print(charter("Jones"));
    spool.failing = true;
    EXPECT_FALSE(printer.endDoc(qs("charters")));
    EXPECT_FALSE(printer.endDoc(qs("charters")));
    spool.failing = false;
    EXPECT_TRUE(printer.endDoc(qs("charters")));
    ASSERT_EQ(spool.jobs.size(), 1u);
    EXPECT_EQ(spool.jobs[0], std::vector<QString>{charterText("Jones")});
    EXPECT_EQ(spool.attempts, 3);
}

TEST_F(PrinterService, AnyOtherFailureWhileSendingAlsoTakesTheLinesBack)
{
    printer.print(charter("Jones"));
    spool.failWithOtherError = true;
    EXPECT_THROW(printSummary(), std::bad_alloc);
    ASSERT_EQ(printer.document().lineCount(), 1u);
    spool.failWithOtherError = false;
    ASSERT_TRUE(printSummary());
    EXPECT_EQ(spool.jobs[0], concat({charterText("Jones")}, kSummaryLines));
}

// Events handled while a document goes out (a screen reader pressing OK or
// Print Summary) may print a line or ask for a document: the document sent
// is the one there was when sending began, whether it goes out or not; the
// line waits for the next one, and the request is refused, never answered
// as printed.
TEST_F(PrinterService, WhatHappensWhileADocumentGoesOutWaitsForTheNextOne)
{
    for (const bool failing : {false, true}) {
        SCOPED_TRACE(failing ? "the document fails" : "the document goes out");
        printer.discardWaitingLines();
        spool.jobs.clear();
        spool.failing = failing;
        printer.print(charter("Jones"));
        std::vector<PrintOutcome> duringSend;
        spool.whileSending = [&] {
            EXPECT_TRUE(printer.isSending());
            printer.print(charter("Smith"));
            duringSend = {printSummary(), printer.endDoc(qs("charters"))};
        };
        EXPECT_EQ(static_cast<bool>(printSummary()), !failing);
        ASSERT_EQ(duringSend.size(), 2u);
        for (const PrintOutcome &refused : duringSend)
            EXPECT_TRUE(!refused && refused.error->problem() == printing::PrintProblem::Busy);
        EXPECT_EQ(spool.jobs, failing ? std::vector<std::vector<QString>>{}
                                      : std::vector<std::vector<QString>>{concat({charterText("Jones")}, kSummaryLines)});
        spool.failing = false;
        ASSERT_TRUE(printSummary());
        EXPECT_EQ(spool.jobs.back(), concat(failing ? std::vector{charterText("Jones"), charterText("Smith")}
                                                    : std::vector{charterText("Smith")},
                                            kSummaryLines));
        EXPECT_TRUE(printer.document().isEmpty());
    }
}

TEST_F(PrinterService, ASenderSetLaterIsTheOneUsed)
{
    Spool other;
    printer.print(charter("Jones"));
    printer.setSender(std::make_unique<FakeSender>(other));
    ASSERT_TRUE(printer.endDoc(qs("charters")));
    EXPECT_EQ(spool.attempts, 0);
    EXPECT_EQ(other.jobs.size(), 1u);
}

} // namespace

namespace {

// A document the printer took and then dropped: its charter lines wait
// again in front of those printed since, and the clerk is told; a yacht list
// gives nothing back; one printed whole is forgotten.
TEST_F(PrinterService, ADroppedDocumentGivesItsLinesBackInFront)
{
    const printing::JobEnd dropped{.printedWhole = false, .pagesPrinted = 0, .reasons = {}, .printerMessage = {}};
    struct Case {
        const char *what;
        printing::JobEnd end;
        bool summary;
        std::vector<QString> waitingAfter;
        bool told;
    };
    for (const Case &c : {Case{"dropped summary", dropped, true, {charterText("Jones"), charterText("Brown")}, true},
                          Case{"dropped yacht list", dropped, false, {charterText("Brown")}, true},
                          Case{"printed whole", printing::JobEnd{}, true, {charterText("Brown")}, false}}) {
        SCOPED_TRACE(c.what);
        PrintService service{std::make_unique<FakeSender>(spool)};
        spool.jobEnd = c.end;
        std::vector<printing::DroppedJob> told;
        QObject::connect(&service, &PrintService::jobDropped,
                         [&told](const printing::DroppedJob &job) { told.push_back(job); });
        if (c.summary)
            service.print(charter("Jones"));
        ASSERT_TRUE(service.printAndEndDoc(c.summary ? reports::summary(qs("2.5"), qs("$342.50"))
                                                     : reports::yachtList({qs("Hobie")}),
                                           qs("document")));
        service.print(charter("Brown")); // while the printer has it
        QElapsedTimer clock;
        clock.start();
        while (service.jobsFollowed() > 0 && clock.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        ASSERT_EQ(service.jobsFollowed(), 0u);
        std::vector<QString> waiting;
        for (const auto &line : service.document().lines())
            waiting.push_back(line.plainText());
        EXPECT_EQ(waiting, c.waitingAfter);
        ASSERT_EQ(told.size(), c.told ? 1u : 0u);
        if (c.told) {
            EXPECT_EQ(told[0].linesBack, c.summary);
        }
    }
}

} // namespace
