#!/usr/bin/env bash
# Starts the real program on a private X display with a window manager and
# drives it with real key presses: the main window appears with the keyboard,
# New Charter and Cancel, About and OK each hand the keyboard on as a clerk
# expects.
set -euo pipefail
program=$1

work=$(mktemp -d)
display=":$((100 + RANDOM % 800))"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
sleep 0.5

unset QT_QPA_PLATFORM
"$program" >"$work/program.log" 2>&1 &
program_pid=$!
pids+=("$program_pid")

fail() { echo "FAIL: $*"; cat "$work/program.log"; exit 1; }

# Waits until the window with the keyboard carries the title.
expect_active() {
  local title=$1 name=""
  for _ in $(seq 50); do
    name=$(xdotool getactivewindow getwindowname 2>/dev/null || true)
    [ "$name" = "$title" ] && { echo "ok: \"$title\" has the keyboard"; return 0; }
    sleep 0.1
  done
  fail "expected \"$title\" to have the keyboard, found \"$name\""
}

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
