// SPDX-License-Identifier: MIT
#pragma once

#include "reports/print_document.h"
#include "reports/print_statement.h"

#include <QString>

#include <memory>
#include <vector>

namespace platform {

// Delivers a finished document to a printer as one job. Throws PrinterError
// with a sentence naming the cause when it cannot.
class DocumentSender {
public:
    virtual ~DocumentSender() = default;
    virtual void send(const reports::PrintDocument &document, const QString &jobName) = 0;
};

// The system's default printer as CUPS reports it when the document is sent.
std::unique_ptr<DocumentSender> makeDefaultPrinterSender();

struct PrintOutcome {
    bool sent = true;
    QString problem; // why the document did not go out

    explicit operator bool() const { return sent; }
};

// The text shown to the clerk when a document did not go out.
QString printFailureMessage(const PrintOutcome &outcome);

// The program's one current print document. The first line printed after
// start, or after the previous document was sent, begins it; ending it sends
// it to the printer as one job. A document that cannot be sent is kept, so
// that trying again later prints every line exactly once.
class Printer {
public:
    // The program-wide printer service. It talks to no printer before the
    // first document is sent.
    static Printer &instance();

    explicit Printer(std::unique_ptr<DocumentSender> sender = nullptr);
    ~Printer();

    // Adds to the current document; never touches the printer.
    void print(const reports::PrintStatement &statement);

    // Prints the statements, then ends the document. When it cannot be sent,
    // the statements are taken back and the document stays as it was.
    PrintOutcome printAndEndDoc(const std::vector<reports::PrintStatement> &statements);

    // Sends whatever is waiting; nothing to send counts as sent.
    PrintOutcome endDoc();

    const reports::PrintDocument &document() const { return m_document; }

    // Replaces how documents leave the program (tests capture them here).
    void setSender(std::unique_ptr<DocumentSender> sender);

private:
    DocumentSender &sender();

    reports::PrintDocument m_document;
    std::unique_ptr<DocumentSender> m_sender;
};

} // namespace platform
