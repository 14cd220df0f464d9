#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Prints through the program's real printer service into a private CUPS
# scheduler and reads back what it spooled.
#
#   cups_print_test.sh DRIVER
#
# Starts cupsd with its own configuration, spool, logs and state in a
# temporary folder, listening on a free loopback port and a private socket
# and keeping every job's document, adds a raw queue that prints to
# /dev/null, makes it the default and runs DRIVER (cups_print_driver) with
# CUPS_SERVER pointing at it. The driver stops, starts, rejects and accepts
# through this script:
#
#   cups_print_test.sh --control WORK_DIR stop|start|reject|accept
#   cups_print_test.sh --control WORK_DIR disable|enable
#   cups_print_test.sh --control WORK_DIR noprinter|nodefault|restore
#   cups_print_test.sh --control WORK_DIR hold|release|freeze|thaw
#   cups_print_test.sh --control WORK_DIR paper-Letter|paper-A4|paper-Legal
#
# (noprinter removes the queue, nodefault leaves another queue that is not
# the default, restore brings the default queue back; hold makes the queue
# hold new jobs, release cancels them and holds no more; freeze stops the scheduler with SIGSTOP, thaw lets it go
# on; paper-SIZE makes the default a PostScript queue whose default paper is
# SIZE, until restore.) The scheduler also listens on WORK_DIR/cups.sock.
#
# Needs cupsd, lpadmin, lpstat, cupsreject/cupsaccept and pdftotext
# (tools/packages.sh installs them). Nothing of the system's own printing
# is touched.
set -euo pipefail

queue=selvaro-test

scheduler_pid() { cat "$1/cupsd.pid" 2>/dev/null || true; }

start_scheduler() {
  local work=$1
  cupsd -f -c "$work/cupsd.conf" -s "$work/cups-files.conf" >>"$work/log/cupsd.out" 2>&1 &
  echo $! >"$work/cupsd.pid"
  # Up once it answers on its socket; give up after 20 seconds.
  for _ in $(seq 200); do
    if CUPS_SERVER="$work/cups.sock" lpstat -r 2>/dev/null | grep -q "scheduler is running"; then
      return 0
    fi
    if ! kill -0 "$(scheduler_pid "$work")" 2>/dev/null; then
      break
    fi
    sleep 0.1
  done
  echo "cupsd did not start:" >&2
  cat "$work/log/cupsd.out" "$work/log/error_log" >&2 2>/dev/null || true
  return 1
}

stop_scheduler() {
  local work=$1 pid
  pid=$(scheduler_pid "$work")
  [ -n "$pid" ] || return 0
  kill "$pid" 2>/dev/null || true
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  rm -f "$work/cupsd.pid"
}

# A raw queue that prints to /dev/null, made the default: the spool keeps
# exactly the PDF the program sent.
add_default_queue() {
  local out
  if ! out=$(lpadmin -p "$queue" -E -v file:///dev/null 2>&1); then
    echo "$out" >&2
    return 1
  fi
  lpadmin -d "$queue"
}

if [ "${1:-}" = --control ]; then
  work=$2
  export CUPS_SERVER="$work/cups.sock"
  case $3 in
    stop) stop_scheduler "$work" ;;
    start) start_scheduler "$work" ;;
    reject) cupsreject -r "held for a test" "$queue" ;;
    accept) cupsaccept "$queue" ;;
    disable) cupsdisable -r "stopped for a test" "$queue" ;;
    enable) cupsenable "$queue" ;;
    noprinter) lpadmin -x "$queue" ;;
    nodefault) lpadmin -p "$queue-spare" -E -v file:///dev/null && lpadmin -x "$queue" ;;
    restore)
      lpadmin -x "$queue-spare" 2>/dev/null || true
      lpadmin -x "$queue-paper" 2>/dev/null || true
      add_default_queue ;;
    hold) lpadmin -p "$queue" -o job-hold-until-default=indefinite ;;
    release) lpadmin -p "$queue" -o job-hold-until-default=no-hold && cancel -a "$queue" ;;
    freeze) kill -STOP "$(scheduler_pid "$work")" ;;
    thaw) kill -CONT "$(scheduler_pid "$work")" ;;
    paper-*)
      # The paper comes from the queue's driver; printing stays off paper
      # (the device is /dev/null) and a failing filter aborts only its job.
      lpadmin -p "$queue-paper" -E -v file:///dev/null -m drv:///sample.drv/generic.ppd \
        -o "PageSize=${3#paper-}" -o printer-error-policy=abort-job
      lpadmin -d "$queue-paper" ;;
    *) echo "unknown action $3" >&2; exit 2 ;;
  esac
  exit 0
fi

driver=${1:?usage: cups_print_test.sh DRIVER}
for tool in cupsd lpadmin lpstat cupsreject cupsaccept cupsdisable cupsenable pdftotext; do
  command -v "$tool" >/dev/null || PATH=$PATH:/usr/sbin
  command -v "$tool" >/dev/null || { echo "missing $tool (see tools/packages.sh)" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/selvaro-cups.XXXXXX")
cleanup() {
  stop_scheduler "$work"
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

# The scheduler drops to user lp for its filters and backends; everything it
# reads must be reachable by that user.
chmod 755 "$work"
mkdir -m 755 "$work/etc" "$work/spool" "$work/cache" "$work/state" "$work/tmp" "$work/log"

# A free loopback port.
port=
for candidate in $(shuf -i 20000-60000 -n 50); do
  if ! (exec 3<>"/dev/tcp/127.0.0.1/$candidate") 2>/dev/null; then
    port=$candidate
    break
  fi
done
[ -n "$port" ] || { echo "no free port" >&2; exit 1; }

cat >"$work/cupsd.conf" <<EOF
LogLevel warn
Listen 127.0.0.1:$port
Listen $work/cups.sock
Browsing No
WebInterface No
PreserveJobFiles Yes
PreserveJobHistory Yes
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  JobPrivateAccess all
  JobPrivateValues none
  SubscriptionPrivateAccess all
  SubscriptionPrivateValues none
  <Limit All>
    Order deny,allow
    Allow all
  </Limit>
</Policy>
EOF

cat >"$work/cups-files.conf" <<EOF
ServerRoot $work/etc
RequestRoot $work/spool
CacheDir $work/cache
StateDir $work/state
TempDir $work/tmp
AccessLog $work/log/access_log
ErrorLog $work/log/error_log
PageLog $work/log/page_log
Printcap $work/printcap
FileDevice Yes
EOF
if [ "$(id -u)" -eq 0 ]; then
  printf 'User lp\nGroup lp\nSystemGroup root\n' >>"$work/cups-files.conf"
else
  printf 'SystemGroup %s\n' "$(id -gn)" >>"$work/cups-files.conf"
fi

start_scheduler "$work"
export CUPS_SERVER="$work/cups.sock"
add_default_queue
lpstat -d | grep -q "$queue" || { echo "the private queue is not the default" >&2; exit 1; }

# The program finds the scheduler over the loopback port.
CUPS_SERVER="127.0.0.1:$port" "$driver" "$work/spool" "$queue" bash "$0" --control "$work"
