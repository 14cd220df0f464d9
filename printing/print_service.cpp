// SPDX-License-Identifier: MIT
#include "printing/print_service.h"

#include <QMetaObject>
#include <QScopeGuard>

#include <algorithm>
#include <utility>

namespace printing {
namespace {

// Passes everything on to the watcher of the document (or does what a
// missing one would), and tells the journal which job the document became.
class JournaledWatcher final : public PrintWatcher {
public:
    JournaledWatcher(PrintWatcher *inner, std::function<void(int, const QString &)> created)
        : m_inner(inner), m_created(std::move(created))
    {
    }
    void pageDone(int pagesDone, int pageCount) override
    {
        if (m_inner)
            m_inner->pageDone(pagesDone, pageCount);
    }
    void waitFor(const std::function<void()> &work) override
    {
        if (m_inner)
            m_inner->waitFor(work);
        else
            work();
    }
    std::optional<PrinterLogin> askLogin(const LoginRequest &request) override
    {
        return m_inner ? m_inner->askLogin(request) : std::nullopt;
    }
    void jobCreated(int jobId, const QString &server) override
    {
        m_created(jobId, server);
        if (m_inner)
            m_inner->jobCreated(jobId, server);
    }

private:
    PrintWatcher *m_inner;
    std::function<void(int, const QString &)> m_created;
};

} // namespace

PrintService::PrintService(std::unique_ptr<DocumentSender> sender) : m_sender(std::move(sender)) {}

PrintService::~PrintService()
{
    // Stops following before anything it reports to is gone.
    stopFollowingJobs();
}

void PrintService::print(const reports::PrintStatement &statement)
{
    const bool wasWaiting = hasWaitingLines();
    m_document.print(statement);
    ++m_unprintedVersion;
    noteWaiting(wasWaiting);
}

int PrintService::print(const reports::PrintStatement &statement, const JournalTotals &totals)
{
    int kept = 0;
    if (m_journal) {
        const LineId id = ++m_lastLineId;
        kept = m_journal->addLine(id, statement, totals);
        if (kept == 0)
            m_documentIds.push_back(id);
    }
    print(statement);
    return kept;
}

void PrintService::setJournal(std::unique_ptr<UnprintedJournal> journal)
{
    m_journal = std::move(journal);
}

PrintOutcome PrintService::printAndEndDoc(const std::vector<reports::PrintStatement> &statements,
                                          const QString &jobName)
{
    if (m_sending)
        return busy();
    return send(statements, jobName);
}

PrintOutcome PrintService::endDoc(const QString &jobName)
{
    if (m_document.isEmpty())
        return {};
    if (m_sending)
        return busy();
    return send({}, jobName);
}

PrintOutcome PrintService::busy()
{
    PrintOutcome outcome;
    outcome.error = PrinterError(PrintProblem::Busy);
    return outcome;
}

reports::PrintDocument PrintService::unprintedLines() const
{
    if (!m_sending)
        return m_document;
    reports::PrintDocument lines = m_onItsWay;
    lines.rollBack(m_onItsWayLines);
    lines.append(m_document);
    return lines;
}

PrintOutcome PrintService::send(const std::vector<reports::PrintStatement> &statements, const QString &jobName)
{
    // The waiting lines move into the document on its way: lines printed
    // while it goes out must not change it, and a copy of a day's lines
    // would cost as much memory again.
    m_onItsWay = std::exchange(m_document, reports::PrintDocument());
    m_onItsWayIds = std::exchange(m_documentIds, {});
    m_onItsWayLines = m_onItsWay.mark();
    for (const auto &statement : statements)
        m_onItsWay.print(statement);
    PrintOutcome outcome;
    m_sending = true;
    // Last, once the document's lines are where they belong.
    const auto sent = qScopeGuard([this] { emit sendFinished(); });
    try {
        const std::unique_ptr<PrintWatcher> watcher = m_watcherFactory ? m_watcherFactory() : nullptr;
        JournaledWatcher journaled(watcher.get(), [this](int jobId, const QString &server) {
            if (m_journal)
                m_journal->onItsWay(m_onItsWayIds, jobId, server);
        });
        outcome.delivery = sender().send(m_onItsWay, jobName, &journaled);
        outcome.printer = sender().lastPrinterName();
        outcome.printerMessage = sender().lastPrinterMessage();
    } catch (const PrinterError &error) {
        outcome.error = error;
    } catch (...) {
        // Nothing went out: the lines wait again, whatever stopped it.
        m_onItsWay.rollBack(m_onItsWayLines);
        giveBack(std::exchange(m_onItsWay, reports::PrintDocument()), std::exchange(m_onItsWayIds, {}));
        m_sending = false;
        throw;
    }
    const bool wasWaiting = hasWaitingLines();
    m_onItsWay.rollBack(m_onItsWayLines);
    reports::PrintDocument lines = std::exchange(m_onItsWay, reports::PrintDocument());
    std::vector<LineId> ids = std::exchange(m_onItsWayIds, {});
    m_sending = false;
    if (outcome) {
        if (!lines.isEmpty())
            ++m_unprintedVersion;
        if (m_journal)
            m_journal->taken(ids);
        follow(std::move(lines), std::move(ids), jobName, outcome.printer);
    } else {
        giveBack(std::move(lines), std::move(ids));
    }
    noteWaiting(wasWaiting);
    return outcome;
}

void PrintService::follow(reports::PrintDocument lines, std::vector<LineId> ids, const QString &jobName,
                          const QString &printer)
{
    if (!m_following) {
        if (m_journal)
            m_journal->finished(ids);
        return;
    }
    const std::uint64_t id = ++m_lastFollowed;
    // Told on the follow's own thread, handed over under a mutex of the
    // standard library (plain to the thread sanitizer, which Qt's event queue
    // is not), and handled in the event loop, while this service lives (it
    // stops every follow before it goes).
    std::unique_ptr<JobFollow> follow = sender().followLastJob([this, id](const JobEnd &end) {
        {
            const std::lock_guard lock(m_endedMutex);
            m_ended.emplace_back(id, end);
        }
        QMetaObject::invokeMethod(this, "takeEndedJobs", Qt::QueuedConnection);
    });
    if (follow)
        m_followed.push_back({id, std::move(follow), std::move(lines), std::move(ids), jobName, printer});
    else if (m_journal)
        m_journal->finished(ids); // nothing to follow: done with
}

void PrintService::stopFollowingJobs()
{
    m_following = false;
    // CUPS took them; what becomes of them now, nobody is left to tell.
    for (const Followed &followed : m_followed)
        if (m_journal)
            m_journal->finished(followed.lineIds);
    m_followed.clear();
}

void PrintService::takeEndedJobs()
{
    std::vector<std::pair<std::uint64_t, JobEnd>> ended;
    {
        const std::lock_guard lock(m_endedMutex);
        ended.swap(m_ended);
    }
    for (const auto &[id, end] : ended)
        jobEnded(id, end);
}

void PrintService::jobEnded(std::uint64_t id, const JobEnd &end)
{
    // Lines given back go in front of those waiting: not while a document
    // is on its way, which holds lines newer than these.
    if (m_sending) {
        afterSending(this, [this, id, end] { jobEnded(id, end); });
        return;
    }
    const auto followed = std::ranges::find(m_followed, id, &Followed::id);
    if (followed == m_followed.end())
        return;
    Followed ended = std::move(*followed);
    m_followed.erase(followed);
    if (end.printedWhole) {
        if (m_journal)
            m_journal->finished(ended.lineIds);
        return;
    }
    const bool linesBack = !ended.lines.isEmpty();
    if (linesBack) {
        const bool wasWaiting = hasWaitingLines();
        ++m_unprintedVersion;
        if (m_journal)
            m_journal->givenBack(ended.lineIds);
        giveBack(std::move(ended.lines), std::move(ended.lineIds));
        noteWaiting(wasWaiting);
    }
    emit jobDropped(DroppedJob{.jobName = ended.jobName, .printer = ended.printer, .end = end, .linesBack = linesBack});
}

void PrintService::giveBack(reports::PrintDocument lines, std::vector<LineId> ids)
{
    lines.append(m_document);
    m_document = std::move(lines);
    ids.insert(ids.end(), m_documentIds.begin(), m_documentIds.end());
    m_documentIds = std::move(ids);
}

bool PrintService::discardWaitingLines(const QString &savedIn)
{
    const bool wasWaiting = hasWaitingLines();
    const bool kept =
        m_journal && !savedIn.isEmpty() && !m_documentIds.empty() && m_journal->keptInFile(m_documentIds, savedIn) == 0;
    m_documentIds.clear();
    m_document = reports::PrintDocument();
    ++m_unprintedVersion;
    noteWaiting(wasWaiting);
    return kept;
}

void PrintService::setSender(std::unique_ptr<DocumentSender> sender)
{
    m_sender = std::move(sender);
}

void PrintService::setWatcherFactory(std::function<std::unique_ptr<PrintWatcher>()> factory)
{
    m_watcherFactory = std::move(factory);
}

DocumentSender &PrintService::sender()
{
    if (!m_sender)
        m_sender = makeDefaultPrinterSender();
    return *m_sender;
}

void PrintService::noteWaiting(bool wasWaiting)
{
    if (wasWaiting != hasWaitingLines())
        emit waitingLinesChanged(hasWaitingLines());
}

void PrintService::afterSending(const QObject *context, std::function<void()> then)
{
    // NOLINTNEXTLINE(clang-analyzer-optin.core.EnumCastOutOfRange): Qt's connection types are OR'ed flags
    const auto queuedOnce = Qt::ConnectionType(Qt::QueuedConnection | Qt::SingleShotConnection);
    connect(this, &PrintService::sendFinished, context, std::move(then), queuedOnce);
}

} // namespace printing
