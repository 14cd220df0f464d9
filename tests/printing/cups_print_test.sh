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
#   cups_print_test.sh --control WORK_DIR queue-KIND
#   cups_print_test.sh --control WORK_DIR clerk-options QUEUE|clerk-instance QUEUE
#
# (noprinter removes the queue, nodefault leaves another queue that is not
# the default, restore brings the default queue back; hold makes the queue
# hold new jobs, release cancels them and holds no more; freeze stops the scheduler with SIGSTOP, thaw lets it go
# on; paper-SIZE makes the default a PostScript queue whose default paper is
# SIZE, until restore. queue-KIND makes the default a queue of that kind:
# raw (a raw queue whose default paper is Letter), label (an address label
# driver), zebra (a 4 x 5 in label driver), receipt (an 80 mm receipt roll driver), class (a class of one raw
# queue), everywhere (a driverless IPP Everywhere printer, ippeveprinter),
# textonly (a driver that takes no PDF), failing (a printer that takes
# each job and then fails it, which aborts the job), simplex (a driverless
# printer that prints on one side only), login (a raw queue whose policy asks
# for a login; as root, the local user selvaro-clerk is made for it, with the
# password in WORK_DIR/login, and removed at the end). clerk-options saves
# the clerk's options for QUEUE in WORK_DIR/home/.cups/lpoptions (Legal, two
# copies, both sides), clerk-instance the same as QUEUE/front, made the
# clerk's default, clerk-pagesize a driver's PageSize (Legal) as print
# dialogs save it, clerk-labelsize a label driver's own name for a size
# (w162h288); no-clerk-options and restore forget them.) The scheduler
# also listens on WORK_DIR/cups.sock.
#
# Needs cupsd, lpadmin, lpstat, cupsreject/cupsaccept, pdftotext,
# ippeveprinter and ipptool, and cups-filters' drivers (tools/packages.sh
# installs them); SELVARO_AVAHI_STUB names the library that lets
# ippeveprinter run without a DNS-SD daemon. Nothing of the system's own
# printing is touched.
set -euo pipefail

queue=selvaro-test
# The local user made for the queue that asks for a login, and only that.
clerk_comment="Selvaro's Yachts test clerk"

scheduler_pid() { cat "$1/cupsd.pid" 2>/dev/null || true; }

# A free loopback port.
free_port() {
  local candidate
  for candidate in $(shuf -i 20000-60000 -n 50); do
    if ! (exec 3<>"/dev/tcp/127.0.0.1/$candidate") 2>/dev/null; then
      echo "$candidate"
      return 0
    fi
  done
  echo "no free port" >&2
  return 1
}

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

# A PostScript driver for an 80 mm receipt roll, 72 mm of it printable as
# thermal receipt drivers say: CUPS's generic one with that paper as default.
write_receipt_ppd() {
  local size='RP80x297/Roll Paper 80 x 297 mm' page='"<</PageSize[226.8 841.9]>>setpagedevice"'
  /usr/lib/cups/daemon/cups-driverd cat drv:///sample.drv/generic.ppd 2>/dev/null |
    sed -e 's/^\*Default\(PageSize\|PageRegion\|ImageableArea\|PaperDimension\): .*/*Default\1: RP80x297/' \
      -e "/^\\*DefaultPageSize:/a *PageSize $size: $page" -e "/^\\*DefaultPageRegion:/a *PageRegion $size: $page" \
      -e "/^\\*DefaultImageableArea:/a *ImageableArea $size: \"8.5 0 218.3 841.9\"" \
      -e "/^\\*DefaultPaperDimension:/a *PaperDimension $size: \"226.8 841.9\"" >"$1"
}

# A driverless printer of its own, on a free port, answering IPP; DNS-SD is
# stubbed out. The simplex one prints on one side only, and cancels a job
# that asks for both.
start_everywhere_printer() {
  local work=$1 kind=${2:-everywhere} port sides=-2
  [ "$kind" = everywhere ] || sides=
  port=$(free_port)
  mkdir -p "$work/$kind"
  # shellcheck disable=SC2086 # no option at all for one side
  LD_PRELOAD=${SELVARO_AVAHI_STUB:?set SELVARO_AVAHI_STUB} ippeveprinter -d "$work/$kind" -k -p "$port" \
    $sides -M Selvaro -m "Test Printer" -f application/pdf,image/pwg-raster "Selvaro $kind" \
    >>"$work/log/ippeveprinter.out" 2>&1 &
  echo $! >"$work/$kind.pid"
  for _ in $(seq 200); do
    if ipptool -q "ipp://127.0.0.1:$port/ipp/print" get-printer-attributes.test 2>/dev/null; then
      echo "$port" >"$work/$kind.port"
      return 0
    fi
    sleep 0.1
  done
  echo "ippeveprinter did not start:" >&2
  cat "$work/log/ippeveprinter.out" >&2
  return 1
}

make_default() {
  lpadmin -d "$1"
}

# The clerk's saved options, written as lpoptions saves them in the clerk's
# ~/.cups/lpoptions: a Dest line for a destination, a Default line for the
# clerk's default. Not by lpoptions itself, which run as root writes the
# system's /etc/cups/lpoptions from libcups 2.4.10 on, whatever HOME says.
save_clerk_options() {
  mkdir -p "$work/home/.cups"
  printf '%s\n' "$@" >"$work/home/.cups/lpoptions"
}

clerk_options() {
  save_clerk_options "${2:-Dest} $1 copies=2 media=na_legal_8.5x14in sides=two-sided-long-edge"
}

if [ "${1:-}" = --control ]; then
  work=$2
  export CUPS_SERVER="$work/cups.sock"
  case $3 in
    queue-raw)
      lpadmin -p selvaro-raw -E -v file:///dev/null -o media-default=na_letter_8.5x11in && make_default selvaro-raw ;;
    queue-label)
      lpadmin -p selvaro-label -E -v file:///dev/null -m drv:///sample.drv/dymo.ppd 2>/dev/null &&
        make_default selvaro-label ;;
    queue-zebra)
      lpadmin -p selvaro-zebra -E -v file:///dev/null -m drv:///sample.drv/zebra.ppd 2>/dev/null &&
        make_default selvaro-zebra ;;
    queue-receipt)
      write_receipt_ppd "$work/receipt.ppd"
      lpadmin -p selvaro-receipt -E -v file:///dev/null -P "$work/receipt.ppd" 2>/dev/null &&
        make_default selvaro-receipt ;;
    queue-class)
      lpadmin -p selvaro-member -E -v file:///dev/null && lpadmin -p selvaro-member -c selvaro-class &&
        cupsenable selvaro-class && cupsaccept selvaro-class && make_default selvaro-class ;;
    queue-everywhere)
      [ -f "$work/everywhere.port" ] || start_everywhere_printer "$work"
      lpadmin -p selvaro-everywhere -E -v "ipp://127.0.0.1:$(cat "$work/everywhere.port")/ipp/print" -m everywhere &&
        make_default selvaro-everywhere ;;
    queue-failing)
      lpadmin -p selvaro-failing -E -v selvaro-failing:/ -o printer-error-policy=abort-job && make_default selvaro-failing ;;
    queue-simplex)
      [ -f "$work/simplex.port" ] || start_everywhere_printer "$work" simplex
      lpadmin -p selvaro-simplex -E -v "ipp://127.0.0.1:$(cat "$work/simplex.port")/ipp/print" -m everywhere &&
        make_default selvaro-simplex ;;
    queue-textonly)
      lpadmin -p selvaro-textonly -E -v file:///dev/null -m drv:///cupsfilters.drv/textonly.ppd 2>/dev/null &&
        make_default selvaro-textonly ;;
    queue-login)
      [ "$(id -u)" -eq 0 ] || { echo "a local user for the login needs root" >&2; exit 3; }
      if ! id selvaro-clerk >/dev/null 2>&1; then
        useradd --no-create-home --shell /usr/sbin/nologin --comment "$clerk_comment" selvaro-clerk
      fi
      touch "$work/made-user"
      (umask 077 && head -c 12 /dev/urandom | base64 | tr -d '/+=' >"$work/login")
      echo "selvaro-clerk:$(cat "$work/login")" | chpasswd
      lpadmin -p selvaro-login -E -v file:///dev/null -o printer-op-policy=login && make_default selvaro-login ;;
    clerk-options) clerk_options "$4" ;;
    clerk-pagesize) save_clerk_options "Dest $4 PageSize=Legal" ;;
    clerk-labelsize) save_clerk_options "Dest $4 PageSize=w162h288" ;;
    no-clerk-options) rm -f "$work/home/.cups/lpoptions" ;;
    clerk-instance) clerk_options "$4/front" Default ;;
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
      rm -f "$work/home/.cups/lpoptions"
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
for tool in cupsd lpadmin lpstat cupsreject cupsaccept cupsdisable cupsenable pdftotext ipptool ippeveprinter; do
  command -v "$tool" >/dev/null || PATH=$PATH:/usr/sbin
  command -v "$tool" >/dev/null || { echo "missing $tool (see tools/packages.sh)" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/selvaro-cups.XXXXXX")
cleanup() {
  stop_scheduler "$work"
  for printer in everywhere simplex; do
    if [ -f "$work/$printer.pid" ]; then
      kill "$(cat "$work/$printer.pid")" 2>/dev/null || true
    fi
  done
  if [ -f "$work/made-user" ] && [ "$(getent passwd selvaro-clerk | cut -d: -f5)" = "$clerk_comment" ]; then
    userdel selvaro-clerk 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

# The scheduler drops to user lp for its filters and backends; everything it
# reads must be reachable by that user.
chmod 755 "$work"
mkdir -m 755 "$work/etc" "$work/spool" "$work/cache" "$work/state" "$work/tmp" "$work/log"

port=$(free_port)

cat >"$work/cupsd.conf" <<EOF
LogLevel warn
Listen 127.0.0.1:$port
Listen $work/cups.sock
Browsing No
WebInterface No
PreserveJobFiles Yes
PreserveJobHistory Yes
# Job files written at once, so tests can read a job's attributes back.
DirtyCleanInterval 0
DefaultAuthType Basic
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
<Policy login>
  JobPrivateAccess all
  JobPrivateValues none
  <Limit Create-Job Print-Job Send-Document>
    AuthType Basic
    Require valid-user
    Order deny,allow
    Allow all
  </Limit>
  <Limit All>
    Order deny,allow
    Allow all
  </Limit>
</Policy>
EOF

# The system's filters and backends, and a backend of the test's own: a
# printer that takes each job and then fails it, saying why.
mkdir -m 755 "$work/bin" "$work/bin/backend"
for part in /usr/lib/cups/*; do
  [ "$(basename "$part")" = backend ] || ln -s "$part" "$work/bin/"
done
for backend in /usr/lib/cups/backend/*; do
  ln -s "$backend" "$work/bin/backend/"
done
cat >"$work/bin/backend/selvaro-failing" <<'END'
#!/bin/sh
[ $# -eq 0 ] && exit 0
cat >/dev/null
echo "ERROR: The label roll is empty" >&2
exit 1
END
chmod 755 "$work/bin/backend/selvaro-failing"

cat >"$work/cups-files.conf" <<EOF
ServerRoot $work/etc
ServerBin $work/bin
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

# The program finds the scheduler over the loopback port. The clerk's
# options stay in the test's own home: the system's are as they were.
system_options=$(cat /etc/cups/lpoptions 2>/dev/null || true)
CUPS_SERVER="127.0.0.1:$port" "$driver" "$work/spool" "$queue" bash "$0" --control "$work"
if [ "$(cat /etc/cups/lpoptions 2>/dev/null || true)" != "$system_options" ]; then
  echo "FAIL: the system's /etc/cups/lpoptions changed" >&2
  exit 1
fi
