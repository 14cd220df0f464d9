// SPDX-License-Identifier: MIT
// Sends documents to the system's default printer: Qt renders the document
// to PDF for the paper the queue will print on, and libcups hands it to the
// scheduler with the clerk's options for the queue, so that every answer of
// CUPS is seen.
#include "printing/cups_client.h"
#include "printing/job_watch.h"
#include "printing/page_renderer.h"
#include "printing/print_service.h"

#include <QBuffer>

namespace printing {
namespace {

// Runs blocking calls to the print service through the watcher, which keeps
// the program responsive meanwhile.
template <typename Result> Result waitFor(PrintWatcher *watcher, const std::function<Result()> &work)
{
    Result result{};
    const auto run = [&] { result = work(); };
    if (watcher != nullptr)
        watcher->waitFor(run);
    else
        run();
    return result;
}

class DefaultPrinterSender final : public DocumentSender {
public:
    Delivery send(const reports::PrintDocument &document, const QString &jobName, PrintWatcher *watcher) override
    {
        // The clerk answers for a login; without a watcher no one can.
        const cups::AskLogin askLogin = [watcher](const LoginRequest &request) -> std::optional<PrinterLogin> {
            return watcher != nullptr ? watcher->askLogin(request) : std::nullopt;
        };
        // Looked up only now: start-up never waits for the print service, and
        // every document goes to whichever printer is the default right now,
        // on that queue's paper.
        const auto destination =
            waitFor<cups::Destination>(watcher, [&] { return cups::defaultDestination(askLogin); });
        m_lastPrinter = destination.name;
        m_lastMessage.clear();
        m_lastJob = 0;

        QByteArray pdf;
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        const cups::Paper &paper = destination.paper;
        writePdf(buffer,
                 document, jobName,
                 QPageSize(paper.millimetres, QPageSize::Millimeter, QString::fromUtf8(paper.media), QPageSize::ExactMatch),
                 paper.printerEdges, destination.name, watcher);
        const cups::JobCreated created = [watcher](int jobId, const QString &server) {
            if (watcher != nullptr)
                watcher->jobCreated(jobId, server);
        };
        const auto submitted = waitFor<cups::Submitted>(
            watcher, [&] { return cups::submitPdf(destination, pdf, jobName, askLogin, created); });
        m_lastMessage = submitted.printerMessage;
        m_lastJob = submitted.jobId;
        return submitted.delivery;
    }

    std::unique_ptr<JobFollow> followLastJob(std::function<void(const JobEnd &)> ended) override
    {
        if (m_lastJob <= 0)
            return nullptr;
        return std::make_unique<JobWatch>(std::exchange(m_lastJob, 0), std::move(ended));
    }

    QString lastPrinterName() const override { return m_lastPrinter; }
    QString lastPrinterMessage() const override { return m_lastMessage; }

private:
    QString m_lastPrinter;
    QString m_lastMessage;
    int m_lastJob = 0;
};

} // namespace

std::unique_ptr<DocumentSender> makeDefaultPrinterSender()
{
    return std::make_unique<DefaultPrinterSender>();
}

} // namespace printing
