// SPDX-License-Identifier: MIT
// The program's CUPS module: everything that talks to the print service,
// through libcups's destination API, linked to libcups the usual way and
// loaded by cups_client.cpp when the first document goes out.
#include "printing/cups_client.h"

#include <cups/cups.h>
#include <cups/ppd.h>

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

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

// Every connection the module has open, so that its waits can be ended from
// another thread: libcups waits for some answers (the body of an IPP
// response among them) without asking any callback, however late they come,
// so the only way to end such a wait is to shut the connection down.
class Connection;
struct OpenConnections {
    std::mutex mutex;
    std::vector<Connection *> open;
    bool abandoned = false; // by abandonWaits(), for good
};
OpenConnections &openConnections()
{
    static OpenConnections connections;
    return connections;
}

// A connection of its own to the scheduler, in the list of open ones while
// it lives. Every answer is waited for as long as the print service takes: a
// late answer is never a failure. Only interrupt() and abandonWaits() end a
// wait.
class Connection {
public:
    // To the print server named as serverName() gives it, or the one libcups
    // is set to.
    explicit Connection(const void *caller = nullptr, const QString &server = QString()) : m_caller(caller)
    {
        OpenConnections &connections = openConnections();
        {
            const std::lock_guard lock(connections.mutex);
            if (connections.abandoned)
                return;
            connections.open.push_back(this);
        }
        QByteArray host = cupsServer();
        int port = ippPort();
        if (!server.isEmpty()) {
            const qsizetype colon = server.lastIndexOf(QLatin1Char(':'));
            const bool withPort = !server.startsWith(QLatin1Char('/')) && colon > 0 && !server.endsWith(QLatin1Char(']'));
            host = (withPort ? server.left(colon) : server).toUtf8();
            port = withPort ? server.mid(colon + 1).toInt() : port;
        }
        http_t *http = httpConnect2(host.constData(), port, nullptr, AF_UNSPEC, cupsEncryption(), 1, 30000, &m_cancel);
        if (http != nullptr)
            // No time limit of libcups's own: it would cut an answer that
            // comes in more than that late, and the callback is not asked
            // every time.
            httpSetTimeout(http, 0.0, keepWaiting, this);
        const std::lock_guard lock(connections.mutex);
        m_http.reset(http);
        if (m_http != nullptr && __atomic_load_n(&m_cancel, __ATOMIC_SEQ_CST) != 0)
            shutDown();
    }
    // Out of the list before libcups closes the connection.
    ~Connection()
    {
        OpenConnections &connections = openConnections();
        const std::lock_guard lock(connections.mutex);
        std::erase(connections.open, this);
    }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    http_t *get() const { return m_http.get(); }
    bool interrupted() const { return __atomic_load_n(&m_cancel, __ATOMIC_SEQ_CST) != 0; }

    // Ends the connection's waits (for the caller given, or all): with the
    // lock of the open connections held.
    static void interruptLocked(const OpenConnections &connections, const void *caller)
    {
        for (Connection *connection : connections.open) {
            if (caller != nullptr && connection->m_caller != caller)
                continue;
            // Read by libcups while it connects.
            __atomic_store_n(&connection->m_cancel, 1, __ATOMIC_SEQ_CST);
            if (connection->m_http != nullptr)
                connection->shutDown();
        }
    }

private:
    // The socket libcups uses now (a reconnect within a call may change it,
    // which is why the interrupting side asks again until the call ends).
    void shutDown() { ::shutdown(httpGetFd(m_http.get()), SHUT_RDWR); }

    // Asked by libcups after each minute without an answer.
    static int keepWaiting(http_t *, void *data)
    {
        return static_cast<Connection *>(data)->interrupted() ? 0 : 1;
    }

    const void *m_caller;
    std::unique_ptr<http_t, decltype(&httpClose)> m_http{nullptr, httpClose};
    int m_cancel = 0; // read by libcups as it connects; written atomically
};

bool abandoned()
{
    OpenConnections &connections = openConnections();
    const std::lock_guard lock(connections.mutex);
    return connections.abandoned;
}

// The problem to report for a failure: a wait that was abandoned is one.
PrintProblem unlessAbandoned(PrintProblem problem)
{
    return abandoned() ? PrintProblem::NoAnswer : problem;
}

// The print server libcups is set to, as Connection takes it back: a local
// socket's path, or host:port.
QString serverName()
{
    const QString server = QString::fromUtf8(cupsServer());
    return server.startsWith(QLatin1Char('/')) ? server : QStringLiteral("%1:%2").arg(server).arg(ippPort());
}

// Whether the print server is another computer (client.conf's ServerName,
// CUPS_SERVER): not a local socket, not this computer's own address.
bool remoteServer()
{
    const QString server = QString::fromUtf8(cupsServer());
    if (server.startsWith(QLatin1Char('/')))
        return false;
    QString host = server.section(QLatin1Char(':'), 0, 0);
    if (server.startsWith(QLatin1Char('[')))
        host = server.section(QLatin1Char(']'), 0, 0).mid(1);
    return host != QLatin1String("localhost") && !host.startsWith(QLatin1String("127."))
           && host != QLatin1String("::1") && !host.isEmpty();
}

// No connection to the print service: a remote print server is named.
PrinterError noConnection()
{
    if (remoteServer())
        return PrinterError(unlessAbandoned(PrintProblem::PrintServerUnreachable), QString::fromUtf8(cupsServer()),
                            lastError());
    return PrinterError(unlessAbandoned(PrintProblem::NoPrintService));
}

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

// libcups's own arrays and answers, freed by libcups's own functions.
struct FreeOptions {
    int count = 0;
    void operator()(cups_option_t *options) const { cupsFreeOptions(count, options); }
};
using OptionArray = std::unique_ptr<cups_option_t, FreeOptions>;
using DestinationInfo = std::unique_ptr<cups_dinfo_t, decltype(&cupsFreeDestInfo)>;
struct FreeDestination {
    void operator()(cups_dest_t *dest) const { cupsFreeDests(1, dest); }
};

// Options as libcups takes them; the count is the array's deleter's.
OptionArray optionArray(const std::vector<std::pair<QByteArray, QByteArray>> &options)
{
    int count = 0;
    cups_option_t *array = nullptr;
    for (const auto &[name, value] : options)
        count = cupsAddOption(name.constData(), value.constData(), count, &array);
    return OptionArray(array, FreeOptions{count});
}

int countOf(const OptionArray &options) { return options.get_deleter().count; }

// A size the name gives and a size the printer gives are the same paper
// when they differ by no more than this (millimetres): labels are named in
// inches and measured in millimetres.
constexpr double kSamePaper = 1.0;

Paper paperOf(const char *media, int width, int length)
{
    return {.media = QByteArray(media),
            .millimetres = QSizeF(width / 100.0, length / 100.0),
            .printerEdges = std::nullopt,
            .driverName = {}};
}

Paper paperOf(const cups_size_t &size)
{
    Paper paper = paperOf(size.media, size.width, size.length);
    paper.printerEdges = QMarginsF(size.left / 100.0, size.top / 100.0, size.right / 100.0, size.bottom / 100.0);
    return paper;
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

// The size (hundredths of a millimetre) a queue's driver gives a paper
// named in its own words (a PPD's PageSize, such as w162h288 or RP80x297):
// the print service lists papers by their PWG names alone, and libcups reads
// a driver only through its older PPD functions.
std::optional<std::pair<int, int>> driverPaperSize(http_t *http, const cups_dest_t &dest, const char *name)
{
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    std::array<char, 1024> path{};
    time_t modified = 0;
    if (cupsGetPPD3(http, dest.name, &modified, path.data(), path.size()) != HTTP_STATUS_OK)
        return std::nullopt;
    std::optional<std::pair<int, int>> size;
    if (ppd_file_t *ppd = ppdOpenFile(path.data())) {
        if (const ppd_size_t *found = ppdPageSize(ppd, name); found != nullptr && found->width > 0 && found->length > 0)
            size = std::pair(static_cast<int>(std::lround(found->width * 2540 / 72)),
                             static_cast<int>(std::lround(found->length * 2540 / 72)));
        ppdClose(ppd);
    }
    ::unlink(path.data());
#pragma GCC diagnostic pop
    return size;
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
    if (!own) {
        // A driver's own name: the paper of that size in the destination's
        // list, sent under the driver's name as lp sends it.
        const auto driverSize = listsPapers ? driverPaperSize(http, *dest, name) : std::nullopt;
        if (!driverSize
            || !cupsGetDestMediaBySize(http, dest, info, driverSize->first, driverSize->second, 0, &size))
            return std::nullopt;
        Paper paper = paperOf(size);
        paper.driverName = name;
        return paper;
    }
    // libcups finds papers by their PWG names.
    if (listsPapers && cupsGetDestMediaByName(http, dest, info, own->media.constData(), 0, &size) && size.width > 0
        && size.length > 0) {
        const QSizeF answer(size.width / 100.0, size.length / 100.0);
        // Label drivers were seen to answer with quite another size.
        if (std::abs(answer.width() - own->millimetres.width()) <= kSamePaper
            && std::abs(answer.height() - own->millimetres.height()) <= kSamePaper)
            return paperOf(size);
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

// The path on the print server that requests about the destination go to,
// as its URI gives it.
QByteArray resourceOf(const cups_dest_t &dest)
{
    const char *uri = cupsGetOption("printer-uri-supported", dest.num_options, dest.options);
    std::array<char, HTTP_MAX_URI> scheme{}, user{}, host{}, resource{};
    int port = 0;
    if (uri == nullptr
        || httpSeparateURI(HTTP_URI_CODING_ALL, uri, scheme.data(), static_cast<int>(scheme.size()), user.data(),
                           static_cast<int>(user.size()), host.data(), static_cast<int>(host.size()), &port,
                           resource.data(), static_cast<int>(resource.size()))
               < HTTP_URI_STATUS_OK)
        return QByteArrayLiteral("/printers/") + dest.name;
    return resource.data();
}

// Whether the destination says it takes PDF; one that names what it takes
// without PDF (a text-only driver) never will.
bool takesPdf(http_t *http, cups_dest_t *dest, cups_dinfo_t *info)
{
    return info == nullptr || cupsFindDestSupported(http, dest, info, "document-format") == nullptr
           || cupsCheckDestSupported(http, dest, info, "document-format", CUPS_FORMAT_PDF);
}

// The job's options: the clerk's saved ones the printer takes (one it says
// it does not take is left off, as print dialogs do, rather than have the
// printer cancel the job), and the paper the pages were laid out for, so
// that CUPS never scales them.
OptionArray jobOptions(http_t *http, cups_dest_t *dest, cups_dinfo_t *info, const Destination &destination)
{
    std::vector<std::pair<QByteArray, QByteArray>> job;
    for (const auto &[name, value] : destination.options) {
        if (name == "media" || name == "media-col" || name == "PageRegion"
            || (name == "PageSize" && destination.paper.driverName.isEmpty()))
            continue;
        if (cupsFindDestSupported(http, dest, info, name.constData()) != nullptr
            && !cupsCheckDestSupported(http, dest, info, name.constData(), value.constData()))
            continue;
        job.emplace_back(name, value);
    }
    if (!destination.paper.driverName.isEmpty())
        job.emplace_back("PageSize", destination.paper.driverName);
    job.emplace_back("media", destination.paper.media);
    return optionArray(job);
}

// Reasons CUPS gives for a job that say nothing of why it ended.
bool tellingReason(const char *reason)
{
    for (const char *plain : {"none", "job-completed-successfully", "job-incoming", "processing-to-stop-point",
                              "job-printing", "job-queued"})
        if (std::strcmp(reason, plain) == 0)
            return false;
    return true;
}

// A request about one job, as its owner.
ipp_t *jobRequest(ipp_op_t operation, int jobId)
{
    ipp_t *request = ippNewRequest(operation);
    std::array<char, HTTP_MAX_URI> uri{};
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri.data(), static_cast<int>(uri.size()), "ipp", nullptr, "localhost",
                     ippPort(), "/jobs/%d", jobId);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.data());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    return request;
}

// The job's state as CUPS reports it, asked of that one job alone: none
// when it does not answer. A job it no longer knows has state 0.
std::optional<JobStatus> askJobStatus(http_t *http, int jobId, int *kilobytes = nullptr)
{
    ipp_t *request = jobRequest(IPP_OP_GET_JOB_ATTRIBUTES, jobId);
    static constexpr std::array<const char *, 6> wanted{"job-state", "job-state-reasons", "job-printer-state-message",
                                                        "job-impressions-completed", "job-media-sheets-completed",
                                                        "job-k-octets"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", static_cast<int>(wanted.size()),
                  nullptr, wanted.data());
    const std::unique_ptr<ipp_t, decltype(&ippDelete)> response(cupsDoRequest(http, request, "/"), ippDelete);
    if (response == nullptr)
        return std::nullopt;
    JobStatus status;
    if (ippGetStatusCode(response.get()) == IPP_STATUS_ERROR_NOT_FOUND)
        return status;
    if (ippGetStatusCode(response.get()) > IPP_STATUS_OK_EVENTS_COMPLETE)
        return std::nullopt;
    const auto integer = [&](const char *name) {
        ipp_attribute_t *attribute = ippFindAttribute(response.get(), name, IPP_TAG_ZERO);
        return attribute != nullptr ? ippGetInteger(attribute, 0) : 0;
    };
    status.state = integer("job-state");
    // Sheets that came out; impressions count what the filters made, seen at
    // 1 for a job the printer cancelled before printing anything.
    status.pagesPrinted = ippFindAttribute(response.get(), "job-media-sheets-completed", IPP_TAG_INTEGER) != nullptr
                              ? integer("job-media-sheets-completed")
                              : integer("job-impressions-completed");
    if (kilobytes != nullptr)
        *kilobytes = integer("job-k-octets");
    if (ipp_attribute_t *reasons = ippFindAttribute(response.get(), "job-state-reasons", IPP_TAG_KEYWORD)) {
        for (int i = 0; i < ippGetCount(reasons); ++i)
            if (const char *reason = ippGetString(reasons, i, nullptr); reason != nullptr && tellingReason(reason))
                status.reasons << QString::fromUtf8(reason);
    }
    if (ipp_attribute_t *message = ippFindAttribute(response.get(), "job-printer-state-message", IPP_TAG_ZERO))
        status.printerMessage = QString::fromUtf8(ippGetString(message, 0, nullptr)).trimmed();
    return status;
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

// What cancelling a job half handed over came to, over a connection of its
// own since the job's may be the one that broke.
enum class CancelOutcome : std::uint8_t {
    Cancelled, // CUPS confirms it, or reports the job cancelled or aborted
    Printed,   // the job had already gone through whole: too late to cancel
    Unknown,   // CUPS could not be asked, or the job is still there
};

CancelOutcome cancelJob(cups_dest_t &dest, int jobId)
{
    const Connection cancelling;
    if (cancelling.get() == nullptr)
        return CancelOutcome::Unknown;
    if (cupsCancelDestJob(cancelling.get(), &dest, jobId) <= IPP_STATUS_OK_EVENTS_COMPLETE)
        return CancelOutcome::Cancelled;
    const std::optional<JobStatus> status = askJobStatus(cancelling.get(), jobId);
    if (status && (status->state == IPP_JSTATE_CANCELED || status->state == IPP_JSTATE_ABORTED))
        return CancelOutcome::Cancelled;
    if (status && status->state == IPP_JSTATE_COMPLETED)
        return CancelOutcome::Printed;
    return CancelOutcome::Unknown;
}

class Module final : public Client {
public:
    void abandonWaits() override
    {
        OpenConnections &connections = openConnections();
        const std::lock_guard lock(connections.mutex);
        connections.abandoned = true;
        Connection::interruptLocked(connections, nullptr);
    }

    void interrupt(const void *caller) override
    {
        OpenConnections &connections = openConnections();
        const std::lock_guard lock(connections.mutex);
        Connection::interruptLocked(connections, caller);
    }

    std::optional<JobStatus> jobStatus(int jobId, const void *caller) override
    {
        const Connection http(caller);
        if (http.get() == nullptr || http.interrupted())
            return std::nullopt;
        std::optional<JobStatus> status = askJobStatus(http.get(), jobId);
        // Set by another thread (interrupt) while CUPS was asked.
        // cppcheck-suppress knownConditionTrueFalse
        return http.interrupted() ? std::nullopt : status;
    }

    Destination defaultDestination(const QByteArray &regionalMedia, const AskLogin &ask,
                                   std::optional<PrinterError> &error) override
    {
        const Connection http;
        if (http.get() == nullptr) {
            error = noConnection();
            return {};
        }
        // The printer is not known yet: the print server asks.
        const LoginScope login(ask, QString::fromUtf8(cupsServer()));
        // The clerk's own default (lpoptions) first, with the options saved
        // for it.
        const std::unique_ptr<cups_dest_t, FreeDestination> found(cupsGetNamedDest(http.get(), nullptr, nullptr));
        cups_dest_t *dest = found.get();
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
            const bool none = count == 0;
            if (none && remoteServer())
                error = noConnection();
            else
                error = PrinterError(unlessAbandoned(none ? PrintProblem::NoPrintService : PrintProblem::NoDefaultPrinter));
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
        const DestinationInfo info(cupsCopyDestInfo(http.get(), dest), cupsFreeDestInfo);
        destination.paper = choosePaper(http.get(), dest, info.get(), regionalMedia);
        if (!takesPdf(http.get(), dest, info.get()))
            error = PrinterError(PrintProblem::CannotPrintDocuments, destination.name,
                                 QStringLiteral("it does not take PDF documents"));
        return destination;
    }

    std::optional<bool> jobTookDocument(const QString &server, int jobId) override
    {
        const Connection http(nullptr, server);
        if (http.get() == nullptr)
            return std::nullopt;
        int kilobytes = 0;
        const std::optional<JobStatus> status = askJobStatus(http.get(), jobId, &kilobytes);
        if (!status)
            return std::nullopt;
        // Forgotten: a scheduler keeps no job that has not ended, so it ended.
        if (status->state == 0 || status->state == IPP_JSTATE_COMPLETED || status->state == IPP_JSTATE_PROCESSING)
            return true;
        if (status->state == IPP_JSTATE_CANCELED || status->state == IPP_JSTATE_ABORTED)
            return status->pagesPrinted > 0;
        if (kilobytes > 0)
            return true; // waiting, with its document
        // Made, but the document never came: it must never print now.
        ippDelete(cupsDoRequest(http.get(), jobRequest(IPP_OP_CANCEL_JOB, jobId), "/jobs/"));
        return false;
    }

    Submitted submitPdf(const Destination &destination, const QByteArray &pdf, const QString &jobName,
                        const AskLogin &ask, const JobCreated &jobCreated, std::optional<PrinterError> &error) override
    {
        const Connection http;
        if (http.get() == nullptr) {
            error = noConnection();
            return {};
        }
        const LoginScope login(ask, destination.name);
        const OptionArray destinationOptions = optionArray(destination.options);
        QByteArray queue = destination.queue;
        QByteArray instance = destination.instance;
        cups_dest_t dest{queue.data(), instance.isEmpty() ? nullptr : instance.data(), 0, countOf(destinationOptions),
                         destinationOptions.get()};
        const DestinationInfo info(cupsCopyDestInfo(http.get(), &dest), cupsFreeDestInfo);
        if (info.get() == nullptr) {
            error = login.cancelled()
                        ? PrinterError(PrintProblem::LoginNeeded, destination.name)
                        : PrinterError(unlessAbandoned(PrintProblem::Refused), destination.name, lastError());
            return {};
        }
        const OptionArray options = jobOptions(http.get(), &dest, info.get(), destination);
        const QByteArray title = jobName.toUtf8();

        int jobId = 0;
        const ipp_status_t created = cupsCreateDestJob(http.get(), &dest, info.get(), &jobId, title.constData(),
                                                       countOf(options), options.get());
        if (created > IPP_STATUS_OK_EVENTS_COMPLETE || jobId <= 0) {
            error = loginRefused(created, login)
                        ? PrinterError(PrintProblem::LoginNeeded, destination.name)
                        : PrinterError(unlessAbandoned(PrintProblem::Refused), destination.name, lastError());
            return {};
        }

        if (jobCreated)
            jobCreated(jobId, serverName());

        // From here on, any failure leaves a job without its whole document,
        // as far as the program can tell: it is cancelled, over a connection
        // of its own since the job's may be the one that broke. Once every
        // byte was handed over, CUPS may hold the whole document: unless the
        // cancel is confirmed, the job may yet print; a job that went through
        // before the cancel came is printed.
        bool wholeHandedOver = false;
        const auto fail = [&](PrintProblem problem, const QString &detail) {
            const CancelOutcome cancel = cancelJob(dest, jobId);
            if (cancel == CancelOutcome::Printed)
                return Submitted{.delivery = Delivery::Printed, .printerMessage = {}, .jobId = jobId};
            error = PrinterError(unlessAbandoned(problem), destination.name, detail)
                        .setMayPrint(wholeHandedOver && cancel == CancelOutcome::Unknown);
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
        // The scheduler's own answer, not cupsFinishDestDocument's, which
        // reports the last success it saw when the connection broke before
        // any answer came.
        const std::unique_ptr<ipp_t, decltype(&ippDelete)> answer(cupsGetResponse(http.get(), resourceOf(dest).constData()),
                                                                  ippDelete);
        if (answer == nullptr)
            return fail(loginRefused(cupsLastError(), login) ? PrintProblem::LoginNeeded : PrintProblem::HandOverFailed,
                        lastError());
        const ipp_status_t finished = ippGetStatusCode(answer.get());
        if (finished == IPP_STATUS_ERROR_DOCUMENT_FORMAT_NOT_SUPPORTED)
            return fail(PrintProblem::CannotPrintDocuments, lastError());
        if (finished > IPP_STATUS_OK_EVENTS_COMPLETE)
            return fail(loginRefused(finished, login) ? PrintProblem::LoginNeeded : PrintProblem::HandOverFailed,
                        lastError());

        // Taken, as CUPS confirmed: whatever it is asked now, the document
        // is its own, and the job is followed from here (JobWatch). The state
        // tells whether it waits: a held job, or a stopped printer. A job
        // held without its document never got it, however CUPS answered.
        Submitted submitted{.delivery = Delivery::Printed, .printerMessage = {}, .jobId = jobId};
        int kilobytes = 0;
        const std::optional<JobStatus> status = askJobStatus(http.get(), jobId, &kilobytes);
        if (status && status->state == IPP_JSTATE_HELD && kilobytes == 0)
            return fail(PrintProblem::HandOverFailed, QStringLiteral("CUPS holds the job without its document."));
        const bool stopped = printerStopped(http.get(), dest, &submitted.printerMessage);
        if (status && status->state == IPP_JSTATE_HELD)
            submitted.delivery = Delivery::HeldInQueue;
        else if (stopped && (!status || !status->ended()))
            submitted.delivery = Delivery::HeldByStoppedPrinter;
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
