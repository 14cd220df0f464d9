// SPDX-License-Identifier: MIT
// The progress shown while a long document goes out.
#include "ui/forms/clerk_words.h"
#include "ui/widgets/print_progress.h"

#include <QCoreApplication>
#include <QProgressDialog>

#include <gtest/gtest.h>

#include <chrono>

namespace {

QString qs(const char *text) { return QString::fromUtf8(text); }

TEST(Progress, ALongJobShowsPagesDoneOfPagesInAll)
{
    ui::PrintProgress progress(&forms::words::pagesSent, std::chrono::milliseconds(0));
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
    ui::PrintProgress progress(&forms::words::pagesSent, std::chrono::milliseconds(0));
    bool handled = false;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&handled] { handled = true; }, Qt::QueuedConnection);
    progress.pageDone(1, 2);
    EXPECT_TRUE(handled) << "events waiting while printing are handled between pages";
}

TEST(Progress, AShortJobShowsNothing)
{
    ui::PrintProgress quick(&forms::words::pagesSent, std::chrono::hours(1));
    quick.pageDone(1, 40);
    EXPECT_EQ(quick.dialog(), nullptr);

    ui::PrintProgress onePage(&forms::words::pagesSent, std::chrono::milliseconds(0));
    onePage.pageDone(1, 1);
    EXPECT_EQ(onePage.dialog(), nullptr) << "nothing left to wait for";
}

} // namespace
