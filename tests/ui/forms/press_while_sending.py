#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""With the entry window open over the hidden main window, a charter typed in
it and the scheduler frozen: presses File > Print Summary over AT-SPI, as a
screen reader can while the keyboard is held, waits for the progress window,
then presses OK and Print Summary again while that document is on its way.
The shell script thaws the scheduler and counts what printed."""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
from atspi import Atspi, find, has_state, press, program, text_of, wait_for  # noqa: E402

app = wait_for("the program on the accessibility bus", program)
entry = wait_for("the entry window, active",
                 lambda: (w := find(app, "dialog", "New Charter Form")) and has_state(w, Atspi.StateType.ACTIVE) and w)
# The keys typed through the display may still be on their way, and the
# keyboard is held once the summary goes: press nothing before the last of
# them, Down in the size list, has picked the first size.
size = wait_for("the size list", lambda: find(entry, "combo box", "Yacht Size:"))
wait_for("the charter typed in whole", lambda: text_of(size) == "22")
summary = wait_for("File > Print Summary", lambda: find(app, "menu item", "Print Summary"))
press(summary)
wait_for("the progress window",
         lambda: (w := find(app, "dialog", "Selvaro's Yachts")) and has_state(w, Atspi.StateType.SHOWING))
press(find(entry, "push button", "OK"))
# A pressed button clicks a tenth of a second later (Qt animates the press):
# the charter is in once its fields clear, and only then is the summary asked for.
wait_for("the charter accepted", lambda: text_of(size) == "")
press(summary)
print("ok: OK and Print Summary pressed while a summary was on its way")
