// SPDX-License-Identifier: MIT
#include "ui/forms/handler_guard.h"

#include "ui/forms/clerk_words.h"
#include "ui/forms/msg_box.h"
#include "ui/program.h"

namespace forms {

void reportFault(ui::Program &program, const platform::PlatformError &error)
{
    MsgBox(program, words::commandStopped(error), vbExclamation);
}

} // namespace forms
