// SPDX-License-Identifier: MIT
// Finds and loads the CUPS module when the first document goes out.
#include "printing/cups_client.h"

#include "printing/page_renderer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <dlfcn.h>

#include <atomic>
#include <bit>
#include <mutex>

namespace printing::cups {
namespace {

// Where the module is: the library folder relative to the binary's, as
// installed and in the build tree alike.
QStringList moduleFolders()
{
    const QString binary = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return {QFileInfo(binary).dir().filePath(QStringLiteral(SELVARO_CUPS_MODULE_FROM_BINARY))};
}

// The module, or null with `tried` naming the file that was missing or
// could not be loaded.
Client *load(QString &tried)
{
    for (const QString &folder : moduleFolders()) {
        const QString path = QDir(folder).filePath(QStringLiteral(SELVARO_CUPS_MODULE_FILE));
        tried = path;
        if (!QFileInfo::exists(path))
            continue;
        // Stays loaded for the rest of the run.
        void *handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) // libcups itself is missing, most likely
            return nullptr;
        const auto entry = std::bit_cast<ClientEntry>(dlsym(handle, kClientEntry));
        if (entry != nullptr)
            return entry();
        return nullptr;
    }
    return nullptr;
}

std::once_flag g_loadOnce;
std::atomic<Client *> g_loaded = nullptr;
std::atomic<bool> g_abandoned = false;

Client &client()
{
    static QString tried;
    std::call_once(g_loadOnce, [] {
        Client *loaded = load(tried);
        g_loaded = loaded;
        // Either this sees the request to abandon, or abandonWaits() sees
        // the client.
        if (loaded != nullptr && g_abandoned)
            loaded->abandonWaits();
    });
    Client *loaded = g_loaded;
    if (loaded == nullptr)
        throw PrinterError(PrintProblem::NotInstalled, tried);
    return *loaded;
}

// The region's paper, by its name for CUPS.
QByteArray regionalMedia()
{
    return regionalPaper().id() == QPageSize::Letter ? QByteArrayLiteral("na_letter_8.5x11in")
                                                      : QByteArrayLiteral("iso_a4_210x297mm");
}

} // namespace

void abandonWaits()
{
    g_abandoned = true;
    if (Client *loaded = g_loaded)
        loaded->abandonWaits();
}

Destination defaultDestination(const AskLogin &ask)
{
    std::optional<PrinterError> error;
    Destination destination = client().defaultDestination(regionalMedia(), ask, error);
    if (error)
        throw *error;
    return destination;
}

std::optional<JobStatus> jobStatus(int jobId, const void *caller)
{
    return client().jobStatus(jobId, caller);
}

void interrupt(const void *caller)
{
    if (Client *loaded = g_loaded)
        loaded->interrupt(caller);
}

std::optional<bool> jobTookDocument(const QString &server, int jobId)
{
    return client().jobTookDocument(server, jobId);
}

Submitted submitPdf(const Destination &destination, const QByteArray &pdf, const QString &jobName,
                    const AskLogin &ask, const JobCreated &created)
{
    std::optional<PrinterError> error;
    Submitted submitted = client().submitPdf(destination, pdf, jobName, ask, created, error);
    if (error)
        throw *error;
    return submitted;
}

} // namespace printing::cups
