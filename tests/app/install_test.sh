#!/usr/bin/env bash
# The installed program folder: the executables with the examples and the
# documentation beside them, launchers on the PATH, the desktop entries and
# their icons; the installed batch command working from its launcher; the
# engine for other programs: a C program built with the installed calvero.pc
# runs, and Debian's Python imports the installed module; every binary
# stripped, as installed by default.
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
check "the C library, its header and pkg-config file" test -f "$prefix/lib/libcalvero.so.1" -a -f "$prefix/include/calvero.h" -a -f "$prefix/lib/pkgconfig/calvero.pc"
check "calvero.pc names the prefix installed to" grep -qx "prefix=$prefix" "$prefix/lib/pkgconfig/calvero.pc"
cat >"$prefix/fit.c" <<'C'
#include <calvero.h>
#include <math.h>
#include <stdio.h>
int main(void)
{
    const double x[] = {1, 2, 3}, y[] = {3, 5, 7};
    calvero_request request = {3, 1, 3, x, y, NULL, NAN, NAN};
    calvero_result* result = NULL;
    const int status = calvero_fit(&request, &result);
    printf("%d %.3f %.3f\n", status, calvero_coefficient(result, 0), calvero_coefficient(result, 1));
    calvero_result_free(result);
    return status;
}
C
cc "$prefix/fit.c" $(PKG_CONFIG_PATH="$prefix/lib/pkgconfig" pkg-config --cflags --libs calvero) -o "$prefix/fit" &&
  LD_LIBRARY_PATH="$prefix/lib" "$prefix/fit" >"$prefix/fit.out"
check "a C program built against the installed library fits y = 1 + 2x" grep -qx '0 1.000 2.000' "$prefix/fit.out"
site="$(ls -d "$prefix"/lib/python3*/dist-packages 2>/dev/null | head -1)"
check "the Python module beside Python's packages" test -n "$site" -a -f "$(ls "$site"/calvero*.so 2>/dev/null | head -1)"
PYTHONPATH="$site" /usr/bin/python3 -c 'import calvero; print(calvero.fit([1, 2, 3], [3, 5, 7], degree=1).coefficients[1])' \
  >"$prefix/python.out" 2>&1
check "Debian's Python imports the installed module" grep -qx '2.0' "$prefix/python.out"
# Binaries go in stripped unless the build was configured to keep their symbols.
for binary in "$folder/calvero1" "$folder/calvero1-batch" "$folder/digitora" "$prefix/lib/libcalvero.so.1" "$site"/calvero*.so; do
  built="$build/$(basename "$binary")"
  if [[ "$(basename "$binary")" == libcalvero.so.1 ]]; then built="$build/libcalvero.so.1"; fi
  if grep -q '^CALVERO_INSTALL_STRIPPED:BOOL=OFF' "$build/CMakeCache.txt"; then
    check "$(basename "$binary") installed as built" cmp -s "$binary" "$built"
  else
    check "$(basename "$binary") installed stripped" bash -c "! readelf -S '$binary' | grep -q '\.symtab'"
  fi
done
"$prefix/bin/digitora" --extract "$folder/missing.png" --x 0,0=0 --x 1,0=1 --y 0,0=0 --y 0,1=1 --colour '#000000' 2>"$prefix/digitora.err"
check "installed digitora answers from its launcher (missing picture: exit 2)" test $? -eq 2 -a -s "$prefix/digitora.err"

finish
