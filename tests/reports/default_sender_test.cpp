// SPDX-License-Identifier: MIT
// The default printer sender without a reachable printer, and the progress
// shown while a long document goes out.

#include "platform/errors.h"
#include "platform/print_progress.h"
#include "platform/printer.h"
#include "reports/layouts.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProgressDialog>

#include <chrono>

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
    const auto sender = platform::makeDefaultPrinterSender();
    try {
        sender->send(document, QStringLiteral(SELVARO_TITLE));
        FAIL() << "sent without a printer";
    } catch (const platform::PrinterError &error) {
        EXPECT_EQ(std::string(error.what()),
                  "No printer can be reached: the print service (CUPS) is not running, "
                  "or no printer is set up on this computer.");
    }
}

TEST_F(WithoutAPrinter, TheSummaryIsReportedAsNotSentAndNothingIsLost)
{
    platform::Printer printer(platform::makeDefaultPrinterSender());
    printer.print(reports::charterLine(qs("Jones"), qs("Hobie"), 24, qs("2.5"), qs("$342.50")));
    const auto outcome = printer.printAndEndDoc(reports::summary(qs("2.5"), qs("$342.50")));
    EXPECT_FALSE(outcome);
    EXPECT_TRUE(outcome.problem.startsWith(qs("No printer can be reached"))) << outcome.problem.toStdString();
    ASSERT_EQ(printer.document().lines().size(), 1u);
    EXPECT_EQ(printer.document().lines()[0].runs.front().text, qs("Jones"));
}

TEST(Progress, ALongJobShowsPagesDoneOfPagesInAll)
{
    platform::PrintProgress progress(std::chrono::milliseconds(0));
    progress.pageDone(1, 4);
    const QProgressDialog *dialog = progress.dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->maximum(), 4);
    EXPECT_EQ(dialog->value(), 1);
    EXPECT_EQ(dialog->labelText(), qs("Sent 1 of 4 pages to the printer."));
    progress.pageDone(3, 4);
    EXPECT_EQ(dialog->value(), 3);
    EXPECT_EQ(dialog->labelText(), qs("Sent 3 of 4 pages to the printer."));
}

TEST(Progress, TheWindowsKeepWorkingBetweenPages)
{
    platform::PrintProgress progress(std::chrono::milliseconds(0));
    bool handled = false;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&handled] { handled = true; }, Qt::QueuedConnection);
    progress.pageDone(1, 2);
    EXPECT_TRUE(handled) << "events waiting while printing are handled between pages";
}

TEST(Progress, AShortJobShowsNothing)
{
    platform::PrintProgress quick(std::chrono::hours(1));
    quick.pageDone(1, 40);
    EXPECT_EQ(quick.dialog(), nullptr);

    platform::PrintProgress onePage(std::chrono::milliseconds(0));
    onePage.pageDone(1, 1);
    EXPECT_EQ(onePage.dialog(), nullptr) << "nothing left to wait for";
}

} // namespace
