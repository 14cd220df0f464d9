#!/usr/bin/env bash
# Formats the manual page as man(1) does, the way lintian checks it, and
# fails on any message from groff; checks that its NAME line gives apropos
# the program's name and summary, and that its header names this version.
# Usage: check-manpage.sh PAGE VERSION
set -euo pipefail
page=$1 version=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

for encoding in UTF-8 ascii; do
  if ! LC_ALL=C.UTF-8 MANWIDTH=80 MANROFFSEQ='' man --warnings -E "$encoding" -l "$page" \
      >"$tmp/page.txt" 2>"$tmp/messages"; then
    fail "man -l could not format the page ($encoding)"
  fi
  if [ -s "$tmp/messages" ]; then
    fail "groff reports ($encoding):"
    cat "$tmp/messages"
  fi
done
grep -q '^NAME' "$tmp/page.txt" || fail "the formatted page has no NAME section"

whatis=$(lexgrog "$page" 2>&1 || true)
[[ $whatis == *': "selvaro-yachts - '?*'"' ]] ||
  fail "apropos cannot read the NAME line: $whatis"

read -r th <<<"$(grep -m1 '^\.TH ' "$page")"
[[ $th == '.TH SELVARO-YACHTS 1 '* ]] || fail "the header is not for selvaro-yachts(1): $th"
[[ $th == *"Yachts $version\""* ]] || fail "the header does not name version $version: $th"

[ "$failures" -eq 0 ] || exit 1
echo "$whatis"
