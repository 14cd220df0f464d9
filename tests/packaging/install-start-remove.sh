#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The README's Install steps on a system of their own (the Debian 13 stage
# of tools/test --full runs it in a throwaway copy): the package installed
# with apt, started with the command its desktop entry gives the launcher,
# its main window shown with the keyboard under a real X display, ended by
# File > Exit, then removed with apt, none of its files left.
#
#   install-start-remove.sh DEB
#
# As root; it changes the system's packages, so never on a machine of use.
set -euo pipefail
deb=$(realpath "$1")
source "$(dirname "$0")/../support/x_session.sh"

export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq --no-install-recommends "$deb" >"$work/apt.log" 2>&1 ||
  fail "apt-get did not install $deb: $(cat "$work/apt.log")"
entry=/usr/share/applications/org.selvaro.Yachts.desktop
[ -f "$entry" ] || fail "no desktop entry at $entry"
# The launcher's command: Exec without its field codes.
command=$(sed -n 's/^Exec=//p' "$entry" | sed 's/ *%[fFuUdDnNickvm]//g')
[ -n "$command" ] || fail "the desktop entry has no Exec"

start_x_session
mkdir -p "$work/home"
# A clerk's session: no printer, nothing waiting at Exit.
HOME=$work/home CUPS_SERVER=$work/no-scheduler.sock bash -c "exec $command" >"$work/program.log" 2>&1 &
program_pid=$!
pids+=("$program_pid")
expect_active "Selvaro's Yachts" "after \"$command\""
press alt+f x
for _ in $(seq 100); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$program_pid" 2>/dev/null && fail "File > Exit did not end the program"
status=0
wait "$program_pid" || status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status"
echo "ok: installed, started as \"$command\" from the launcher's entry, ended by File > Exit"

apt-get remove -y -qq selvaro-yachts >"$work/apt.log" 2>&1 ||
  fail "apt-get did not remove the package: $(cat "$work/apt.log")"
left=$(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }' |
  while read -r file; do if [ -e "$file" ]; then echo "$file"; fi; done)
[ -z "$left" ] || fail "removing the package left: $left"
echo "ok: removed, none of its files left"
