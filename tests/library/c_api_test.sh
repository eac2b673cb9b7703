#!/usr/bin/env bash
# libcalvero from C: a program built with the build folder's calvero.pc, as a
# user builds one against the installed library, fits a cubic; its
# coefficients agree with least squares solved exactly in rational numbers,
# and what it cannot fit is said with the library's return codes and messages.
set -u
build="$1"
source_dir="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/../script_support.sh"

flags="$(PKG_CONFIG_PATH="$build" pkg-config --cflags --libs calvero)"
check "pkg-config knows calvero" test -n "$flags"
cc -std=c99 -Wall -Wextra -Werror "$source_dir/tests/library/cubic_check.c" $flags -o "$work/cubic" 2>"$work/cc.err"
check "the program builds with pkg-config's flags" test $? -eq 0
"$work/cubic" "$work" >"$work/out.txt" 2>&1
check "the program runs from anywhere (run path)" test $? -eq 0
"$build/calvero1-batch" --points "$work/punti.txt" --kind 3 --degree 3 --energyplus "$work/batch.idf" \
  --curve-name cubica >/dev/null

# The program's coefficients against least squares solved exactly in
# rationals: plain, and steered through (0, 1) with the x^3 term held at 1/4.
cat >"$work/exact.py" <<'PY'
import sys
from fractions import Fraction as F
lines = open(sys.argv[1]).read().splitlines()
steered = sys.argv[2] == "steered"
prefix = "steered termine " if steered else "termine "
got = [float(l.split(" = ")[1]) for l in lines if l.startswith(prefix)]
xs = [F(-2) + F(1, 2) * i for i in range(12)]
# The program's y as doubles, then exactly.
ys = []
for i, x in enumerate(xs):
    xd = float(x)
    ys.append(F(1 - 2 * xd + 0.5 * xd * xd + 0.25 * xd * xd * xd + (0.01 if i % 3 == 0 else -0.005)))
# The free terms' normal equations, solved by Gauss-Jordan: exact. Steered,
# c1 = 1 and c4 = 1/4 are fixed and the rest of y is fitted by x and x^2.
powers = [1, 2] if steered else [0, 1, 2, 3]
target = [y - 1 - F(1, 4) * x ** 3 for x, y in zip(xs, ys)] if steered else ys
p = len(powers)
a = [[sum(x ** (r + c) for x in xs) for c in powers] + [sum(y * x ** r for x, y in zip(xs, target))] for r in powers]
for c in range(p):
    pivot = next(r for r in range(c, p) if a[r][c] != 0)
    a[c], a[pivot] = a[pivot], a[c]
    for r in range(p):
        if r != c:
            f = a[r][c] / a[c][c]
            a[r] = [u - f * v for u, v in zip(a[r], a[c])]
free = [a[r][p] / a[r][r] for r in range(p)]
exact = [F(1)] + free + [F(1, 4)] if steered else free
assert len(got) == 4, got
for g, e in zip(got, exact):
    assert abs(F(g) - e) <= abs(e) * F(1, 10 ** 14), (g, float(e))
if not steered:
    y125 = float(lines[[l.startswith("y(1.25)") for l in lines].index(True)].split(" = ")[1])
    value = sum(float(c) * 1.25 ** k for k, c in enumerate(exact))
    assert abs(y125 - value) <= 1e-13 * abs(value), (y125, value)
PY
check "coefficients are exact least squares" /usr/bin/python3 "$work/exact.py" "$work/out.txt" plain
check "the steered fit is exact least squares under its conditions" /usr/bin/python3 "$work/exact.py" "$work/out.txt" steered
out="$work/out.txt"
check "version" grep -qx 'version 1.0.0' "$out"
check "a typed equation from the program's start: the parameters that made the points" \
  grep -qx 'equation 0: 0 b1 3.000000000000 b2 0.500000000000 possiblyLocal 0' "$out"
check "a typed equation from a given start" grep -qx 'equation 1: 0 b1 3.000000000000 b2 0.500000000000 possiblyLocal 0' "$out"
check "a typed equation's value asked: 3·1/(0.5 + 1)" grep -qx 'equation 1 at 1: 0 2.000000000000' "$out"
check "a typed equation written wrong, refused with its position" \
  grep -qx 'bad equation: 1 parentesi non chiusa alla posizione 8' "$out"
check "statistics by the JSON's names, NaN for another" grep -qE '^n = 12, sse = [0-9.e-]+, illConditioned = 0, unknown = nan$' "$out"
check "both conditioning figures, the former name the first's" awk '/^digits:/ { ok = $3 == $5 && $3 > 10 && $3 <= 15.95 && $7 > 10 && $7 <= 15.95 } END { exit !ok }' "$out"
check "no coefficient beyond the last" grep -qx 'beyond = nan' "$out"
check "the report" grep -qx 'EQUAZIONE POLINOMIALE DI GRADO:   3' "$out"
check "too many points refused" grep -qx 'too many: 1 massimo 100000 punti' "$out"
check "a kind out of range is a bad argument" grep -qx 'no kind: 2 tipo non valido (1..8): 9' "$out"
check "one point refused by the engine" grep -qx 'one point: 1  numero punti=  <2!' "$out"
check "a surface without z" grep -qx 'no z: 2 per il polinomio Z=F(x,y) servono i valori di z' "$out"
check "temperature-time without temperatures" grep -qx 'no temperatures: 1 per la curva temperatura-tempo servono la temperatura iniziale e quella finale' "$out"
check "a value that is no number" grep -qx 'not a number: 2 il valore 4 di y non è un numero finito' "$out"
check "NULL arguments" grep -qx 'null request: 2' "$out"
check "no result for them, and an empty message" grep -qx 'null result: 1 ' "$out"
check "options it cannot take are bad arguments" grep -qx 'bad options: 2 2 2 2 2' "$out"
check "a steered fit counts its conditions" grep -qx 'equalityConditions = 2' "$out"
check "options the kind does not take are refused in the programs' words" \
  grep -qx 'steered power: 1 i punti di passaggio e i termini fissi valgono solo per POLINOMIO, POLINOMIO FRATTO e polinomio Z=F(x,y)' "$out"
check "each coefficient's standard error and interval, as the statistics give them" \
  grep -qE '^se termine 1: se [0-9.e-]+ from -?[0-9.e-]+ to -?[0-9.e-]+ 0$' "$out"
check "no error for a coefficient beyond the last" grep -qx 'beyond: se nan 1' "$out"
check "an export as the batch writes it" cmp -s "$work/export.idf" "$work/batch.idf"

# Each refusal a program can meet, with its code: every line's expected
# code is the one the library gave, with status 2 for bad arguments, an
# unknown format and a question's invalid value, 1 for the rest.
cc -std=c99 -Wall -Wextra -Werror "$source_dir/tests/library/refusal_codes.c" $flags -o "$work/codes" 2>"$work/codes.err"
check "the refusal program builds" test $? -eq 0
"$work/codes" >"$work/codes.txt" 2>&1
check "each refusal carries its code" awk '
  { want = ($1 == "bad_arguments" || $1 == "unknown_format" || $1 == "invalid_question") ? 2 : 1
    if ($1 != $2 || $3 != want) { print "wrong: " $0; bad = 1 } }
  END { exit bad || NR < 25 }' "$work/codes.txt"
finish
