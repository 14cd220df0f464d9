// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

namespace ui {

// In a Wayland session, runs the program on X11 through XWayland where that
// is there and the user chose no platform. Qt's Wayland platform ends the
// process with _exit() when the compositor goes, before anything could send
// the waiting lines; a broken X connection ends it through exit(), which
// DisplayGoneHook catches, and XWayland goes with the compositor. Call
// before the application object is created.
void preferX11UnderWayland();

// While one lives, the end of the process that follows its X connection
// breaking (the X server ending, XKillClient) first runs `end`, once. Qt then
// warns and calls exit(1) from inside the event loop: no stack is unwound and
// no signal is emitted. `end` runs as the first of the exit handlers, while
// every static object still exists; it must not show or destroy a window.
// Then the process ends at once, with status 1. main() keeps one on its
// stack. Create it once the application object exists.
class DisplayGoneHook {
public:
    explicit DisplayGoneHook(std::function<void()> end);
    ~DisplayGoneHook();
    DisplayGoneHook(const DisplayGoneHook &) = delete;
    DisplayGoneHook &operator=(const DisplayGoneHook &) = delete;
};

} // namespace ui
