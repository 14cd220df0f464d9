#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real program, killed with charter lines not yet printed, as a power cut
# or a crash would end it, then started again, printing to the private CUPS
# scheduler of tests/printing/cups_print_test.sh, which runs this as its
# driver:
#
#   SELVARO_PROGRAM=selvaro-yachts cups_print_test.sh earlier_runs_test.sh
#
# Each accepted line is in the program's journal before the fields clear;
# the next start prints what the killed run left, with that run's summary,
# once, and says so; a journal whose program still runs is left alone; a
# journal cut off mid-record gives what came before; with no journal to be
# written, the clerk is told once and the lines still print.
set -euo pipefail
spool=$1
control=("${@:3}")
program=${SELVARO_PROGRAM:?set SELVARO_PROGRAM to the program}
here=$(dirname "$0")

source "$here/../../support/x_session.sh"
start_x_session
source "$here/../../support/a11y_session.sh"
start_accessibility_bus
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
journals=$HOME/.local/state/selvaro-yachts

start_program() {
  "$program" >"$work/program.log" 2>&1 &
  program_pid=$!
  pids+=("$program_pid")
}

enter_charters() {
  expect_active "Selvaro's Yachts"
  press alt+f n
  expect_active "New Charter Form"
  local name
  for name in "$@"; do
    press ":$name" alt+h :2.5 alt+y :Sloop alt+s Down Down Return
  done
  press Escape
  expect_active "Selvaro's Yachts"
}

jobs_now() { find "$spool" -name 'd*-001' | wc -l; }
completed_jobs() { CUPS_SERVER="${control[-1]}/cups.sock" lpstat -W completed -o | wc -l; }

# The text of the newest job once there are $1, within 15 seconds.
newest_job() {
  for _ in $(seq 150); do
    [ "$(jobs_now)" -ge "$1" ] && break
    sleep 0.1
  done
  [ "$(jobs_now)" -eq "$1" ] || fail "expected $1 jobs, the scheduler holds $(jobs_now)"
  pdftotext -layout "$(find "$spool" -name 'd*-001' | sort | tail -n 1)" -
}

kill_program() {
  kill -KILL "$program_pid"
  wait "$program_pid" 2>/dev/null || true
}

# 1. Killed with two lines waiting: the next start prints both, with the
#    run's summary, in one job, says so, and leaves no journal; a third
#    start prints nothing.
start_program
enter_charters Ashby Barrow
ls "$journals"/*.journal >/dev/null 2>&1 || fail "no journal holds the accepted lines"
kill_program
before=$(jobs_now)
start_program
told=$(/usr/bin/python3 "$here/message_text.py") || fail "no message after printing an earlier run: $told"
job=$(newest_job $((before + 1)))
for word in Ashby Barrow "Average Hours Chartered: 2.5" 'Total Revenue: $685.00'; do
  [ "$(grep -c "$word" <<<"$job")" = 1 ] || fail "the earlier run's job holds \"$word\" $(grep -c "$word" <<<"$job") times"
done
grep -q "2 charter lines entered on .* have been printed now, followed by that run's summary" <<<"$told" ||
  fail "told: $told"
ls "$journals"/*.journal >/dev/null 2>&1 && fail "a journal is left after printing it"
echo "ok: killed with two lines waiting: the next start printed them once, with the summary, and said so"
press Return
kill -TERM "$program_pid"
wait "$program_pid" 2>/dev/null || true
start_program
[ "$(/usr/bin/python3 "$here/message_text.py" --none)" = none ] || fail "a third start said something"
[ "$(jobs_now)" -eq $((before + 1)) ] || fail "a third start printed"
kill -TERM "$program_pid"
wait "$program_pid" 2>/dev/null || true
echo "ok: a third start printed nothing and said nothing"

# 2. Killed while a summary was on its way to a scheduler that does not
#    answer: the line is printed once, at the next start.
start_program
enter_charters Carver
"${control[@]}" freeze
press alt+f p
sleep 1
kill_program
"${control[@]}" thaw
before=$(jobs_now)
start_program
/usr/bin/python3 "$here/message_text.py" >/dev/null || fail "no message after printing an earlier run"
job=$(newest_job $((before + 1)))
[ "$(grep -c Carver <<<"$job")" = 1 ] || fail "the line on its way was not printed once"
press Return
kill -TERM "$program_pid"
wait "$program_pid" 2>/dev/null || true
echo "ok: killed with a summary on its way: the next start printed its line once"

# 2b. Killed once CUPS has the summary's document but before its answer
#     came (every answer 3 s late): the job the journal noted is asked
#     about at the next start, and the line is not printed a second time.
"${SELVARO_RELAY:?set SELVARO_RELAY to tests/printing/relay_tool}" "$work/late.sock" "${control[-1]}/cups.sock" 3000 &
pids+=($!)
before=$(jobs_now)
CUPS_SERVER=$work/late.sock start_program
enter_charters Dalton
completed_before=$(completed_jobs)
press alt+f p
# Each request goes once the last answer came: five or more of them, 3 s
# each, before the document reaches CUPS; more on a loaded machine.
for _ in $(seq 600); do
  [ "$(completed_jobs)" -gt "$completed_before" ] && break
  sleep 0.1
done
newest_job $((before + 1)) | grep -q Dalton || fail "the summary did not reach the scheduler"
kill_program
start_program
[ "$(/usr/bin/python3 "$here/message_text.py" --none)" = none ] || fail "a start after a summary CUPS took said something"
kill -TERM "$program_pid"
wait "$program_pid" 2>/dev/null || true
[ "$(jobs_now)" -eq $((before + 1)) ] || fail "a line CUPS took before the kill was printed again"
ls "$journals"/*.journal >/dev/null 2>&1 && fail "a journal is left whose lines CUPS took"
echo "ok: killed before CUPS's answer came: the line it took was not printed again"

# 3. A journal cut off in the middle of its last record (the power lost as
#    it was written) gives every whole record before it.
start_program
enter_charters Dunmore Elwood
kill_program
journal=$(ls "$journals"/*.journal)
truncate -s -10 "$journal"
before=$(jobs_now)
start_program
/usr/bin/python3 "$here/message_text.py" >/dev/null || fail "no message after printing a cut-off journal"
job=$(newest_job $((before + 1)))
[ "$(grep -c Dunmore <<<"$job")" = 1 ] && [ "$(grep -c Elwood <<<"$job")" = 0 ] ||
  fail "a journal cut off in its last record printed: $job"
press Return
kill -TERM "$program_pid"
wait "$program_pid" 2>/dev/null || true
echo "ok: a journal cut off mid-record: the whole records were printed"

# 4. A journal whose program still runs is left alone by a second program,
#    which prints nothing; the first prints its own line at its end.
start_program
enter_charters Fairbanks
first=$program_pid
before=$(jobs_now)
start_program
[ "$(/usr/bin/python3 "$here/message_text.py" --none)" = none ] || fail "a second program said something"
kill -TERM "$program_pid"
wait "$program_pid" 2>/dev/null || true
[ "$(jobs_now)" -eq "$before" ] || fail "a second program printed the first one's journal"
kill -TERM "$first"
wait "$first" 2>/dev/null || true
job=$(newest_job $((before + 1)))
[ "$(grep -c Fairbanks <<<"$job")" = 1 ] || fail "the first program's line was not printed once at its end"
ls "$journals"/*.journal >/dev/null 2>&1 && fail "a journal is left after its lines printed"
echo "ok: a journal whose program runs was left alone"

# 5. No journal can be written (the state folder is a file): the clerk is
#    told once, and the lines still print at the end.
rm -rf "$HOME/.local/state"
touch "$HOME/.local/state"
before=$(jobs_now)
start_program
expect_active "Selvaro's Yachts"
press alt+f n
expect_active "New Charter Form"
press :Galloway alt+h :2.5 alt+y :Sloop alt+s Down Down Return
# The first charter's message: accepted, but not kept safe.
told=$(/usr/bin/python3 "$here/message_text.py") || fail "not told that lines are not kept safe"
grep -q "cannot keep charter lines safe on disk" <<<"$told" || fail "told: $told"
press Return
expect_active "New Charter Form"
press :Hartley alt+h :2.5 alt+y :Sloop alt+s Down Down Return
expect_active "New Charter Form"
[ "$(/usr/bin/python3 "$here/message_text.py" --none)" = none ] || fail "told a second time"
press Escape
kill -TERM "$program_pid"
wait "$program_pid" 2>/dev/null || true
job=$(newest_job $((before + 1)))
[ "$(grep -c Galloway <<<"$job")" = 1 ] && [ "$(grep -c Hartley <<<"$job")" = 1 ] ||
  fail "without a journal, the lines were not printed once at the end"
rm -f "$HOME/.local/state"
echo "ok: with no journal to be written: told once, and the lines printed"
