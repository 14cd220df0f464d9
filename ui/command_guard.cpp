// SPDX-License-Identifier: MIT
#include "ui/command_guard.h"

#include "ui/forms/clerk_words.h"
#include "ui/message_boxes.h"
#include "ui/program.h"

#include <cstdio>

namespace ui {

void reportFault(ui::Program &program, const platform::PlatformError &error)
{
    showMessage(program.messageBoxes(), forms::words::commandStopped(error), MessageIcon::Warning);
}

void reportShortage(ui::Program &program)
{
    try {
        showMessage(program.messageBoxes(), forms::words::commandStoppedShortOfResources(), MessageIcon::Warning);
    } catch (...) {
        // Not even the box could be shown; the program goes on as it was,
        // leaving a trace. A fixed text, written unbuffered: nothing here may
        // need memory or throw again.
        std::fputs("selvaro-yachts: a command stopped short of resources, and its message could not be shown\n",
                   stderr);
    }
}

} // namespace ui
