#!/usr/bin/env bash
# The installed program folder: both executables with the examples and the
# documentation beside them, launchers on the PATH, the desktop entry and
# its icon; and the installed batch command working from its launcher.
set -u
build="$1"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/../script_support.sh"

cmake --install "$build" --prefix "$prefix" >/dev/null
check "install succeeded" test $? -eq 0
folder="$prefix/lib/calvero1"
for file in calvero1 calvero1-batch digitora calvero1.htm cattura.htm potenzaold.txt nr150b6.txt polinomiofratto.txt \
  esponenziale.txt temperatura_tempo.txt funzxy.txt; do
  check "program folder holds $file" test -f "$folder/$file"
done
check "launcher calvero1 on the PATH" test -L "$prefix/bin/calvero1" -a -x "$prefix/bin/calvero1"
check "launcher calvero1-batch on the PATH" test -L "$prefix/bin/calvero1-batch" -a -x "$prefix/bin/calvero1-batch"
check "launcher digitora on the PATH" test -L "$prefix/bin/digitora" -a -x "$prefix/bin/digitora"
check "desktop entry" grep -qx 'Exec=calvero1 %f' "$prefix/share/applications/calvero1.desktop"
check "icon" test -s "$prefix/share/icons/hicolor/scalable/apps/calvero1.svg"
check "digitora's desktop entry" grep -qx 'Exec=digitora %f' "$prefix/share/applications/digitora.desktop"
check "digitora's icon" test -s "$prefix/share/icons/hicolor/scalable/apps/digitora.svg"
if command -v desktop-file-validate >/dev/null; then
  for entry in calvero1 digitora; do
    check "desktop entry $entry is valid" desktop-file-validate "$prefix/share/applications/$entry.desktop"
  done
fi
"$prefix/bin/calvero1-batch" "$folder/potenzaold.txt" >"$prefix/out.txt" 2>&1
check "installed batch command runs an installed example" grep -qx 'tipo di equazione:CURVA DI POTENZA' "$prefix/out.txt"
"$prefix/bin/digitora" --extract "$folder/missing.png" --x 0,0=0 --x 1,0=1 --y 0,0=0 --y 0,1=1 --colour '#000000' 2>"$prefix/digitora.err"
check "installed digitora answers from its launcher (missing picture: exit 2)" test $? -eq 2 -a -s "$prefix/digitora.err"

finish
