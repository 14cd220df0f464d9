// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QLineEdit;

// What a clerk can put into a one-line field beyond plain typing.
namespace ui {

// Every control character that reaches the field, pasted, typed, dropped or
// set, becomes one blank in the field's own text at once, so that what the
// field shows is what is read, listed and printed. Control characters are
// the C0 and C1 controls with tab, line feed and carriage return, DEL, and
// the line and paragraph separators; a carriage return and line feed
// together are one line break, so one blank. The cursor stays after what it
// was after.
void blankControlCharacters(QLineEdit &field);

// The text as blankControlCharacters() leaves it.
QString withControlCharactersBlanked(const QString &text);

// The numeric keypad's decimal key types a point in the field, whatever the
// keyboard layout puts on it (a comma on many European desktops); the main
// keyboard's comma key still types a comma.
void typePointOnKeypadDecimal(QLineEdit &field);

} // namespace ui
