// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <cstdint>

namespace forms {

class Owner;

// What the windows ask a message box for: every box has one OK button, and
// the code chooses its icon.
enum MsgBoxStyle : std::uint8_t {
    vbOKOnly = 0,
    vbQuestion = 32,
    vbExclamation = 48,
};

// Shows a modal message box over the program's active window and returns
// when it is closed; without a title it carries the program's title.
void MsgBox(Owner &owner, const QString &prompt, MsgBoxStyle buttons = vbOKOnly,
            const QString &title = QString());

} // namespace forms
