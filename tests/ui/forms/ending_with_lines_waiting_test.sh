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
# SIGHUP when its terminal goes, SIGINT from Ctrl+C), a session manager's
# logout with the entry window open, and losing its display, the X server
# or, on Qt's own Wayland platform, the compositor. Each time the
# line must reach the scheduler, exactly once; with the scheduler stopped, it
# must be saved in the documents folder instead. A session manager's
# checkpoint sends the line too, and the program goes on, even with a summary
# on its way. A refusal as the wait without a display runs out leaves one
# file. With HOME unset, the saved file goes to the user database's home.
# Last, OK and Print Summary pressed over AT-SPI while a summary is on its
# way each print their line once.
set -euo pipefail
spool=$1
control=("${@:3}")
program=${SELVARO_PROGRAM:?set SELVARO_PROGRAM to the program}
session_manager=${SELVARO_XSMP_MANAGER:?set SELVARO_XSMP_MANAGER to tests/support/xsmp_manager}

source "$(dirname "$0")/../../support/x_session.sh"
start_x_session
# The program's home, where it saves what it could not print.
mkdir -p "$work/home/Documents"

start_program() {
  # Each case starts without the journal an earlier case's end left (the
  # earlier-run test prints those).
  rm -rf "$work/home/.local/state"
  HOME=$work/home "$program" >"$work/program.log" 2>&1 &
  program_pid=$!
  pids+=("$program_pid")
  expect_active "Selvaro's Yachts" "once the program started"
}

# One charter by keyboard in the entry window: name, 2.5 hours, typed type,
# 24 feet; then Esc back to the main window, once the keys before it are
# done. The line waits in the print document.
enter_charter() {
  press alt+f n
  expect_active "New Charter Form"
  press ":$1" alt+h :2.5 alt+y :Sloop alt+s Down Down Return Escape
  expect_active "Selvaro's Yachts"
}

# The same, then the entry window open again.
enter_charter_and_stay() {
  enter_charter "$1"
  press alt+f n
  expect_active "New Charter Form"
}

# Print Summary with the scheduler frozen: the summary stays on its way,
# its progress window shown.
summary_on_its_way() {
  "${control[@]}" freeze
  press alt+f p
  for _ in $(seq 100); do
    [ "$(xdotool search --onlyvisible --name "^Selvaro's Yachts\$" 2>/dev/null | wc -l)" -ge 2 ] && break
    sleep 0.1
  done
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

# The name must be on exactly one spooled page, once. Within 30 seconds: a
# loaded machine (the full run) was seen to take over 10 for a put-off
# summary to go out after the scheduler was thawed.
expect_printed_once() {
  local name=$1 found=0 job
  for _ in $(seq 300); do
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

# A session manager: a checkpoint sends the waiting line as a job named for
# it and the program goes on; a logout with the entry window open sends the
# next line and ends the program, as Exit does.
mkfifo "$work/session.in"
"$session_manager" <"$work/session.in" >"$work/session.log" 2>&1 &
pids+=($!)
exec 7>"$work/session.in"
# Waits for the session manager's report to hold the line, or fails.
expect_session() {
  for _ in $(seq 100); do
    grep -qx "$1" "$work/session.log" && return 0
    sleep 0.1
  done
  fail "the session manager did not report \"$1\": $(cat "$work/session.log")"
}
expect_session "listening .*"
SESSION_MANAGER=$(sed -n 's/^listening //p' "$work/session.log") start_program
expect_session registered
enter_charter_and_stay "Checkley"
echo checkpoint >&7
expect_session "done 1"
expect_printed_once "Checkley" "a checkpoint"
for _ in $(seq 100); do
  grep -aqF "Selvaro's Yachts – charters before logout or checkpoint" "$spool"/c* 2>/dev/null && break
  sleep 0.1
done
grep -aqF "Selvaro's Yachts – charters before logout or checkpoint" "$spool"/c* ||
  fail "the checkpoint's job is not named for it"
kill -0 "$program_pid" 2>/dev/null || fail "a checkpoint ended the program"
press Escape
expect_active "Selvaro's Yachts"
# A checkpoint while a summary is on its way: the waiting line is on disk
# at once, is sent once the summary is through, and the file then goes.
enter_charter "Comerford"
summary_on_its_way
echo checkpoint >&7
for _ in $(seq 100); do
  [ "$(grep -cx "done 1" "$work/session.log")" -ge 2 ] && break
  sleep 0.1
done
[ "$(grep -cx "done 1" "$work/session.log")" -ge 2 ] || fail "no checkpoint done while a summary was on its way"
pending=("$work/home/Documents/Selvaro's Yachts – charters not yet printed "*.pdf)
[ -f "${pending[0]}" ] && pdftotext "${pending[0]}" - | grep -q Comerford ||
  fail "a checkpoint while a summary was on its way left the line only in memory"
"${control[@]}" thaw
expect_printed_once "Comerford" "a checkpoint while a summary was on its way"
for _ in $(seq 100); do
  [ -e "${pending[0]}" ] || break
  sleep 0.1
done
[ ! -e "${pending[0]}" ] || fail "the line printed, yet its file was kept"
kill -0 "$program_pid" 2>/dev/null || fail "a checkpoint while a summary was on its way ended the program"
enter_charter_and_stay "Logan"
echo logout >&7
expect_session die
expect_ended "a logout with the entry window open"
expect_printed_once "Logan" "a logout with the entry window open"
expect_printed_once "Checkley" "a checkpoint, then a logout"

# On Qt's Wayland platform, under a compositor (weston, drawing into the X
# display and taking its keyboard), the compositor goes. The program's
# Wayland traffic (WAYLAND_DEBUG) tells when a window has the keyboard and
# when the compositor has let a menu open; a menu opens only while the key
# that opened it is held. libwayland writes an event as
# "[time] interface@id.event(...)", from 1.23 (Debian 13) on as
# "[time] {queue} interface#id.event(...)"; requests have "->" before them.
mkdir -m 700 "$work/runtime"
XDG_RUNTIME_DIR=$work/runtime weston --backend=x11-backend.so --use-pixman --socket=selvaro-test --no-config --idle-time=0 \
  >"$work/weston.log" 2>&1 &
weston_pid=$!
pids+=("$weston_pid")
expect_active "Weston Compositor - screen0"
# Waits until the program's log after line $1 holds a line matching the
# extended regular expression $2, after a line holding the text $3 if given.
expect_wayland() {
  local from=$1 pattern=$2 after=${3:-}
  for _ in $(seq 100); do
    tail -n +"$from" "$work/program.log" | awk -v pattern="$pattern" -v after="$after" '
      after == "" || index($0, after) { seen = 1 }
      seen && $0 ~ pattern { found = 1; exit }
      END { exit !found }' && return 0
    sleep 0.1
  done
  fail "on Wayland, the program saw no \"$pattern\"${after:+ after \"$after\"}"
}
# The pattern of event $2 of interface $1 the program received.
wayland_event() { echo "^[[][^]]*[]] ([{][^}]*[}] )?$1[@#][0-9]+[.]$2[(]"; }
# ... until a window with the title, shown after line $2, has the keyboard.
expect_wayland_focus() { expect_wayland "$2" "$(wayland_event wl_keyboard enter)" "set_title(\"$1\")"; }
XDG_RUNTIME_DIR=$work/runtime WAYLAND_DISPLAY=selvaro-test QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=client \
  HOME=$work/home "$program" >"$work/program.log" 2>&1 &
program_pid=$!
pids+=("$program_pid")
expect_wayland_focus "Selvaro's Yachts" 1
lines=$(wc -l <"$work/program.log")
xdotool keydown alt+f
expect_wayland "$lines" "$(wayland_event xdg_popup configure)"
xdotool keyup f alt
press n
expect_wayland_focus "New Charter Form" "$lines"
lines=$(wc -l <"$work/program.log")
press :Wayland alt+h :2.5 alt+y :Sloop alt+s Down Down Return Escape
expect_wayland_focus "Selvaro's Yachts" "$lines"
kill "$weston_pid"
expect_ended "losing the Wayland compositor"
[ "$program_status" -lt 128 ] || fail "losing the compositor killed the program (status $program_status)"
expect_printed_once "Wayland" "losing the Wayland compositor"

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
  saved=("$work/home/Documents/Selvaro's Yachts – charters not yet printed "*.pdf)
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

# Asked to end with the scheduler not answering, the program waits with
# its progress window shown; the line is already saved before it is sent,
# so the SIGKILL a session manager sends after its timeout loses nothing.
rm "${saved[@]}"
start_program
enter_charter "Killingsworth"
"${control[@]}" freeze
kill -TERM "$program_pid"
for _ in $(seq 100); do
  saved=("$work/home/Documents/Selvaro's Yachts – charters not yet printed "*.pdf)
  [ -f "${saved[0]}" ] && xdotool search --onlyvisible --name "^Selvaro's Yachts\$" >/dev/null 2>&1 && break
  sleep 0.1
done
xdotool search --onlyvisible --name "^Selvaro's Yachts\$" >/dev/null || fail "no window while waiting at the end"
kill -KILL "$program_pid"
expect_ended "SIGKILL"
"${control[@]}" thaw
[ "${#saved[@]}" -eq 1 ] && pdftotext "${saved[0]}" - | grep -q Killingsworth ||
  fail "killed while waiting at the end, the line is not in one saved PDF"
echo "ok: killed while waiting for the scheduler at the end: the line was in the saved PDF"

# SIGTERM, then SIGKILL once the file is saved, then the scheduler mended
# ($3): the line ($1) must be in the one saved PDF.
expect_kept_through_kill() {
  kill -TERM "$program_pid"
  for _ in $(seq 100); do
    saved=("$work/home/Documents/Selvaro's Yachts – charters not yet printed "*.pdf)
    [ -f "${saved[0]}" ] && break
    sleep 0.1
  done
  kill -KILL "$program_pid"
  expect_ended "SIGKILL"
  "${control[@]}" "$3"
  [ "${#saved[@]}" -eq 1 ] && pdftotext "${saved[0]}" - | grep -q "$1" ||
    fail "killed $2, the line is not in one saved PDF"
  echo "ok: killed $2: the line was in the saved PDF"
}

# The same with a summary already on its way when SIGTERM arrives.
rm "${saved[@]}"
start_program
enter_charter "Sumner"
summary_on_its_way
expect_kept_through_kill Sumner "while a summary was on its way at the end" thaw

# SIGTERM while a message box says the summary could not be printed (the
# scheduler stopped): the box is shown again once the program has stopped,
# and must be read, but the line is on disk before it is, so a SIGKILL then
# loses nothing.
rm "${saved[@]}"
start_program
enter_charter "Boxwell"
"${control[@]}" stop
press alt+f p
for _ in $(seq 100); do
  [ "$(xdotool search --onlyvisible --name "^Selvaro's Yachts\$" 2>/dev/null | wc -l)" -ge 2 ] && break
  sleep 0.1
done
expect_kept_through_kill Boxwell "with a message box open at the end" start

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

# The queue refuses the job as the 10 seconds run out, on either side of
# the moment the program gives up (the scheduler is let go that long after
# the line was saved, as the wait began, and takes a moment to answer):
# either way the line is in exactly one whole file, named on standard
# error, with the cause that is known, the refusal or no answer.
for offset in 9.6 10.4; do
  rm "${saved[@]}"
  start_program
  enter_charter "Refusewell"
  "${control[@]}" reject
  "${control[@]}" freeze
  xkill -id "$(xdotool getactivewindow)" >/dev/null
  for _ in $(seq 100); do
    saved=("$work/home/Documents/Selvaro's Yachts – charters not yet printed "*.pdf)
    [ -f "${saved[0]}" ] && break
    sleep 0.05
  done
  sleep "$offset"
  "${control[@]}" thaw
  expect_ended "losing the display with a refusal near the limit"
  "${control[@]}" accept
  [ "$program_status" -lt 128 ] || fail "a refusal near the limit killed the program (status $program_status)"
  expect_saved
  [ "$(pdftotext "${saved[0]}" - | grep -c Refusewell)" = 1 ] || fail "the saved PDF does not hold the line once"
  cause=$(grep -oE "did not accept the document|did not answer before the program had to end" "$work/program.log") ||
    fail "a refusal near the limit was told as: $(tail -n 1 "$work/program.log")"
  echo "ok: losing the display, let go ${offset} s into the wait: the line was in one file; it $cause"
done

# With HOME unset (a service, some su sessions) and no print service, the
# line lands in the documents folder of the home the user database names,
# in one whole file, which is removed again.
database_home=$(getent passwd "$(id -u)" | cut -d: -f6)
saved_in_home() { { find "$database_home" "$database_home/Documents" -maxdepth 1 -name "*Selvaro's Yachts*" 2>/dev/null || true; } | sort; }
before=$(saved_in_home)
env -u HOME -u XDG_CONFIG_HOME XDG_STATE_HOME="$work/state" CUPS_SERVER="$work/no-scheduler.sock" "$program" \
  >"$work/program.log" 2>&1 &
program_pid=$!
pids+=("$program_pid")
expect_active "Selvaro's Yachts" "with HOME unset"
enter_charter "Homeless"
sever_display
file=$(sed -n 's/.*They were saved in "\(.*\)"\..*/\1/p' "$work/program.log")
[ -n "$file" ] && [ -f "$file" ] || fail "with HOME unset, no saved file was named"
case $file in
  "$database_home"/*) ;;
  *) rm -f "$file"; fail "with HOME unset, the line was saved outside $database_home: $file" ;;
esac
whole=$(pdftotext "$file" - 2>/dev/null | grep -c Homeless || true)
rm -f "$file"
[ "$(saved_in_home)" = "$before" ] || fail "with HOME unset, more than the one file was left: $(saved_in_home)"
[ "$whole" = 1 ] || fail "with HOME unset, the saved file does not hold the line once"
echo "ok: with HOME unset: the line was saved whole in $(dirname "$file")"

# A screen reader presses OK and Print Summary while a summary is on its way
# (the keyboard is held then): the summary holds the lines there were when it
# began; the charter accepted meanwhile prints once, with the summary asked
# for after it.
source "$(dirname "$0")/../../support/a11y_session.sh"
start_accessibility_bus
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
start_program
enter_charter_and_stay "Pressburger"
press :Bramwell alt+h :3 alt+y :Sloop alt+s Down
"${control[@]}" freeze
/usr/bin/python3 "$(dirname "$0")/press_while_sending.py" || fail "pressed over AT-SPI while sending"
"${control[@]}" thaw
expect_printed_once "Pressburger" "a summary pressed over AT-SPI"
expect_printed_once "Bramwell" "OK and Print Summary pressed while it was on its way"
kill -TERM "$program_pid"
expect_ended "SIGTERM after the summaries"
