#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The program's layers depend one way: core <- printing <- ui <- app.
#   check-layers.sh SOURCE_DIR BUILD_DIR
# Fails when a file of a layer includes a header of a layer above it or of a
# Qt module the layer may not use (core: Gui, Widgets, Print Support;
# printing: Widgets, Print Support; ui: Print Support, which the program
# does without), or when a layer's sources are compiled with the include
# paths of those modules, which is what keeps such includes from compiling
# at all there. Within ui, only the program itself includes ui/program.h,
# and the command guard leaves the clerk's words to the windows.
set -euo pipefail
source_dir=$1 build_dir=$2
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Includes, by layer: what each layer may not include.
widgets='<(QtWidgets/|QApplication>|QWidget>|QDialog>|QMessageBox>|QProgressDialog>|QMainWindow>)'
print_support='<(QtPrintSupport/|QPrinter>|QPrinterInfo>|QPrintDialog>|QPrintPreview[A-Za-z]*>|QPageSetupDialog>)'
declare -A above=([core]="(\"(printing|ui|app)/|<Qt(Gui|Widgets|PrintSupport)/)"
  [printing]="(\"(ui|app)/|$widgets|$print_support)" [ui]="(\"app/|$print_support)"
  # Within ui: the windows and the program's life reach the program through
  # forms::Owner, and the windows word what stopped a command.
  [ui/forms]='"ui/program\.h"' [ui/life]='"ui/program\.h"' [ui/widgets]='"ui/program\.h"'
  [ui/command_guard.h]='"ui/(program|forms/clerk_words)\.h"' [ui/command_guard.cpp]='"ui/(program|forms/clerk_words)\.h"')
for layer in core printing ui ui/forms ui/life ui/widgets ui/command_guard.h ui/command_guard.cpp; do
  while IFS= read -r hit; do
    fail "$hit includes a layer above $layer"
  done < <(grep -rnHE "#include ${above[$layer]}" "$source_dir/$layer" || true)
done

# Compile commands: each source with the Qt modules its layer links.
commands=$build_dir/compile_commands.json
[ -f "$commands" ] || { echo "FAIL: no $commands"; exit 1; }
declare -A banned=([core]='QtGui|QtWidgets|QtPrintSupport' [printing]='QtWidgets|QtPrintSupport' [ui]='QtPrintSupport')
declare -A checked=([core]=0 [printing]=0 [ui]=0)
while IFS=$'\t' read -r file command; do
  relative=${file#"$source_dir"/}
  layer=${relative%%/*}
  [ -n "${banned[$layer]:-}" ] || continue
  checked[$layer]=$((checked[$layer] + 1))
  if grep -qE "/(${banned[$layer]})( |\"|$)" <<<"$command"; then
    fail "$relative is compiled with $(grep -oE "/(${banned[$layer]})( |$)" <<<"$command" | head -n 1)"
  fi
done < <(awk '# the whole value: a command holds quoted defines (\")
  function value(line) { sub(/^ *"[a-z]+": "/, "", line); sub(/",?$/, "", line); return line }
  /^ *"command":/ { command = value($0) } /^ *"file":/ { print value($0) "\t" command }' "$commands")
for layer in core printing ui; do
  [ "${checked[$layer]}" -gt 0 ] || fail "no source of $layer found in $commands"
done

[ "$failures" -eq 0 ] || exit 1
echo "layers: no include reaches a layer above; ${checked[core]} sources of core compiled with Qt Core alone," \
  "${checked[printing]} of printing without Widgets or Print Support, ${checked[ui]} of ui without Print Support"
