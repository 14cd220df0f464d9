# SPDX-License-Identifier: MIT
# Sourced after x_session.sh by the tests that read the program as a screen
# reader does: a private session bus with the accessibility bus on it, as a
# desktop with a screen reader has, and a home of its own. Qt finds the
# accessibility bus there and exposes the program over AT-SPI.

# Waits, at most 10 seconds, until the command after the first argument
# succeeds; the first argument says what is awaited, for the failure.
wait_until() {
  local what=$1
  shift
  for _ in $(seq 100); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  fail "$what did not happen within 10 seconds"
}

start_accessibility_bus() {
  export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime
  export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
  mkdir -p "$HOME/Documents" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  dbus-daemon --session --address="unix:path=$work/session-bus" --nofork >"$work/dbus.log" 2>&1 &
  pids+=($!)
  export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/session-bus
  wait_until "the session bus" dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.GetId
  /usr/libexec/at-spi-bus-launcher --launch-immediately --a11y=1 >"$work/at-spi.log" 2>&1 &
  pids+=($!)
  wait_until "the accessibility bus" dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress
}
