// SPDX-License-Identifier: MIT
#pragma once

#include "platform/errors.h"

#include <QString>

namespace platform {

// Tells the clerk about a platform error that stopped an operation; the
// program goes on.
void reportError(const PlatformError &error);

// Runs one handler; a platform error it raises is reported, not fatal.
template <typename Handler> void runHandler(Handler &&handler)
{
    try {
        handler();
    } catch (const PlatformError &error) {
        reportError(error);
    }
}

// A slot that runs a window's handler through runHandler, for connecting a
// button or menu item to it.
template <typename Form> auto guarded(Form *form, void (Form::*handler)())
{
    return [form, handler] { runHandler([&] { (form->*handler)(); }); };
}

} // namespace platform
