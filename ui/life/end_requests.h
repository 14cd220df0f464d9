// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

namespace ui {

// Makes the system's requests to end (SIGTERM at shutdown or logout, SIGHUP
// when the terminal goes away, SIGINT from Ctrl+C) run `end` in the event
// loop, so that the program ends as Exit does rather than at once. Call once
// the application object exists; later calls change nothing.
void endOnTerminationSignals(std::function<void()> end);

// Makes the window system's request to quit run `end` instead of closing
// the windows one by one, which a window may refuse (the entry window turns
// closing into Cancel and brings the main window back). The session
// manager's Die at the end of a logout arrives that way. Call once the
// application object exists.
void endOnQuitRequest(std::function<void()> end);

} // namespace ui
