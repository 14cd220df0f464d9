// SPDX-License-Identifier: MIT
#pragma once

#include "core/accounting/running_totals.h"
#include "core/reports/print_statement.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <mutex>
#include <optional>
#include <set>
#include <vector>

// The journal of charter lines CUPS has not taken yet: every accepted line is
// on disk before the clerk is told, so that an end the program cannot see (a
// power cut, a kill, a crash) loses none. The next start prints what an
// earlier run left (ui/life/earlier_runs.h).
//
// One file a running program, in the desktop's state folder, locked (flock)
// while its program runs; it exists only while lines wait. Records are
// appended, each made durable before the call returns, and each carries a
// checksum, so that a record cut off by a power cut is known and left out
// with nothing after it.
namespace printing {

using LineId = std::uint64_t;

// The running totals as they stood after a line was accepted, in the
// money type's ten-thousandths: what the summary of a run is made from.
struct JournalTotals {
    std::int16_t charterCount = 0;
    std::int64_t totalHours = 0;
    std::int64_t totalRevenue = 0;
    bool operator==(const JournalTotals &) const = default;

    static JournalTotals of(const accounting::RunningTotals &totals)
    {
        return {totals.charterCount(), totals.totalHours().tenThousandths(), totals.totalRevenue().tenThousandths()};
    }
    accounting::RunningTotals restored() const
    {
        return accounting::RunningTotals::restored(charterCount, platform::Currency::fromTenThousandths(totalHours),
                                                   platform::Currency::fromTenThousandths(totalRevenue));
    }
};

// Where journals go: $XDG_STATE_HOME/selvaro-yachts, else
// ~/.local/state/selvaro-yachts.
QString journalFolder();

// The running program's own journal. Every call returns 0 once the record
// is on disk, else the system's error number (the first one is kept, and
// the journal writes nothing more: a journal with gaps would mislead).
// Callable from any thread.
class UnprintedJournal {
public:
    explicit UnprintedJournal(QString folder);
    ~UnprintedJournal();
    UnprintedJournal(const UnprintedJournal &) = delete;
    UnprintedJournal &operator=(const UnprintedJournal &) = delete;

    // A line accepted, with the totals after it. The file and the folder are
    // made on the first line since the journal was last empty.
    int addLine(LineId id, const reports::PrintStatement &statement, const JournalTotals &totals);
    // The lines went out as that job of that print server; not yet taken.
    int onItsWay(const std::vector<LineId> &ids, int jobId, const QString &server);
    // CUPS took them: a start after this does not print them again. Kept
    // until their job has ended, since the printer may yet drop them.
    int taken(const std::vector<LineId> &ids);
    // Their job ended printed (or is no longer followed). The file goes once
    // no line waits and no job is followed.
    void finished(const std::vector<LineId> &ids);
    // The printer dropped them after taking them: they wait again.
    int givenBack(const std::vector<LineId> &ids);
    // They were saved in a file the clerk was told about, not printed: they
    // still wait, for the next start, which removes that file once it has
    // printed them.
    int keptInFile(const std::vector<LineId> &ids, const QString &path);

    // The first error, or 0.
    int error() const;
    // The file while it exists.
    QString path() const;

private:
    // Moves the lines from one set to the other and records it as `type`.
    int moveLines(const std::vector<LineId> &ids, std::set<LineId> &from, std::set<LineId> &to, char type);
    int append(char type, const QByteArray &payload);
    int open();
    void remove();

    QString m_folder;
    mutable std::mutex m_mutex;
    int m_fd = -1;
    QString m_path;
    int m_error = 0;
    std::set<LineId> m_waiting; // not taken by CUPS
    std::set<LineId> m_pending; // taken, their job not ended
};

// A job a document went out as, as the journal noted it.
struct JournalJob {
    std::vector<LineId> ids;
    int jobId = 0;
    QString server;
};

// What a journal holds: the lines that still wait, in the order they were
// accepted, and what is needed to print them as they would have printed.
struct JournalContents {
    bool readable = false; // a journal at all, whatever was cut off at its end
    QDateTime started;     // when its run began
    std::vector<std::pair<LineId, reports::PrintStatement>> lines;
    std::vector<QDateTime> acceptedAt; // when each of those was accepted
    JournalTotals totals;              // after the last line accepted
    std::vector<JournalJob> jobsOnTheirWay; // holding waiting lines, not known taken
    QStringList files;                      // PDF files the clerk was told hold waiting lines
};

// Reads a journal's bytes: every whole record up to the first one cut off
// or damaged.
JournalContents readJournal(const QByteArray &bytes);

// A journal an earlier run left, locked for this program while it lives, so
// that no other program prints it too.
class EarlierJournal {
public:
    EarlierJournal(QString path, int fd) : m_path(std::move(path)), m_fd(fd) {}
    ~EarlierJournal();
    EarlierJournal(EarlierJournal &&other) noexcept;
    EarlierJournal &operator=(EarlierJournal &&) = delete;
    EarlierJournal(const EarlierJournal &) = delete;
    EarlierJournal &operator=(const EarlierJournal &) = delete;

    const QString &path() const { return m_path; }
    JournalContents read() const;
    // Notes a file that now holds its waiting lines; 0 or the system's error.
    int keptInFile(const std::vector<LineId> &ids, const QString &path);
    // Its lines are printed: the journal goes.
    void remove();
    // It is not a journal this program can read: renamed, with ".damaged",
    // where the clerk can find it; the new name.
    QString setAside();

private:
    QString m_path;
    int m_fd;
};

// The journals in `folder` whose programs no longer run, each locked; never
// `own`, the running program's own.
std::vector<EarlierJournal> claimEarlierJournals(const QString &folder);

} // namespace printing
