// SPDX-License-Identifier: MIT
// Sends documents to the system's default printer through Qt Print Support,
// which hands them to CUPS as PDF with the font embedded.
#include "printing/page_renderer.h"
#include "printing/print_service.h"

#include <QPrinter>
#include <QPrinterInfo>

#include <dlfcn.h>

#include <cstring>
#include <optional>

namespace printing {
namespace {

[[noreturn]] void failWithoutDefault()
{
    throw PrinterError(QPrinterInfo::availablePrinterNames().isEmpty() ? PrintProblem::NoPrintService
                                                                        : PrintProblem::NoDefaultPrinter);
}

// Why CUPS refused the job just submitted on this thread, if it did. Qt
// submits through libcups but drops the answer, so a refused job would vanish
// without a word; libcups keeps the answer for the thread. Qt's CUPS plugin
// has loaded libcups by then. It is looked up, not linked, so that start-up
// never loads it and its dependencies.
std::optional<QString> cupsRefusal()
{
    void *library = dlopen("libcups.so.2", RTLD_LAZY | RTLD_NOLOAD);
    if (!library)
        return std::nullopt; // printing went some other way than CUPS
    int (*lastError)() = nullptr;
    const char *(*lastErrorString)() = nullptr;
    if (void *symbol = dlsym(library, "cupsLastError"))
        std::memcpy(&lastError, &symbol, sizeof symbol);
    if (void *symbol = dlsym(library, "cupsLastErrorString"))
        std::memcpy(&lastErrorString, &symbol, sizeof symbol);

    // IPP status codes up to successful-ok-events-complete mean success.
    constexpr int kLastSuccess = 0x0007;
    std::optional<QString> refusal;
    if (lastError && lastError() > kLastSuccess)
        refusal = lastErrorString ? QString::fromUtf8(lastErrorString()) : QString();
    dlclose(library);
    return refusal;
}

class DefaultPrinterSender final : public DocumentSender {
public:
    Delivery send(const reports::PrintDocument &document, const QString &jobName, PageProgress *progress) override
    {
        // Looked up only now: start-up never waits for the print service, and
        // every document goes to whichever printer is the default right now.
        // Asked for by name, since with no default chosen Qt would quietly
        // take the first printer it finds, wherever that stands.
        const QPrinterInfo destination = QPrinterInfo::defaultPrinter();
        if (destination.isNull())
            failWithoutDefault();
        QPrinter printer(destination, QPrinter::HighResolution);
        // Without a default printer Qt quietly turns the printer into a PDF
        // writer with no file, which would swallow the document.
        if (printer.printerName().isEmpty()
            || (printer.outputFormat() == QPrinter::PdfFormat && printer.outputFileName().isEmpty()))
            failWithoutDefault();

        m_lastPrinter = printer.printerName();
        printer.setDocName(jobName); // the job's name in the queue
        printer.setCreator(jobName);
        preparePage(printer);
        paintDocument(printer, document, m_lastPrinter, progress);

        if (printer.outputFormat() != QPrinter::NativeFormat)
            return Delivery::Printed;
        if (const auto refusal = cupsRefusal())
            throw PrinterError(PrintProblem::Refused, m_lastPrinter, *refusal);
        // A stopped queue takes jobs but prints none until it is started
        // again: the document is safe there and must not be sent twice.
        const QPrinterInfo queue = QPrinterInfo::printerInfo(m_lastPrinter);
        return !queue.isNull() && queue.state() == QPrinter::Error ? Delivery::HeldByStoppedPrinter
                                                                   : Delivery::Printed;
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
