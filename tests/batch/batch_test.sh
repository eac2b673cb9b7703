#!/usr/bin/env bash
# calvero1-batch on the installed examples and on point files: reports on
# standard output, exit codes, and the workbook, RTF and graph it writes,
# each read back by an independent reader.
set -u
build="$1"
batch="$build/calvero1-batch"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/../script_support.sh"

for example in potenzaold nr150b6 polinomiofratto esponenziale temperatura_tempo funzxy; do
  "$batch" "$build/$example.txt" >"$work/$example.out" 2>"$work/$example.err"
  code=$?
  check "$example exits 0" test "$code" -eq 0
  check "$example report begins with its head" grep -q -E '^(tipo di equazione:|POLINOMIO Z=F\(x,y\))' "$work/$example.out"
  check "$example has no trailing blanks" bash -c "! grep -q ' \$' '$work/$example.out'"
  check "$example says nothing on stderr" test ! -s "$work/$example.err"
done
check "power report names its kind" grep -qx 'tipo di equazione:CURVA DI POTENZA' "$work/potenzaold.out"
check "surface report lists 10 terms, each named" bash -c "grep -cE '^ +[0-9]+ +-?[0-9]+[.][0-9]{11,} +[(][xy1^*0-9]+[)]$' '$work/funzxy.out' | grep -qx 10"

# Outputs: workbook read by xlrd, RTF by unrtf, graph as a PNG of 1024 x 768.
"$batch" "$build/nr150b6.txt" --xls "$work/n.xls" --rtf "$work/n.rtf" --png "$work/n.png" >/dev/null
check "outputs written, exit 0" test $? -eq 0
check "workbook sheet FOGLIO1 holds the check formula's value" /usr/bin/python3 - "$work/n.xls" <<'PY'
import sys, xlrd
book = xlrd.open_workbook(sys.argv[1])
sheet = book.sheet_by_index(0)
assert book.sheet_names() == ["FOGLIO1"], book.sheet_names()
b = [sheet.cell_value(r, 1) for r in range(2, 12)]
x = sheet.cell_value(2, 3)
expected = sum(b[k] * x ** k for k in range(8))
assert abs(sheet.cell_value(2, 4) - expected) <= 1e-6 * max(1.0, abs(expected)), (sheet.cell_value(2, 4), expected)
PY
if command -v unrtf >/dev/null; then
  check "RTF report readable" bash -c "unrtf --text '$work/n.rtf' 2>/dev/null | grep -q 'EQUAZIONE POLINOMIALE DI GRADO:'"
fi
check "graph is a 1024 x 768 PNG" /usr/bin/python3 - "$work/n.png" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read(24)
assert data[:8] == b"\x89PNG\r\n\x1a\n"
assert struct.unpack(">II", data[16:24]) == (1024, 768)
PY

# A point file with the power kind and a refused calculation.
printf '1;3\n2;12\n3;27\n' >"$work/p.csv"
"$batch" --points "$work/p.csv" --kind 2 --degree 2 >"$work/p.out" 2>&1
check "point file: exit 0" test $? -eq 0
check "point file: A = 3" grep -qx ' COEFFICIENTE A=  3.000000000000' "$work/p.out"
printf '0;3\n2;12\n3;27\n' >"$work/zero.csv"
"$batch" --points "$work/zero.csv" --kind 2 >"$work/zero.out" 2>"$work/zero.err"
check "x = 0 ends the data set at once: exit 1" test $? -eq 1
printf '1;3\n0;12\n3;27\n' >"$work/fault.csv"
"$batch" --points "$work/fault.csv" --kind 2 >"$work/fault.out" 2>"$work/fault.err"
check "logarithm of 0: exit 1" test $? -eq 1
check "logarithm of 0: standard text" grep -qx 'Floating point division by zero' "$work/fault.err"
check "refused: no report" test ! -s "$work/fault.out"

# The same points in an .xlsx workbook (y by formulas, from row 2) give the same report;
# a damaged .ods is refused.
/usr/bin/python3 - "$work/p.xlsx" <<'PY'
import sys, zipfile
rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
ns = 'xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"'
rels = '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">%s</Relationships>'
rows = '<row r="1"><c r="A1" t="inlineStr"><is><t>x</t></is></c></row>' + "".join(
    '<row r="%d"><c r="A%d"><v>%d</v></c><c r="B%d"><f>3*A%d^2</f><v>%d</v></c></row>' % (x + 1, x + 1, x, x + 1, x + 1, 3 * x * x)
    for x in (1, 2, 3))
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr("_rels/.rels", rels % ('<Relationship Id="r1" Type="%s/officeDocument" Target="xl/workbook.xml"/>' % rel))
    z.writestr("xl/workbook.xml", '<workbook %s xmlns:r="%s"><sheets><sheet name="P" sheetId="1" r:id="r1"/></sheets></workbook>' % (ns, rel))
    z.writestr("xl/_rels/workbook.xml.rels", rels % ('<Relationship Id="r1" Type="%s/worksheet" Target="worksheets/sheet1.xml"/>' % rel))
    z.writestr("xl/worksheets/sheet1.xml", '<worksheet %s><sheetData>%s</sheetData></worksheet>' % (ns, rows))
PY
"$batch" --points "$work/p.xlsx" --kind 2 --degree 2 >"$work/x.out" 2>&1
check "xlsx point file: exit 0" test $? -eq 0
check "xlsx point file: the report of the same points" cmp -s "$work/p.out" "$work/x.out"
printf 'PK\003\004rotto' >"$work/rotto.ods"
"$batch" --points "$work/rotto.ods" --kind 2 >/dev/null 2>"$work/rotto.err"
check "damaged .ods: exit 2" test $? -eq 2
check "damaged .ods: message" grep -qx "impossibile leggere il file: $work/rotto.ods" "$work/rotto.err"

# --stats, --compare and --json: the report stays as it was, the figures follow
# it, the JSON holds the coefficients at full precision (checked by numpy's
# polyfit on the points of the JSON itself) and no number that is not.
"$batch" "$build/nr150b6.txt" >"$work/plain.out"
"$batch" "$build/nr150b6.txt" --stats --compare >"$work/stats.out" 2>"$work/stats.err"
check "--stats --compare: exit 0" test $? -eq 0
check "--stats --compare: the report unchanged before the figures" \
  bash -c "head -n \$(wc -l <'$work/plain.out') '$work/stats.out' | cmp -s - '$work/plain.out'"
check "--stats: R² line" grep -q '^R² = 1 - SSE' "$work/stats.out"
check "--stats: shape checks" grep -qx 'CONTROLLI DELLA FORMA DELLA CURVA' "$work/stats.out"
check "--compare: a recommended row" grep -q '<- consigliata$' "$work/stats.out"
check "--stats --compare: no NaN or infinity" bash -c "! grep -qiE '(^|[^a-z])(nan|inf)([^a-z]|$)' '$work/stats.out'"
"$batch" "$build/nr150b6.txt" --compare --json - >"$work/fit.json" 2>"$work/json.err"
check "--json -: exit 0" test $? -eq 0
check "--json -: one JSON document that numpy agrees with" /usr/bin/python3 - "$work/fit.json" <<'PY'
import json, sys
import numpy as np
d = json.load(open(sys.argv[1]))
assert d["kind"] == 3 and d["degree"] == d["statistics"]["p"] - 1, d["kind"]
x = np.array([p["x"] for p in d["points"]]); y = np.array([p["y"] for p in d["points"]])
c = np.polyfit(x, y, d["degree"])[::-1]
got = np.array([t["value"] for t in d["coefficients"]])
assert np.allclose(got, c, rtol=1e-9, atol=1e-12 * abs(c).max()), (got, c)
sse = float(np.sum((y - np.polyval(c[::-1], x)) ** 2))
assert abs(d["statistics"]["sse"] - sse) <= 1e-9 * sse, (d["statistics"]["sse"], sse)
assert d["comparison"]["rows"][0]["recommended"], d["comparison"]["rows"][0]
assert "turns" in d["shape"]
PY
"$batch" "$build/funzxy.txt" --json "$work/surface.json" >/dev/null
check "--json FILE: surface written" /usr/bin/python3 -c "import json,sys; d=json.load(open(sys.argv[1])); assert d['kind']==7 and 'zint' in d['points'][0]" "$work/surface.json"
printf '1;3\n2;5\n' >"$work/two.csv"
"$batch" --points "$work/two.csv" --kind 3 --degree 1 --stats --compare >"$work/two.out" 2>&1
check "two points: exit 0" test $? -eq 0
check "two points: n = p said in Italian" grep -q 'nessuna equazione ha più punti che coefficienti' "$work/two.out"
check "two points: no NaN or infinity" bash -c "! grep -qiE '(^|[^a-z])(nan|inf)([^a-z]|$)' '$work/two.out'"
"$batch" "$build/nr150b6.txt" --json "$work/no/such/folder/x.json" >/dev/null 2>"$work/jsonw.err"
check "--json into a missing folder: exit 2" test $? -eq 2
check "--json into a missing folder: message" grep -q '^errore di scrittura del file ' "$work/jsonw.err"

# The comparison alone, of a point file without a kind: water density at 0,
# 10, ... 100 °C (Engineering ToolBox): the straight line is flagged and not
# recommended. Text and JSON agree figure by figure, signs included, and the
# tolerance is quoted as written.
printf '0;999.8\n10;999.7\n20;998.2\n30;995.7\n40;992.2\n50;988.1\n60;983.2\n70;977.8\n80;971.8\n90;965.3\n100;958.4\n' >"$work/water.csv"
"$batch" --points "$work/water.csv" --compare --tolerance 1e300 >"$work/water.out" 2>"$work/water.err"
check "--compare without --kind: exit 0" test $? -eq 0
check "--compare without --kind: no report, the comparison" bash -c "head -n 1 '$work/water.out' | grep -qx 'CONFRONTO DELLE EQUAZIONI'"
check "--tolerance quoted as written" grep -q 'non oltre 1e300 %' "$work/water.out"
"$batch" --points "$work/water.csv" --compare --json - >"$work/water.json"
check "--compare without --kind: the straight line flagged, text and JSON agree" /usr/bin/python3 - "$work/water.out" "$work/water.json" <<'PY'
import json, re, sys
rows = json.load(open(sys.argv[2]))["comparison"]["rows"]
lines = [l for l in open(sys.argv[1]).read().splitlines() if re.match(r"^ ?\d+  ", l)]
assert len(lines) == len(rows), (len(lines), len(rows))
for line, row in zip(lines, rows):
    if "refusal" in row:
        continue
    words = line.split()
    at = 1 + len(row["kindName"].split()) + (1 if row["kind"] in (3, 5, 7) else 0) + 1
    for key, word in zip(("standardError", "adjustedRSquared", "largestPercentError", "aicc"), words[at:at + 4]):
        value = row[key]
        if value is None:
            assert word in ("-", "curva"), (line, key)
            continue
        shown = float(word)
        assert abs(shown - value) <= 5e-6 * abs(value), (line, key, value)
        assert (shown < 0) == (value < 0), (line, key, value)
line = next(r for r in rows if r["kind"] == 3 and r["degree"] == 1)
assert "residui non casuali" in line["flags"] and not line["recommended"], line
assert rows[0]["recommended"] and rows[0]["coefficientCount"] == 3, rows[0]
PY
"$batch" --points "$work/water.csv" --stats >/dev/null 2>"$work/nokind.err"
check "--stats without --kind: exit 2" test $? -eq 2
check "--help lists the kinds by number" bash -c "'$batch' --help | grep -qx '  5  POLINOMIO FRATTO'"

# Files that cannot be read.
"$batch" "$work/missing.txt" >/dev/null 2>"$work/missing.err"
check "missing file: exit 2" test $? -eq 2
check "missing file: message" grep -q '^errore di lettura del file ' "$work/missing.err"
head -c 3000 /dev/urandom >"$work/garbage.txt"
"$batch" "$work/garbage.txt" >/dev/null 2>"$work/garbage.err"
check "not a data set file: exit 2" test $? -eq 2
printf '1;3\n2;12\n' >"$work/punti.txt"
"$batch" "$work/punti.txt" >/dev/null 2>"$work/punti.err"
check "a point file named as a data set file: exit 2, and how it is read" \
  bash -c "test $? -eq 2 && grep -qF 'il file non contiene dati validi: $work/punti.txt (un file di punti si calcola con --points $work/punti.txt --kind N)' '$work/punti.err'"
"$batch" --bogus x >/dev/null 2>&1
check "bad option: exit 2" test $? -eq 2
"$batch" "$work/missing.txt" --kind 3 >/dev/null 2>"$work/kind.err"
check "point-file option with a data set file: exit 2" test $? -eq 2
check "point-file option with a data set file: message" grep -q 'valgono solo con --points' "$work/kind.err"
version="$("$batch" --version)"
check "--version: exit 0 and the version" test $? -eq 0 -a -n "${version#calvero1-batch }" -a "$version" != "${version#calvero1-batch }"
"$batch" --help --bogus >"$work/help.out"
check "--help followed by anything: the usage, exit 0" test $? -eq 0 -a -s "$work/help.out"
# Every option the usage names is explained on the documentation's page of the command.
options="$(grep -o -- '--[a-z][a-z0-9-]*' "$work/help.out" | sort -u)"
check "the usage names options" test -n "$options"
for option in $options; do
  check "batch.htm explains $option" grep -q -- "<code>[^<]*$option[ <]" "$2/doc/batch.htm"
done

finish
