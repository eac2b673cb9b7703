#!/usr/bin/env bash
# calvero1-batch on what users' folders really hold: a point file saved on
# Windows (a Windows-1252 header, UTF-16 "Unicode text"), a binary file, a
# file name that is no UTF-8, a file of more than 200 lines, and a disk that
# fills up. Every table is read back by Python's json, openpyxl and a strict
# UTF-8 decoder; every failure is said and leaves no partial file.
set -u
build="$1"
batch="$build/calvero1-batch"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/../script_support.sh"

mkdir "$work/cartella"
printf 'T(\xb0C);p(kPa)\r\n10;1,2\r\n20;2,3\r\n30;4,2\r\n' >"$work/cartella/windows.txt"
printf '1;2\n2;4,5\n3;9,1\n4;16\n' >"$work/cartella/nome"$'\xe8'".csv"
/usr/bin/python3 -c "
import random, sys
random.seed(7)
sys.stdout.buffer.write(bytes(random.randrange(256) for _ in range(4000)) + bytes(range(32)))" >"$work/cartella/binario.txt"

"$batch" --kind 3 --degree 1 --summary "$work/s.json" "$work/cartella" 2>"$work/err"
check "JSON summary of Windows-1252 and binary files: no abort, exit 1" test $? -eq 1
check "the JSON parses, the Windows header reads T(°C), the bad name reads nomeè" /usr/bin/python3 - "$work/s.json" <<'PY'
import json, sys
doc = json.load(open(sys.argv[1], encoding="utf-8"))
rows = {f["file"].split("/")[-1]: f for f in doc["files"]}
assert sorted(rows) == ["binario.txt", "nome\u00e8.csv", "windows.txt"], sorted(rows)
assert rows["windows.txt"]["outcome"].endswith("T(\u00b0C)"), rows["windows.txt"]["outcome"]
assert rows["nome\u00e8.csv"]["outcome"] == "ok"
assert rows["binario.txt"]["outcome"].startswith("valore non numerico alla riga ")
PY
"$batch" --kind 3 --degree 1 --json - "$work/cartella" >"$work/stdout.json" 2>/dev/null
check "--json - parses" /usr/bin/python3 -c "import json,sys; assert len(json.load(open(sys.argv[1]))['files']) == 3" "$work/stdout.json"
"$batch" --kind 3 --degree 1 --json "$work/j.json" --summary "$work/s.csv" "$work/cartella" 2>/dev/null
check "--json X --summary Y.csv: both written" test -s "$work/j.json" -a -s "$work/s.csv"
check "the CSV is UTF-8 without control characters, a header and three rows" /usr/bin/python3 - "$work/s.csv" "$work/j.json" <<'PY'
import csv, json, sys
text = open(sys.argv[1], "rb").read().decode("utf-8")
assert not any(ord(c) < 32 and c not in "\t\r\n" for c in text)
rows = list(csv.reader(text.splitlines(), delimiter=";"))
assert len(rows) == 4, rows
json.load(open(sys.argv[2]))
PY

"$batch" --kind 3 --degree 1 --summary "$work/s.xlsx" "$work/cartella" 2>/dev/null
check "the .xlsx opens in openpyxl with every row and no character XML forbids" /usr/bin/python3 - "$work/s.xlsx" <<'PY'
import re, sys, zipfile, openpyxl
sheet = openpyxl.load_workbook(sys.argv[1]).active
assert sheet.max_row == 4, sheet.max_row
names = sorted(sheet.cell(r, 1).value.split("/")[-1] for r in range(2, 5))
assert names == ["binario.txt", "nome\u00e8.csv", "windows.txt"], names
part = zipfile.ZipFile(sys.argv[1]).read("xl/worksheets/sheet1.xml").decode("utf-8")
assert not re.search(r"&#(x0*[0-8bcef1]|x0*1[0-9a-f]|0*([0-8]|1[124-9]|2[0-9]|3[01]));", part, re.I), "a forbidden character reference"
PY
"$batch" --kind 3 --degree 1 --summary "$work/s.xls" "$work/cartella" 2>/dev/null
check "the .xls reads in xlrd with the Windows header decoded" /usr/bin/python3 - "$work/s.xls" <<'PY'
import sys, xlrd
sheet = xlrd.open_workbook(sys.argv[1]).sheet_by_index(0)
assert sheet.nrows == 4, sheet.nrows
outcomes = [sheet.cell_value(r, sheet.ncols - 1) for r in range(1, 4)]
assert any(o.endswith("T(\u00b0C)") for o in outcomes), outcomes
PY

# UTF-16 "Unicode text" (tabs, decimal commas), little- and big-endian with
# their marks, against its UTF-8 twin.
/usr/bin/python3 - "$work" <<'PY'
import sys
text = "".join("%s\t%s\r\n" % (str(q).replace(".", ","), str(32 + 0.05 * q - 0.0064 * q * q).replace(".", ",")) for q in (10, 15, 20, 25.5, 30, 40, 50))
open(sys.argv[1] + "/utf8.txt", "w", encoding="utf-8").write(text)
open(sys.argv[1] + "/utf16le.txt", "wb").write(b"\xff\xfe" + text.encode("utf-16-le"))
open(sys.argv[1] + "/utf16be.txt", "wb").write(b"\xfe\xff" + text.encode("utf-16-be"))
PY
"$batch" --points "$work/utf8.txt" --kind 3 --degree 2 >"$work/utf8.out" 2>&1
check "UTF-8 twin fits" test $? -eq 0
for twin in utf16le utf16be; do
  "$batch" --points "$work/$twin.txt" --kind 3 --degree 2 >"$work/$twin.out" 2>&1
  check "$twin: exit 0" test $? -eq 0
  check "$twin: the same report as its UTF-8 twin" cmp -s "$work/utf8.out" "$work/$twin.out"
done

# More than 200 lines: the batch says so and still fits the first 200.
seq 1 250 | awk '{print $1 ";" 2 * $1 + 1}' >"$work/lungo.txt"
"$batch" --points "$work/lungo.txt" --kind 3 --degree 1 >/dev/null 2>"$work/lungo.err"
check "a long point file still exits 0" test $? -eq 0
check "a long point file is said on stderr" grep -qx "lette le prime 200 righe del file $work/lungo.txt" "$work/lungo.err"
"$batch" --kind 3 --degree 1 --summary "$work/lungo.csv" "$work/lungo.txt" 2>"$work/lungo_summary.err"
check "the summary says it too and exits 0" bash -c "test $? -eq 0 && grep -qx 'lette le prime 200 righe del file $work/lungo.txt' '$work/lungo_summary.err'"

# A full disk: a small tmpfs of its own, in a private mount namespace.
full_disk() {
  local target="$1"
  mkdir -p "$target"
  mount -t tmpfs -o size=256k tmpfs "$target" || return 1
  printf 'grafico di prima' >"$target/grafico.png"
  head -c 1M /dev/zero >"$target/riempimento" 2>/dev/null
  "$batch" "$build/nr150b6.txt" --png "$target/grafico.png" >/dev/null 2>"$work/png_old.err"
  echo $? >"$work/png_old.code"
  "$batch" "$build/nr150b6.txt" --png "$target/nuovo.png" >/dev/null 2>"$work/png_new.err"
  echo $? >"$work/png_new.code"
  ls -A "$target" >"$work/png.files"
  cat "$target/grafico.png" >"$work/png.kept"
}
export -f full_disk
export batch build work
if unshare -rm bash -c "full_disk '$work/pieno'" 2>/dev/null || { test "$(id -u)" -eq 0 && unshare -m bash -c "full_disk '$work/pieno'"; }; then
  check "--png on a full disk exits 2" test "$(cat "$work/png_old.code") $(cat "$work/png_new.code")" = "2 2"
  check "--png on a full disk says why, in Italian" grep -qx "errore di scrittura del file $work/pieno/nuovo.png: spazio esaurito sul disco" "$work/png_new.err"
  check "the earlier picture stays, no partial file is left" bash -c "test \"\$(cat '$work/png.kept')\" = 'grafico di prima' && test \"\$(cat '$work/png.files' | tr '\n' ' ')\" = 'grafico.png riempimento '"
else
  echo "skipped: no private mount namespace for a full disk here"
fi
finish
