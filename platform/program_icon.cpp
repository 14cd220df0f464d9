// SPDX-License-Identifier: MIT
#include "platform/program_icon.h"

#include <QCoreApplication>
#include <QSize>
#include <QString>

// The icon resource is compiled into a static library, so nothing would link
// its registration into the program unless it is called by name.
static void registerIconResource()
{
    Q_INIT_RESOURCE(icons);
}

namespace platform {

namespace {

QIcon *g_icon = nullptr;

void releaseIcon()
{
    delete g_icon;
    g_icon = nullptr;
}

} // namespace

QIcon programIcon()
{
    [[maybe_unused]] static const bool registered = (registerIconResource(), true);

    // Reading the six pictures takes about a millisecond, and every window
    // asks for the icon: read them once, and let them go with the
    // application object, before the GUI is torn down.
    if (g_icon == nullptr) {
        // Each PNG enters at the size it was rendered at, so Qt picks the
        // picture drawn for a size instead of scaling another one.
        g_icon = new QIcon;
        for (const int size : {16, 32, 48, 64, 128, 256})
            g_icon->addFile(QStringLiteral(":/program-icon/selvaro-yachts-%1.png").arg(size), QSize(size, size));
        qAddPostRoutine(releaseIcon);
    }
    return *g_icon;
}

} // namespace platform
