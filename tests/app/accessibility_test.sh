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

# No print service: the charter accepted waits, unprinted, to the end. With
# no screen reader to say one is wanted, Qt is told to expose the program.
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 CUPS_SERVER=$work/no-scheduler.sock "$program" >"$work/program.log" 2>&1 &
pids+=($!)
expect_active "Selvaro's Yachts"
/usr/bin/python3 "$(dirname "$0")/accessibility_check.py" || fail "read over AT-SPI"
