#!/usr/bin/env bash
# Starts the real program on a private X display with a window manager and
# drives it with real key presses: the main window appears with the keyboard,
# New Charter and Cancel, About and OK each hand the keyboard on as a clerk
# expects.
set -euo pipefail
program=$1

source "$(dirname "$0")/../support/x_session.sh"
start_x_session

"$program" >"$work/program.log" 2>&1 &
program_pid=$!
pids+=("$program_pid")

expect_active "Selvaro's Yachts"
xdotool search --name "^Selvaro's Yachts\$" >/dev/null || fail "no main window"

xdotool key --delay 100 alt+f n
expect_active "New Charter Form"
xdotool key Escape
expect_active "Selvaro's Yachts"

xdotool key --delay 100 alt+h a
expect_active "About Selvaro's Yacht Charter Project"
xdotool key Return
expect_active "Selvaro's Yachts"

xdotool key --delay 100 alt+f x
for _ in $(seq 50); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$program_pid" 2>/dev/null && fail "Exit did not end the program"
echo "ok: Exit ended the program"
