#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real program on a private X display with a window manager, printing to
# the private CUPS scheduler of tests/reports/cups_print_test.sh, which runs
# this as its driver:
#
#   SELVARO_PROGRAM=selvaro-yachts cups_print_test.sh ending_with_lines_waiting_test.sh
#
# A clerk enters a charter by keyboard and ends the program with its line
# still waiting, in each way a program ends: File > Exit, closing the main
# window, and being asked to end by the system (SIGTERM at shutdown or
# logout, SIGHUP when its terminal goes, SIGINT from Ctrl+C). Each time the
# line must reach the scheduler, exactly once.
set -euo pipefail
spool=$1
program=${SELVARO_PROGRAM:?set SELVARO_PROGRAM to the program}

source "$(dirname "$0")/../../support/x_session.sh"
start_x_session

start_program() {
  "$program" >"$work/program.log" 2>&1 &
  program_pid=$!
  pids+=("$program_pid")
  expect_active "Selvaro's Yachts"
}

# One charter by keyboard in the entry window: name, 2.5 hours, typed type,
# 24 feet. The line waits in the print document; the window stays open.
enter_charter_and_stay() {
  xdotool key --delay 100 alt+f n
  expect_active "New Charter Form"
  xdotool type --delay 20 "$1"
  xdotool key --delay 50 alt+h
  xdotool type --delay 20 "2.5"
  xdotool key --delay 50 alt+y
  xdotool type --delay 20 "Sloop"
  xdotool key --delay 50 alt+s Down Down Return
  sleep 0.3
}

# The same, then Esc back to the main window.
enter_charter() {
  enter_charter_and_stay "$1"
  xdotool key Escape
  expect_active "Selvaro's Yachts"
}

expect_ended() {
  for _ in $(seq 100); do
    kill -0 "$program_pid" 2>/dev/null || { wait "$program_pid" 2>/dev/null || true; return 0; }
    sleep 0.1
  done
  fail "$1 did not end the program"
}

# The name must be on exactly one spooled page, once.
expect_printed_once() {
  local name=$1 found=0 job
  for _ in $(seq 100); do
    found=0
    for job in "$spool"/d*-001; do
      [ -e "$job" ] || continue
      found=$((found + $(pdftotext -layout "$job" - 2>/dev/null | { grep -o "$name" || true; } | wc -l)))
    done
    [ "$found" -ge 1 ] && break
    sleep 0.1
  done
  [ "$found" -eq 1 ] || fail "\"$name\" reached the printer $found times, not once"
  echo "ok: $2: the waiting line of \"$name\" was printed once"
}

start_program
enter_charter "Exitford"
xdotool key --delay 100 alt+f x
expect_ended "File > Exit"
expect_printed_once "Exitford" "File > Exit"

start_program
enter_charter "Closewell"
xdotool key alt+F4
expect_ended "closing the main window"
expect_printed_once "Closewell" "closing the main window"

declare -A customer=([TERM]=Thornbury [HUP]=Hollister [INT]=Ingersoll)
for signal in TERM HUP INT; do
  name=${customer[$signal]}
  start_program
  enter_charter "$name"
  kill -"$signal" "$program_pid"
  expect_ended "SIG$signal"
  expect_printed_once "$name" "SIG$signal"
done

# Asked to end while the entry window is open over the hidden main window.
start_program
enter_charter_and_stay "Whitcombe"
kill -TERM "$program_pid"
expect_ended "SIGTERM in the entry window"
expect_printed_once "Whitcombe" "SIGTERM in the entry window"
