#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what arrived: exactly
# the expected files, an executable binary without a private library path,
# icons at the sizes their folders claim, and a desktop entry and metainfo
# that point at what was installed.
# Usage: check-install.sh BUILD_DIR VERSION [APPSTREAMCLI_OPTION...]
set -euo pipefail
build=$1 version=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/usr
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" || {
  cat "$tmp/install.log"; exit 1; }

# Every installed path, files and links, against the list.
(cd "$prefix" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort) >"$tmp/installed"
if ! diff -u "$here/installed-files.txt" "$tmp/installed"; then
  fail "installed files differ from installed-files.txt (- expected, + installed)"
fi

binary=$prefix/bin/selvaro-yachts
[ -x "$binary" ] || fail "bin/selvaro-yachts is not executable"
module=$(cd "$prefix" && ls lib/selvaro-yachts/*.so 2>/dev/null | head -n 1)
for elf in "$binary" ${module:+"$prefix/$module"}; do
  if readelf -d "$elf" | grep -E 'R(UN)?PATH'; then
    fail "the installed ${elf#"$prefix"/} carries a library search path"
  fi
done
# The program loads its CUPS module from the folder it names relative to its
# own (a UTF-16 string in the binary); that folder, as installed, holds the
# module.
from_binary=$(strings -a -el "$binary" | grep -m 1 -E '^(\.\./)+lib/.*selvaro-yachts$' || true)
if [ -z "$module" ] || [ ! -f "$prefix/bin/$from_binary/$(basename "$module")" ]; then
  fail "the binary looks for its CUPS module in '$from_binary', which does not hold ${module:-it}"
fi
if readelf -d "$prefix/$module" | grep -qE 'NEEDED.*libcups'; then :; else
  fail "the CUPS module does not link libcups"
fi
if readelf -d "$binary" | grep -E 'NEEDED.*libcups'; then
  fail "the binary itself links libcups: start-up would load it"
fi

# PNG width and height are the big-endian words at bytes 16 and 20.
for png in "$prefix"/share/icons/hicolor/*x*/apps/*.png; do
  folder=$(basename "$(dirname "$(dirname "$png")")")
  read -r width height < <(od -An -tu1 -j16 -N8 "$png" |
    awk '{ print $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }')
  [ "${width}x${height}" = "$folder" ] || fail "$folder icon is ${width}x${height}"
done
svg=$prefix/share/icons/hicolor/scalable/apps/org.selvaro.Yachts.svg
grep -q '<svg' "$svg" || fail "the scalable icon is not an SVG"

desktop=$prefix/share/applications/org.selvaro.Yachts.desktop
key() { sed -n "s/^$1=//p" "$desktop"; }
exec_name=$(key Exec | cut -d' ' -f1)
[ -x "$prefix/bin/$exec_name" ] || fail "desktop entry runs '$exec_name', which is not installed in bin"
# Launchers tie a running window to its entry by the window's class, which Qt
# takes from the binary's name.
[ "$(key StartupWMClass)" = "$exec_name" ] ||
  fail "desktop entry's StartupWMClass '$(key StartupWMClass)' is not the binary's name"
icon=$(key Icon)
for size in 16x16 32x32 48x48 64x64 128x128 256x256; do
  [ -f "$prefix/share/icons/hicolor/$size/apps/$icon.png" ] ||
    fail "desktop entry's icon '$icon' has no $size picture"
done
[ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] ||
  fail "desktop entry's icon '$icon' has no scalable picture"

metainfo=$prefix/share/metainfo/org.selvaro.Yachts.metainfo.xml
grep -q "<release version=\"$version\"" "$metainfo" ||
  fail "metainfo does not name release $version"
grep -q "<binary>$exec_name</binary>" "$metainfo" ||
  fail "metainfo does not provide the binary $exec_name"
# Checks that the metainfo's launchable is the installed desktop entry.
appstreamcli validate-tree --no-net --strict "$@" "$prefix" || fail "appstreamcli validate-tree"

[ "$failures" -eq 0 ] || exit 1
echo "installed tree is complete"
