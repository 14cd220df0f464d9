// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

namespace ui {

// In a Wayland session, runs the program on X11 through XWayland where that
// is there and the user chose no platform: there the program places its
// windows itself (centred), which Wayland leaves to the compositor. Qt's own
// Wayland platform, chosen with QT_QPA_PLATFORM=wayland, is looked after by
// DisplayGoneHook as well. Call before the application object is created.
void preferX11UnderWayland();

// While one lives, the end of the process that follows the loss of its
// display first runs `end`, once; then the process ends at once, with status
// 1, as Qt would have it. `end` must not show or destroy a window.
//
// On X11 (the X server ending, XKillClient) Qt warns and calls exit(1) from
// inside the event loop: no stack is unwound and no signal is emitted. `end`
// runs as the first of the exit handlers, while every static object still
// exists.
//
// On Wayland (the compositor ending) Qt warns and calls _exit(1) on the
// thread that noticed, often on two threads at once, the main thread among
// them or not: no exit handler would run. `end` runs on the main thread,
// inside the warning there or as soon as its event loop runs; any other
// thread that reports the loss is held in the warning, so that its _exit
// never comes.
//
// Program::run keeps one on its stack. Create it once the application object
// exists.
class DisplayGoneHook {
public:
    explicit DisplayGoneHook(std::function<void()> end);
    ~DisplayGoneHook();
    DisplayGoneHook(const DisplayGoneHook &) = delete;
    DisplayGoneHook &operator=(const DisplayGoneHook &) = delete;
};

} // namespace ui
