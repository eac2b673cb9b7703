#!/usr/bin/env bash
# Time and peak memory of a whole-page read, `digitora --extract PAGE
# --auto-axes --all-curves`, as a user runs it (whole process): an A4
# catalogue page at 300 dpi (2480 x 3508: two charts, text, a table; read
# with --chart 1 and --chart 2) and a 4000 x 3000 picture of one chart, both
# drawn by matplotlib. Each read three times, the median kept; the OCR's
# share (DIGITORA_OCR_TIME) apart. Peak memory is set against 8 bytes a
# pixel + 30 MB + Tesseract's own resident size, measured alone (the same
# command on a 200 x 150 picture of a chart, where the pixels weigh nothing).
# Targets: 3 s for the A4 page, 4 s for the 4000 x 3000 picture.
#
#   bash scripts/measure_capture_speed.sh [BUILD_DIR]
#
# BUILD_DIR defaults to build-release/ (configure it with
# -DCMAKE_BUILD_TYPE=Release). Not part of the test suite.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build-release}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

/usr/bin/python3 - "$work" <<'PY'
import sys
import matplotlib
matplotlib.use("Agg")
import matplotlib.pyplot as plt
import numpy as np

work = sys.argv[1]
q = np.linspace(0, 150, 300)


def pump(ax, n):
    for i in range(n):
        ax.plot(q, 46 - 6 * i - 0.0016 * q * q, label="D=%d" % (200 + 15 * i))
    ax.set_xlim(0, 150), ax.set_ylim(0, 50)
    ax.set_xlabel("Portata [m3/h]"), ax.set_ylabel("Prevalenza [m]")
    ax.grid(True, color="#cccccc")
    ax.legend(loc="upper right")


# A4 at 300 dpi: two charts, a paragraph and a table.
fig = plt.figure(figsize=(8.267, 11.693), dpi=300)
fig.text(0.08, 0.95, "Serie XP - curve caratteristiche", fontsize=16)
fig.text(0.08, 0.92, "Prestazioni misurate secondo ISO 9906, acqua a 20 gradi C.", fontsize=10)
pump(fig.add_axes([0.12, 0.58, 0.8, 0.3]), 4)
pump(fig.add_axes([0.12, 0.2, 0.8, 0.3]), 3)
table = fig.add_axes([0.12, 0.04, 0.8, 0.1])
table.axis("off")
table.table(cellText=[["XP 200", "15", "4.0"], ["XP 215", "18", "5.5"], ["XP 230", "22", "7.5"]],
            colLabels=["Modello", "Portata max", "Potenza kW"], loc="center")
fig.savefig(work + "/a4.png")
plt.close(fig)

fig, ax = plt.subplots(figsize=(13.333, 10), dpi=300)
pump(ax, 5)
fig.savefig(work + "/large.png")
plt.close(fig)

fig, ax = plt.subplots(figsize=(2, 1.5), dpi=100)
ax.plot([0, 1], [0, 1])
fig.savefig(work + "/small.png")
plt.close(fig)
PY

# Seconds, peak KiB and the OCR's seconds of one run.
run() {
  local out
  out="$({ DIGITORA_OCR_TIME=1 /usr/bin/time -f "%e %M" "$build/digitora" --extract "$@" --auto-axes --all-curves >/dev/null; } 2>&1 || true)"
  echo "$(tail -n 1 <<<"$out") $(sed -n 's/^tempo OCR: \([0-9.e+-]*\) s.*/\1/p' <<<"$out" | tail -n 1)"
}

median() { sort -n | sed -n 2p; }

alone="$(run "$work/small.png" | awk '{ print $2 }')"
printf "Tesseract and the program alone (200 x 150): %.0f MiB\n" "$(echo "$alone / 1024" | bc -l)"
printf "%-28s %8s %8s %10s %10s %10s\n" picture time OCR peak target B/pixel
for case in "a4.png --chart 1" "a4.png --chart 2" "large.png"; do
  set -- $case
  picture="$work/$1"
  shift
  results="$(for i in 1 2 3; do run "$picture" "$@"; done)"
  time="$(awk '{ print $1 }' <<<"$results" | median)"
  ocr="$(awk '{ print $3 }' <<<"$results" | median)"
  peak="$(awk '{ print $2 }' <<<"$results" | sort -n | tail -n 1)"
  pixels="$(/usr/bin/python3 -c "import struct,sys; d=open(sys.argv[1],'rb').read(24); print(struct.unpack('>II', d[16:24])[0]*struct.unpack('>II', d[16:24])[1])" "$picture")"
  target="$(echo "(8 * $pixels / 1024 + 30 * 1024 + $alone) / 1024" | bc -l)"
  printf "%-28s %7.2fs %7.2fs %8.0fMiB %8.0fMiB %10.1f\n" "$case" "$time" "${ocr:-0}" "$(echo "$peak / 1024" | bc -l)" "$target" \
    "$(echo "($peak - $alone) * 1024 / $pixels" | bc -l)"
done
