// SPDX-License-Identifier: MIT
#include "ui/widgets/program_icon.h"

#include <QSize>
#include <QString>

// The icon resource is compiled into a static library, so nothing would link
// its registration into the program unless it is called by name.
static void registerIconResource()
{
    Q_INIT_RESOURCE(icons);
}

namespace ui {

QIcon loadProgramIcon(std::initializer_list<int> sizes)
{
    registerIconResource();
    // Each PNG enters at the size it was rendered at, so Qt picks the picture
    // drawn for a size instead of scaling another one.
    QIcon icon;
    for (const int size : sizes)
        icon.addFile(QStringLiteral(":/program-icon/selvaro-yachts-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace ui
