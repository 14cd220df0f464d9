// SPDX-License-Identifier: MIT
#include "printing/print_service.h"

#include "core/program_info.h"

namespace printing {

PrintService::PrintService(std::unique_ptr<DocumentSender> sender) : m_sender(std::move(sender)) {}

PrintService::~PrintService() = default;

void PrintService::print(const reports::PrintStatement &statement)
{
    const bool wasWaiting = hasWaitingLines();
    m_document.print(statement);
    noteWaiting(wasWaiting);
}

PrintOutcome PrintService::printAndEndDoc(const std::vector<reports::PrintStatement> &statements)
{
    const bool wasWaiting = hasWaitingLines();
    const auto before = m_document.mark();
    PrintOutcome outcome;
    try {
        for (const auto &statement : statements)
            m_document.print(statement);
        outcome = endDoc();
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

PrintOutcome PrintService::endDoc()
{
    if (m_document.isEmpty())
        return {};
    PrintOutcome outcome;
    try {
        const std::unique_ptr<PageProgress> progress = m_progressFactory ? m_progressFactory() : nullptr;
        outcome.delivery = sender().send(m_document, program_info::title(), progress.get());
        outcome.printer = sender().lastPrinterName();
    } catch (const PrinterError &error) {
        outcome.error = error;
        return outcome;
    }
    m_document = reports::PrintDocument();
    noteWaiting(true);
    return outcome;
}

void PrintService::setSender(std::unique_ptr<DocumentSender> sender)
{
    m_sender = std::move(sender);
}

void PrintService::setProgressFactory(std::function<std::unique_ptr<PageProgress>()> factory)
{
    m_progressFactory = std::move(factory);
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
