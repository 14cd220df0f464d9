#!/usr/bin/env bash
# The real program on a private X display, with the accessibility bus a
# desktop with a screen reader has, read over AT-SPI by
# accessibility_check.py: names, roles, the size list's text and events,
# a Press action that returns at once.
set -euo pipefail
program=$1

source "$(dirname "$0")/../support/x_session.sh"
source "$(dirname "$0")/../support/a11y_session.sh"
start_x_session
start_accessibility_bus

# Under Qt's GTK theme the process is one application on the bus, without
# the empty one GTK's own bridge would add.
XDG_CURRENT_DESKTOP=GNOME QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" >"$work/program.log" 2>&1 &
pids+=($!)
PYTHONPATH="$(dirname "$0")/../support" /usr/bin/python3 -c 'import sys; from atspi import Atspi, check, program, wait_for
wait_for("the program on the bus", program); bus = Atspi.get_desktop(0)
names = [a.get_name() for a in map(bus.get_child_at_index, range(bus.get_child_count())) if a.get_process_id() == int(sys.argv[1])]
check(names == ["Selvaro'"'"'s Yachts"], f"the process is on the bus as {names}")' "${pids[-1]}" || fail "under the GTK theme"
grep -q libqgtk3 "/proc/${pids[-1]}/maps" || fail "Qt did not load its GTK theme"
kill "${pids[-1]}"

# No print service: the charter accepted waits, unprinted, to the end. With
# no screen reader to say one is wanted, Qt is told to expose the program.
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 CUPS_SERVER=$work/no-scheduler.sock "$program" >"$work/program.log" 2>&1 &
pids+=($!)
expect_active "Selvaro's Yachts"
/usr/bin/python3 "$(dirname "$0")/accessibility_check.py" || fail "read over AT-SPI"
