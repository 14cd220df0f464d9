// SPDX-License-Identifier: MIT
#include "platform/printer.h"

#include "platform/errors.h"

namespace platform {

QString printFailureMessage(const PrintOutcome &outcome)
{
    return QStringLiteral("The document could not be printed.\n\n%1\n\n"
                          "Nothing was lost: print it again when the printer is ready, and every "
                          "line will be printed once.")
        .arg(outcome.problem);
}

Printer &Printer::instance()
{
    static Printer printer;
    return printer;
}

Printer::Printer(std::unique_ptr<DocumentSender> sender) : m_sender(std::move(sender)) {}

Printer::~Printer() = default;

void Printer::print(const reports::PrintStatement &statement)
{
    m_document.print(statement);
}

PrintOutcome Printer::printAndEndDoc(const std::vector<reports::PrintStatement> &statements)
{
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
    return outcome;
}

PrintOutcome Printer::endDoc()
{
    if (m_document.isEmpty())
        return {};
    try {
        sender().send(m_document, QStringLiteral(SELVARO_TITLE));
    } catch (const PrinterError &error) {
        return {false, QString::fromUtf8(error.what())};
    }
    m_document = reports::PrintDocument();
    return {};
}

void Printer::setSender(std::unique_ptr<DocumentSender> sender)
{
    m_sender = std::move(sender);
}

DocumentSender &Printer::sender()
{
    if (!m_sender)
        m_sender = makeDefaultPrinterSender();
    return *m_sender;
}

} // namespace platform
