// SPDX-License-Identifier: MIT
// The journal of unprinted lines: what a later start reads back, whatever
// became of the lines, and whatever a power cut left of the file.
#include "printing/unprinted_journal.h"

#include "core/reports/layouts.h"
#include "core/reports/print_document.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

using printing::JournalTotals;
using printing::LineId;

reports::PrintStatement charter(const char *name)
{
    return reports::charterLine(QString::fromUtf8(name), QStringLiteral("Hobie"), 24, QStringLiteral("2.5"),
                                QStringLiteral("$342.50"));
}

QString textOf(const reports::PrintStatement &statement)
{
    reports::PrintDocument document;
    document.print(statement);
    return document.line(0).plainText();
}

QStringList waitingNames(const printing::JournalContents &contents)
{
    QStringList names;
    for (const auto &[id, statement] : contents.lines)
        names << textOf(statement).trimmed().section(QLatin1Char(' '), 0, 0);
    return names;
}

QByteArray journalBytes(const QString &folder)
{
    const QStringList files = QDir(folder).entryList({QStringLiteral("*.journal")}, QDir::Files);
    if (files.size() != 1)
        return {};
    QFile file(QDir(folder).filePath(files[0]));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What the lines went through decides what waits: taken lines not, given
// back ones again; a job on its way and a file holding lines are told; the
// totals are those after the last line; the file goes once nothing waits or
// is followed.
TEST(UnprintedJournal, AStartReadsBackWhatStillWaits)
{
    QTemporaryDir folder;
    printing::UnprintedJournal journal(folder.path());
    ASSERT_EQ(journal.addLine(1, charter("Abbot"), {1, 25000, 3425000}), 0);
    ASSERT_EQ(journal.addLine(2, charter("Barrow"), {2, 50000, 6850000}), 0);
    ASSERT_EQ(journal.onItsWay({1, 2}, 41, QStringLiteral("/run/cups/cups.sock")), 0);
    ASSERT_EQ(journal.taken({1, 2}), 0);
    ASSERT_EQ(journal.addLine(3, charter("Carver"), {3, 75000, 10275000}), 0);
    ASSERT_EQ(journal.givenBack({2}), 0);
    ASSERT_EQ(journal.onItsWay({2, 3}, 42, QStringLiteral("printserver:631")), 0);
    ASSERT_EQ(journal.keptInFile({2, 3}, QStringLiteral("/home/clerk/Documents/lines.pdf")), 0);

    const printing::JournalContents contents = printing::readJournal(journalBytes(folder.path()));
    ASSERT_TRUE(contents.readable);
    EXPECT_EQ(waitingNames(contents), (QStringList{QStringLiteral("Barrow"), QStringLiteral("Carver")}));
    EXPECT_EQ(contents.totals, (JournalTotals{3, 75000, 10275000}));
    ASSERT_EQ(contents.jobsOnTheirWay.size(), 1u) << "job 42 alone: Barrow came back from job 41";
    EXPECT_EQ(contents.jobsOnTheirWay[0].jobId, 42);
    EXPECT_EQ(contents.jobsOnTheirWay[0].ids, (std::vector<LineId>{2, 3}));
    EXPECT_EQ(contents.jobsOnTheirWay[0].server, QStringLiteral("printserver:631"));
    EXPECT_EQ(contents.files, QStringList{QStringLiteral("/home/clerk/Documents/lines.pdf")});

    ASSERT_EQ(journal.taken({2, 3}), 0);
    EXPECT_FALSE(journalBytes(folder.path()).isEmpty()) << "kept while the job is followed";
    journal.finished({1, 2, 3});
    EXPECT_TRUE(QDir(folder.path()).isEmpty()) << "gone once nothing waits";
}

// Cut off anywhere within its last record (the power lost as it was
// written), a journal yields every record before it; a file that is not a
// journal yields nothing.
TEST(UnprintedJournal, ACutOffRecordAndWhatFollowsAreLeftOut)
{
    QTemporaryDir folder;
    printing::UnprintedJournal journal(folder.path());
    ASSERT_EQ(journal.addLine(1, charter("Abbot"), {1, 25000, 3425000}), 0);
    const qsizetype firstRecordEnds = journalBytes(folder.path()).size();
    ASSERT_EQ(journal.addLine(2, charter("Barrow"), {2, 50000, 6850000}), 0);
    const QByteArray whole = journalBytes(folder.path());

    for (qsizetype cut = firstRecordEnds; cut < whole.size(); ++cut) {
        const printing::JournalContents contents = printing::readJournal(whole.left(cut));
        ASSERT_TRUE(contents.readable) << "cut at " << cut;
        ASSERT_EQ(waitingNames(contents), QStringList{QStringLiteral("Abbot")}) << "cut at " << cut;
    }
    QByteArray flipped = whole;
    flipped[whole.size() - 20] = static_cast<char>(flipped[whole.size() - 20] ^ 0x40);
    EXPECT_EQ(waitingNames(printing::readJournal(flipped)), QStringList{QStringLiteral("Abbot")}) << "damaged";
    for (const QByteArray &foreign : {QByteArray(), QByteArray("%PDF-1.4\n"), whole.mid(1)})
        EXPECT_FALSE(printing::readJournal(foreign).readable);
}

// A journal whose program still runs is never claimed; one whose program
// has gone is, once, and not again while claimed.
TEST(UnprintedJournal, OnlyJournalsOfProgramsGoneAreClaimed)
{
    QTemporaryDir folder;
    {
        printing::UnprintedJournal running(folder.path());
        ASSERT_EQ(running.addLine(1, charter("Abbot"), {1, 25000, 3425000}), 0);
        EXPECT_TRUE(printing::claimEarlierJournals(folder.path()).empty()) << "its program runs";
    }
    std::vector<printing::EarlierJournal> claimed = printing::claimEarlierJournals(folder.path());
    ASSERT_EQ(claimed.size(), 1u);
    EXPECT_TRUE(printing::claimEarlierJournals(folder.path()).empty()) << "claimed already";
    claimed[0].remove();
    claimed.clear();
    EXPECT_TRUE(printing::claimEarlierJournals(folder.path()).empty());
}

} // namespace
