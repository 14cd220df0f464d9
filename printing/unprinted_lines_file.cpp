// SPDX-License-Identifier: MIT
#include "printing/unprinted_lines_file.h"

#include "printing/program_info.h"
#include "printing/page_renderer.h"
#include "printing/print_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageSize>
#include <QPdfWriter>
#include <QStandardPaths>

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
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

QString systemReason(int error)
{
    // strerror's words, without its buffer shared by every thread: GNU's
    // strerror_r returns them, written into ours or a constant string.
    std::array<char, 256> buffer{};
    return QString::fromLocal8Bit(strerror_r(error, buffer.data(), buffer.size()));
}

// Renders the document into the open file as the printer would get it: the
// same renderer, margins and font.
bool render(const reports::PrintDocument &document, QFile &file, const QString &path)
{
    QPdfWriter writer(&file);
    describePdf(writer, program_info::title());
    // The default printer cannot be asked for its paper now; the paper of the
    // region is the best guess for the pages it would have printed.
    preparePage(writer, regionalPaper());
    try {
        paintDocument(writer, document, path);
    } catch (const PrinterError &) {
        return false;
    }
    return file.flush() && file.error() == QFileDevice::NoError;
}

} // namespace

QString unprintedLinesFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

SavedLines saveUnprintedLines(const reports::PrintDocument &document, const QString &folder, const QString &baseName)
{
    SavedLines result;
    int descriptor = -1;
    for (int number = 1; number <= kMostNames && descriptor < 0; ++number) {
        result.path = nameFor(QDir(folder), baseName, number);
        descriptor = ::open(QFile::encodeName(result.path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor < 0 && errno != EEXIST) {
            result.reason = systemReason(errno);
            return result;
        }
    }
    if (descriptor < 0) {
        result.reason = systemReason(EEXIST);
        return result;
    }

    QFile file;
    bool written = file.open(descriptor, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle);
    if (written)
        written = render(document, file, result.path);
    else
        ::close(descriptor);
    if (!written && file.error() != QFileDevice::NoError)
        result.reason = file.errorString();
    // The program is ending, perhaps with the computer shutting down: the
    // file must be on disk before the program says it is.
    if (written && ::fsync(file.handle()) != 0) {
        written = false;
        result.reason = systemReason(errno);
    }
    file.close();
    result.saved = written;
    if (!result.saved)
        QFile::remove(result.path);
    return result;
}

} // namespace printing
