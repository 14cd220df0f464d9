// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

namespace ui {

// Makes the system's requests to end (SIGTERM at shutdown or logout, SIGHUP
// when the terminal goes away, SIGINT from Ctrl+C) run `end` in the event
// loop, so that the program ends as Exit does rather than at once. Call once
// the application object exists; later calls change nothing.
void endOnTerminationSignals(std::function<void()> end);

} // namespace ui
