# SPDX-License-Identifier: MIT
"""What the tests that read the program over AT-SPI share: finding objects,
pressing them, waiting (bounded) for a condition."""

import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

# Debian 12's libatspi marks the action names' getter deprecated, and has no other.
warnings.filterwarnings("ignore", category=DeprecationWarning)
LIMIT = 10.0  # seconds any awaited change may take


def fail(message):
    print(f"FAIL: {message}")
    sys.exit(1)


def check(condition, message):
    if not condition:
        fail(message)


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


def has_role(obj, role):
    """Whether the object has the role, named as AT-SPI's list of roles names
    it ("push button" is Atspi.Role.PUSH_BUTTON). The role is compared, not
    its name: releases spell that differently (AT-SPI 2.56 says "button")."""
    return obj.get_role() == getattr(Atspi.Role, role.upper().replace(" ", "_"))


def find(root, role, name=None):
    """The first object of the role (and name) in the tree, depth first."""
    if root is None:
        return None
    if has_role(root, role) and (name is None or root.get_name() == name):
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
