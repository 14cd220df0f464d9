// SPDX-License-Identifier: MIT
// The default printer sender without a reachable printer.

#include "printing/print_service.h"
#include "core/reports/layouts.h"

#include <gtest/gtest.h>

using reports::PrintStatement;

namespace {

QString qs(const char *text) { return QString::fromUtf8(text); }

class WithoutAPrinter : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // A print service that is not there, whatever this machine has.
        qputenv("CUPS_SERVER", "/nonexistent/cups.sock");
    }
};

TEST_F(WithoutAPrinter, SendingIsAPrinterErrorNamingTheCause)
{
    reports::PrintDocument document;
    document.print(PrintStatement().text(qs("a line")).endLine());
    const auto sender = printing::makeDefaultPrinterSender();
    try {
        sender->send(document, QStringLiteral("job"), nullptr);
        FAIL() << "sent without a printer";
    } catch (const printing::PrinterError &error) {
        EXPECT_EQ(error.problem(), printing::PrintProblem::NoPrintService);
    }
}

TEST_F(WithoutAPrinter, TheSummaryIsReportedAsNotSentAndNothingIsLost)
{
    printing::PrintService printer(printing::makeDefaultPrinterSender());
    printer.print(reports::charterLine(qs("Jones"), qs("Hobie"), 24, qs("2.5"), qs("$342.50")));
    const auto outcome = printer.printAndEndDoc(reports::summary(qs("2.5"), qs("$342.50")), qs("charters"));
    EXPECT_FALSE(outcome);
    ASSERT_TRUE(outcome.error.has_value());
    EXPECT_EQ(outcome.error->problem(), printing::PrintProblem::NoPrintService);
    ASSERT_EQ(printer.document().lineCount(), 1u);
    EXPECT_EQ(printer.document().line(0).runs.front().text, qs("Jones"));
}

} // namespace
