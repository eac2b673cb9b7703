#!/usr/bin/env bash
# Times calvero1-batch over 1000 degree-8 data set files of 199 points, as the
# data set file writer writes them (913 lines, CR LF), fitted in one run
# (median of three) against the same files fitted one process each, and
# prints the share. A Release build shows what a user gets:
#   cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DCALVERO_BUILD_TESTS=OFF
#   cmake --build build-release --target calvero1-batch
#   bash scripts/measure_batch_fits.sh build-release [COUNT]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build-release}"
count="${2:-1000}"
batch="$build/calvero1-batch"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/sets"

/usr/bin/python3 - "$work/sets" "$count" <<'PY'
import math, os, sys
folder, count = sys.argv[1], int(sys.argv[2])
number = lambda v: "%18.11f" % v
for n in range(count):
    xs = [500.0 + 25.0 * i + n for i in range(199)] + [0.0]
    ys = [80.0 - 0.004 * x + 1e-6 * x * x + 0.02 * math.sin(i + n) for i, x in enumerate(xs[:199])] + [0.0]
    lines = ["3", "8", "199"] + [number(0.0)] * 10
    for values in (xs, ys, [0.0] * 200):
        lines += [number(v) for v in values] + ["x"] * 100
    with open(os.path.join(folder, "ventilatore%04d.txt" % n), "w", newline="") as out:
        out.write("\r\n".join(lines) + "\r\n")
PY

one_run() {
  local start end
  start=$(date +%s.%N)
  "$batch" --summary "$work/summary.csv" "$work/sets" >/dev/null
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}
times=$(for _ in 1 2 3; do one_run; done | sort -n)
median=$(echo "$times" | sed -n 2p)
rows=$(grep -c ';ok' "$work/summary.csv" || true)
start=$(date +%s.%N)
for f in "$work"/sets/*.txt; do "$batch" "$f" >/dev/null; done
separate=$(echo "$(date +%s.%N) - $start" | bc -l)
printf '%d data set files (199 points, degree 8) in one run: %.3f s (median of 3; %d fitted)\n' "$count" "$median" "$rows"
printf 'the same files in separate runs: %.2f s; one run takes %.3f of that\n' "$separate" "$(echo "$median / $separate" | bc -l)"
