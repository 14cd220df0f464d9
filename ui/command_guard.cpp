// SPDX-License-Identifier: MIT
#include "ui/command_guard.h"

#include "ui/forms/clerk_words.h"
#include "ui/forms/msg_box.h"
#include "ui/program.h"

namespace ui {

void reportFault(ui::Program &program, const platform::PlatformError &error)
{
    forms::MsgBox(program, forms::words::commandStopped(error), forms::vbExclamation);
}

} // namespace ui
