// SPDX-License-Identifier: MIT
// Sends documents to the system's default printer: Qt renders the document
// to PDF for the queue's own paper, and libcups hands it to the scheduler,
// so that every answer of CUPS is seen.
#include "printing/cups_client.h"
#include "printing/page_renderer.h"
#include "printing/print_service.h"

#include <QBuffer>
#include <QPdfWriter>

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
        // Looked up only now: start-up never waits for the print service, and
        // every document goes to whichever printer is the default right now,
        // on that queue's paper.
        const auto destination = waitFor<cups::Destination>(watcher, &cups::defaultDestination);
        m_lastPrinter = destination.name;

        QByteArray pdf;
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        {
            QPdfWriter writer(&buffer);
            writer.setTitle(jobName);
            writer.setCreator(jobName);
            preparePage(writer, destination.pageSize, destination.leastMargins);
            paintDocument(writer, document, destination.name, watcher);
        }
        return waitFor<Delivery>(watcher, [&] { return cups::submitPdf(destination, pdf, jobName); });
    }

    QString lastPrinterName() const override { return m_lastPrinter; }

private:
    QString m_lastPrinter;
};

} // namespace

std::unique_ptr<DocumentSender> makeDefaultPrinterSender()
{
    return std::make_unique<DefaultPrinterSender>();
}

} // namespace printing
