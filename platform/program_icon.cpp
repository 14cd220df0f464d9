// SPDX-License-Identifier: MIT
#include "platform/program_icon.h"

#include <QDir>

// The icon resource is compiled into a static library, so nothing would link
// its registration into the program unless it is called by name.
static void registerIconResource()
{
    Q_INIT_RESOURCE(icons);
}

namespace platform {

QIcon programIcon()
{
    [[maybe_unused]] static const bool registered = (registerIconResource(), true);

    // Each PNG enters at the size it was rendered at, so Qt picks the
    // picture drawn for a size instead of scaling another one.
    QIcon icon;
    const QDir pictures(QStringLiteral(":/program-icon"));
    for (const QString &name : pictures.entryList(QDir::Files))
        icon.addFile(pictures.filePath(name));
    return icon;
}

} // namespace platform
