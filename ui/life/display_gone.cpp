// SPDX-License-Identifier: MIT
#include "ui/life/display_gone.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QMetaObject>

#include <dlfcn.h>

#include <atomic>
#include <bit>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <utility>

namespace ui {
namespace {

std::function<void()> g_end;
QtMessageHandler g_nextHandler = nullptr;
std::atomic_flag g_endRegistered = ATOMIC_FLAG_INIT;
// Read by any thread that reports the loss of a Wayland connection.
std::atomic<bool> g_watching = false;
std::atomic_flag g_mainThreadAsked = ATOMIC_FLAG_INIT;
std::thread::id g_mainThread;

// Runs `end`, then ends the process with status 1, as Qt asked: nothing
// else may run now, neither the destructors of static objects, which would
// destroy windows, nor anything under a call `end` left running.
void runEnd()
{
    const std::function<void()> end = std::exchange(g_end, nullptr);
    if (!end)
        return;
    end();
    std::fflush(nullptr);
    std::_Exit(1);
}

// Whether the program's X connection has broken. libxcb is asked directly,
// since Qt says so only in a warning; it is looked up, not linked, as it is
// there only when Qt runs on X11.
bool displayConnectionBroken()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    void *library = connection ? dlopen("libxcb.so.1", RTLD_LAZY | RTLD_NOLOAD) : nullptr;
    if (!library)
        return false;
    int (*hasError)(xcb_connection_t *) = nullptr;
    if (void *symbol = dlsym(library, "xcb_connection_has_error"))
        hasError = std::bit_cast<decltype(hasError)>(symbol);
    const bool broken = hasError && hasError(connection) != 0;
    dlclose(library);
    return broken;
}

// Qt's Wayland platform says "The Wayland connection broke. Did the Wayland
// compositor die?" or "The Wayland connection experienced a fatal error: ..."
// just before it calls _exit(1); it offers no other way to learn of it.
bool waylandConnectionBroken(QtMsgType type, const QString &message)
{
    return type == QtWarningMsg && QGuiApplication::platformName() == QLatin1String("wayland") &&
           message.startsWith(QLatin1String("The Wayland connection"));
}

// Never returns: the thread must not reach the _exit that follows its warning
// while the main thread ends the program.
[[noreturn]] void holdThread()
{
    for (;;)
        std::this_thread::sleep_for(std::chrono::hours(1));
}

// Qt warns that the X connection broke just before it calls exit(1). An exit
// handler registered now runs before the destructors of the static objects
// made since start-up, which printing needs (one registered at start-up would
// run after them, and crash).
void watchMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && g_end && displayConnectionBroken() && !g_endRegistered.test_and_set())
        std::atexit(runEnd);
    g_nextHandler(type, context, message);
    if (!g_watching || !waylandConnectionBroken(type, message))
        return;
    if (std::this_thread::get_id() == g_mainThread) {
        runEnd();
        return; // the end has run already, and ended the process
    }
    // The first other thread asks the main thread, in case the main thread
    // does not report the loss itself.
    if (!g_mainThreadAsked.test_and_set())
        QMetaObject::invokeMethod(qGuiApp, runEnd, Qt::QueuedConnection);
    holdThread();
}

} // namespace

void preferX11UnderWayland()
{
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
                         || qgetenv("XDG_SESSION_TYPE") == QByteArrayLiteral("wayland");
    if (wayland && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

DisplayGoneHook::DisplayGoneHook(std::function<void()> end)
{
    g_mainThread = std::this_thread::get_id();
    g_end = std::move(end);
    g_nextHandler = qInstallMessageHandler(watchMessage);
    g_watching = true;
}

DisplayGoneHook::~DisplayGoneHook()
{
    g_watching = false;
    qInstallMessageHandler(g_nextHandler);
    g_end = nullptr;
}

} // namespace ui
