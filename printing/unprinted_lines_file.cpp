// SPDX-License-Identifier: MIT
#include "printing/unprinted_lines_file.h"

#include "printing/durable_file.h"
#include "printing/program_info.h"
#include "printing/page_renderer.h"
#include "printing/print_error.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageSize>
#include <QRegularExpression>
#include <QStandardPaths>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace printing {
namespace {

// Names tried before giving up; a folder holding that many is not the
// clerk's documents folder any more.
constexpr int kMostNames = 1000;

QString nameFor(const QDir &folder, const QString &baseName, int number)
{
    const QString name = number == 1 ? baseName : QStringLiteral("%1 (%2)").arg(baseName).arg(number);
    return folder.filePath(name + QStringLiteral(".pdf"));
}

// The process's umask, which the file's permissions follow as with any
// file the user makes (a temporary file starts private). Read, not set and
// reset: other threads may be making files.
mode_t currentUmask()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly | QIODevice::Text)) {
        static const QRegularExpression line(QStringLiteral("^Umask:\\s*([0-7]+)$"), QRegularExpression::MultilineOption);
        const QRegularExpressionMatch match = line.match(QString::fromLatin1(status.readAll()));
        bool ok = false;
        const uint mask = match.captured(1).toUInt(&ok, 8);
        if (ok)
            return static_cast<mode_t>(mask);
    }
    return 022;
}

// The document as the printer would get it: the same renderer, margins and
// font. The default printer cannot be asked for its paper now; the paper of
// the region is the best guess for the pages it would have printed.
QByteArray render(const reports::PrintDocument &document, const QString &path)
{
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    writePdf(buffer, document, program_info::title(), regionalPaper(), std::nullopt, path);
    return pdf;
}

// Gives the finished file its name, never replacing a file of that name.
int nameFile(const QByteArray &from, const QByteArray &to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system that cannot rename so: a second link, then the first
    // goes.
    if (::link(from.constData(), to.constData()) != 0)
        return errno;
    ::unlink(from.constData());
    return 0;
}

} // namespace

void fillInHome()
{
    if (!qEnvironmentVariableIsEmpty("HOME"))
        return;
    struct passwd entry = {};
    struct passwd *found = nullptr;
    std::array<char, 16384> buffer{};
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr
        && found->pw_dir != nullptr)
        // NOLINTNEXTLINE(concurrency-mt-unsafe): called once at start, before any thread
        ::setenv("HOME", found->pw_dir, 1);
}

QString unprintedLinesFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

SavedLines saveUnprintedLines(const reports::PrintDocument &document, const QString &folder, const QString &baseName)
{
    SavedLines result;
    result.path = nameFor(QDir(folder), baseName, 1);
    QByteArray pdf;
    try {
        pdf = render(document, result.path);
    } catch (const PrinterError &) {
        result.systemError = 0;
        return result;
    }
    // Written whole under a name of its own first, so that no half-written
    // file ever carries the name (a full disk, the program killed).
    QByteArray temporary = QFile::encodeName(QDir(folder).filePath(QStringLiteral(".%1.XXXXXX").arg(baseName)));
    const int descriptor = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (descriptor < 0) {
        result.systemError = errno;
        return result;
    }
    int error = writeDurably(descriptor, pdf);
    ::fchmod(descriptor, static_cast<mode_t>(0666) & ~currentUmask());
    ::close(descriptor);
    for (int number = 1; error == 0 && number <= kMostNames; ++number) {
        result.path = nameFor(QDir(folder), baseName, number);
        error = nameFile(temporary, QFile::encodeName(result.path));
        if (error == 0) {
            result.saved = true;
            // The name, too, must be on disk before the program says it is.
            syncFolder(folder);
            return result;
        }
        if (error == EEXIST && number < kMostNames)
            error = 0;
    }
    ::unlink(temporary.constData());
    result.systemError = error;
    return result;
}

} // namespace printing
