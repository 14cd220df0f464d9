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
# window, being asked to end by the system (SIGTERM at shutdown or logout,
# SIGHUP when its terminal goes, SIGINT from Ctrl+C) and losing its display.
# Each time the line must reach the scheduler, exactly once; with the
# scheduler stopped, it must be saved in the documents folder instead.
set -euo pipefail
spool=$1
control=("${@:3}")
program=${SELVARO_PROGRAM:?set SELVARO_PROGRAM to the program}

source "$(dirname "$0")/../../support/x_session.sh"
start_x_session
# The program's home, where it saves what it could not print.
mkdir -p "$work/home/Documents"

start_program() {
  HOME=$work/home "$program" >"$work/program.log" 2>&1 &
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

# Within 15 seconds; leaves the exit status in program_status.
expect_ended() {
  for _ in $(seq 150); do
    if ! kill -0 "$program_pid" 2>/dev/null; then
      program_status=0
      wait "$program_pid" 2>/dev/null || program_status=$?
      return 0
    fi
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

# The display goes: the program's X connection is severed, as when the X
# server ends. The program must end by itself, not by a signal.
sever_display() {
  xkill -id "$(xdotool getactivewindow)" >/dev/null
  expect_ended "losing the display"
  [ "$program_status" -lt 128 ] || fail "losing the display killed the program (status $program_status)"
}

start_program
enter_charter "Severin"
sever_display
expect_printed_once "Severin" "losing the display"

# With the scheduler stopped, the line is saved as a PDF, each word at the
# column the printer would have put it: columns are counted from the first
# word's box, in advances measured on that word.
start_program
enter_charter "Stillwell"
"${control[@]}" stop
sever_display
# The one PDF saved in the documents folder, named in the program's message.
expect_saved() {
  saved=("$work/home/Documents/Selvaro's Yachts – charters not printed "*.pdf)
  [ -f "${saved[0]}" ] && [ "${#saved[@]}" -eq 1 ] || fail "not one PDF saved in the documents folder"
  grep -qF "They were saved in \"${saved[0]}\"." "$work/program.log" || fail "the saved file was not named"
}
expect_saved
columns=$(pdftotext -bbox "${saved[0]}" - |
  sed -n 's/.*xMin="\([0-9.]*\)".*xMax="\([0-9.]*\)".*>\(.*\)<\/word>/\1 \2 \3/p' |
  awk 'NR == 1 { left = $1; advance = ($2 - $1) / length($3) }
       { printf "%s%d:%s", (NR > 1 ? " " : ""), 5 + int(($1 - left) / advance + 0.5), $3 }')
[ "$columns" = '5:Stillwell 30:Sloop 46:24 57:2.5 68:$342.50' ] || fail "saved line laid out as: $columns"
echo "ok: losing the display with the scheduler stopped: the line was saved at its columns"
"${control[@]}" start

# A scheduler that does not answer is waited for 10 seconds, no more.
rm "${saved[@]}"
start_program
enter_charter "Frozenby"
"${control[@]}" freeze
sever_display
"${control[@]}" thaw
expect_saved
pdftotext "${saved[0]}" - | grep -q Frozenby || fail "the saved PDF lacks the line"
echo "ok: losing the display with the scheduler not answering: the line was saved"
