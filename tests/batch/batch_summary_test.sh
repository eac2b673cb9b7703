#!/usr/bin/env bash
# calvero1-batch over many files at once: a folder of the six examples with a
# refused and an unreadable file, the table in its three formats, and a family
# of curves fitted one parameter at a time, its coefficients checked by numpy.
set -u
build="$1"
batch="$build/calvero1-batch"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/../script_support.sh"

mkdir "$work/catalogo"
for example in potenzaold nr150b6 polinomiofratto esponenziale temperatura_tempo funzxy; do
  cp "$build/$example.txt" "$work/catalogo/"
done
# A data set file without a kind (refused) and a file that is no data set (unreadable).
{ echo 0; tail -n +2 "$build/nr150b6.txt"; } >"$work/catalogo/senza_tipo.txt"
printf 'appunti del collaudo\n' >"$work/catalogo/note.dat"

"$batch" --summary "$work/riepilogo.csv" --json "$work/riepilogo.json" "$work/catalogo" >"$work/out" 2>"$work/err"
code=$?
check "a file that cannot be read gives exit 2" test "$code" -eq 2
check "nothing on standard output with --summary" test ! -s "$work/out"
check "one header and eight rows" bash -c "test \$(wc -l <'$work/riepilogo.csv') -eq 9"
check "six rows say ok" bash -c "test \$(grep -c ';ok\$' <(tr -d '\r' <'$work/riepilogo.csv')) -eq 6"
check "the refused file is named with its refusal" grep -q 'senza_tipo.txt;.*tipo non scelto= 0' "$work/riepilogo.csv"
check "the unreadable file is named with why" grep -q 'note.dat;.*il file non contiene dati validi' "$work/riepilogo.csv"
check "the JSON holds the same eight rows and the exit" /usr/bin/python3 - "$work/riepilogo.json" <<'PY'
import json, sys
doc = json.load(open(sys.argv[1]))
assert len(doc["files"]) == 8 and doc["exit"] == 2, doc
assert sum(1 for f in doc["files"] if f["outcome"] == "ok") == 6
PY
"$batch" --summary "$work/riepilogo.xls" "$work/catalogo" 2>/dev/null
check "the workbook's table, read by xlrd, has the polynomial's coefficients" /usr/bin/python3 - "$work/riepilogo.xls" <<'PY'
import sys, xlrd
sheet = xlrd.open_workbook(sys.argv[1]).sheet_by_index(0)
assert sheet.nrows == 9, sheet.nrows
rows = {sheet.cell_value(r, 0).split("/")[-1]: r for r in range(1, sheet.nrows)}
r = rows["nr150b6.txt"]
assert sheet.cell_value(r, 1) == "POLINOMIO" and sheet.cell_value(r, 2) == 2 and sheet.cell_value(r, 3) == 11
assert abs(sheet.cell_value(r, 4) - 32.0612727272727) < 1e-9, sheet.cell_value(r, 4)
PY

"$batch" --summary "$work/riepilogo.xlsx" "$work/catalogo" 2>/dev/null
check "the .xlsx table, read as zip and XML, has the power curve's A at full precision" /usr/bin/python3 - "$work/riepilogo.xlsx" <<'PY'
import sys, zipfile, xml.etree.ElementTree as ET
ns = {"m": "http://schemas.openxmlformats.org/spreadsheetml/2006/main"}
sheet = ET.fromstring(zipfile.ZipFile(sys.argv[1]).read("xl/worksheets/sheet1.xml"))
rows = sheet.findall("m:sheetData/m:row", ns)
assert len(rows) == 9, len(rows)
def text(cell):
    t = cell.find("m:is/m:t", ns)
    return t.text if t is not None else cell.find("m:v", ns).text
cells = {r.find("m:c", ns).find("m:is/m:t", ns).text.split("/")[-1]: r for r in rows[1:]}
power = [text(c) for c in cells["potenzaold.txt"].findall("m:c", ns)]
assert power[1] == "POTENZA", power
assert abs(float(power[3]) - 2.5777516967e-05) < 1e-15, power
PY

# Three pump curves H = a + b Q + c Q^2, one per impeller, in one x;parameter;y file.
/usr/bin/python3 - "$work/famiglia.txt" <<'PY'
import sys
with open(sys.argv[1], "w") as out:
    for d, (a, b, c) in {150: (32.0, 0.05, -0.0064), 160: (36.5, 0.048, -0.0061), 170: (41.2, 0.046, -0.0058)}.items():
        for q in range(10, 65, 5):
            out.write("%g;%g;%s\n" % (q, d, repr(a + b * q + c * q * q + (0.02 if q % 10 else -0.02))))
PY
"$batch" --kind 3 --degree 2 --each-parameter "$work/famiglia.txt" >"$work/famiglia.csv"
check "a family of three curves fits cleanly" test $? -eq 0
check "three rows, one per parameter, agree with numpy.polyfit of each curve" /usr/bin/python3 - "$work/famiglia.csv" "$work/famiglia.txt" <<'PY'
import sys, numpy
rows = [line.rstrip("\r\n").split(";") for line in open(sys.argv[1], encoding="utf-8")][1:]
points = [tuple(map(float, line.split(";"))) for line in open(sys.argv[2])]
assert [float(r[1]) for r in rows] == [150, 160, 170], rows
for r in rows:
    d = float(r[1])
    q = [p[0] for p in points if p[1] == d]
    h = [p[2] for p in points if p[1] == d]
    c, b, a = numpy.polyfit(q, h, 2)
    got = [float(v.replace(",", ".")) for v in r[5:8]]
    for mine, theirs in zip(got, (a, b, c)):
        assert abs(mine - theirs) <= 1e-9 * max(1.0, abs(theirs)), (d, got, (a, b, c))
PY
finish
