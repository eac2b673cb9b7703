#!/usr/bin/env bash
# Where calvero1-batch and digitora write: never over one of their inputs
# (every output option given an input, by its name or through a link: exit 2,
# the input unchanged byte for byte, nothing else written); through a link to
# its target, the link kept; to a FIFO, whose reader gets the whole output; to
# a device the test makes (the null device, as root), which stays a device;
# never onto a folder.
set -u
build="$1"
batch="$build/calvero1-batch"
digitora="$build/digitora"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/../script_support.sh"
cd "$work"

cp "$build/nr150b6.txt" "$build/funzxy.txt" .
printf '{"throughPoints": [], "fixedTerms": [], "weighting": "none", "minimax": false, "monotone": "none"}\n' \
  >nr150b6.vincoli.json
printf '1;3\n2;12\n3;27\n4;48\n' >punti.txt
mkdir catalogo && cp punti.txt catalogo/a.txt && printf '1;2\n2;5\n3;10\n4;17\n' >catalogo/b.txt
ln -s nr150b6.txt collegamento.txt
# A small chart for digitora: y = x^2 in red over x 0..10 (pixels 50..350), y 0..100 (pixels 250..50).
/usr/bin/python3 - <<'PY'
import struct, zlib
W, H = 400, 300
img = [[(255, 255, 255)] * W for _ in range(H)]
for i in range(3001):
    x = i / 300.0
    for d in (-1, 0, 1):
        X, Y = int(50 + 30 * x), int(250 - 2 * x * x + d)
        if 0 <= Y < H: img[Y][X] = (220, 0, 0)
raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in img)
chunk = lambda k, d: struct.pack(">I", len(d)) + k + d + struct.pack(">I", zlib.crc32(k + d) & 0xffffffff)
open("grafico.png", "wb").write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", W, H, 8, 2, 0, 0, 0))
                                + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))
PY
axes=(--x 50,250=0 --x 350,250=10 --y 50,250=0 --y 50,50=100 --colour '#dc0000')
# The picture again under the name --all-curves gives its curve's file, in a folder of its own.
mkdir prova pagina
"$digitora" --extract grafico.png "${axes[@]:0:8}" --all-curves --output-folder prova 2>/dev/null
curve_file="$(ls prova)"
cp grafico.png "pagina/$curve_file"
rm -r prova
# The inputs' bytes and the folder's names, apart from what each command prints.
snapshot() { sha1sum nr150b6.txt nr150b6.vincoli.json funzxy.txt punti.txt catalogo/* grafico.png pagina/*; ls -A | grep -v -x -e out -e err -e before; }
snapshot >before
unchanged() { test ! -s out && diff -q <(snapshot) before >/dev/null; }

# Every output option given one of the command's inputs: the input's own
# name, a link to it, the data set's options file, a file of a folder read.
# The input (the rest of the line) is what the command reads.
while IFS='|' read -r program output input; do
  read -r -a words <<<"$output ${input/CURVE/$curve_file}"
  if [[ "$program" == batch ]]; then "$batch" "${words[@]}" >out 2>err; else "$digitora" "${words[@]}" >out 2>err; fi
  code=$?
  check "$program $output $input: exit 2" test "$code" -eq 2
  check "$program $output $input: said in Italian, naming the output" grep -q "il file di uscita .* è il file di ingresso" err
  check "$program $output $input: nothing printed, every file as it was" unchanged
done <<'TABLE'
batch|--xls nr150b6.txt|nr150b6.txt
batch|--rtf collegamento.txt|nr150b6.txt
batch|--png nr150b6.txt|nr150b6.txt
batch|--json nr150b6.vincoli.json|nr150b6.txt
batch|--energyplus punti.txt|--points punti.txt --kind 3 --degree 2
batch|--ahri540 funzxy.txt --units C|--points funzxy.txt --kind 7 --degree 3
batch|--formula nr150b6.txt|nr150b6.txt
batch|--c-function punti.txt|--points punti.txt --kind 3
batch|--python-function collegamento.txt|nr150b6.txt
batch|--summary catalogo/b.txt|--kind 3 catalogo
batch|--json catalogo/a.txt|--kind 3 catalogo punti.txt
batch|--formula punti.txt|--kind 3 catalogo punti.txt
digitora|-o grafico.png|--extract grafico.png --x 50,250=0 --x 350,250=10 --y 50,250=0 --y 50,50=100 --colour #dc0000
digitora|--output-folder pagina|--extract pagina/CURVE --x 50,250=0 --x 350,250=10 --y 50,250=0 --y 50,50=100 --all-curves
TABLE

# A folder is refused before anything is written.
mkdir cartella
"$batch" nr150b6.txt --rtf cartella >out 2>err
code=$?
check "a folder as output: exit 2, said, nothing written" \
  bash -c "test $code -eq 2 && grep -q 'cartella è una cartella' err && test ! -s out && test -z \"\$(ls -A cartella)\""

# A link: its target written, the link kept. A FIFO: the whole output, still a FIFO.
"$batch" nr150b6.txt --json riferimento.json >/dev/null
"$digitora" --extract grafico.png "${axes[@]}" -o riferimento.txt 2>/dev/null
while IFS='|' read -r option reference; do
  ln -sf "bersaglio" uscita
  if [[ "$option" == -o ]]; then "$digitora" --extract grafico.png "${axes[@]}" -o uscita 2>/dev/null; else "$batch" nr150b6.txt "$option" uscita >/dev/null; fi
  code=$?
  check "$option to a link: exit 0, the link kept, its target written" \
    bash -c "test $code -eq 0 && test -L uscita && cmp -s bersaglio $reference"
  rm -f uscita bersaglio
  mkfifo uscita
  cat uscita >ricevuto &
  if [[ "$option" == -o ]]; then "$digitora" --extract grafico.png "${axes[@]}" -o uscita 2>/dev/null; else "$batch" nr150b6.txt "$option" uscita >/dev/null; fi
  code=$?
  wait
  check "$option to a FIFO: exit 0, the reader got it all, still a FIFO" \
    bash -c "test $code -eq 0 && test -p uscita && cmp -s ricevuto $reference"
  rm -f uscita ricevuto
done <<'TABLE'
--json|riferimento.json
-o|riferimento.txt
TABLE

# A character device made here (never the system's own /dev): written, still a device.
if [[ $(id -u) -eq 0 ]]; then
  mknod nullo c 1 3
  "$batch" nr150b6.txt --xls nullo >/dev/null
  code=$?
  check "--xls to a device: exit 0, still a character device" bash -c "test $code -eq 0 && test -c nullo"
else
  echo "skipped: the device node needs root"
fi

finish
