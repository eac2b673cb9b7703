#!/usr/bin/env bash
# Times calvero1-batch over many data sets in one run: COUNT data set files of
# 200 points, degree 8, fitted in one process, against the same files fitted
# one process each, and the peak memory of one run at a tenth and at all of
# them (it should not grow with the count).
# Usage: bash scripts/measure_batch_summary.sh [BUILD_DIR] [COUNT]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
count="${2:-1000}"
batch="$build/calvero1-batch"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/all" "$work/tenth"

python3 - "$work/all" "$count" <<'PY'
import math, os, sys
folder, count = sys.argv[1], int(sys.argv[2])
for n in range(count):
    lines = ["3", "8", "200"] + ["%18.11f" % 0.0] * 10
    xs = [1000.0 + 25.0 * i + n for i in range(200)]
    ys = [50.0 - 0.004 * x + 1e-7 * x * x + 0.01 * math.sin(i + n) for i, x in enumerate(xs)]
    lines += ["%18.11f" % v for v in xs] + ["x"] * 100
    lines += ["%18.11f" % v for v in ys] + ["x"] * 100
    lines += ["%18.11f" % 0.0] * 200 + ["x"] * 100
    with open(os.path.join(folder, "ventilatore%04d.txt" % n), "w", newline="") as out:
        out.write("\r\n".join(lines) + "\r\n")
PY
tenth=$((count / 10))
ls "$work/all" | head -n "$tenth" | while read -r f; do cp "$work/all/$f" "$work/tenth/"; done

peak() { /usr/bin/time -f '%e %M' "$@" 2>&1 >/dev/null | tail -1; }
read -r seconds kib < <(peak "$batch" --summary "$work/all.csv" "$work/all")
read -r tenthSeconds tenthKib < <(peak "$batch" --summary "$work/tenth.csv" "$work/tenth")
rows=$(grep -c ';ok' "$work/all.csv" || true)
start=$(date +%s.%N)
for f in $(ls "$work/all" | head -n "$tenth"); do "$batch" "$work/all/$f" >/dev/null; done
separate=$(echo "($(date +%s.%N) - $start) * $count / $tenth" | bc -l)
printf '%d data sets in one run: %.2f s, peak %d MiB (%d of them fitted)\n' "$count" "$seconds" $((kib / 1024)) "$rows"
printf '%d data sets in one run: %.2f s, peak %d MiB\n' "$tenth" "$tenthSeconds" $((tenthKib / 1024))
printf '%d separate runs (from %d timed): %.1f s, %.0f times the one run\n' "$count" "$tenth" "$separate" \
  "$(echo "$separate / $seconds" | bc -l)"
