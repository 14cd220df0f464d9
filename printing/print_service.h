// SPDX-License-Identifier: MIT
#pragma once

#include "core/reports/print_document.h"
#include "core/reports/print_statement.h"
#include "printing/print_error.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace printing {

// Told after each finished page while a document goes out; the windows show
// it to the clerk when a job takes a while.
class PageProgress {
public:
    virtual ~PageProgress() = default;
    virtual void pageDone(int pagesDone, int pageCount) = 0;
};

// What became of a document the printer took.
enum class Delivery {
    Printed,
    // The queue is stopped: it keeps the job and prints it once started
    // again, so the document must not be sent a second time.
    HeldByStoppedPrinter,
};

// Delivers a finished document to a printer as one job. Throws PrinterError
// when it cannot.
class DocumentSender {
public:
    virtual ~DocumentSender() = default;
    virtual Delivery send(const reports::PrintDocument &document, const QString &jobName, PageProgress *progress) = 0;
    // The printer the last document went to, for telling the clerk about it.
    virtual QString lastPrinterName() const { return {}; }
};

// The system's default printer as CUPS reports it when the document is sent.
std::unique_ptr<DocumentSender> makeDefaultPrinterSender();

struct PrintOutcome {
    Delivery delivery = Delivery::Printed;
    QString printer;                    // where it went, when known
    std::optional<PrinterError> error;  // set when the document did not go out

    explicit operator bool() const { return !error.has_value(); }
};

// The program's one current print document. The first line printed after
// start, or after the previous document was sent, begins it; ending it sends
// it to the printer as one job. A document that cannot be sent is kept, so
// that trying again later prints every line exactly once.
class PrintService : public QObject {
    Q_OBJECT
public:
    // Without a sender, documents go to the default printer. It talks to no
    // printer before the first document is sent.
    explicit PrintService(std::unique_ptr<DocumentSender> sender = nullptr);
    ~PrintService() override;

    // Adds to the current document; never touches the printer.
    void print(const reports::PrintStatement &statement);

    // Prints the statements, then ends the document. When it cannot be sent,
    // the statements are taken back and the document stays as it was.
    PrintOutcome printAndEndDoc(const std::vector<reports::PrintStatement> &statements);

    // Sends whatever is waiting; nothing to send counts as sent.
    PrintOutcome endDoc();

    const reports::PrintDocument &document() const { return m_document; }
    bool hasWaitingLines() const { return !m_document.isEmpty(); }

    // Replaces how documents leave the program (tests capture them here).
    void setSender(std::unique_ptr<DocumentSender> sender);
    // Makes a progress watcher for each document sent from now on.
    void setProgressFactory(std::function<std::unique_ptr<PageProgress>()> factory);

signals:
    // Lines began or stopped waiting in the current document.
    void waitingLinesChanged(bool waiting);

private:
    DocumentSender &sender();
    void noteWaiting(bool wasWaiting);

    reports::PrintDocument m_document;
    std::unique_ptr<DocumentSender> m_sender;
    std::function<std::unique_ptr<PageProgress>()> m_progressFactory;
};

} // namespace printing
