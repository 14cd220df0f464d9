// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QString>

class QDialog;
class QFont;
class QIcon;
class QLineEdit;
class QWidget;

// How the program's windows look and take the keyboard.
namespace ui {

// The desktop's default sans-serif font at a size in points.
QFont uiFont(double points, bool bold = false);

// Gives a window of the program its name, caption and icon, and makes it
// open centred on its screen the first time it is shown and take the
// keyboard every time it is shown.
void setUpWindow(QWidget &window, const char *name, const QString &caption, const QIcon &icon);

// Fills a window's client area with a colour of its own, whatever the
// desktop's theme, and gives the text drawn straight on it (labels, frame
// captions) black or white, whichever stands out more: a dark theme's light
// text would hardly show on a light fill. Fields, lists and buttons keep the
// theme's colours, their text included; so does a menu bar outside the area.
void fillBackground(QWidget &area, const QColor &colour);

// Widens a text field to the right, and heightens it downwards, as far as
// its font needs to show `text` whole with the cursor after it; a field
// large enough already keeps its size.
void fitToText(QLineEdit &field, const QString &text);

// Makes a window that is being shown the active one, so it has the keyboard.
void takeFocus(QWidget &window);

// Shows a dialog modally over `owner` and returns once it is hidden; the
// owner then has the keyboard again.
void showModalOver(QDialog &dialog, QWidget &owner);

} // namespace ui
