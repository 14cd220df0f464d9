// SPDX-License-Identifier: MIT
// The program's CUPS module: everything that talks to the print service,
// through libcups's destination API, linked to libcups the usual way and
// loaded by cups_client.cpp when the first document goes out.
#include "printing/cups_client.h"

#include <cups/cups.h>

#include <algorithm>
#include <atomic>
#include <array>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace printing::cups {
namespace {

// The reason libcups gave for the last failure, or none: after some
// failures (a connection that broke as it was written to) it still holds a
// success, or the system's word for no error at all ("Success").
QString lastError()
{
    const char *text = cupsLastErrorString();
    // The system's word for no error, without strerror's buffer shared by
    // every thread: GNU's strerror_r writes it into ours or returns a constant.
    std::array<char, 64> buffer{};
    const char *noError = strerror_r(0, buffer.data(), buffer.size());
    if (text == nullptr || *text == '\0' || cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE
        || std::strcmp(text, noError) == 0 || std::strcmp(text, "Success") == 0)
        return {};
    return QString::fromUtf8(text);
}

// Set once the program can wait no longer (abandonWaits): every wait for
// the print service, and every connection being made, gives up.
std::atomic<int> g_abandoned = 0;

// How often a wait asks whether to go on (seconds).
constexpr double kAskEvery = 1.0;

// A slow scheduler is waited for, never given up on, unless abandoned.
int keepWaiting(http_t *, void *) { return g_abandoned == 0 ? 1 : 0; }

// The problem to report for a failure: a wait that was abandoned is one.
PrintProblem unlessAbandoned(PrintProblem problem)
{
    return g_abandoned != 0 ? PrintProblem::NoAnswer : problem;
}

// A connection of its own to the scheduler, closed with the object.
class Connection {
public:
    Connection()
    {
        if (g_abandoned != 0)
            return;
        m_http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 30000, nullptr);
        if (m_http != nullptr)
            httpSetTimeout(m_http, kAskEvery, keepWaiting, nullptr);
    }
    ~Connection()
    {
        if (m_http != nullptr)
            httpClose(m_http);
    }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    http_t *get() const { return m_http; }

private:
    http_t *m_http = nullptr;
};

// Answers libcups's requests for a password on this thread, while it lives,
// by asking the program; libcups asks again, by its own rules, when the
// print server refuses what was given. The password is wiped as soon as
// libcups has taken it or the call ends.
class LoginScope {
public:
    LoginScope(const AskLogin &ask, QString printer)
        : m_ask(ask), m_printer(std::move(printer)), m_user(cupsUser())
    {
        cupsSetPasswordCB2(&LoginScope::answer, this);
    }
    ~LoginScope()
    {
        wipe();
        // Never libcups's own prompt on a terminal, and the login given is
        // for this call alone.
        cupsSetPasswordCB2(&LoginScope::refuse, nullptr);
        cupsSetUser(m_user.constData());
    }
    LoginScope(const LoginScope &) = delete;
    LoginScope &operator=(const LoginScope &) = delete;

    bool cancelled() const { return m_cancelled; }

private:
    static const char *refuse(const char *, http_t *, const char *, const char *, void *) { return nullptr; }

    static const char *answer(const char *, http_t *, const char *, const char *, void *data)
    {
        auto *self = static_cast<LoginScope *>(data);
        self->wipe();
        const LoginRequest request{
            .printer = self->m_printer, .user = QString::fromUtf8(cupsUser()), .again = self->m_asked++ > 0};
        std::optional<PrinterLogin> login = self->m_ask ? self->m_ask(request) : std::nullopt;
        if (!login || login->password.isEmpty()) {
            self->m_cancelled = true;
            return nullptr;
        }
        if (!login->user.isEmpty())
            cupsSetUser(login->user.toUtf8().constData());
        self->m_password = std::move(login->password);
        return self->m_password.constData();
    }

    void wipe()
    {
        if (!m_password.isEmpty())
            std::ranges::fill(m_password, '\0');
        m_password.clear();
    }

    const AskLogin &m_ask;
    QString m_printer;
    QByteArray m_user;
    QByteArray m_password;
    int m_asked = 0;
    bool m_cancelled = false;
};

bool loginRefused(ipp_status_t status, const LoginScope &login)
{
    return login.cancelled() || status == IPP_STATUS_ERROR_CUPS_AUTHENTICATION_CANCELED
           || status == IPP_STATUS_ERROR_NOT_AUTHENTICATED;
}

// Copies of the destination's options, to hand to libcups.
class Options {
public:
    Options() = default;
    explicit Options(const std::vector<std::pair<QByteArray, QByteArray>> &options)
    {
        for (const auto &[name, value] : options)
            set(name.constData(), value.constData());
    }
    ~Options() { cupsFreeOptions(m_count, m_options); }
    Options(const Options &) = delete;
    Options &operator=(const Options &) = delete;

    void set(const char *name, const char *value) { m_count = cupsAddOption(name, value, m_count, &m_options); }
    int count() const { return m_count; }
    cups_option_t *get() const { return m_options; }

private:
    int m_count = 0;
    cups_option_t *m_options = nullptr;
};

// What libcups answers for a destination, freed with the object.
class DestinationInfo {
public:
    DestinationInfo(http_t *http, cups_dest_t *dest) : m_info(cupsCopyDestInfo(http, dest)) {}
    ~DestinationInfo()
    {
        if (m_info != nullptr)
            cupsFreeDestInfo(m_info);
    }
    DestinationInfo(const DestinationInfo &) = delete;
    DestinationInfo &operator=(const DestinationInfo &) = delete;

    cups_dinfo_t *get() const { return m_info; }

private:
    cups_dinfo_t *m_info;
};

// A size the name gives and a size the printer gives are the same paper
// when they differ by no more than this (millimetres): labels are named in
// inches and measured in millimetres.
constexpr double kSamePaper = 1.0;

Paper paperOf(const char *media, int width, int length)
{
    return {.media = QByteArray(media),
            .millimetres = QSizeF(width / 100.0, length / 100.0),
            .printerEdges = std::nullopt};
}

// The size a paper's name gives: PWG names describe themselves
// (na_letter_8.5x11in, om_x80mmy297mm_80x297mm, custom_28.58x88.9mm_...),
// older names have known sizes. Copied, since libcups keeps what it works
// out for custom names in a buffer its next call overwrites.
std::optional<Paper> paperNamedBy(const char *name)
{
    const pwg_media_t *own = pwgMediaForPWG(name);
    if (own == nullptr)
        own = pwgMediaForPPD(name);
    if (own == nullptr)
        own = pwgMediaForLegacy(name);
    return own != nullptr ? std::optional(paperOf(own->pwg, own->width, own->length)) : std::nullopt;
}

// The paper `name` stands for on this destination, if the destination has it.
std::optional<Paper> paperNamed(http_t *http, cups_dest_t *dest, cups_dinfo_t *info, const char *name)
{
    if (name == nullptr || *name == '\0')
        return std::nullopt;
    std::optional<Paper> own = paperNamedBy(name);
    // Raw queues and classes have no list of papers.
    const bool listsPapers = info != nullptr && cupsGetDestMediaCount(http, dest, info, 0) > 0;
    cups_size_t size{};
    // libcups finds papers by their PWG names.
    if (listsPapers && cupsGetDestMediaByName(http, dest, info, own ? own->media.constData() : name, 0, &size)
        && size.width > 0 && size.length > 0) {
        const QSizeF answer(size.width / 100.0, size.length / 100.0);
        // Label drivers were seen to answer with quite another size.
        if (!own || (std::abs(answer.width() - own->millimetres.width()) <= kSamePaper
                     && std::abs(answer.height() - own->millimetres.height()) <= kSamePaper)) {
            Paper paper = paperOf(size.media, size.width, size.length);
            paper.printerEdges = QMarginsF(size.left / 100.0, size.top / 100.0, size.right / 100.0, size.bottom / 100.0);
            return paper;
        }
        return own;
    }
    if (listsPapers)
        return std::nullopt; // a paper the printer does not have
    return own;
}

// The clerk's saved paper (or the queue's default, which libcups reports the
// same way; print dialogs save a driver's PageSize instead), else the queue's
// default, else the region's.
Paper choosePaper(http_t *http, cups_dest_t *dest, cups_dinfo_t *info, const QByteArray &regionalMedia)
{
    const char *queueDefault = nullptr;
    if (info != nullptr) {
        if (ipp_attribute_t *attribute = cupsFindDestDefault(http, dest, info, "media"))
            queueDefault = ippGetString(attribute, 0, nullptr);
    }
    // libcups reports the queue's default as "media" too: where that is all
    // it is, a PageSize saved by a print dialog is the clerk's choice.
    const char *saved = cupsGetOption("media", dest->num_options, dest->options);
    const char *pageSize = cupsGetOption("PageSize", dest->num_options, dest->options);
    if (pageSize != nullptr && (saved == nullptr || (queueDefault != nullptr && std::strcmp(saved, queueDefault) == 0)))
        saved = pageSize;
    for (const char *name : {saved, queueDefault, regionalMedia.constData()}) {
        if (auto paper = paperNamed(http, dest, info, name))
            return *paper;
    }
    return paperNamedBy(regionalMedia.constData()).value_or(paperOf("iso_a4_210x297mm", 21000, 29700));
}

// Whether the destination says it takes PDF; one that names what it takes
// without PDF (a text-only driver) never will.
bool takesPdf(http_t *http, cups_dest_t *dest, cups_dinfo_t *info)
{
    return info == nullptr || cupsFindDestSupported(http, dest, info, "document-format") == nullptr
           || cupsCheckDestSupported(http, dest, info, "document-format", CUPS_FORMAT_PDF);
}

// The job's state as CUPS reports it (an IPP job-state number), 0 when it
// no longer knows the job, none when it does not answer; asked of that one
// job alone. A number, not ipp_jstate_t: 0 is none of that enum's values.
std::optional<int> jobState(http_t *http, int jobId, int *kilobytes)
{
    ipp_t *request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    std::array<char, HTTP_MAX_URI> uri{};
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri.data(), static_cast<int>(uri.size()), "ipp", nullptr, "localhost",
                     ippPort(), "/jobs/%d", jobId);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.data());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    static constexpr std::array<const char *, 2> wanted{"job-state", "job-k-octets"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", static_cast<int>(wanted.size()),
                  nullptr, wanted.data());
    ipp_t *response = cupsDoRequest(http, request, "/");
    std::optional<int> state;
    if (response != nullptr && ippGetStatusCode(response) == IPP_STATUS_ERROR_NOT_FOUND)
        state = 0;
    if (response != nullptr && ippGetStatusCode(response) <= IPP_STATUS_OK_EVENTS_COMPLETE) {
        state = 0;
        if (ipp_attribute_t *attribute = ippFindAttribute(response, "job-state", IPP_TAG_ENUM))
            state = ippGetInteger(attribute, 0);
        if (ipp_attribute_t *attribute = ippFindAttribute(response, "job-k-octets", IPP_TAG_INTEGER))
            *kilobytes = ippGetInteger(attribute, 0);
    }
    ippDelete(response);
    return state;
}

// Whether the printer is stopped, and what it says of its state (a stopped
// printer's reason, as its administrator gave it).
bool printerStopped(http_t *http, const cups_dest_t &dest, QString *message)
{
    const char *uri = cupsGetOption("printer-uri-supported", dest.num_options, dest.options);
    if (uri == nullptr)
        return false;
    ipp_t *request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    static constexpr std::array<const char *, 2> wanted{"printer-state", "printer-state-message"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", static_cast<int>(wanted.size()),
                  nullptr, wanted.data());
    ipp_t *response = cupsDoRequest(http, request, "/");
    bool stopped = false;
    if (response != nullptr) {
        if (ipp_attribute_t *state = ippFindAttribute(response, "printer-state", IPP_TAG_ENUM))
            stopped = ippGetInteger(state, 0) == IPP_PSTATE_STOPPED;
        if (ipp_attribute_t *text = ippFindAttribute(response, "printer-state-message", IPP_TAG_TEXT))
            *message = QString::fromUtf8(ippGetString(text, 0, nullptr)).trimmed();
    }
    ippDelete(response);
    return stopped;
}

// Cancels the job over a connection of its own; true once CUPS confirms it,
// or reports the job cancelled or aborted.
bool cancelJob(cups_dest_t &dest, int jobId)
{
    const Connection cancelling;
    if (cancelling.get() == nullptr)
        return false;
    if (cupsCancelDestJob(cancelling.get(), &dest, jobId) <= IPP_STATUS_OK_EVENTS_COMPLETE)
        return true;
    int kilobytes = 0;
    const std::optional<int> state = jobState(cancelling.get(), jobId, &kilobytes);
    return state == IPP_JSTATE_CANCELED || state == IPP_JSTATE_ABORTED;
}

class Module final : public Client {
public:
    void abandonWaits() override { g_abandoned = 1; }

    Destination defaultDestination(const QByteArray &regionalMedia, const AskLogin &ask,
                                   std::optional<PrinterError> &error) override
    {
        const Connection http;
        if (http.get() == nullptr) {
            error = PrinterError(unlessAbandoned(PrintProblem::NoPrintService));
            return {};
        }
        // The printer is not known yet: the print server asks.
        const LoginScope login(ask, QString::fromUtf8(cupsServer()));
        // The clerk's own default (lpoptions) first, with the options saved
        // for it.
        cups_dest_t *dest = cupsGetNamedDest(http.get(), nullptr, nullptr);
        if (dest == nullptr && login.cancelled()) {
            error = PrinterError(PrintProblem::LoginNeeded, QString::fromUtf8(cupsServer()));
            return {};
        }
        if (dest == nullptr) {
            // No default: either no printer at all, or none chosen.
            cups_dest_t *dests = nullptr;
            const int count = cupsGetDests2(http.get(), &dests);
            cupsFreeDests(count, dests);
            // Unless the program gave up waiting, when neither is known.
            error = PrinterError(
                unlessAbandoned(count == 0 ? PrintProblem::NoPrintService : PrintProblem::NoDefaultPrinter));
            return {};
        }
        Destination destination;
        destination.queue = dest->name;
        destination.instance = dest->instance != nullptr ? QByteArray(dest->instance) : QByteArray();
        destination.name = QString::fromUtf8(destination.instance.isEmpty()
                                                 ? destination.queue
                                                 : destination.queue + '/' + destination.instance);
        for (int i = 0; i < dest->num_options; ++i)
            destination.options.emplace_back(dest->options[i].name, dest->options[i].value);
        {
            const DestinationInfo info(http.get(), dest);
            destination.paper = choosePaper(http.get(), dest, info.get(), regionalMedia);
            if (!takesPdf(http.get(), dest, info.get()))
                error = PrinterError(PrintProblem::CannotPrintDocuments, destination.name,
                                     QStringLiteral("it does not take PDF documents"));
        }
        cupsFreeDests(1, dest);
        return destination;
    }

    Submitted submitPdf(const Destination &destination, const QByteArray &pdf, const QString &jobName,
                        const AskLogin &ask, std::optional<PrinterError> &error) override
    {
        const Connection http;
        if (http.get() == nullptr) {
            error = PrinterError(unlessAbandoned(PrintProblem::NoPrintService));
            return {};
        }
        const LoginScope login(ask, destination.name);
        Options destinationOptions(destination.options);
        QByteArray queue = destination.queue;
        QByteArray instance = destination.instance;
        cups_dest_t dest{queue.data(), instance.isEmpty() ? nullptr : instance.data(), 0, destinationOptions.count(),
                         destinationOptions.get()};
        const DestinationInfo info(http.get(), &dest);
        if (info.get() == nullptr) {
            error = login.cancelled()
                        ? PrinterError(PrintProblem::LoginNeeded, destination.name)
                        : PrinterError(unlessAbandoned(PrintProblem::Refused), destination.name, lastError());
            return {};
        }
        // The clerk's options, and the paper the pages were laid out for, so
        // that CUPS never scales them; no other choice of paper.
        Options jobOptions;
        for (const auto &[name, value] : destination.options)
            if (name != "PageSize" && name != "PageRegion" && name != "media-col")
                jobOptions.set(name.constData(), value.constData());
        jobOptions.set("media", destination.paper.media.constData());
        const QByteArray title = jobName.toUtf8();

        int jobId = 0;
        const ipp_status_t created = cupsCreateDestJob(http.get(), &dest, info.get(), &jobId, title.constData(),
                                                       jobOptions.count(), jobOptions.get());
        if (created > IPP_STATUS_OK_EVENTS_COMPLETE || jobId <= 0) {
            error = loginRefused(created, login)
                        ? PrinterError(PrintProblem::LoginNeeded, destination.name)
                        : PrinterError(unlessAbandoned(PrintProblem::Refused), destination.name, lastError());
            return {};
        }

        // From here on, any failure leaves a job without its whole document,
        // as far as the program can tell: it is cancelled, over a connection
        // of its own since the job's may be the one that broke. Once every
        // byte was handed over, CUPS may hold the whole document: unless the
        // cancel is confirmed, the job may yet print.
        bool wholeHandedOver = false;
        const auto fail = [&](PrintProblem problem, const QString &detail) {
            const bool cancelled = cancelJob(dest, jobId);
            error = PrinterError(unlessAbandoned(problem), destination.name, detail)
                        .setMayPrint(wholeHandedOver && !cancelled);
            return Submitted{};
        };
        if (cupsStartDestDocument(http.get(), &dest, info.get(), jobId, title.constData(), CUPS_FORMAT_PDF, 0, nullptr,
                                  1)
            != HTTP_STATUS_CONTINUE)
            return fail(PrintProblem::HandOverFailed, lastError());
        constexpr qsizetype kChunk = qsizetype{64} * 1024;
        for (qsizetype offset = 0; offset < pdf.size(); offset += kChunk) {
            const auto length = static_cast<size_t>(std::min(kChunk, pdf.size() - offset));
            if (cupsWriteRequestData(http.get(), pdf.constData() + offset, length) != HTTP_STATUS_CONTINUE)
                return fail(PrintProblem::HandOverFailed, lastError());
        }
        wholeHandedOver = true;
        const ipp_status_t finished = cupsFinishDestDocument(http.get(), &dest, info.get());
        if (finished == IPP_STATUS_ERROR_DOCUMENT_FORMAT_NOT_SUPPORTED)
            return fail(PrintProblem::CannotPrintDocuments, lastError());
        if (finished > IPP_STATUS_OK_EVENTS_COMPLETE)
            return fail(loginRefused(finished, login) ? PrintProblem::LoginNeeded : PrintProblem::HandOverFailed,
                        lastError());

        // Taken, as CUPS says: make sure it still means to print it. A job it
        // no longer knows has gone through (a scheduler may keep no history);
        // one it cannot be asked about is not known to be taken.
        int kilobytes = 0;
        const std::optional<int> state = jobState(http.get(), jobId, &kilobytes);
        if (!state)
            return fail(PrintProblem::HandOverFailed, lastError());
        if (state == IPP_JSTATE_CANCELED || state == IPP_JSTATE_ABORTED) {
            error = PrinterError(PrintProblem::HandOverFailed, destination.name,
                                 QStringLiteral("CUPS does not hold the job after taking it."));
            return {};
        }
        if (state == IPP_JSTATE_HELD && kilobytes == 0)
            return fail(PrintProblem::HandOverFailed, QStringLiteral("CUPS holds the job without its document."));
        Submitted submitted;
        const bool stopped = printerStopped(http.get(), dest, &submitted.printerMessage);
        submitted.delivery = *state == IPP_JSTATE_HELD ? Delivery::HeldInQueue
                             : stopped                ? Delivery::HeldByStoppedPrinter
                                                      : Delivery::Printed;
        return submitted;
    }
};

} // namespace
} // namespace printing::cups

extern "C" __attribute__((visibility("default"))) printing::cups::Client *selvaro_cups_client()
{
    static printing::cups::Module module;
    return &module;
}
