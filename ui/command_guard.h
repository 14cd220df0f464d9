// SPDX-License-Identifier: MIT
#pragma once

#include "core/platform/errors.h"

#include <QAction>
#include <QMenu>

namespace ui {

// Not even the box that tells of a shortage could be shown: a trace on
// standard error, which needs no memory and throws nothing.
void noteShortageUntold() noexcept;

// A slot that runs a window's handler and has the window tell the clerk,
// through its commandStopped(fault), whatever stopped it: a fault the
// program knows, or anything else (memory, a thread that could not start)
// as no fault, a shortage. The program goes on; nothing escapes into Qt's
// event loop.
template <typename Form> auto guarded(Form *form, void (Form::*handler)())
{
    return [form, handler] {
        try {
            (form->*handler)();
        } catch (const platform::PlatformError &error) {
            form->commandStopped(&error);
        } catch (...) {
            try {
                form->commandStopped(nullptr);
            } catch (...) {
                noteShortageUntold();
            }
        }
    };
}

// Adds a menu item, named for tests and screen readers, that runs the
// window's handler guarded as above.
template <typename Form>
QAction *addMenuItem(QMenu &menu, Form *form, const char *name, const QString &caption, void (Form::*handler)())
{
    QAction *item = menu.addAction(caption);
    item->setObjectName(QLatin1String(name));
    QObject::connect(item, &QAction::triggered, form, guarded(form, handler));
    return item;
}

} // namespace ui
