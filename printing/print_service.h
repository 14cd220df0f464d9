// SPDX-License-Identifier: MIT
#pragma once

#include "core/reports/print_document.h"
#include "core/reports/print_statement.h"
#include "printing/print_error.h"
#include "printing/unprinted_journal.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace printing {

// A print server asks for a login before it takes a document.
struct LoginRequest {
    QString printer;    // the printer that asks (or the print server, before a printer is known)
    QString user;       // the user name to offer
    bool again = false; // the last login given was not accepted
};

struct PrinterLogin {
    QString user;
    // Held in memory only as long as the print service needs it, then wiped;
    // never written anywhere.
    QByteArray password;
};

// Watches a document go out: told after each finished page, and asked to
// run the calls that wait for the print service. The windows' watcher keeps
// the program painted behind a modal progress window meanwhile; without
// one, the calls simply run.
class PrintWatcher {
public:
    virtual ~PrintWatcher() = default;
    virtual void pageDone(int pagesDone, int pageCount) = 0;
    // Runs `work` to its end, however long it takes; exceptions it throws
    // reach the caller.
    virtual void waitFor(const std::function<void()> &work) { work(); }
    // Asks the clerk for the login a print server wants, from within `work`
    // above, on whatever thread runs it; none cancels. Without anyone to
    // ask, there is none.
    virtual std::optional<PrinterLogin> askLogin(const LoginRequest &) { return std::nullopt; }
    // CUPS made the job the document goes out as, on that print server, and
    // has not taken the document yet; from within `work`, on its thread.
    virtual void jobCreated(int /*jobId*/, const QString & /*server*/) {}
};

// What became of a document the printer took. A held document is safe in
// the queue and must not be sent a second time.
enum class Delivery : std::uint8_t {
    Printed,
    HeldByStoppedPrinter, // prints once the printer is started again
    HeldInQueue,          // prints once the job is released in the queue
};

// How a job the printer took ended.
struct JobEnd {
    bool printedWhole = true;
    int pagesPrinted = 0;   // when it did not print whole
    QStringList reasons;    // CUPS's words for why it ended so (job-state-reasons)
    QString printerMessage; // what the printer said as it ended
};

// Following a job the printer took; it stops as this is destroyed.
class JobFollow {
public:
    virtual ~JobFollow() = default;
};

// Delivers a finished document to a printer as one job. Throws PrinterError
// when it cannot.
class DocumentSender {
public:
    virtual ~DocumentSender() = default;
    virtual Delivery send(const reports::PrintDocument &document, const QString &jobName, PrintWatcher *watcher) = 0;
    // Follows the job the last document went out as until it ends, then
    // calls `ended` once, from any thread; none when there is nothing to
    // follow (a file is written whole or not at all).
    // NOLINTNEXTLINE(performance-unnecessary-value-param): the overrides keep it, on the following thread
    virtual std::unique_ptr<JobFollow> followLastJob(std::function<void(const JobEnd &)> /*ended*/) { return nullptr; }
    // The printer the last document went to, for telling the clerk about it.
    virtual QString lastPrinterName() const { return {}; }
    // What that printer said of its state (for a stopped printer, the
    // reason its administrator gave).
    virtual QString lastPrinterMessage() const { return {}; }
};

// The system's default printer as CUPS reports it when the document is sent.
std::unique_ptr<DocumentSender> makeDefaultPrinterSender();

// A document the printer took and then dropped: its waiting lines wait
// again (linesBack), in front of those printed since.
struct DroppedJob {
    QString jobName;
    QString printer;
    JobEnd end;
    bool linesBack = false;
};

struct PrintOutcome {
    Delivery delivery = Delivery::Printed;
    QString printer;                    // where it went, when known
    QString printerMessage;             // what the printer said of its state
    std::optional<PrinterError> error;  // set when the document did not go out

    explicit operator bool() const { return !error.has_value(); }
};

// The program's one current print document. The first line printed after
// start, or after the previous document was sent, begins it; ending it sends
// it to the printer as one job. A document that cannot be sent is kept, so
// that trying again later prints every line exactly once. A document the
// printer took is followed until its job ends: one the printer drops gives
// its lines back.
class PrintService : public QObject {
    Q_OBJECT
public:
    // Without a sender, documents go to the default printer. It talks to no
    // printer before the first document is sent.
    explicit PrintService(std::unique_ptr<DocumentSender> sender = nullptr);
    ~PrintService() override;

    // Adds to the current document; never touches the printer. Lines
    // added while a document is on its way wait for the next one.
    void print(const reports::PrintStatement &statement);
    // The same for a charter, put on disk in the journal, with the totals as
    // they stand after it, before this returns. The journal's error (the
    // system's error number) when it could not keep it, else 0; the line is
    // printed either way.
    int print(const reports::PrintStatement &statement, const JournalTotals &totals);
    // Keeps every charter printed from now on in `journal` until CUPS has
    // taken it (printing/unprinted_journal.h).
    void setJournal(std::unique_ptr<UnprintedJournal> journal);

    // Sends the waiting lines followed by the statements as one job named
    // `jobName`. The statements never join the waiting lines: when the
    // document cannot be sent, the waiting lines stay as they were.
    PrintOutcome printAndEndDoc(const std::vector<reports::PrintStatement> &statements, const QString &jobName);

    // Sends whatever is waiting; nothing to send counts as sent.
    PrintOutcome endDoc(const QString &jobName);

    // Whether a document is on its way to the printer right now. The program
    // goes on handling events meanwhile; a document asked for then is not
    // sent (PrintProblem::Busy), and sendFinished() says when to ask again.
    // What goes out is the lines waiting when sending began: they are moved,
    // not copied, out of document(), and lines printed meanwhile wait there
    // for the next document.
    bool isSending() const { return m_sending; }
    // The document on its way while isSending(), else null.
    const reports::PrintDocument *documentOnItsWay() const { return m_sending ? &m_onItsWay : nullptr; }
    // Calls `then` once, from the event loop, after the document now on its
    // way is through (as sendFinished() says), while `context` lives.
    void afterSending(const QObject *context, std::function<void()> then);

    // Forgets the waiting lines, once they are kept elsewhere: saved in a
    // file because they could not be printed. The journal keeps them for the
    // next start, which removes that file once it has printed them: true
    // when it does.
    bool discardWaitingLines(const QString &savedIn = QString());

    // The lines waiting for the next document; while one is on its way,
    // those printed since it began.
    const reports::PrintDocument &document() const { return m_document; }
    // From now on no job is followed: the process is about to end past this
    // service's own end.
    void stopFollowingJobs();
    // The jobs the printer took whose end is not known yet.
    std::size_t jobsFollowed() const { return m_followed.size(); }
    // Every line CUPS has not taken yet: those on their way, then those
    // waiting. A copy, for keeping them safe.
    reports::PrintDocument unprintedLines() const;
    // Changes whenever the lines CUPS has not taken change: a file holding
    // unprintedLines() is up to date while this stays the same.
    std::uint64_t unprintedVersion() const { return m_unprintedVersion; }
    // Whether any line waits to be printed, on its way or not.
    bool hasWaitingLines() const { return !m_document.isEmpty() || (m_sending && m_onItsWayLines.lineCount > 0); }

    // Replaces how documents leave the program (tests capture them here).
    void setSender(std::unique_ptr<DocumentSender> sender);
    // Makes a watcher for each document sent from now on.
    void setWatcherFactory(std::function<std::unique_ptr<PrintWatcher>()> factory);

signals:
    // Lines began or stopped waiting in the current document.
    void waitingLinesChanged(bool waiting);
    // A document went out or failed to; another may be sent now.
    void sendFinished();
    // The printer dropped a document it had taken.
    void jobDropped(const printing::DroppedJob &dropped);

private slots:
    // Handles the jobs whose end their follows told.
    void takeEndedJobs();

private:
    // A document the printer took, until its job ends.
    struct Followed {
        std::uint64_t id = 0;
        std::unique_ptr<JobFollow> follow;
        reports::PrintDocument lines; // the waiting lines it held
        std::vector<LineId> lineIds;  // the journal's names for them
        QString jobName;
        QString printer;
    };

    DocumentSender &sender();
    static PrintOutcome busy();
    // Sends the waiting lines followed by `statements`; once CUPS has taken
    // them, those lines stop waiting.
    PrintOutcome send(const std::vector<reports::PrintStatement> &statements, const QString &jobName);
    void follow(reports::PrintDocument lines, std::vector<LineId> ids, const QString &jobName, const QString &printer);
    void jobEnded(std::uint64_t id, const JobEnd &end);
    // Puts lines that did not print back in front of those waiting.
    void giveBack(reports::PrintDocument lines, std::vector<LineId> ids);
    void noteWaiting(bool wasWaiting);

    reports::PrintDocument m_document;
    std::vector<LineId> m_documentIds;             // of its statements kept in the journal
    reports::PrintDocument m_onItsWay;             // while sending: the lines, then the statements
    std::vector<LineId> m_onItsWayIds;
    reports::PrintDocument::Mark m_onItsWayLines;  // where its lines end
    std::unique_ptr<DocumentSender> m_sender;
    std::function<std::unique_ptr<PrintWatcher>()> m_watcherFactory;
    bool m_sending = false; // a document is on its way; events are handled meanwhile
    std::vector<Followed> m_followed;
    std::mutex m_endedMutex;
    std::vector<std::pair<std::uint64_t, JobEnd>> m_ended; // told, not handled yet
    std::uint64_t m_lastFollowed = 0;
    std::uint64_t m_unprintedVersion = 0;
    bool m_following = true;
    std::unique_ptr<UnprintedJournal> m_journal;
    LineId m_lastLineId = 0;
};

} // namespace printing
