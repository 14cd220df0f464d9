// SPDX-License-Identifier: MIT
#include "ui/forms/msg_box.h"

#include "ui/forms/owner.h"
#include "ui/message_boxes.h"

namespace forms {

void MsgBox(Owner &owner, const QString &prompt, MsgBoxStyle buttons, const QString &title)
{
    const ui::MessageIcon icon = buttons == vbExclamation ? ui::MessageIcon::Warning
                                 : buttons == vbQuestion  ? ui::MessageIcon::Question
                                                          : ui::MessageIcon::None;
    ui::showMessage(owner.messageBoxes(), prompt, icon, title);
}

} // namespace forms
