#!/bin/sh
# Compiles the locales the tests switch to into a private folder (used via
# LOCPATH), so the machine needs none of them installed system-wide.
set -eu
dir=$1
mkdir -p "$dir"
for locale in de_DE ja_JP; do
  [ -f "$dir/$locale.UTF-8/LC_NUMERIC" ] && continue
  localedef -i "$locale" -f UTF-8 "$dir/$locale.UTF-8" || [ -f "$dir/$locale.UTF-8/LC_NUMERIC" ]
done
