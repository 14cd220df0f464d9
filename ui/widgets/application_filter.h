// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QPointer>

namespace ui {

// Installs one Filter, a QObject made with its parent, as an event filter of
// the whole application, for as long as the application lives: later calls
// do nothing more, and without an application nothing is installed.
template <typename Filter> void filterApplicationOnce()
{
    static QPointer<Filter> installed;
    QCoreApplication *application = QCoreApplication::instance();
    if (installed != nullptr || application == nullptr)
        return;
    installed = new Filter(application);
    application->installEventFilter(installed);
}

} // namespace ui
