// SPDX-License-Identifier: MIT
#include "printing/print_service.h"

#include <QScopeGuard>

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
    const bool wasWaiting = hasWaitingLines();
    const auto before = m_document.mark();
    PrintOutcome outcome;
    try {
        for (const auto &statement : statements)
            m_document.print(statement);
        outcome = endDoc(jobName);
    } catch (...) {
        // Whatever went wrong, the lines of this call must not stay behind,
        // or the next attempt would print them twice.
        m_document.rollBack(before);
        throw;
    }
    if (!outcome)
        m_document.rollBack(before);
    noteWaiting(wasWaiting);
    return outcome;
}

PrintOutcome PrintService::endDoc(const QString &jobName)
{
    // While a document goes out the program handles events, and one of them
    // may ask for the waiting lines to be sent: they are that document.
    if (m_document.isEmpty() || m_sending)
        return {};
    PrintOutcome outcome;
    {
        m_sending = true;
        const auto sent = qScopeGuard([this] { m_sending = false; });
        try {
            const std::unique_ptr<PrintWatcher> watcher = m_watcherFactory ? m_watcherFactory() : nullptr;
            outcome.delivery = sender().send(m_document, jobName, watcher.get());
            outcome.printer = sender().lastPrinterName();
            outcome.printerMessage = sender().lastPrinterMessage();
        } catch (const PrinterError &error) {
            outcome.error = error;
        }
    }
    if (!outcome)
        return outcome;
    m_document = reports::PrintDocument();
    noteWaiting(true);
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

} // namespace printing
