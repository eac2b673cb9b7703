#!/usr/bin/env bash
# digitora --extract on charts drawn here (a PNG and a vector PDF of the same
# curve y = x^2 over a grey grid, a red legend swatch aside): the points and
# the exit codes 0 (found), 1 (no curve of that colour) and 2 (usage or file
# error), with nothing on standard output when it fails; --help and --version.
set -u
build="$1"
digitora="$build/digitora"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/../script_support.sh"

# The chart: x from 0 (pixel 50) to 10 (pixel 350), y from 0 (pixel 250) to 100 (pixel 50).
/usr/bin/python3 - "$work" <<'PY'
import struct, sys, zlib
work = sys.argv[1]
W, H = 400, 300
px = lambda x: 50 + 30 * x
py = lambda y: 250 - 2 * y
img = [[(255, 255, 255)] * W for _ in range(H)]
for g in range(50, 351, 30):
    for y in range(50, 251): img[y][g] = (190, 190, 190)
for g in range(50, 251, 20):
    for x in range(50, 351): img[g][x] = (190, 190, 190)
for i in range(0, 3001):
    x = i / 300.0
    cx, cy = px(x), py(x * x)
    for dy in (-1, 0, 1):
        for dx in (-1, 0, 1):
            X, Y = int(cx + dx * 0.6), int(cy + dy * 0.6)
            if 0 <= X < W and 0 <= Y < H: img[Y][X] = (220, 0, 0)
for y in range(60, 66):  # the legend's swatch
    for x in range(300, 330): img[y][x] = (220, 0, 0)
raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in img)
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xffffffff)
png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", W, H, 8, 2, 0, 0, 0)) \
    + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")
open(f"{work}/chart.png", "wb").write(png)
open(f"{work}/truncated.png", "wb").write(png[: len(png) // 2])
# A header that promises 30000 x 30000 pixels: refused before anything is decoded.
open(f"{work}/huge.png", "wb").write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 30000, 30000, 8, 2, 0, 0, 0))
                                    + chunk(b"IDAT", zlib.compress(b"\0" * 90001)) + chunk(b"IEND", b""))

# The same chart as a PDF page of 400 x 300 points (y upwards).
def pdf(content, extra_trailer=b"", extra_objects=()):
    objects = [b"<< /Type /Catalog /Pages 2 0 R >>",
               b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
               b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 400 300] /Contents 4 0 R >>",
               b"<< /Length %d >>\nstream\n" % len(content) + content + b"\nendstream"] + list(extra_objects)
    out, offsets = b"%PDF-1.4\n", []
    for n, body in enumerate(objects, 1):
        offsets.append(len(out))
        out += b"%d 0 obj\n" % n + body + b"\nendobj\n"
    xref = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    out += b"".join(b"%010d 00000 n \n" % o for o in offsets)
    out += b"trailer\n<< /Size %d /Root 1 0 R %s>>\nstartxref\n%d\n%%%%EOF\n" % (len(objects) + 1, extra_trailer, xref)
    return out
ops = [b"0.75 G 1 w"]
ops += [b"%g 50 m %g 250 l S" % (g, g) for g in range(50, 351, 30)]
ops += [b"50 %g m 350 %g l S" % (300 - g, 300 - g) for g in range(50, 251, 20)]
ops.append(b"0.863 0 0 RG 1.5 w")
ops.append(b" ".join(b"%.3f %.3f %s" % (px(i / 20), 300 - py((i / 20) ** 2), b"m" if i == 0 else b"l") for i in range(201)) + b" S")
content = b"\n".join(ops)
open(f"{work}/chart.pdf", "wb").write(pdf(content))
# Encrypted with a password that the empty one does not open.
locked = pdf(content, b"/Encrypt 5 0 R /ID [<0123456789abcdef0123456789abcdef> <0123456789abcdef0123456789abcdef>] ",
             [b"<< /Filter /Standard /V 1 /R 2 /P -4 /O <%s> /U <%s> >>" % (b"ab" * 32, b"cd" * 32)])
open(f"{work}/locked.pdf", "wb").write(locked)
PY
printf 'not a picture\n' >"$work/text.png"

axes=(--x 50,250=0 --x 350,250=10 --y 50,250=0 --y 50,50=100)
# No display at all: the command must not need one.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
  "$digitora" --extract "$work/chart.png" "${axes[@]}" --colour '#dc0000' >"$work/png.out" 2>"$work/png.err"
check "PNG chart without a display: exit 0" test $? -eq 0
check "PNG chart: 30 points on y = x^2, ascending, over 90 % of x" /usr/bin/python3 - "$work/png.out" <<'PY'
import sys
pts = [tuple(map(float, l.split(";"))) for l in open(sys.argv[1]) if l.strip()]
assert len(pts) == 30, len(pts)
xs = [x for x, _ in pts]
assert xs == sorted(xs) and xs[-1] - xs[0] >= 9.0, xs
errors = sorted(abs(y - x * x) for x, y in pts)
assert errors[len(errors) // 2] <= 0.25 and errors[-1] <= 1.0, errors
PY

pdf_axes=(--x 104.17,520.83=0 --x 729.17,520.83=10 --y 104.17,520.83=0 --y 104.17,104.17=100)
"$digitora" --extract "$work/chart.pdf" "${pdf_axes[@]}" --colour '#dc0000' --points 12 -o "$work/pdf.txt" >"$work/pdf.out" 2>&1
check "PDF page at 150 dpi: exit 0, points in the file" test $? -eq 0 -a "$(wc -l <"$work/pdf.txt")" -eq 12
check "PDF page: points on y = x^2" /usr/bin/python3 - "$work/pdf.txt" <<'PY'
import sys
pts = [tuple(map(float, l.split(";"))) for l in open(sys.argv[1]) if l.strip()]
assert max(abs(y - x * x) for x, y in pts) <= 1.0, pts
PY

"$digitora" --extract "$work/chart.png" "${axes[@]}" --colour '#00c000' >"$work/none.out" 2>"$work/none.err"
check "no curve of that colour: exit 1, message, no points" test $? -eq 1 -a -s "$work/none.err" -a ! -s "$work/none.out"

# --help and --version print and exit without a display and without Qt.
for option in --help --version; do
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$digitora" "$option" >"$work/info.out" 2>"$work/info.err"
  check "$option without a display: exit 0, printed, nothing on standard error" \
    test $? -eq 0 -a -s "$work/info.out" -a ! -s "$work/info.err"
done
"$digitora" --help | grep -q "3 punti scritti ma dubbi"
check "--help names exit status 3" test $? -eq 0

while IFS='|' read -r description file extra words; do
  # shellcheck disable=SC2086
  "$digitora" --extract "$work/$file" "${axes[@]}" --colour '#dc0000' $extra >"$work/bad.out" 2>"$work/bad.err"
  code=$?
  check "$description: exit 2 with a message, no points" test "$code" -eq 2 -a ! -s "$work/bad.out"
  check "$description: the message says so" grep -q -F -e "$words" "$work/bad.err"
  check "$description: no library notes beside the message" bash -c "! grep -q -E 'libpng|qt[.]|Error|Couldn.t|Syntax' '$work/bad.err'"
done <<'CASES'
missing file|missing.png||file non trovato
not a picture|text.png||non è un'immagine
truncated PNG|truncated.png||danneggiata o incompleta
picture too large to hold|huge.png||immagine troppo grande: 30000 x 30000
PDF with a password|locked.pdf||protetto da password
page beyond the PDF|chart.pdf|--page 2|pagina 2 inesistente: il PDF ha 1 pagina
page of a PNG|chart.png|--page 1|--page e --dpi valgono solo per i PDF
no colour value|chart.png|--colour|manca il valore dopo --colour
CASES
finish
