// SPDX-License-Identifier: MIT
#pragma once

namespace ui {

// Where several controls of a window carry the same access key (a button's
// caption, or a label's for the field it names), Alt and that key moves the
// focus to the next of them after the current focus, in tab order, without
// pressing it; each further press goes on to the next, round the window.
// Left to itself, Qt hands the key to each of them in turn, wherever the
// focus is. Covers every window of the program; installing more than once
// does nothing more.
void installSharedAccessKeys();

} // namespace ui
