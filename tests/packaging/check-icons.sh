#!/usr/bin/env bash
# Renders the icon's SVG afresh and compares the result with the committed
# PNGs, so an SVG changed without running tools/render-icons is caught.
# Usage: check-icons.sh SOURCE_DIR
set -euo pipefail
source=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$source/tools/render-icons" "$tmp"
if ! diff <(cd "$source/icons" && ls selvaro-yachts-*.png) <(cd "$tmp" && ls); then
  echo "FAIL: the committed PNGs (<) and the rendered ones (>) are not the same set"
  exit 1
fi
stale=0
for png in "$tmp"/*.png; do
  if ! cmp -s "$png" "$source/icons/$(basename "$png")"; then
    echo "FAIL: icons/$(basename "$png") is not the current rendering of selvaro-yachts.svg"
    stale=1
  fi
done
[ "$stale" -eq 0 ] || { echo "Run tools/render-icons and commit the PNGs."; exit 1; }
echo "the committed PNGs match the SVG"
