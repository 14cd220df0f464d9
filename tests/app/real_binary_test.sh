#!/usr/bin/env bash
# Starts the real program on a private X display with a window manager and
# drives it with real key presses: the main window appears with the keyboard,
# New Charter and Cancel, About and OK each hand the keyboard on as a clerk
# expects, and the entry window's whole keyboard road works: Enter accepts
# from any field, Up and Down step through the lists without opening them,
# Alt+Down and F4 open them, Esc cancels, Space presses the focused button.
# The keys in an opened list act on the list alone, also with the program on
# Wayland.
#
# Run with XDG_CURRENT_DESKTOP naming a GTK desktop, Qt loads its GTK
# platform theme, and everything must hold the same.
set -euo pipefail
program=$1

source "$(dirname "$0")/../support/x_session.sh"
start_x_session
mkdir -p "$work/home/Documents"

# No print service: at Exit the charters accepted are saved as a PDF, which
# tells what the keys did.
HOME=$work/home CUPS_SERVER=$work/no-scheduler.sock "$program" >"$work/program.log" 2>&1 &
program_pid=$!
pids+=("$program_pid")

expect_active "Selvaro's Yachts"
main_window=$(xdotool getactivewindow)
theme=default
if [ -n "${XDG_CURRENT_DESKTOP:-}" ]; then
  grep -q libqgtk3 "/proc/$program_pid/maps" || fail "Qt did not load its GTK theme for $XDG_CURRENT_DESKTOP"
  theme="GTK ($XDG_CURRENT_DESKTOP)"
fi

press alt+f n
expect_active "New Charter Form"
press Escape
expect_active "Selvaro's Yachts"

press alt+h a
expect_active "About Selvaro's Yacht Charter Project"
press Return
expect_active "Selvaro's Yachts"

# Keys in an opened list act on the list alone, on X11 and on Wayland. Each
# row ends with the Enter that accepts the charter.
list_rows=(
  "alt+n :Ivers alt+h :1 alt+y :Sloop alt+s Down alt+Down Down Down Up Return Return"
  "alt+n :Joyce alt+h :2 alt+y Down alt+Down Down Return alt+s Down F4 Down F4 Return"
  "alt+n :Kemp alt+h :3 alt+y :Yawl alt+s Down alt+Down Down alt+Down Return"
  "alt+n :Lyle alt+h :4 alt+y :Yawl alt+s Down alt+Down Down Escape Return"
  "alt+n :Moss alt+h :5 alt+y :Yawl alt+s Down alt+Down Down space Return Return"
)
list_accepted="Ivers Sloop 24 1.0
Joyce Catalina 22 2.0
Kemp Yawl 22 3.0
Lyle Yawl 22 4.0
Moss Yawl 24 5.0"

press alt+f n
expect_active "New Charter Form"
# Each row: what is pressed, then the window that has the keyboard after it.
# A row ends where another window takes the keyboard.
rows=(
  # Enter in the name field accepts the charter.
  ":Avery alt+h :2.5 alt+y :Sloop alt+s Down alt+n Return|New Charter Form"
  # Down and Up step through both lists; Enter in the size list accepts.
  "alt+n :Brook alt+h :3 alt+y Down Down alt+s Down Down Down Up Return|New Charter Form"
  # Alt+Down and F4 open the list, where Down moves and Enter picks; the
  # next Enter accepts.
  "alt+n :Carver alt+h :4 alt+y :Yawl alt+s Down alt+Down Down Return Return|New Charter Form"
  "alt+n :Dunmore alt+h :4.5 alt+y :Yawl alt+s F4 Down Return Return|New Charter Form"
  # Hours that are no number: Enter asks for them, and the hours field has
  # the keyboard once the box is closed.
  "alt+n :Ellis alt+h :abc alt+y :Ketch alt+s Down Return|Missing Data"
  "Return|New Charter Form"
  "ctrl+a :5 Return|New Charter Form"
  # Space presses the button that has the focus: Clear empties the fields,
  # so Enter then finds no hours.
  "alt+n :Fenwick alt+h :6 alt+c space Return|Missing Data"
  "Return|New Charter Form"
  # Tab from the size list reaches OK, and Space presses it.
  "alt+n :Hale alt+h :7 alt+y :Ketch alt+s Down Down Tab space|New Charter Form"
  "${list_rows[@]/%/|New Charter Form}"
  # Esc leaves the typed charter behind.
  "alt+n :Grant alt+h :8 Escape|Selvaro's Yachts"
  "alt+f n|New Charter Form"
  "alt+s Down alt+h :9 Return|Missing Data"
  "Return|New Charter Form"
  "Escape|Selvaro's Yachts"
)
for row in "${rows[@]}"; do
  read -ra keys <<<"${row%|*}"
  press "${keys[@]}"
  expect_active "${row#*|}" "after ${row%|*}"
done

# Exit: no printer, so the lines are saved, and a box over no window says
# where.
press alt+f x
for _ in $(seq 100); do
  box=$(xdotool getactivewindow 2>/dev/null || true)
  [ -n "$box" ] && [ "$box" != "$main_window" ] && [ "$(xdotool getwindowname "$box")" = "Selvaro's Yachts" ] && break
  sleep 0.1
done
press Return
saved=("$work/home/Documents/"*.pdf)
for _ in $(seq 50); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$program_pid" 2>/dev/null && fail "Exit did not end the program"
[ -f "${saved[0]}" ] || fail "no charter lines were saved"

# The charters accepted, in order: name, yacht type, size, hours.
accepted=$(pdftotext -layout "${saved[0]}" - | awk 'NF >= 5 { print $1, $2, $3, $4 }')
expected="Avery Sloop 22 2.5
Brook Catalina 24 3.0
Carver Yawl 24 4.0
Dunmore Yawl 24 4.5
Ellis Ketch 22 5.0
Hale Ketch 24 7.0
$list_accepted"
[ "$accepted" = "$expected" ] || fail "with the $theme theme, the keys accepted:
$accepted
rather than:
$expected"
echo "ok: with the $theme theme, the keyboard road works and Exit ended the program"

# The list keys on Wayland, under weston in this display, where the window
# beneath an opened list keeps the keyboard; the program's Wayland traffic
# tells which window has it and when a list or menu opened or closed.
# The lines saved at that end are in the journal too, for the next start to
# print: this start begins without them.
rm -r "${saved[0]}" "$work/home/.local/state"
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime WAYLAND_DISPLAY=selvaro-keys
# No key repeat: a key held on a slow machine stays one press.
printf '[keyboard]\nrepeat-rate=0\n' >"$work/weston.ini"
weston --backend=x11-backend.so --use-pixman --socket=selvaro-keys --config="$work/weston.ini" >/dev/null 2>&1 &
pids+=($!)
expect_active "Weston Compositor - screen0"
QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=client HOME=$work/home CUPS_SERVER=$work/no-scheduler.sock \
  "$program" >"$work/program.log" 2>&1 &
pids+=($!)
lines() { wc -l <"$work/program.log"; }
# Waits until the traffic after line $1 matches the extended expression $2.
traffic() {
  for _ in $(seq 200); do
    tail -n +"$1" "$work/program.log" | tr '\n' ' ' | grep -Eq "$2" && return 0
    sleep 0.05
  done
  fail "on Wayland, no \"$2\""
}
keyboard_to() { traffic "$1" "set_title[(]\"$2\"[)].*wl_keyboard[@#][0-9]+[.]enter[(]"; }
# Holds a key until a list or menu has opened or closed: weston lets one open
# only while the key that asked for it is down.
hold() {
  local from; from=$(lines)
  xdotool keydown "$1"
  traffic "$from" 'xdg_popup[@#][0-9]+[.](configure|destroy)[(]'
  xdotool keyup $(tr + '\n' <<<"$1" | tac)
}
keyboard_to 1 "Selvaro's Yachts"
from=$(lines)
hold alt+f && press n && keyboard_to "$from" "New Charter Form"
for row in "${list_rows[@]}"; do
  for key in $row; do
    case $key in alt+Down | F4) hold "$key" ;; *) press "$key" ;; esac
  done
done
# Back, then Exit and Enter in the box that says where the lines went.
from=$(lines)
press Escape && keyboard_to "$from" "Selvaro's Yachts"
from=$(lines)
hold alt+f && press x && keyboard_to "$from" "Selvaro's Yachts"
press Return
accepted=$(pdftotext -layout "$work/home/Documents/"*.pdf - | awk 'NF >= 5 { print $1, $2, $3, $4 }')
[ "$accepted" = "$list_accepted" ] || fail "on Wayland with the $theme theme, the list keys accepted:
$accepted
rather than:
$list_accepted"
echo "ok: on Wayland with the $theme theme, keys in an opened list acted on the list alone"
