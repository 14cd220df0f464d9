// SPDX-License-Identifier: MIT
#include "printing/print_service.h"

#include <QScopeGuard>

#include <utility>

namespace printing {

PrintService::PrintService(std::unique_ptr<DocumentSender> sender) : m_sender(std::move(sender)) {}

PrintService::~PrintService() = default;

void PrintService::print(const reports::PrintStatement &statement)
{
    const bool wasWaiting = hasWaitingLines();
    m_document.print(statement);
    noteWaiting(wasWaiting);
}

PrintOutcome PrintService::printAndEndDoc(const std::vector<reports::PrintStatement> &statements,
                                          const QString &jobName)
{
    if (m_sending)
        return busy();
    reports::PrintDocument withStatements = m_document;
    for (const auto &statement : statements)
        withStatements.print(statement);
    return send(withStatements, m_document.mark(), jobName);
}

PrintOutcome PrintService::endDoc(const QString &jobName)
{
    if (m_document.isEmpty())
        return {};
    if (m_sending)
        return busy();
    // A copy: lines printed while it goes out must not change it.
    const reports::PrintDocument snapshot = m_document;
    return send(snapshot, m_document.mark(), jobName);
}

PrintOutcome PrintService::busy()
{
    PrintOutcome outcome;
    outcome.error = PrinterError(PrintProblem::Busy);
    return outcome;
}

PrintOutcome PrintService::send(const reports::PrintDocument &document, const reports::PrintDocument::Mark &sentUpTo,
                                const QString &jobName)
{
    PrintOutcome outcome;
    {
        m_sending = true;
        m_onItsWay = &document;
        const auto sent = qScopeGuard([this] {
            m_sending = false;
            m_onItsWay = nullptr;
            emit sendFinished();
        });
        try {
            const std::unique_ptr<PrintWatcher> watcher = m_watcherFactory ? m_watcherFactory() : nullptr;
            outcome.delivery = sender().send(document, jobName, watcher.get());
            outcome.printer = sender().lastPrinterName();
            outcome.printerMessage = sender().lastPrinterMessage();
        } catch (const PrinterError &error) {
            outcome.error = error;
        }
        m_lastTaken = static_cast<bool>(outcome);
        if (outcome) {
            const bool wasWaiting = hasWaitingLines();
            m_document.dropUpTo(sentUpTo);
            noteWaiting(wasWaiting);
        }
    }
    return outcome;
}

void PrintService::discardWaitingLines()
{
    const bool wasWaiting = hasWaitingLines();
    m_document = reports::PrintDocument();
    noteWaiting(wasWaiting);
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
