// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QString>

class QDialog;
class QFont;
class QWidget;

// How the program starts, ends and looks as a whole.
namespace platform {

// The title of the program, shown where no other title is given.
QString programTitle();

// Ends the program at once: every event loop stops; nothing is asked.
void End();

// Sends the lines still waiting in the print document to the printer as the
// program ends; when that fails, says so, since they cannot be kept.
void sendWaitingLinesAtEnd();

// Makes the system's requests to end (SIGTERM at shutdown or logout, SIGHUP
// when the terminal goes away, SIGINT from Ctrl+C) end the program as Exit
// does, so that the lines still waiting are sent rather than lost. Call once
// the application object exists.
void endOnTerminationSignals();

// The desktop's default sans-serif font at a size in points.
QFont uiFont(double points, bool bold = false);

// Gives a window of the program its name, caption and the program's icon,
// and makes it open centred on its screen the first time it is shown and
// take the keyboard every time it is shown. A colour, when given, fills its
// background. An access key shared by several of its controls goes by the
// tab order (installSharedAccessKeys).
void setUpWindow(QWidget &window, const char *name, const QString &caption, const QColor &background = QColor());

// Makes a window that is being shown the active one, so it has the keyboard.
void takeFocus(QWidget &window);

// Shows a dialog modally over `owner` and returns once it is hidden; the
// owner then has the keyboard again.
void showModalOver(QDialog &dialog, QWidget &owner);

} // namespace platform
