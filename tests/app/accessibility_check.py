#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Reads the running program over AT-SPI as a screen reader does: the names
of the main window, its menu bar and picture; File > New Charter's Press
action returning at once with the entry window opening after; the size list
with its entry as text and the entry picked told as Down changes it; the
names of the Clear button and the yacht type's edit field; the main window
taking back the focus. Every wait is for a condition, bounded."""

import subprocess
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

# Debian 12's libatspi marks the action names' getter deprecated, and has no other.
warnings.filterwarnings("ignore", category=DeprecationWarning)
LIMIT = 10.0  # seconds any awaited change may take
events = []


def fail(message):
    print(f"FAIL: {message}")
    sys.exit(1)


def check(condition, message):
    if not condition:
        fail(message)


def record(event):
    events.append((event.type, event.source, event.detail1))


def wait_for(what, condition):
    deadline = time.monotonic() + LIMIT
    context = GLib.MainContext.default()
    while time.monotonic() < deadline:
        while context.pending():
            context.iteration(False)
        found = condition()
        if found:
            return found
        time.sleep(0.05)
    fail(f"{what}: not within {LIMIT:.0f} s")


def find(root, role, name=None):
    """The first object of the role (and name) in the tree, depth first."""
    if root is None:
        return None
    if root.get_role_name() == role and (name is None or root.get_name() == name):
        return root
    for i in range(root.get_child_count()):
        found = find(root.get_child_at_index(i), role, name)
        if found is not None:
            return found
    return None


def has_state(obj, state):
    obj.clear_cache()
    return obj.get_state_set().contains(state)


def press(obj):
    """Runs the object's Press action; returns how long the call took."""
    names = [Atspi.Action.get_action_name(obj, i) for i in range(Atspi.Action.get_n_actions(obj))]
    check("Press" in names, f"{obj.get_name()!r} has no Press action, only {names}")
    started = time.monotonic()
    try:
        Atspi.Action.do_action(obj, names.index("Press"))
    except GLib.Error as error:
        fail(f"Press on {obj.get_name()!r} got no answer after {time.monotonic() - started:.1f} s: {error}")
    return time.monotonic() - started


def text_of(obj):
    return Atspi.Text.get_text(obj, 0, Atspi.Text.get_character_count(obj))


def program():
    desktop = Atspi.get_desktop(0)
    desktop.clear_cache()  # the list of programs as the registry has it now
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_name() == "Selvaro's Yachts":
            return app
    return None


listener = Atspi.EventListener.new(record)
listener.register("object:state-changed:focused")

app = wait_for("the program on the accessibility bus", program)
main = wait_for("the main window", lambda: find(app, "frame"))
check(main.get_name() == "Selvaro's Yachts main window", f"main window named {main.get_name()!r}")
check("Alt+F" in main.get_description(), f"main window described as {main.get_description()!r}")
check(find(main, "menu bar").get_name() == "Main menu", "the menu bar has no name to place it")
picture = find(main, "image")
check("sloop" in picture.get_name(), f"the picture is named {picture.get_name()!r}")

new_charter = find(main, "menu item", "New Charter")
took = press(new_charter)
check(took < 1.0, f"Press on New Charter took {took:.2f} s")
entry = wait_for(
    "the entry window, active",
    lambda: (w := find(app, "dialog", "New Charter Form")) and has_state(w, Atspi.StateType.ACTIVE) and w,
)
print(f"ok: Press on File > New Charter returned in {took * 1000:.0f} ms; the entry window opened after")

check(find(entry, "push button", "Clear") is not None, "no button named \"Clear\" (the caption's blank kept?)")
yacht = find(entry, "combo box", "Available Yachts:")
check(find(yacht, "text", "Yacht type") is not None, "the yacht type's edit field has no name of its own")

size = find(entry, "combo box", "Yacht Size:")
check(size is not None and "Text" in size.get_interfaces(), "the size list shows no entry as text")
Atspi.Component.grab_focus(size)
wait_for("the focus in the size list", lambda: has_state(size, Atspi.StateType.FOCUSED))
for expected in ("22", "24"):
    del events[:]
    subprocess.run(["xdotool", "key", "Down"], check=True)
    told = wait_for(
        f"the entry {expected} told",
        lambda: next(
            (s for t, s, on in events if t.endswith("focused") and on and s.get_role_name() == "list item"), None
        ),
    )
    check(told.get_name() == expected, f"Down told of {told.get_name()!r}, not {expected}")
    check(told.get_parent().get_parent() == size, "the entry told is not the size list's")
    check(text_of(size) == expected, f"the size list shows {text_of(size)!r} after Down, not {expected}")
print("ok: the size list shows its entry as text and tells the entry picked by Down")

press(find(entry, "push button", "Cancel"))
wait_for("the main window, active again", lambda: has_state(main, Atspi.StateType.ACTIVE))
# Chosen by keyboard, File > New Charter leaves the focus in the menu bar,
# which a window without fields keeps; it comes back to the window.
# Alt held as a hand holds it: Qt hands each key to the accessibility bus and
# back, and a chord quicker than any hand reaches the menus out of order.
subprocess.run(["xdotool", "keydown", "alt", "sleep", "0.1", "key", "f", "sleep", "0.1", "keyup", "alt"], check=True)
subprocess.run(["xdotool", "key", "n"], check=True)
wait_for("the entry window by Alt+F, N", lambda: has_state(entry, Atspi.StateType.ACTIVE))
subprocess.run(["xdotool", "key", "Escape"], check=True)
wait_for("the main window after Esc", lambda: has_state(main, Atspi.StateType.ACTIVE))
check(not has_state(find(main, "menu bar"), Atspi.StateType.FOCUSED), "the menu bar kept the focus")
print("ok: back in the main window, which has the keyboard itself")
