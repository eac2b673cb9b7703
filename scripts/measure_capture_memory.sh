#!/usr/bin/env bash
# Time and peak memory of a plain `digitora --extract` (one colour, no
# --auto-axes, no --all-curves) on large pictures: 4000 x 3000 PNG without
# and with an alpha channel, and 10000 x 7000 PNG, each a chart with grid
# lines every 100 pixels and a red curve. Targets: peak resident memory
# within 8 bytes per pixel plus 30 MB, and under 0.5 s at 4000 x 3000.
#
#   bash scripts/measure_capture_memory.sh [BUILD_DIR]
#
# BUILD_DIR defaults to build/. Not part of the test suite.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

/usr/bin/python3 - "$work" <<'PY'
import struct, sys, zlib
work = sys.argv[1]
def chart(path, W, H, alpha):
    channels = 4 if alpha else 3
    white = b"\xff\xff\xff" + (b"\x00" if alpha else b"")   # transparent paper when there is alpha
    grey = b"\xb4\xb4\xb4" + (b"\xff" if alpha else b"")
    red = b"\xdc\x00\x00" + (b"\xff" if alpha else b"")
    grid = bytearray(grey * W)
    plain = bytearray(white * W)
    for x in range(0, W, 100): plain[channels * x:channels * x + channels] = grey
    curve = {}
    m = W // 20
    for x in range(m, W - m):
        yc = int((H - m) - (H - 2 * m) * ((x - m) / (W - 2 * m)) ** 2)
        for y in range(yc - 1, yc + 2): curve.setdefault(y, []).append(x)
    compressor = zlib.compressobj(6)
    chunks = []
    for y in range(H):
        row = bytearray(grid if y % 100 == 0 else plain)
        for x in curve.get(y, ()): row[channels * x:channels * x + channels] = red
        chunks.append(compressor.compress(b"\0" + bytes(row)))
    chunks.append(compressor.flush())
    chunk = lambda k, d: struct.pack(">I", len(d)) + k + d + struct.pack(">I", zlib.crc32(k + d) & 0xffffffff)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", W, H, 8, 6 if alpha else 2, 0, 0, 0))
                + chunk(b"IDAT", b"".join(chunks)) + chunk(b"IEND", b""))
chart(f"{work}/rgb.png", 4000, 3000, False)
chart(f"{work}/alpha.png", 4000, 3000, True)
chart(f"{work}/large.png", 10000, 7000, False)
PY

printf '%-28s %8s %10s %10s %10s\n' picture seconds "peak MiB" "bytes/px" "target MiB"
for case in "rgb.png 4000 3000" "alpha.png 4000 3000" "large.png 10000 7000"; do
  read -r file width height <<<"$case"
  m=$((width / 20))
  axes=(--x "$m,$((height - m))=0" --x "$((width - m)),$((height - m))=100" --y "$m,$((height - m))=0" --y "$m,$m=100")
  best_seconds="" best_kib=""
  for run in 1 2 3; do
    /usr/bin/time -f "%e %M" -o "$work/time" "$build/digitora" --extract "$work/$file" "${axes[@]}" --colour '#dc0000' \
      >/dev/null 2>&1 || true
    read -r seconds kib <"$work/time"
    if [[ -z "$best_seconds" ]] || awk "BEGIN { exit !($seconds < $best_seconds) }"; then best_seconds=$seconds; fi
    best_kib=$kib
  done
  pixels=$((width * height))
  printf '%-28s %8s %10.1f %10.2f %10.1f\n' "$file ${width}x$height" "$best_seconds" \
    "$(awk "BEGIN { print $best_kib / 1024 }")" "$(awk "BEGIN { print $best_kib * 1024 / $pixels }")" \
    "$(awk "BEGIN { print (8 * $pixels + 30e6) / 1048576 }")"
done
