#!/usr/bin/env bash
# A blind clerk's charter, heard through Orca: the real program on a private
# X display, Orca and speech-dispatcher on a private session bus with the
# accessibility bus, and a speech module that writes each utterance to a
# file instead of speaking it. A charter entered by keyboard is heard with
# each field's label, a filled field whole as its access key or Tab comes
# back to it, the size after each Down and the acceptance with its charge;
# then the "Missing Data" alert; then the main window, named, where the first
# keys work; then the summary and the yacht list sent to the printer. The program prints to the
# private CUPS scheduler of tests/printing/cups_print_test.sh, which runs
# this as its driver:
#
#   SELVARO_PROGRAM=selvaro-yachts cups_print_test.sh screen_reader_test.sh
set -euo pipefail
queue=$2
program=${SELVARO_PROGRAM:?set SELVARO_PROGRAM to the program}

source "$(dirname "$0")/../support/x_session.sh"
source "$(dirname "$0")/../support/a11y_session.sh"
start_x_session
start_accessibility_bus

spoken=$work/spoken.txt
: >"$spoken"
mkdir -p "$work/speech/modules"
cat >"$work/speech/speechd.conf" <<EOF
AddModule "logger" "sd_generic" "logger.conf"
DefaultModule logger
AudioOutputMethod "alsa"
EOF
cat >"$work/speech/modules/logger.conf" <<EOF
GenericExecuteSynth "printf '%s\\\\n' \'\$DATA\' >> $spoken"
GenericLanguage "en" "en_US" "utf-8"
AddVoice "en_US" "MALE1" "logger"
EOF
# The module opens a sound device all the same: ALSA's null device.
printf 'pcm.!default { type null }\n' >"$HOME/.asoundrc"
speech-dispatcher -C "$work/speech" -s -t 0 -L "$work" >"$work/speech-dispatcher.log" 2>&1 &
pids+=($!)
wait_until "speech-dispatcher's socket" test -S "$XDG_RUNTIME_DIR/speech-dispatcher/speechd.sock"
# Orca runs once per user, counting the screen readers of other sessions;
# this one has a session of its own.
/usr/bin/python3 -c '
import runpy, sys
sys.argv = ["orca"]
orca = runpy.run_path("/usr/bin/orca")
orca["main"].__globals__["otherOrcas"] = lambda: []
sys.exit(orca["main"]())' >"$work/orca.log" 2>&1 &
pids+=($!)

heard=0
# What Orca said since the last `listen`.
said() { tail -n "+$((heard + 1))" "$spoken"; }
listen() { heard=$(wc -l <"$spoken"); }
# Waits until Orca has said a line holding the text (with -x: being it).
expect_said() {
  local match=(-F)
  [ "$1" = -x ] && match=(-xF) && shift
  for _ in $(seq 100); do
    said | grep -q "${match[@]}" -- "$1" && return 0
    sleep 0.1
  done
  fail "Orca did not say \"$1\"; since then it said:
$(said)
Orca's output: $(tail -5 "$work/orca.log")
speech-dispatcher's: $(tail -5 "$work/speech-dispatcher.log")"
}
# A chord as a hand presses it, the modifier down a moment before the key
# and up a moment after: Qt hands each key event to the screen reader and
# back, and a chord quicker than any hand reaches the menus out of order.
chord() { xdotool keydown "$1" sleep 0.1 key "$2" sleep 0.1 keyup "$1"; }

expect_said "Screen reader on."
"$program" >"$work/program.log" 2>&1 &
pids+=($!)
expect_active "Selvaro's Yachts"
expect_said "Selvaro's Yachts main window frame."

listen
chord alt f
press n
expect_active "New Charter Form"
expect_said "Customer Name: text."
press :Jones
listen
chord alt h
expect_said "Chartered Hours: text."
press :2.5
# Back to a filled field by its access key, and by Tab: heard whole.
listen
chord alt n
expect_said "Customer Name: text."
expect_said -x "Jones selected."
listen
press Tab
expect_said "Chartered Hours: text."
expect_said -x "2.5 selected."
listen
chord alt y
expect_said "Available Yachts: editable combo box."
press :Hobie
listen
chord alt s
expect_said "Yacht Size: combo box."
for size in 22 24; do
  listen
  press Down
  expect_said -x "$size."
done
listen
press Return
expect_said 'Charter accepted: Jones, 2.5 hours, $342.50'
echo "ok: Orca said each label, filled fields whole, the size after each Down and the charter accepted with its charge"

# The fields are empty again: Enter asks for the hours.
listen
press Return
expect_said -x "alert Missing Data."
expect_said "Please enter the number of hours"
press Return
expect_active "New Charter Form"

listen
press Escape
expect_active "Selvaro's Yachts"
expect_said "Selvaro's Yachts main window frame."
chord alt f
press n
expect_active "New Charter Form"
echo "ok: Orca read the Missing Data alert and the main window by name, where the first keys worked"

# Print Summary, then Print Yacht Types: each told once sent, the main
# window keeping the keyboard.
press Escape
expect_active "Selvaro's Yachts"
listen
chord alt f && press p && expect_said "Summary sent to $queue"
chord alt f && press y && expect_said "Yacht list sent to $queue"
expect_active "Selvaro's Yachts"
echo "ok: Orca said the summary and the yacht list were sent to $queue"
