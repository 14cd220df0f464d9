// SPDX-License-Identifier: MIT
#pragma once

class QDialog;
class QPushButton;

namespace ui {

// Makes `button` the dialog's default button for good: whenever the focus is
// anywhere but on one of the dialog's push buttons, Enter presses it and it
// shows the default frame, whatever button had the focus before, also after
// the dialog was hidden and shown again. A push button that has the focus
// holds the role while it has it, so that Enter presses the button the
// clerk sees focused; a frame inside shows the keyboard focus on
// it, which the theme would draw as the default frame alone.
void keepDefaultButton(QDialog &dialog, QPushButton &button);

} // namespace ui
