# SPDX-License-Identifier: MIT
# Sourced by the tests that drive the real program: a private X display with
# a window manager, torn down on exit, and a wait for the window that has the
# keyboard. Defines `work` (a temporary folder), `pids` (killed on exit) and
# `fail`; the program's output is expected in "$work/program.log".

work=$(mktemp -d)
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
  local display=":$((100 + RANDOM % 800))"
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  pids+=($!)
  export DISPLAY=$display
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  openbox >"$work/openbox.log" 2>&1 &
  pids+=($!)
  sleep 0.5
  unset QT_QPA_PLATFORM
}

# Waits until the window with the keyboard carries the title.
expect_active() {
  local title=$1 name=""
  for _ in $(seq 100); do
    name=$(xdotool getactivewindow getwindowname 2>/dev/null || true)
    [ "$name" = "$title" ] && return 0
    sleep 0.1
  done
  fail "expected \"$title\" to have the keyboard, found \"$name\""
}
