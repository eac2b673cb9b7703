#!/usr/bin/env bash
# Writes every output calvero1-batch makes over the six examples and over
# every kind at every degree into one folder, so that two builds can be
# compared byte for byte (`diff -r`) after a change that must not move what
# the user sees, or that may move only the digits it mends.
#   bash scripts/snapshot_batch_outputs.sh BUILD_DIR OUT_DIR
# Workbooks are written as a cell-by-cell dump (xlrd), without the cell that
# holds the date and time of the save; PNG pictures are kept as they are.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${1:?build folder}" && pwd)"
out="${2:?output folder}"
batch="$build/calvero1-batch"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
python=/usr/bin/python3

dump_workbook() {
  "$python" - "$1" <<'PY'
import sys, xlrd
book = xlrd.open_workbook(sys.argv[1])
for sheet in book.sheets():
    print("sheet", sheet.name)
    for r in range(sheet.nrows):
        for c in range(sheet.ncols):
            cell = sheet.cell(r, c)
            if cell.ctype == xlrd.XL_CELL_EMPTY: continue
            text = repr(cell.value)
            if isinstance(cell.value, str) and any(ch.isdigit() for ch in text) and ":" in text and "/" in text:
                text = "<date>"
            print(r, c, cell.ctype, text)
PY
}

# run NAME ARGS...: the report, RTF, workbook, picture, statistics,
# comparison and JSON of one calculation, and its exit status.
run() {
  local name="$1"
  shift
  local dir="$out/$name"
  mkdir -p "$dir"
  "$batch" "$@" --xls "$work/w.xls" --rtf "$dir/report.rtf" --png "$dir/graph.png" \
    >"$dir/report.txt" 2>"$dir/stderr.txt"
  echo "$?" >"$dir/status.txt"
  if [[ -f "$work/w.xls" ]]; then dump_workbook "$work/w.xls" >"$dir/workbook.txt"; rm -f "$work/w.xls"; fi
  "$batch" "$@" --stats --compare >"$dir/stats_compare.txt" 2>&1
  "$batch" "$@" --stats --compare --json - >"$dir/fit.json" 2>/dev/null
}

for example in "$root"/data/examples/*.txt; do
  run "example_$(basename "$example" .txt)" "$example"
done

# Points for every kind: smooth, positive, with a little noise so that no fit
# is exact; the temperature-time kind cools from 90 to 20.
"$python" - "$work" <<'PY'
import math, os, sys
work = sys.argv[1]
def write(name, rows):
    with open(os.path.join(work, name), "w") as f:
        for row in rows: f.write(";".join(repr(v) for v in row) + "\n")
xs = [0.5 + 0.75 * i for i in range(14)]
noise = [0.013, -0.021, 0.008, 0.017, -0.011, -0.004, 0.019, -0.015, 0.006, 0.002, -0.018, 0.012, -0.007, 0.009]
write("curve.txt", [(x, 3.0 + 2.0 * x ** 1.3 + 0.5 * math.sin(x) + e) for x, e in zip(xs, noise)])
write("cooling.txt", [(x, 20.0 + 70.0 * math.exp(-0.3 * x) + e) for x, e in zip(xs, noise)])
write("saturation.txt", [(273.15 + 8 * i, 10 ** (7.2 - 1700.0 / (273.15 + 8 * i)) * (1 + e / 10)) for i, e in enumerate(noise)])
write("surface.txt", [(x, y, 5 + 0.3 * x - 0.2 * y + 0.05 * x * y + 0.01 * x * x + 0.3 * math.sin(x + y) + e)
                      for x, (y, e) in [(x, (y, noise[(i + j) % 14])) for i, x in enumerate([1.0, 2.5, 4.0, 5.5, 7.0, 8.5])
                                        for j, y in enumerate([0.5, 2.0, 3.5, 5.0, 6.5])]])
PY

for kind in 1 2 3 4 5 8; do
  for degree in 1 2 3 4 5 6 7 8; do
    run "kind${kind}_degree${degree}" --points "$work/curve.txt" --kind "$kind" --degree "$degree"
  done
done
for degree in 1 2 3; do
  run "kind6_degree${degree}" --points "$work/cooling.txt" --kind 6 --degree "$degree" --ti 90 --tf 20
  run "kind8_saturation_degree${degree}" --points "$work/saturation.txt" --kind 8 --degree "$degree"
done
for degree in 2 3 4; do
  run "kind7_degree${degree}" --points "$work/surface.txt" --kind 7 --degree "$degree"
done
# The steered fits, the comparison without a kind and the exports.
run steered_through --points "$work/curve.txt" --kind 3 --degree 3 --through 0.5,4 --fix 4=0
run steered_weights_monotone --points "$work/curve.txt" --kind 3 --degree 4 --weights relative --monotone increasing
run steered_minimax --points "$work/curve.txt" --kind 3 --degree 2 --minimax
run steered_surface --points "$work/surface.txt" --kind 7 --degree 2 --through 4,3.5,6
mkdir -p "$out/compare_without_kind"
"$batch" --points "$work/curve.txt" --compare --json - >"$out/compare_without_kind/compare.json" 2>&1
for kind in 2 3 6 7; do
  file=curve.txt degree=3 extra=()
  [[ $kind == 6 ]] && file=cooling.txt extra=(--ti 90 --tf 20)
  [[ $kind == 7 ]] && file=surface.txt
  dir="$out/exports_kind$kind"
  mkdir -p "$dir"
  "$batch" --points "$work/$file" --kind "$kind" --degree "$degree" "${extra[@]}" --energyplus "$dir/curve.idf" \
    --formula "$dir/formula.txt" --c-function "$dir/curve.c" --python-function "$dir/curve.py" >/dev/null 2>"$dir/stderr.txt"
  echo "$?" >"$dir/status.txt"
done
"$batch" --summary "$out/summary.csv" "$root"/data/examples/*.txt >/dev/null 2>&1
"$batch" --summary "$out/summary.json" "$root"/data/examples/*.txt >/dev/null 2>&1
echo "written to $out"
