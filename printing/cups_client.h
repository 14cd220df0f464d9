// SPDX-License-Identifier: MIT
#pragma once

#include "printing/print_error.h"
#include "printing/print_service.h"

#include <QByteArray>
#include <QMarginsF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

// The print service as libcups reaches it. The code that talks to CUPS lives
// in a module of its own, linked to libcups (cups_module.cpp), which is
// loaded when the first document goes out: start-up never loads libcups and
// what it needs. Every call blocks until CUPS has answered, however long that
// takes (no time limit could tell a slow scheduler from a lost job), so the
// program calls them from a worker thread, and ends them by shutting their
// connection down (interrupt, abandonWaits).
namespace printing::cups {

// The paper a document is laid out for.
struct Paper {
    QByteArray media;                      // its name, sent as the job's "media"
    QSizeF millimetres;                    // width and length
    std::optional<QMarginsF> printerEdges; // what the printer cannot print on (mm), when it says
    QByteArray driverName; // the driver's own name for it, when the clerk chose it so: sent as PageSize too
};

struct Destination {
    QString name;       // as the clerk knows it: "Queue", or "Queue/instance"
    QByteArray queue;
    QByteArray instance;
    Paper paper;
    // The destination's options, those the clerk saved (lpoptions) among
    // them: every job carries them, as with any other CUPS client.
    std::vector<std::pair<QByteArray, QByteArray>> options;
};

struct Submitted {
    Delivery delivery = Delivery::Printed;
    QString printerMessage; // the printer's state message
    int jobId = 0;          // the job CUPS took the document as
};

// What CUPS says of a job it took, as asked for that one job.
struct JobStatus {
    int state = 0;           // an IPP job-state; 0 once CUPS no longer knows the job
    QStringList reasons;     // job-state-reasons, "none" left out
    QString printerMessage;  // what the printer said as the job ended (job-printer-state-message)
    int pagesPrinted = 0;    // the sheets completed (else the impressions, where CUPS counts no sheets)

    bool ended() const { return state == 0 || state >= 7; } // completed, canceled, aborted, or forgotten
};

// Asked, on the calling thread, when the print server wants a login.
using AskLogin = std::function<std::optional<PrinterLogin>(const LoginRequest &)>;
// Told, on the calling thread, which job of which print server the document
// goes out as, once CUPS has made the job and before the document goes.
using JobCreated = std::function<void(int jobId, const QString &server)>;

// What the module offers. Errors come back as values: no exception crosses
// between the module and the program.
class Client {
public:
    virtual ~Client() = default;
    // The default destination (the clerk's own default and options first)
    // and the paper to lay its documents out for: the clerk's saved paper,
    // else the queue's default, else `regionalMedia`.
    virtual Destination defaultDestination(const QByteArray &regionalMedia, const AskLogin &ask,
                                           std::optional<PrinterError> &error) = 0;
    virtual Submitted submitPdf(const Destination &destination, const QByteArray &pdf, const QString &jobName,
                                const AskLogin &ask, const JobCreated &created, std::optional<PrinterError> &error) = 0;
    // Whether that job of that print server holds its whole document (taken
    // by CUPS, printed or to be); a job that holds none is cancelled, so
    // that it never prints. None when the print server does not answer.
    virtual std::optional<bool> jobTookDocument(const QString &server, int jobId) = 0;
    // The job's state, or none when CUPS does not answer. A call from
    // `caller` gives up as soon as interrupt(caller) is called.
    virtual std::optional<JobStatus> jobStatus(int jobId, const void *caller) = 0;
    virtual void interrupt(const void *caller) = 0;
    // From now on every wait for the print service gives up at once, on any
    // thread, and no new connection is made.
    virtual void abandonWaits() = 0;
};

// The module's one entry point: the client, which lives as long as the
// process.
using ClientEntry = Client *(*)();
inline constexpr const char *kClientEntry = "selvaro_cups_client";

// The default printer as CUPS reports it now (see Client). Throws
// PrinterError (NoPrintService, NoDefaultPrinter, CannotPrintDocuments,
// LoginNeeded).
Destination defaultDestination(const AskLogin &ask);

// Hands the PDF to the destination as one job named `jobName`, with the
// destination's options that its printer takes and the paper's media. Every
// answer is waited for, however late, and checked, so that a cut connection
// or a job CUPS holds empty is a PrinterError, never a print. A job left
// half-submitted is cancelled, so that a retry cannot print twice; once CUPS
// confirmed the whole document, it is taken, whatever is asked afterwards.
Submitted submitPdf(const Destination &destination, const QByteArray &pdf, const QString &jobName,
                    const AskLogin &ask, const JobCreated &created = nullptr);

// See Client::jobTookDocument. Throws PrinterError (NotInstalled).
std::optional<bool> jobTookDocument(const QString &server, int jobId);

// The state of a job CUPS took, asked for on a connection of its own; none
// when CUPS does not answer, or once interrupt(caller) was called.
std::optional<JobStatus> jobStatus(int jobId, const void *caller);
// Ends the calls `caller` has running, from any thread; later calls of its
// give up at once. A call that was about to reconnect may still start: ask
// again until the caller's thread is through.
void interrupt(const void *caller);

// The program can wait no longer (it must end): calls to the print service
// running now, or made from now on, give up at once, with
// PrintProblem::NoAnswer. A job they leave half-submitted is cancelled where
// CUPS still answers. For good: the process ends soon after. As with
// interrupt(), ask again until the calls are through.
void abandonWaits();

} // namespace printing::cups
