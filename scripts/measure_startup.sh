#!/usr/bin/env bash
# Start-up time and resident memory of CALVERO1 up to its first shown main
# window, as the median of RUNS starts, under Xvfb (the xcb platform, as on a
# desktop) and on Qt's offscreen platform.
#
#   bash scripts/measure_startup.sh [RUNS] [BUILD_DIR]
#
# RUNS defaults to 10, BUILD_DIR to build/. The probe (calvero_startup_probe)
# is built there first if needed. One unmeasured start per platform comes
# first, so every measured one finds the libraries in the page cache.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runs="${1:-10}"
build="${2:-$root/build}"
if ! [[ "$runs" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: bash scripts/measure_startup.sh [RUNS] [BUILD_DIR]" >&2
  exit 2
fi

if [[ ! -f "$build/CMakeCache.txt" ]]; then
  cmake -S "$root" -B "$build" -G Ninja >/dev/null
fi
cmake --build "$build" --target calvero_startup_probe --parallel 2 >/dev/null
probe="$build/calvero_startup_probe"
log="$(mktemp)"
trap 'rm -f "$log"' EXIT

# run_probe PLATFORM: one start; its key=value line on standard output.
run_probe() {
  if [[ "$1" == xcb ]]; then
    QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" "$probe" 2>"$log"
  else
    QT_QPA_PLATFORM=offscreen "$probe" 2>"$log"
  fi
}

# field LINE KEY: the value of KEY in a probe line.
field() { tr ' ' '\n' <<<"$1" | sed -n "s/^$2=//p"; }

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.1f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

printf '%-10s %5s %11s %22s %15s %10s %10s\n' platform runs screen "start->window ms" "main->window ms" "VmRSS MiB" "VmHWM MiB"
for platform in xcb offscreen; do
  run_probe "$platform" >/dev/null || { echo "the probe failed on $platform:" >&2; cat "$log" >&2; exit 1; }
  starts=() mains=() rss=() hwm=() screen=""
  for ((i = 0; i < runs; i++)); do
    if ! line="$(run_probe "$platform")"; then
      echo "the probe failed on $platform:" >&2
      cat "$log" >&2
      exit 1
    fi
    starts+=("$(field "$line" since_process_start_ms)")
    mains+=("$(field "$line" since_main_ms)")
    rss+=("$(field "$line" vmrss_kib)")
    hwm+=("$(field "$line" vmhwm_kib)")
    screen="$(field "$line" screen)"
  done
  printf '%-10s %5d %11s %22s %15s %10.1f %10.1f\n' "$platform" "$runs" "$screen" \
    "$(printf '%s\n' "${starts[@]}" | median)" \
    "$(printf '%s\n' "${mains[@]}" | median)" \
    "$(printf '%s\n' "${rss[@]}" | median | awk '{ print $1 / 1024 }')" \
    "$(printf '%s\n' "${hwm[@]}" | median | awk '{ print $1 / 1024 }')"
done
echo "start->window: from the kernel's start time of the process (10 ms ticks); main->window: from the top of main()."
