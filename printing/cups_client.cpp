// SPDX-License-Identifier: MIT
#include "printing/cups_client.h"

#include <QSizeF>

#include <cups/cups.h>

#include <dlfcn.h>

#include <cstring>
#include <mutex>

namespace printing::cups {
namespace {

// The few libcups functions the program uses, looked up in the library
// when the first document is sent, so that start-up never loads it and its
// dependencies.
struct Library {
    decltype(&::cupsServer) server = nullptr;
    decltype(&::ippPort) port = nullptr;
    decltype(&::cupsEncryption) encryption = nullptr;
    decltype(&::httpConnect2) connect = nullptr;
    decltype(&::httpSetTimeout) setTimeout = nullptr;
    decltype(&::httpClose) close = nullptr;
    decltype(&::cupsGetNamedDest) getNamedDest = nullptr;
    decltype(&::cupsGetDests2) getDests = nullptr;
    decltype(&::cupsFreeDests) freeDests = nullptr;
    decltype(&::cupsGetOption) getOption = nullptr;
    decltype(&::cupsCopyDestInfo) copyDestInfo = nullptr;
    decltype(&::cupsFreeDestInfo) freeDestInfo = nullptr;
    decltype(&::cupsFindDestDefault) findDefault = nullptr;
    decltype(&::cupsGetDestMediaByName) mediaByName = nullptr;
    decltype(&::ippGetString) attributeText = nullptr;
    decltype(&::cupsCreateJob) createJob = nullptr;
    decltype(&::cupsStartDocument) startDocument = nullptr;
    decltype(&::cupsWriteRequestData) writeRequestData = nullptr;
    decltype(&::cupsFinishDocument) finishDocument = nullptr;
    decltype(&::cupsCancelJob2) cancelJob = nullptr;
    decltype(&::cupsGetJobs2) getJobs = nullptr;
    decltype(&::cupsFreeJobs) freeJobs = nullptr;
    decltype(&::cupsLastErrorString) lastErrorString = nullptr;
    bool loaded = false;
};

template <typename Function> bool resolve(void *library, const char *name, Function &function)
{
    void *symbol = dlsym(library, name);
    std::memcpy(&function, &symbol, sizeof symbol);
    return symbol != nullptr;
}

const Library &library()
{
    static Library cups;
    static std::once_flag once;
    std::call_once(once, [] {
        void *handle = dlopen("libcups.so.2", RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr)
            return;
        cups.loaded = resolve(handle, "cupsServer", cups.server) && resolve(handle, "ippPort", cups.port)
                      && resolve(handle, "cupsEncryption", cups.encryption)
                      && resolve(handle, "httpConnect2", cups.connect)
                      && resolve(handle, "httpSetTimeout", cups.setTimeout)
                      && resolve(handle, "httpClose", cups.close)
                      && resolve(handle, "cupsGetNamedDest", cups.getNamedDest)
                      && resolve(handle, "cupsGetDests2", cups.getDests)
                      && resolve(handle, "cupsFreeDests", cups.freeDests)
                      && resolve(handle, "cupsGetOption", cups.getOption)
                      && resolve(handle, "cupsCopyDestInfo", cups.copyDestInfo)
                      && resolve(handle, "cupsFreeDestInfo", cups.freeDestInfo)
                      && resolve(handle, "cupsFindDestDefault", cups.findDefault)
                      && resolve(handle, "cupsGetDestMediaByName", cups.mediaByName)
                      && resolve(handle, "ippGetString", cups.attributeText)
                      && resolve(handle, "cupsCreateJob", cups.createJob)
                      && resolve(handle, "cupsStartDocument", cups.startDocument)
                      && resolve(handle, "cupsWriteRequestData", cups.writeRequestData)
                      && resolve(handle, "cupsFinishDocument", cups.finishDocument)
                      && resolve(handle, "cupsCancelJob2", cups.cancelJob)
                      && resolve(handle, "cupsGetJobs2", cups.getJobs)
                      && resolve(handle, "cupsFreeJobs", cups.freeJobs)
                      && resolve(handle, "cupsLastErrorString", cups.lastErrorString);
        // The library stays loaded for the rest of the run.
    });
    if (!cups.loaded)
        throw PrinterError(PrintProblem::NoPrintService, QString(), QStringLiteral("libcups is not installed"));
    return cups;
}

QString lastError(const Library &cups)
{
    const char *text = cups.lastErrorString();
    return text != nullptr ? QString::fromUtf8(text) : QString();
}

// A slow scheduler is waited for, never given up on.
int keepWaiting(http_t *, void *) { return 1; }

// A connection of its own to the scheduler, closed with the object.
class Connection {
public:
    explicit Connection(const Library &cups) : m_cups(cups)
    {
        m_http = cups.connect(cups.server(), cups.port(), nullptr, AF_UNSPEC, cups.encryption(), 1, 30000, nullptr);
        if (m_http != nullptr)
            cups.setTimeout(m_http, 10.0, keepWaiting, nullptr);
    }
    ~Connection()
    {
        if (m_http != nullptr)
            m_cups.close(m_http);
    }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    http_t *get() const { return m_http; }

private:
    const Library &m_cups;
    http_t *m_http = nullptr;
};

// The queue's default paper (the user's own choice first, then the queue's
// "media" default) and what the printer cannot print on; A4 with no such
// edge when the queue names none, as a raw queue does. (libcups's own
// cupsGetDestMediaDefault passes over the queue's "media" default and takes
// the first size the driver lists.)
void readDefaultMedia(const Library &cups, http_t *http, cups_dest_t *dest, Destination &destination)
{
    destination.pageSize = QPageSize(QPageSize::A4);
    cups_dinfo_t *info = cups.copyDestInfo(http, dest);
    if (info == nullptr)
        return;
    const char *media = cups.getOption("media", dest->num_options, dest->options);
    if (media == nullptr) {
        if (ipp_attribute_t *queueDefault = cups.findDefault(http, dest, info, "media"))
            media = cups.attributeText(queueDefault, 0, nullptr);
    }
    cups_size_t size{};
    if (media != nullptr && cups.mediaByName(http, dest, info, media, 0, &size) && size.width > 0
        && size.length > 0) {
        destination.pageSize = QPageSize(QSizeF(size.width / 100.0, size.length / 100.0), QPageSize::Millimeter,
                                         QString::fromUtf8(size.media));
        destination.leastMargins = QMarginsF(size.left / 100.0, size.top / 100.0, size.right / 100.0,
                                             size.bottom / 100.0);
    }
    cups.freeDestInfo(info);
}

// The state CUPS reports for the job, or 0 when it does not list the job.
ipp_jstate_t jobState(const Library &cups, http_t *http, const QString &queue, int jobId, int *kilobytes)
{
    cups_job_t *jobs = nullptr;
    const int count = cups.getJobs(http, &jobs, queue.toUtf8().constData(), 0, CUPS_WHICHJOBS_ALL);
    auto state = static_cast<ipp_jstate_t>(0);
    for (int i = 0; i < count; ++i) {
        if (jobs[i].id == jobId) {
            state = jobs[i].state;
            *kilobytes = jobs[i].size;
        }
    }
    cups.freeJobs(count, jobs);
    return state;
}

bool queueIsStopped(const Library &cups, http_t *http, const QString &queue)
{
    cups_dest_t *dest = cups.getNamedDest(http, queue.toUtf8().constData(), nullptr);
    if (dest == nullptr)
        return false;
    const char *state = cups.getOption("printer-state", dest->num_options, dest->options);
    const bool stopped = state != nullptr && std::strcmp(state, "5") == 0;
    cups.freeDests(1, dest);
    return stopped;
}

// Cancels a job that did not get all of its document, over a connection of
// its own since the job's may be the one that broke.
void cancelHalfSubmittedJob(const Library &cups, const QString &queue, int jobId)
{
    const Connection http(cups);
    if (http.get() != nullptr)
        cups.cancelJob(http.get(), queue.toUtf8().constData(), jobId, 1);
}

} // namespace

Destination defaultDestination()
{
    const Library &cups = library();
    const Connection http(cups);
    if (http.get() == nullptr)
        throw PrinterError(PrintProblem::NoPrintService);
    cups_dest_t *dest = cups.getNamedDest(http.get(), nullptr, nullptr);
    if (dest == nullptr) {
        // No default: either no printer at all, or none chosen.
        cups_dest_t *dests = nullptr;
        const int count = cups.getDests(http.get(), &dests);
        cups.freeDests(count, dests);
        throw PrinterError(count == 0 ? PrintProblem::NoPrintService : PrintProblem::NoDefaultPrinter);
    }
    Destination destination;
    destination.name = QString::fromUtf8(dest->name);
    readDefaultMedia(cups, http.get(), dest, destination);
    cups.freeDests(1, dest);
    return destination;
}

Delivery submitPdf(const Destination &destination, const QByteArray &pdf, const QString &jobName)
{
    const Library &cups = library();
    const Connection http(cups);
    if (http.get() == nullptr)
        throw PrinterError(PrintProblem::NoPrintService);
    const QByteArray queue = destination.name.toUtf8();
    const QByteArray title = jobName.toUtf8();

    const int jobId = cups.createJob(http.get(), queue.constData(), title.constData(), 0, nullptr);
    if (jobId <= 0)
        throw PrinterError(PrintProblem::Refused, destination.name, lastError(cups));

    // From here on, any failure leaves a job without its whole document.
    const auto handOverFailed = [&](const QString &detail) {
        cancelHalfSubmittedJob(cups, destination.name, jobId);
        return PrinterError(PrintProblem::HandOverFailed, destination.name, detail);
    };
    if (cups.startDocument(http.get(), queue.constData(), jobId, title.constData(), CUPS_FORMAT_PDF, 1)
        != HTTP_STATUS_CONTINUE)
        throw handOverFailed(lastError(cups));
    constexpr qsizetype kChunk = qsizetype{64} * 1024;
    for (qsizetype offset = 0; offset < pdf.size(); offset += kChunk) {
        const auto length = static_cast<size_t>(std::min(kChunk, pdf.size() - offset));
        if (cups.writeRequestData(http.get(), pdf.constData() + offset, length) != HTTP_STATUS_CONTINUE)
            throw handOverFailed(lastError(cups));
    }
    if (cups.finishDocument(http.get(), queue.constData()) > IPP_STATUS_OK_EVENTS_COMPLETE)
        throw handOverFailed(lastError(cups));

    // Taken, as CUPS says: make sure it still means to print it. A job it no
    // longer lists has gone through (a scheduler may keep no history).
    int kilobytes = 0;
    const ipp_jstate_t state = jobState(cups, http.get(), destination.name, jobId, &kilobytes);
    if (state == IPP_JSTATE_CANCELED || state == IPP_JSTATE_ABORTED)
        throw PrinterError(PrintProblem::HandOverFailed, destination.name,
                           QStringLiteral("CUPS does not hold the job after taking it."));
    if (state == IPP_JSTATE_HELD && kilobytes == 0)
        throw handOverFailed(QStringLiteral("CUPS holds the job without its document."));
    if (state == IPP_JSTATE_HELD)
        return Delivery::HeldInQueue;
    return queueIsStopped(cups, http.get(), destination.name) ? Delivery::HeldByStoppedPrinter : Delivery::Printed;
}

} // namespace printing::cups
