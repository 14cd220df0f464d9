// SPDX-License-Identifier: MIT
#include "ui/command_guard.h"

#include "ui/forms/clerk_words.h"
#include "ui/forms/msg_box.h"
#include "ui/program.h"

#include <cstdio>

namespace ui {

void reportFault(ui::Program &program, const platform::PlatformError &error)
{
    forms::MsgBox(program, forms::words::commandStopped(error), forms::vbExclamation);
}

void reportShortage(ui::Program &program)
{
    try {
        forms::MsgBox(program, forms::words::commandStoppedShortOfResources(), forms::vbExclamation);
    } catch (...) {
        // Not even the box could be shown; the program goes on as it was,
        // leaving a trace. A fixed text, written unbuffered: nothing here may
        // need memory or throw again.
        std::fputs("selvaro-yachts: a command stopped short of resources, and its message could not be shown\n",
                   stderr);
    }
}

} // namespace ui
