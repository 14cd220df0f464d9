// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>

namespace ui {

// Reads the program's icon, a sailing yacht, with a picture drawn for each of
// 16, 32, 48, 64, 128 and 256 pixels. It is the window icon of every window
// and the picture on the main window. Needs a QGuiApplication, as every QIcon
// does; reading takes about a millisecond, so read it once.
QIcon loadProgramIcon();

} // namespace ui
