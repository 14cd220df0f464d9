#!/usr/bin/env bash
# Inspects the Debian package that tools/build-deb made into DEB_DIR: its
# name and control fields, its files (the install's under /usr plus what
# Debian adds, with the right modes and owners) and the runtime dependencies
# that dpkg-shlibdeps read from the binary.
# Usage: check-deb.sh DEB_DIR VERSION SOURCE_DIR
set -euo pipefail
dir=$1 version=$2 source=$3
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

arch=$(dpkg --print-architecture)
deb=$dir/selvaro-yachts_${version}_${arch}.deb
if [ ! -f "$deb" ]; then
  echo "FAIL: no $(basename "$deb"); $dir holds:"; ls "$dir"; exit 1
fi

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = selvaro-yachts ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)'"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is '$(field Architecture)'"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"
# The program prefers XWayland in a Wayland session; Qt's own Wayland
# platform is there for those who ask for it.
[ -z "$(field Recommends)" ] || fail "Recommends is '$(field Recommends)'"
[ "$(field Suggests)" = qt6-wayland ] || fail "Suggests is '$(field Suggests)'"

# Files: the install's paths under /usr, the manual page compressed, and
# the changelog and copyright Debian requires; regular files only, owned by
# root; the binary executable by all, the rest readable by all and written
# by none but root.
dpkg-deb --contents "$deb" >"$tmp/contents"
awk '$1 !~ /^d/ { sub(/^\.\/usr\//, "", $6); print $6 }' "$tmp/contents" | LC_ALL=C sort >"$tmp/files"
multiarch=$(dpkg-architecture --query DEB_HOST_MULTIARCH)
{
  sed -e 's|^\(share/man/.*\)$|\1.gz|' -e "s|^lib/|lib/$multiarch/|" "$here/installed-files.txt"
  printf '%s\n' share/doc/selvaro-yachts/changelog.gz share/doc/selvaro-yachts/copyright
} | LC_ALL=C sort >"$tmp/expected"
if ! diff -u "$tmp/expected" "$tmp/files"; then
  fail "package files differ from installed-files.txt and Debian's (- expected, + packaged)"
fi
grep -qE '^-rwxr-xr-x root/root .* \./usr/bin/selvaro-yachts$' "$tmp/contents" ||
  fail "the binary is not -rwxr-xr-x root/root"
bad_modes=$(awk '$1 !~ /^d/ && $6 ~ /^\.\/usr\/(share|lib)\// && !($1 == "-rw-r--r--" && $2 == "root/root")' "$tmp/contents")
[ -z "$bad_modes" ] || fail "data files with other modes or owners: $bad_modes"

# Dependencies, one package name per entry, without version constraints.
field Depends | tr ',' '\n' | sed 's/^ *//; s/[ (].*//' | sort -u >"$tmp/depends"
for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6; do
  grep -qx "$package" "$tmp/depends" || fail "Depends lacks $package"
done
# libcups comes from the CUPS module, through dpkg-shlibdeps, whatever the
# distribution calls its package; debian/control does not name it.
grep -qE '^libcups2(t64)?$' "$tmp/depends" || fail "Depends lacks libcups2"
if grep -qE '^Depends:.*libcups' "$source/debian/control"; then
  fail "debian/control names libcups by hand"
fi
grep -qE '^libicu[0-9]+$' "$tmp/depends" || fail "Depends lacks ICU (libicuNN)"
# Every library the packaged binary loads must come with a dependency: its
# owner among the installed Debian packages is named in Depends.
dpkg-deb --extract "$deb" "$tmp/root"
needed=$(for elf in "$tmp/root/usr/bin/selvaro-yachts" "$tmp/root/usr/lib/$multiarch"/selvaro-yachts/*.so; do
  readelf -d "$elf" | sed -n 's/.*(NEEDED).*\[\(.*\)\]$/\1/p'; done | sort -u)
[ -n "$needed" ] || fail "the packaged binary and module name no libraries"
# The binary finds its CUPS module where the package puts it.
from_binary=$(strings -a -el "$tmp/root/usr/bin/selvaro-yachts" | grep -m 1 -E '^(\.\./)+lib/.*selvaro-yachts$' || true)
[ -f "$tmp/root/usr/bin/$from_binary/selvaro-cups.so" ] ||
  fail "the binary looks for its CUPS module in '$from_binary', where the package has none"
for library in $needed; do
  owners=$(dpkg --search "*/$multiarch/$library" 2>/dev/null |
    sed -n "s|: [^ ]*/$multiarch/$library\$||p" | tr ',' '\n' | sed 's/^ *//; s/:.*//' | sort -u)
  if [ -z "$owners" ]; then
    fail "no Debian package provides $library"
  elif ! grep -qxF -f <(echo "$owners") "$tmp/depends"; then
    fail "$library comes from $(echo $owners), which Depends does not name"
  fi
done
# The copyright file's licence text is the repository's LICENSE, word for
# word (DEP-5 indents it and writes blank lines as " .").
copyright=$tmp/root/usr/share/doc/selvaro-yachts/copyright
# The text is the paragraph that opens with "License: Expat" alone.
awk 'text && !/^ / { exit } text { sub(/^ /, ""); sub(/^\.$/, ""); print }
     blank && /^License: Expat$/ { text = 1 } { blank = ($0 == "") }' "$copyright" >"$tmp/licence"
if ! diff -u <(sed -n '/^Permission/,$p' "$source/LICENSE") "$tmp/licence"; then
  fail "the copyright file's licence text is not LICENSE's (- LICENSE, + copyright)"
fi
grep -qxF "$(grep -m1 '^Copyright (c)' "$source/LICENSE" | sed 's/^Copyright (c)/Copyright:/')" "$copyright" ||
  fail "the copyright file does not name LICENSE's holder and year"

# The icon is carried as PNGs, so Qt's SVG support is not needed at run time.
if grep -E '^libqt6svg' "$tmp/depends"; then fail "Depends names Qt's SVG module"; fi

if [ "$failures" -ne 0 ]; then
  echo "Depends: $(field Depends)"
  exit 1
fi
echo "package $(basename "$deb") depends on: $(field Depends)"
