// SPDX-License-Identifier: MIT
#include "ui/forms/handler_guard.h"

#include "ui/forms/clerk_words.h"
#include "ui/program.h"

namespace forms {

void reportFault(ui::Program &program, const platform::PlatformError &error)
{
    ui::MsgBox(program.messageBoxes(), words::commandStopped(error), ui::vbExclamation);
}

} // namespace forms
