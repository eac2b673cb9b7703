#!/usr/bin/env bash
# Resident memory of digitora with a 4000 x 3000 picture open in its window
# (target: under 150 MB), under Xvfb (the xcb platform, as on a desktop) and
# on Qt's offscreen platform, and the time of `digitora --extract` on that
# picture (start, open, search) as an outer bound of opening it. The times of
# opening alone are in the Google Benchmark (loadPicture/... in calvero_bench).
#
#   bash scripts/measure_capture.sh [BUILD_DIR]
#
# BUILD_DIR defaults to build/; digitora is built there first if needed.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# --inner PICTURE: started by this script on the platform chosen; opens the
# picture in the window and prints VmRSS and VmHWM (KiB) once the memory has
# stopped growing for a second.
if [[ "${1:-}" == --inner ]]; then
  "$DIGITORA" "$2" 2>/dev/null &
  pid=$!
  last=0 steady=0
  for ((i = 0; i < 300 && steady < 10; i++)); do
    sleep 0.1
    rss="$(awk '/^VmRSS/ { print $2 }' "/proc/$pid/status")"
    if ((rss == last)); then steady=$((steady + 1)); else steady=0 last=$rss; fi
  done
  echo "$(awk '/^VmRSS/ { print $2 }' "/proc/$pid/status") $(awk '/^VmHWM/ { print $2 }' "/proc/$pid/status")"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  exit 0
fi

build="${1:-$root/build}"
if [[ ! -f "$build/CMakeCache.txt" ]]; then
  cmake -S "$root" -B "$build" -G Ninja >/dev/null
fi
cmake --build "$build" --target digitora --parallel 2 >/dev/null
export DIGITORA="$build/digitora"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# A chart of 4000 x 3000 pixels: grid lines every 100 pixels and a red curve.
python3 - "$work/chart.png" <<'PY'
import struct, sys, zlib
W, H = 4000, 3000
white, grey, red = b"\xff\xff\xff", b"\xb4\xb4\xb4", b"\xdc\x00\x00"
rows = []
for y in range(H):
    row = bytearray((grey if y % 100 == 0 else white) * W)
    for x in range(0, W, 100): row[3 * x:3 * x + 3] = grey
    rows.append(row)
for x in range(200, 3800):
    yc = int(2800 - 2600 * ((x - 200) / 3600) ** 2)
    for y in range(yc - 1, yc + 2): rows[y][3 * x:3 * x + 3] = red
raw = b"".join(b"\0" + bytes(r) for r in rows)
chunk = lambda k, d: struct.pack(">I", len(d)) + k + d + struct.pack(">I", zlib.crc32(k + d) & 0xffffffff)
open(sys.argv[1], "wb").write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", W, H, 8, 2, 0, 0, 0))
                              + chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))
PY

printf '%-10s %12s %12s\n' platform "VmRSS MiB" "VmHWM MiB"
for platform in xcb offscreen; do
  if [[ "$platform" == xcb ]]; then
    line="$(QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" bash "${BASH_SOURCE[0]}" --inner "$work/chart.png")"
  else
    line="$(QT_QPA_PLATFORM=offscreen bash "${BASH_SOURCE[0]}" --inner "$work/chart.png")"
  fi
  read -r rss hwm <<<"$line"
  printf '%-10s %12.1f %12.1f\n' "$platform" "$(awk "BEGIN { print $rss / 1024 }")" "$(awk "BEGIN { print $hwm / 1024 }")"
done

axes=(--x 200,2800=0 --x 3800,2800=100 --y 200,2800=0 --y 200,200=100)
for run in 1 2 3; do
  /usr/bin/time -f "%e %M" -o "$work/time" "$DIGITORA" --extract "$work/chart.png" "${axes[@]}" --colour '#dc0000' >/dev/null
  read -r seconds kib <"$work/time"
  echo "digitora --extract, run $run: ${seconds} s, peak resident $(awk "BEGIN { printf \"%.1f\", $kib / 1024 }") MiB"
done
