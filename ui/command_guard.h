// SPDX-License-Identifier: MIT
#pragma once

#include "core/platform/errors.h"

#include <QAction>
#include <QMenu>

namespace ui {

class Program;

// Tells the clerk about a fault that stopped a command; the program goes on.
// A fault the program knows is worded for it; anything else (memory, a
// thread that could not start) is told as a shortage. Nothing escapes into
// Qt's event loop.
void reportFault(ui::Program &program, const platform::PlatformError &error);
void reportShortage(ui::Program &program);

// A slot that runs a window's handler and reports whatever it throws, for
// connecting a button or menu item to the handler.
template <typename Form> auto guarded(Form *form, void (Form::*handler)())
{
    return [form, handler] {
        try {
            (form->*handler)();
        } catch (const platform::PlatformError &error) {
            reportFault(form->program(), error);
        } catch (...) {
            reportShortage(form->program());
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
