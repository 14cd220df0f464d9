// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QString>

class QDialog;
class QFont;
class QIcon;
class QWidget;

// How the program's windows look and take the keyboard.
namespace ui {

// The desktop's default sans-serif font at a size in points.
QFont uiFont(double points, bool bold = false);

// Gives a window of the program its name, caption and icon, and makes it
// open centred on its screen the first time it is shown and take the
// keyboard every time it is shown. A colour, when given, fills its
// background.
void setUpWindow(QWidget &window, const char *name, const QString &caption, const QIcon &icon,
                 const QColor &background = QColor());

// Makes a window that is being shown the active one, so it has the keyboard.
void takeFocus(QWidget &window);

// Shows a dialog modally over `owner` and returns once it is hidden; the
// owner then has the keyboard again.
void showModalOver(QDialog &dialog, QWidget &owner);

} // namespace ui
