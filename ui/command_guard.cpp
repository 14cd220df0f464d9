// SPDX-License-Identifier: MIT
#include "ui/command_guard.h"

#include <cstdio>

namespace ui {

void noteShortageUntold() noexcept
{
    // A fixed text, written unbuffered.
    std::fputs("selvaro-yachts: a command stopped short of resources, and its message could not be shown\n", stderr);
}

} // namespace ui
