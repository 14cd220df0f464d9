// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>

#include <initializer_list>

namespace ui {

// Reads the program's icon, a sailing yacht, with a picture drawn for each of
// 16, 32, 48, 64, 128 and 256 pixels (or those of `sizes`). It is the window
// icon of every window and the picture on the main window. Needs a
// QGuiApplication, as every QIcon does; read it once.
QIcon loadProgramIcon(std::initializer_list<int> sizes = {16, 32, 48, 64, 128, 256});

} // namespace ui
