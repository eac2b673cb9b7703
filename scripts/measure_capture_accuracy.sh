#!/usr/bin/env bash
# How well `digitora --extract` reads black-and-white charts drawn by another
# program: gnuplot draws each chart (black frame and grid, a black solid,
# dashed or crossing curve, a dark curve on log-log axes, a grey pump chart
# on a grey grid), ImageMagick makes a copy blurred by 1 pixel, one turned by
# 2 degrees, one both, and a scan (both, on grey grainy paper, as a JPEG of
# quality 60); each is read and the points compared with the
# function drawn. Prints per chart the median and 95th percentile of the
# error (share of the y axis span, in %), the share of the x range covered
# and the exit status. Then reads that are forced to go wrong (tolerance 100,
# a colour the curve does not have), which must end with exit 3 or 1.
#
#   bash scripts/measure_capture_accuracy.sh [BUILD_DIR]
#
# Installs gnuplot (gnuplot-nox) and ImageMagick when missing, as the other
# set-up does; BUILD_DIR defaults to build/.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/setup.sh"
calvero_install_packages gnuplot-nox imagemagick
build="${1:-$root/build}"
digitora="$build/digitora"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The plot area is fixed in screen fractions, so the axes' pixels are known:
# 1000 x 750 pixels, x from 100 to 950, y from 675 (bottom) to 37.5 (top).
W=1000 H=750 L=100 R=950 B=675 T=37.5

# name | log axes (0/1) | x0 x1 y0 y1 | gnuplot plot command | colour read | start (x value, or -) | function read (python)
cat >"$work/charts" <<'CHARTS'
solid|0|0 150 0 50|plot 42 - 0.0016*x*x + 0.02*x lw 2 lc rgb "black"|#000000|-|42 - 0.0016*x*x + 0.02*x
dashed|0|0 150 0 50|plot 42 - 0.0016*x*x + 0.02*x lw 2 dt 2 lc rgb "black"|#000000|-|42 - 0.0016*x*x + 0.02*x
crossing, head|0|0 150 0 50|plot 42 - 0.0016*x*x + 0.02*x lw 2 lc rgb "black", 5 + 0.8*x - 0.0045*x*x lw 2 lc rgb "black"|#000000|30|42 - 0.0016*x*x + 0.02*x
crossing, efficiency|0|0 150 0 50|plot 42 - 0.0016*x*x + 0.02*x lw 2 lc rgb "black", 5 + 0.8*x - 0.0045*x*x lw 2 lc rgb "black"|#000000|100|5 + 0.8*x - 0.0045*x*x
log-log|1|1 1000 1 1e6|plot 3*x**1.8/(1 + x/400) lw 2 lc rgb "#303050"|#303050|-|3*x**1.8/(1 + x/400)
grey pump, grey grid|2|0 150 0 50|plot 42 - 0.0016*x*x + 0.02*x lw 2 lc rgb "#404040", 5 + 0.8*x - 0.0045*x*x lw 2 dt 2 lc rgb "#404040"|#404040|60|42 - 0.0016*x*x + 0.02*x
CHARTS

printf '%-34s %9s %9s %9s %5s\n' chart "median %" "p95 %" "cover %" exit
while IFS='|' read -r name logs range plotting colour start function; do
  read -r x0 x1 y0 y1 <<<"$range"
  base="$work/$(echo "$name" | tr -c 'a-z' '_')"
  {
    echo "set terminal pngcairo size $W,$H font 'DejaVu Sans,11'"
    echo "set output '$base.png'"
    echo "set lmargin at screen $(awk "BEGIN{print $L/$W}"); set rmargin at screen $(awk "BEGIN{print $R/$W}")"
    echo "set bmargin at screen $(awk "BEGIN{print 1-$B/$H}"); set tmargin at screen $(awk "BEGIN{print 1-$T/$H}")"
    echo "set border lw 1.5 lc rgb 'black'; set key top right box"
    echo "set xrange [$x0:$x1]; set yrange [$y0:$y1]; set samples 1000"
    if [[ $logs == 1 ]]; then echo "set logscale xy; set mxtics 10; set mytics 10; set grid xtics ytics mxtics mytics lt 1 lw 0.5 lc rgb 'black'"
    elif [[ $logs == 2 ]]; then echo "set grid lt 1 lw 1 lc rgb '#909090'"
    else echo "set grid lt 1 lw 0.5 lc rgb 'black'"; fi
    echo "set xlabel 'Portata [m3/h]'; set ylabel 'Prevalenza [m]'"
    echo "$plotting"
  } | gnuplot
  convert "$base.png" -blur 0x1 "$base.blur.png"
  convert "$base.png" -background white -rotate 2 "$base.turn.png"
  convert "$base.png" -blur 0x1 -background white -rotate 2 "$base.blur_turn.png"
  # A scan: blurred, grey paper, grain, turned, saved as a JPEG of middling quality.
  convert -seed 1 "$base.png" -blur 0x1 +level 8%,90% -attenuate 0.6 +noise Gaussian -background '#e6e6e6' \
    -rotate 2 -quality 60 "$base.scan.jpg"
  for variant in "" blur turn blur_turn scan; do
    file="$base${variant:+.$variant}.png"
    [[ $variant == scan ]] && file="$base.scan.jpg"
    /usr/bin/python3 - "$file" "$variant" "$logs" "$x0" "$x1" "$y0" "$y1" "$start" "$function" \
      "$W" "$H" "$L" "$R" "$B" "$T" >"$work/args" <<'PY'
import math, subprocess, sys
file, variant, logs, x0, x1, y0, y1, start, function, W, H, L, R, B, T = sys.argv[1:]
logs = logs == "1"; x0, x1, y0, y1 = map(float, (x0, x1, y0, y1)); W, H, L, R, B, T = map(float, (W, H, L, R, B, T))
variant = variant.replace("_", "+")
s = (lambda v: math.log10(v)) if logs else (lambda v: v)
def pixel(x, y):
    px = L + (R - L) * (s(x) - s(x0)) / (s(x1) - s(x0))
    py = B + (T - B) * (s(y) - s(y0)) / (s(y1) - s(y0))
    if variant.endswith("turn") or variant == "scan":  # ImageMagick turns clockwise about the centre, enlarging the canvas
        size = subprocess.run(["identify", "-format", "%w %h", file], capture_output=True, text=True).stdout.split()
        w2, h2 = map(float, size)
        a = math.radians(2)
        dx, dy = px - W / 2, py - H / 2
        px, py = w2 / 2 + dx * math.cos(a) - dy * math.sin(a), h2 / 2 + dx * math.sin(a) + dy * math.cos(a)
    return px, py
f = lambda x: eval(function.replace("**", "**"), {"x": x})
args = []
for axis, (a, b) in (("--x", ((x0, y0), (x1, y0))), ("--y", ((x0, y0), (x0, y1)))):
    for (x, y) in (a, b):
        px, py = pixel(x, y)
        args += [axis, "%.2f,%.2f=%g" % (px, py, x if axis == "--x" else y)]
if logs: args += ["--log-x", "--log-y"]
if start != "-":
    px, py = pixel(float(start), f(float(start)))
    args += ["--start", "%.1f,%.1f" % (px, py)]
print("\n".join(args))
PY
    mapfile -t args <"$work/args"
    set +e
    /usr/bin/time -f "%e %M" -o "$work/time" "$digitora" --extract "$file" "${args[@]}" --colour "$colour" --points 60 \
      >"$work/points" 2>"$work/errors"
    code=$?
    set -e
    /usr/bin/python3 - "$work/points" "$logs" "$x0" "$x1" "$y0" "$y1" "$function" "$name${variant:+, ${variant/_/+}}" "$code" <<'PY'
import math, sys
points, logs, x0, x1, y0, y1, function, name, code = sys.argv[1:]
logs = logs == "1"; x0, x1, y0, y1 = map(float, (x0, x1, y0, y1))
s = (lambda v: math.log10(v)) if logs else (lambda v: v)
f = lambda x: eval(function, {"x": x})
pts = [tuple(float(v) for v in l.split(";")) for l in open(points) if l.strip()]
if not pts:
    print("%-34s %9s %9s %9s %5s" % (name, "-", "-", "-", code)); sys.exit()
errors = sorted(abs(s(y) - s(f(x))) / abs(s(y1) - s(y0)) * 100 for x, y in pts if x > 0 or not logs)
cover = (s(max(x for x, _ in pts)) - s(min(x for x, _ in pts))) / (s(x1) - s(x0)) * 100
q = lambda p: errors[min(len(errors) - 1, int(p * (len(errors) - 1) + 0.5))]
print("%-34s %9.3f %9.3f %9.1f %5s" % (name, q(0.5), q(0.95), cover, code))
PY
    sed 's/^/    /' "$work/errors"
  done
done <"$work/charts"

# A vector PDF of the crossing chart read at 72 dpi (1000 x 750 points: the
# same pixels as the PNG), the dashed efficiency curve given a start point.
echo "set terminal pdfcairo size $(awk "BEGIN{print $W/72}")in,$(awk "BEGIN{print $H/72}")in font 'DejaVu Sans,11'
set output '$work/chart.pdf'
set lmargin at screen $(awk "BEGIN{print $L/$W}"); set rmargin at screen $(awk "BEGIN{print $R/$W}")
set bmargin at screen $(awk "BEGIN{print 1-$B/$H}"); set tmargin at screen $(awk "BEGIN{print 1-$T/$H}")
set border lw 1.5; set grid lt 1 lw 0.5 lc rgb 'black'; set xrange [0:150]; set yrange [0:50]; set samples 1000
plot 42 - 0.0016*x*x + 0.02*x lw 2 lc rgb 'black', 5 + 0.8*x - 0.0045*x*x lw 2 dt 2 lc rgb 'black'" | gnuplot
pdf_axes=(--x "$L,$B=0" --x "$R,$B=150" --y "$L,$B=0" --y "$L,$T=50")
start="$(awk "BEGIN{ x = 100; printf \"%.1f,%.1f\", $L + ($R - $L) * x / 150, $B + ($T - $B) * (5 + 0.8 * x - 0.0045 * x * x) / 50 }")"
set +e
"$digitora" --extract "$work/chart.pdf" --page 1 --dpi 72 "${pdf_axes[@]}" --start "$start" --colour '#000000' --points 60 \
  >"$work/points" 2>"$work/errors"
code=$?
set -e
/usr/bin/python3 - "$work/points" "$code" <<'PY'
import sys
pts = [tuple(float(v) for v in l.split(";")) for l in open(sys.argv[1]) if l.strip()]
if not pts:
    print("%-34s %9s %9s %9s %5s" % ("PDF at 72 dpi, dashed", "-", "-", "-", sys.argv[2])); sys.exit()
errors = sorted(abs(y - (5 + 0.8 * x - 0.0045 * x * x)) / 50 * 100 for x, y in pts)
q = lambda p: errors[min(len(errors) - 1, int(p * (len(errors) - 1) + 0.5))]
print("%-34s %9.3f %9.3f %9.1f %5s" % ("PDF at 72 dpi, dashed", q(0.5), q(0.95), (pts[-1][0] - pts[0][0]) / 150 * 100, sys.argv[2]))
PY
sed 's/^/    /' "$work/errors"

echo
echo "forced to go wrong (exit 3 or 1 expected):"
# A tolerance that takes in the paper, a colour not drawn, the curve left
# out but for its last tenth, and all of it left out.
solid="$work/solid_.png"
for forced in "$solid --colour #000000 --tolerance 100" "$solid --colour #ff0000" \
  "$solid --colour #000000 --exclude 100,30,950,500" "$solid --colour #000000 --exclude 100,30,950,600"; do
  set +e
  # shellcheck disable=SC2086
  "$digitora" --extract $forced --x "$L,$B=0" --x "$R,$B=150" --y "$L,$B=0" --y "$L,$T=50" >/dev/null 2>"$work/errors"
  code=$?
  set -e
  printf '%-44s exit %s  %s\n' "${forced#"$work/"}" "$code" "$(head -1 "$work/errors")"
done
