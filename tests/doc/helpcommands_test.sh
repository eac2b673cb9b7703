#!/usr/bin/env bash
# Every command line the help pages (doc/*.htm), the batch page (doc/batch.md)
# and the README quote is run and exits as the page says. The table below
# names each one with its page and exit status; every calvero1-batch and
# digitora command the pages hold must be in it, and every row on a page.
# A page's commands run each in a fresh copy of a folder of example files
# with the names the pages use (the installed examples, point files, data
# set files, a pump chart of three labelled curves); the README's block runs
# from the top in a copy of the build folder's examples, as a newcomer
# pastes it. Where a page shows what a command writes, the program writes it.
set -u
build="$1"
source_dir="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/../script_support.sh"

# page|exit|command, as the page writes it (continued lines joined, blanks collapsed).
table="$work/table"
cat >"$table" <<'TABLE'
batch.htm|0|calvero1-batch --points ventilatore.txt --kind 3 --degree 6 --monotone decreasing --stats
batch.htm|0|calvero1-batch --points ventilatore.txt --kind 3 --degree 6 --monotone decreasing --concave
batch.htm|0|calvero1-batch --points ventilatore.txt --kind 3 --degree 3 --through 0,640 --weights relative
batch.htm|0|calvero1-batch --points perdite.txt --kind 3 --degree 2 --fix 1=0 --minimax
batch.htm|0|calvero1-batch --summary catalogo.csv --energyplus catalogo.idf --rated 0.9 catalogo/
batch.htm|0|calvero1-batch --points compressore.txt --kind 7 --degree 3 --ahri540 compressore.csv --units C
batch.htm|0|calvero1-batch pompa.dat > pompa_rapporto.txt
batch.htm|0|calvero1-batch --points perdite.csv --kind 2 --degree 1 --png perdite.png
batch.htm|0|calvero1-batch --points serbatoio.txt --kind 6 --degree 1 --ti 15 --tf 60
batch.htm|0|calvero1-batch --points compressore.txt --kind 7 --degree 3 --xls compressore_OUTPUT.xls
batch.htm|0|calvero1-batch ventilatore.dat --stats --compare --tolerance 0.5
batch.htm|0|calvero1-batch --summary catalogo.csv catalogo/
batch.htm|0|calvero1-batch --kind 3 --degree 2 --each-parameter --summary pompa_curve.xls pompa.txt
batch.htm|0|calvero1-batch ventilatore.dat --compare --json - | python3 -c "import json,sys; print(json.load(sys.stdin)['statistics']['rSquared'])"
batch.htm|2|calvero1-batch nr150b6.txt --formula nr150b6.txt
domande.htm|0|calvero1-batch --points ventilatore.txt --kind 3 --degree 2 --at 1500 --at 3600
domande.htm|0|calvero1-batch --points ventilatore.txt --kind 3 --degree 2 --solve-y 500
domande.htm|0|calvero1-batch --points ventilatore.txt --kind 3 --degree 2 --system-through 3000,500
domande.htm|0|calvero1-batch --points ventilatore.txt --kind 3 --degree 2 --speed-ratio 0.8 --scaled-out ventilatore_08.dat
domande.htm|0|calvero1-batch --points ventilatore.txt --kind 3 --degree 2 --duty 2500,400
domande.htm|0|calvero1-batch --points serbatoio.txt --equation "y = b1 - b2*exp(-b3*x)" --start b1=60,b2=40,b3=0.05 --at 30 --at 70 --solve-y 50
domande.htm|0|calvero1-batch --points perdite.txt --kind 2 --least-squares-in-y --at 1500
equazione.htm|0|calvero1-batch --points serbatoio.txt --equation "y = b1 - b2*exp(-b3*x)" --stats
equazione.htm|0|calvero1-batch --points serbatoio.txt --equation "y = b1 - b2*exp(-b3*x)" --start b1=60,b2=40,b3=0.05 --json -
cattura.htm|0|calvero1-batch --points pompa.txt --kind 7 --degree 2
cattura.htm|0|calvero1-batch --kind 3 --degree 2 --each-parameter --summary pompa_curve.csv pompa.txt
cattura.htm|0|digitora --help
cattura.htm|0|digitora --version
cattura.htm|0|digitora --extract pompa.png --x 80,540=0 --x 860,540=60 --y 80,540=0 --y 80,40=40 --colour '#000000' --start 300,204 -o d200.txt
cattura.htm|0|digitora --extract pompa.png --x 80,540=0 --x 860,540=60 --y 80,540=0 --y 80,40=40 --colour '#000000' --start 500,117 --step 5 --separator tab --decimal-comma --header
cattura.htm|0|digitora --extract pompa.png --auto-axes --all-curves -o pompa.txt # x;D;H, una curva per diametro
cattura.htm|0|digitora --extract pompa.png --auto-axes --colour '#000000' --start 300,142 -o d215.txt 2> avvisi.txt
esporta.htm|0|calvero1-batch nr150b6.txt --energyplus pompa.idf --rated 30 --curve-name Pompa_NR150_portata
esporta.htm|0|calvero1-batch funzxy.txt --ahri540 compressore.csv --units C
esporta.htm|0|calvero1-batch esponenziale.txt --formula formula.txt
statistiche.htm|0|calvero1-batch nr150b6.txt --compare
statistiche.htm|0|calvero1-batch polinomiofratto.txt --compare --tolerance 0.1
batch.md|0|digitora --extract pompa.png --auto-axes --all-curves -o pompa.txt
batch.md|0|calvero1-batch --points pompa.txt --kind 7 --degree 2
batch.md|0|calvero1-batch --kind 3 --degree 2 --each-parameter --summary pompa_curve.csv pompa.txt
batch.md|0|digitora --extract pompa.png --x 80,540=0 --x 860,540=60 --y 80,540=0 --y 80,40=40 --colour '#000000' --start 300,204 -o d200.txt
batch.md|0|calvero1-batch --summary catalogo.xls catalogo/
batch.md|0|calvero1-batch --points ventilatore.txt --kind 3 --degree 2 --at 1500 --at 3600 --level 0.9
batch.md|2|calvero1-batch nr150b6.txt --formula nr150b6.txt
README.md|0|calvero1-batch --help
README.md|0|./calvero1-batch nr150b6.txt
README.md|0|./calvero1-batch --points punti.txt --kind 3 --degree 3 --stats
README.md|0|./calvero1-batch --points punti.txt --compare
README.md|0|./calvero1-batch nr150b6.txt --rtf nr150b6.rtf --xls nr150b6_OUTPUT.xls --png nr150b6.png
README.md|0|./calvero1-batch --points punti.txt --kind 3 --degree 2 --json -
README.md|0|./calvero1-batch --points punti.txt --kind 3 --degree 3 --through 0,640 --monotone decreasing
README.md|0|./calvero1-batch nr150b6.txt --energyplus pompa.idf --formula formule.txt
README.md|0|./calvero1-batch --kind 3 --degree 2 --summary catalogo.csv catalogo/
README.md|0|./digitora --extract nr150b6.png --x 53.5,663.5=10 --x 925.5,663.5=60 --y 53.5,607.5=10 --y 53.5,54.5=35 --colour '#008000' -o curva.txt
README.md|0|./calvero1-batch --points curva.txt --kind 3 --degree 2
TABLE

# The command lines of the pages: in <pre> and <code> of the help pages, in
# the indented blocks and `...` of the Markdown pages; a line that begins with
# calvero1-batch, digitora -- or ./ and names no placeholder (FILE, OUT, [--...],
# a | between alternatives).
/usr/bin/python3 - "$source_dir" >"$work/quoted" <<'PY'
import html, pathlib, re, sys
root = pathlib.Path(sys.argv[1])
placeholder = re.compile(r"\[-|\[[A-Z]|\| --|\b(FILE|OUT|IMMAGINE|CARTELLA|NOME|NAME|DIR|FOLDER|PICTURE|PX|PY|VALORE)\b")
def commands(page, texts):
    for text in texts:
        text = re.sub(r"\\\n\s*", " ", text)
        for line in text.split("\n"):
            line = " ".join(line.split())
            if not re.match(r"(\./)?(calvero1-batch |digitora --)", line) or placeholder.search(line):
                continue
            print(page + "|" + line)
for page in sorted((root / "doc").glob("*.htm")):
    body = page.read_text(encoding="utf-8")
    blocks = re.findall(r"<pre>(.*?)</pre>", body, re.S) + re.findall(r"<code>(.*?)</code>", body, re.S)
    commands(page.name, [html.unescape(re.sub(r"<[^>]+>", "", b)) for b in blocks])
for page in [root / "doc" / "batch.md", root / "README.md"]:
    body = page.read_text(encoding="utf-8")
    blocks = re.findall(r"`([^`\n]+)`", body)
    blocks += ["\n".join(l[4:] for l in m.group(0).split("\n"))
               for m in re.finditer(r"(?m)(^    .*\n?)+", body)]
    commands(page.name, blocks)
PY
cut -d'|' -f1,3- "$table" | sort -u >"$work/listed"
sort -u "$work/quoted" >"$work/found"
check "every command line on the pages is in the table" bash -c "! comm -13 '$work/listed' '$work/found' | grep ."
check "every row of the table is on its page" bash -c "! comm -23 '$work/listed' '$work/found' | grep ."
comm -3 "$work/listed" "$work/found" | sed 's/^/  differs: /'

# The examples the pages use, with the names they use.
examples="$work/examples"
mkdir -p "$examples/catalogo" "$work/bin"
cp "$build"/{nr150b6,esponenziale,funzxy,polinomiofratto,potenzaold,temperatura_tempo}.txt "$examples/"
cp "$build/nr150b6.txt" "$examples/pompa.dat"
ln -s "$build/calvero1-batch" "$build/digitora" "$work/bin/"
/usr/bin/python3 - "$examples" <<'PY'
import math, pathlib, sys
from PIL import Image, ImageDraw, ImageFont
here = pathlib.Path(sys.argv[1])
wobble = lambda i: 0.004 * math.sin(7.3 * i)  # a reading's small scatter, relative

def points(path, rows, comma=False):
    text = "".join(";".join(("%.6g" % v).replace(".", "," if comma else ".") for v in row) + "\n" for row in rows)
    (here / path).write_text(text)

def data_set(path, kind, degree, rows):
    """The 913 lines of a data set file (doc/file.htm): the curve's numbers left 0, recalculated on reading."""
    number = lambda v: "%18.11f" % v
    n = len(rows)
    lines = [str(kind), str(degree), "%2d" % n] + [number(0)] * 10
    for column in range(3):
        values = [row[column] if column < len(row) else 0.0 for row in rows]
        lines += [number(v) for v in values] + [number(0)] * (200 - n) + ["x"] * 100
    (here / path).write_text("\r\n".join(lines) + "\r\n")

fan = [(q, 640 - 3.0e-5 * q * q + 1.5 * math.sin(q / 250)) for q in range(0, 3600, 300)]
points("ventilatore.txt", fan)
data_set("ventilatore.dat", 3, 3, fan)
losses = [(q, 1.2e-4 * q ** 1.85 * (1 + wobble(q))) for q in range(200, 2001, 200)]
points("perdite.txt", losses)
points("perdite.csv", losses, comma=True)
points("serbatoio.txt", [(t, 60 - 45 * math.exp(-0.04 * t) * (1 + wobble(t))) for t in range(5, 61, 5)])
points("compressore.txt", [(te, tc, (30 + 0.9 * te - 0.25 * tc + 0.008 * te * te - 0.004 * te * tc) * (1 + wobble(te * tc)))
                           for te in range(-20, 11, 5) for tc in range(30, 56, 5)])
for model, (p0, k) in {"v1": (820, 120), "v2": (900, 150), "v3": (1000, 170)}.items():
    data_set("catalogo/%s.dat" % model, 3, 2, [(q / 10, (p0 - k * (q / 10) ** 2) * (1 + wobble(q))) for q in range(2, 17, 2)])
points("pompa.txt", [(q, d, (28 + (d - 200) / 3 - 0.004 * q * q) * (1 + wobble(q + d))) for d in (200, 215, 230)
                     for q in range(0, 60, 2)])

# The pump chart: Q 0..60 between pixels 80 and 860, H 0..40 between pixels 540 and 40,
# three black curves labelled D=200, D=215, D=230, the tick numbers in DejaVu Sans.
font = ImageFont.truetype("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 16)
px = lambda q: 80 + 13 * q
py = lambda h: 540 - 12.5 * h
image = Image.new("RGB", (940, 600), "white")
draw = ImageDraw.Draw(image)
for q in range(0, 61, 10):
    draw.line([(px(q), 40), (px(q), 540)], fill=(200, 200, 200))
    draw.text((px(q), 548), str(q), fill="black", font=font, anchor="mt")
for h in range(0, 41, 5):
    draw.line([(80, py(h)), (860, py(h))], fill=(200, 200, 200))
    draw.text((72, py(h)), str(h), fill="black", font=font, anchor="rm")
draw.rectangle([80, 40, 860, 540], outline="black", width=2)
for d, h0 in ((200, 28), (215, 33), (230, 38)):
    draw.line([(px(q / 10), py(h0 - 0.004 * (q / 10) ** 2)) for q in range(601)], fill="black", width=2)
    draw.text((px(40), py(h0 - 6.4) - 14), "D=%d" % d, fill="black", font=font, anchor="mb")
image.save(here / "pompa.png")
PY

# Each page's command in a fresh copy of the examples; the examples it reads stay as they were.
kept() {
  local file
  for file in nr150b6.txt funzxy.txt esponenziale.txt pompa.png ventilatore.dat catalogo/v1.dat; do
    cmp -s "$examples/$file" "$work/run/$file" || return 1
  done
}
exits_keeping() { test "$1" -eq "$2" && kept; }
while IFS='|' read -r page expected command; do
  rm -rf "$work/run" && cp -a "$examples" "$work/run"
  (cd "$work/run" && PATH="$work/bin:$PATH" bash -c "$command" >/dev/null 2>"$work/err")
  code=$?
  check "$page: $command: exit $expected, the examples kept" exits_keeping "$code" "$expected"
  [[ "$code" -eq "$expected" ]] || sed 's/^/    /' "$work/err"
done < <(grep -v '^README.md|[0-9]*|\./' "$table")

# What the pages show of an output is what the program writes: the <pre>
# block after a place on the page (page|place|command|file written, or - for
# standard output) is a run of whole lines of that output.
while IFS='|' read -r page place command written; do
  rm -rf "$work/run" && cp -a "$examples" "$work/run"
  (cd "$work/run" && PATH="$work/bin:$PATH" bash -c "$command" >"$work/run/stdout" 2>/dev/null)
  [[ "$written" == - ]] && written=stdout
  check "$page: the block after \"$place\" is what $command writes" /usr/bin/python3 - "$source_dir/doc/$page" "$place" "$work/run/$written" <<'PY'
import html, re, sys
page, place, output = sys.argv[1:4]
body = open(page, encoding="utf-8").read()
shown = html.unescape(re.sub(r"<[^>]+>", "", re.search(r"<pre>(.*?)</pre>", body[body.index(place):], re.S).group(1)))
lines = lambda text: [l.rstrip() for l in text.rstrip("\n").split("\n")]
want, got = lines(shown), lines(open(output, encoding="utf-8").read())
assert any(got[i:i + len(want)] == want for i in range(len(got))), "\n".join(want)
PY
done <<'SHOWN'
batch.htm|<h2>Uso</h2>|calvero1-batch --help|-
esporta.htm|--curve-name Pompa_NR150_portata</code>|calvero1-batch nr150b6.txt --energyplus pompa.idf --rated 30 --curve-name Pompa_NR150_portata|pompa.idf
esporta.htm|--ahri540 compressore.csv --units C</code>|calvero1-batch funzxy.txt --ahri540 compressore.csv --units C|compressore.csv
esporta.htm|--formula formula.txt</code>|calvero1-batch esponenziale.txt --formula formula.txt|formula.txt
esporta.htm|<h2><a name="c">|calvero1-batch esponenziale.txt --c-function esponenziale.c|esponenziale.c
domande.htm|--at 1500 --at 3600</pre>|calvero1-batch --points ventilatore.txt --kind 3 --degree 2 --at 1500 --at 3600|-
domande.htm|--solve-y 500</pre>|calvero1-batch --points ventilatore.txt --kind 3 --degree 2 --solve-y 500|-
domande.htm|--system-through 3000,500</pre>|calvero1-batch --points ventilatore.txt --kind 3 --degree 2 --system-through 3000,500|-
domande.htm|--speed-ratio 0.8 --scaled-out ventilatore_08.dat</pre>|calvero1-batch --points ventilatore.txt --kind 3 --degree 2 --speed-ratio 0.8 --scaled-out ventilatore_08.dat|-
domande.htm|--duty 2500,400</pre>|calvero1-batch --points ventilatore.txt --kind 3 --degree 2 --duty 2500,400|-
domande.htm|--solve-y 50</pre>|calvero1-batch --points serbatoio.txt --equation "y = b1 - b2*exp(-b3*x)" --start b1=60,b2=40,b3=0.05 --at 30 --at 70 --solve-y 50|-
domande.htm|--least-squares-in-y --at 1500</pre>|calvero1-batch --points perdite.txt --kind 2 --least-squares-in-y --at 1500|-
esporta.htm|<h2><a name="python">|calvero1-batch esponenziale.txt --python-function esponenziale.py|esponenziale.py
statistiche.htm|<h3>Un esempio: la curva di una pompa|calvero1-batch nr150b6.txt --compare|-
rapporto.htm|il termine che moltiplica|calvero1-batch funzxy.txt|-
SHOWN

# The README's block from its top, in one copy of the build folder's examples.
readme="$work/readme"
mkdir -p "$readme"
cp "$build"/{nr150b6,esponenziale,funzxy,polinomiofratto,potenzaold,temperatura_tempo}.txt "$readme/"
ln -s "$build/calvero1-batch" "$build/digitora" "$readme/"
/usr/bin/python3 - "$source_dir/README.md" >"$work/readme.sh" <<'PY'
import re, sys
body = open(sys.argv[1], encoding="utf-8").read()
section = body.split("## Common tasks from the command line", 1)[1].split("\n## ", 1)[0]
block = max(re.findall(r"(?m)(?:^    .*\n?)+", section), key=len)
print("\n".join(line[4:] for line in block.split("\n")))
PY
check "the README's block holds the rows of the table" bash -c \
  "diff <(grep -E '^\./(calvero1-batch|digitora) ' '$work/readme.sh' | tr -s ' ') <(grep '^README.md|[0-9]*|\./' '$table' | cut -d'|' -f3-)"
while IFS= read -r line; do
  [[ -z "$line" || "$line" == \#* ]] && continue
  expected=0
  row="$(grep -F "|$(tr -s ' ' <<<"$line")" "$table" | grep '^README.md|' | head -1)"
  [[ -n "$row" ]] && expected="$(cut -d'|' -f2 <<<"$row")"
  (cd "$readme" && bash -c "$line" >/dev/null 2>"$work/err")
  code=$?
  check "README.md: $line: exit $expected" test "$code" -eq "$expected"
  [[ "$code" -eq "$expected" ]] || sed 's/^/    /' "$work/err"
done <"$work/readme.sh"

finish
