#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Prints the text of the message box the program shows, as a screen reader
reads it, once one is shown (10 seconds at most); or, with --none, waits
for the main window and says whether a message box is shown."""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
from atspi import Atspi, find, has_state, program, text_of, wait_for  # noqa: E402


def labels(obj):
    found = []
    for i in range(obj.get_child_count()):
        child = obj.get_child_at_index(i)
        if child is None:
            continue
        if child.get_role_name() == "label":
            found.append(text_of(child) if Atspi.Text.get_character_count(child) else child.get_name())
        found += labels(child)
    return found


def shown_box(app):
    box = find(app, "alert")
    return box if box is not None and has_state(box, Atspi.StateType.SHOWING) else None


app = wait_for("the program on the accessibility bus", program)
if len(sys.argv) > 1 and sys.argv[1] == "--none":
    wait_for("the main window", lambda: find(app, "frame"))
    print("box" if shown_box(app) else "none")
else:
    box = wait_for("a message box", lambda: shown_box(app))
    print("\n".join(text for text in labels(box) if text))
