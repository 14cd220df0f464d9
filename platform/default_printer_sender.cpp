// SPDX-License-Identifier: MIT
// Sends documents to the system's default printer through Qt Print Support,
// which hands them to CUPS as PDF with the font embedded.
#include "platform/errors.h"
#include "platform/message_box.h"
#include "platform/print_progress.h"
#include "platform/printer.h"
#include "reports/page_renderer.h"

#include <QPrinter>
#include <QPrinterInfo>

#include <dlfcn.h>

#include <cstring>
#include <optional>

namespace platform {
namespace {

[[noreturn]] void fail(const QString &sentence)
{
    throw PrinterError(sentence.toStdString());
}

QString noDefaultPrinterCause()
{
    if (QPrinterInfo::availablePrinterNames().isEmpty())
        return QStringLiteral("No printer can be reached: the print service (CUPS) is not running, "
                              "or no printer is set up on this computer.");
    return QStringLiteral("No default printer is chosen. Choose one in the system's printer settings "
                          "and print again.");
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
        refusal = lastErrorString ? QString::fromUtf8(lastErrorString())
                                  : QStringLiteral("CUPS did not accept the job.");
    dlclose(library);
    return refusal;
}

class DefaultPrinterSender final : public DocumentSender {
public:
    void send(const reports::PrintDocument &document, const QString &jobName) override
    {
        // Looked up only now: start-up never waits for the print service, and
        // every document goes to whichever printer is the default right now.
        // Asked for by name, since with no default chosen Qt would quietly
        // take the first printer it finds, wherever that stands.
        const QPrinterInfo destination = QPrinterInfo::defaultPrinter();
        if (destination.isNull())
            fail(noDefaultPrinterCause());
        QPrinter printer(destination, QPrinter::HighResolution);
        // Without a default printer Qt quietly turns the printer into a PDF
        // writer with no file, which would swallow the document.
        if (printer.printerName().isEmpty()
            || (printer.outputFormat() == QPrinter::PdfFormat && printer.outputFileName().isEmpty()))
            fail(noDefaultPrinterCause());

        const QString name = printer.printerName();
        printer.setDocName(jobName); // the job's name in the queue
        printer.setCreator(jobName);
        reports::preparePage(printer);

        PrintProgress progress;
        reports::paintDocument(printer, document, QStringLiteral("the printer \"%1\"").arg(name),
                               [&progress](int done, int all) { progress.pageDone(done, all); });

        if (printer.outputFormat() == QPrinter::NativeFormat) {
            if (const auto refusal = cupsRefusal())
                fail(QStringLiteral("The printer \"%1\" did not accept the document: %2").arg(name, *refusal));
            tellWhenStopped(name);
        }
    }

private:
    // A stopped queue takes jobs but prints none until it is started again.
    // The document is safe there and must not be sent twice, but the clerk
    // would otherwise wait for paper in vain.
    static void tellWhenStopped(const QString &name)
    {
        const QPrinterInfo queue = QPrinterInfo::printerInfo(name);
        if (!queue.isNull() && queue.state() == QPrinter::Error)
            MsgBox(QStringLiteral("The printer \"%1\" is stopped. The document waits in its queue and prints "
                                  "once the printer is started again; there is no need to print it again.")
                       .arg(name),
                   vbExclamation);
    }
};

} // namespace

std::unique_ptr<DocumentSender> makeDefaultPrinterSender()
{
    return std::make_unique<DefaultPrinterSender>();
}

} // namespace platform
