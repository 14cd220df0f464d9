// SPDX-License-Identifier: MIT
#include "printing/durable_file.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace printing {

int writeDurably(int descriptor, const QByteArray &bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t written = ::write(descriptor, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? errno : ENOSPC;
        done += written;
    }
    return ::fdatasync(descriptor) == 0 ? 0 : errno;
}

int syncFolder(const QString &folder)
{
    const int descriptor = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return errno;
    const int result = ::fsync(descriptor) == 0 ? 0 : errno;
    ::close(descriptor);
    return result;
}

} // namespace printing
