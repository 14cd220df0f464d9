// SPDX-License-Identifier: MIT
#pragma once

namespace ui {

// Enter and Return press a window's default button whatever control has the
// focus, under every desktop theme; Space presses the focused button. Qt
// lets the platform theme name the keys that press a focused control, and
// its GTK theme (loaded on GNOME, Xfce, Cinnamon and MATE) adds Enter and
// Return to Space: a group box then takes Enter for itself, even one that
// is only a frame around fields, a drop-down list opens on it, and a button
// without the default role is pressed by it. Here those controls let both
// keys go on to their window, as under the default theme. Covers every
// window of the program; installing more than once does nothing more.
void keepEnterForDefaultButton();

} // namespace ui
