# SPDX-License-Identifier: MIT
# Sourced by the tests that drive the real program: a private X display with
# a window manager, torn down on exit, and a wait for the window that has the
# keyboard. Defines `work` (a temporary folder), `pids` (killed on exit) and
# `fail`; the program's output is expected in "$work/program.log".

work=$(mktemp -d)
# The program keeps its journal of unprinted lines under the home each test
# gives it, never in the state folder of whoever runs the tests.
unset XDG_STATE_HOME
pids=()
x_session_cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap x_session_cleanup EXIT

fail() {
  echo "FAIL: $*"
  cat "$work/program.log" 2>/dev/null || true
  exit 1
}

start_x_session() {
  # The server picks a free display and writes its number once it takes
  # connections; tests running side by side never share one.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
  done
  [ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
  export DISPLAY=":$(cat "$work/display")"
  unset QT_QPA_PLATFORM
  # The window manager runs its start-up command once it manages windows,
  # and names its check window on the root window.
  # Its log and session files go to the test's folder, not the runner's home.
  XDG_CACHE_HOME="$work/cache" openbox --startup "touch $work/window-manager-ready" >"$work/openbox.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do
    [ -e "$work/window-manager-ready" ] &&
      xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && return 0
    sleep 0.1
  done
  fail "the window manager did not start: $(cat "$work/openbox.log")"
}

# Presses keys in the window that has the keyboard: a word starting with ":"
# is typed as text, any other word is a key or chord for xdotool.
press() {
  local word
  for word in "$@"; do
    case $word in
      :*) xdotool type --delay 20 "${word#:}" ;;
      *) xdotool key "$word" ;;
    esac
  done
}

# Waits until the window with the keyboard carries the title; a second
# argument says when, for the failure message.
expect_active() {
  local title=$1 name=""
  for _ in $(seq 100); do
    name=$(xdotool getactivewindow getwindowname 2>/dev/null || true)
    [ "$name" = "$title" ] && return 0
    sleep 0.1
  done
  fail "expected \"$title\" to have the keyboard${2:+ $2}, found \"$name\""
}
