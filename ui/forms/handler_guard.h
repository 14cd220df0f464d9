// SPDX-License-Identifier: MIT
#pragma once

#include "core/platform/errors.h"

namespace ui {
class Program;
}

namespace forms {

// Tells the clerk about a fault that stopped a command; the program goes on.
void reportFault(ui::Program &program, const platform::PlatformError &error);

// A slot that runs a window's handler and reports a fault it raises, for
// connecting a button or menu item to the handler.
template <typename Form> auto guarded(Form *form, void (Form::*handler)())
{
    return [form, handler] {
        try {
            (form->*handler)();
        } catch (const platform::PlatformError &error) {
            reportFault(form->program(), error);
        }
    };
}

} // namespace forms
