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
"$work/cubic" >"$work/out.txt" 2>&1
check "the program runs from anywhere (run path)" test $? -eq 0

check "coefficients are exact least squares" /usr/bin/python3 - "$work/out.txt" <<'PY'
import sys
from fractions import Fraction as F
lines = open(sys.argv[1]).read().splitlines()
got = [float(l.split(" = ")[1]) for l in lines if l.startswith("termine ")]
xs = [F(-2) + F(1, 2) * i for i in range(12)]
# The program's y as doubles, then exactly.
ys = []
for i, x in enumerate(xs):
    xd = float(x)
    ys.append(F(1 - 2 * xd + 0.5 * xd * xd + 0.25 * xd * xd * xd + (0.01 if i % 3 == 0 else -0.005)))
# Normal equations in rationals, solved by Gauss-Jordan: exact.
p = 4
a = [[sum(x ** (r + c) for x in xs) for c in range(p)] + [sum(y * x ** r for x, y in zip(xs, ys))] for r in range(p)]
for c in range(p):
    pivot = next(r for r in range(c, p) if a[r][c] != 0)
    a[c], a[pivot] = a[pivot], a[c]
    for r in range(p):
        if r != c:
            f = a[r][c] / a[c][c]
            a[r] = [u - f * v for u, v in zip(a[r], a[c])]
exact = [a[r][p] / a[r][r] for r in range(p)]
assert len(got) == 4, got
for g, e in zip(got, exact):
    assert abs(F(g) - e) <= abs(e) * F(1, 10 ** 14), (g, float(e))
y125 = float(lines[[l.startswith("y(1.25)") for l in lines].index(True)].split(" = ")[1])
value = sum(float(c) * 1.25 ** k for k, c in enumerate(exact))
assert abs(y125 - value) <= 1e-13 * abs(value), (y125, value)
PY
check "the steered fit is exact least squares under its conditions" /usr/bin/python3 - "$work/out.txt" <<'PY'
import sys
from fractions import Fraction as F
lines = open(sys.argv[1]).read().splitlines()
got = [float(l.split(" = ")[1]) for l in lines if l.startswith("steered termine ")]
xs = [F(-2) + F(1, 2) * i for i in range(12)]
ys = []
for i, x in enumerate(xs):
    xd = float(x)
    ys.append(F(1 - 2 * xd + 0.5 * xd * xd + 0.25 * xd * xd * xd + (0.01 if i % 3 == 0 else -0.005)))
# Through (0, 1) holds c1 at 1 and c4 is held at 1/4: least squares of the rest over x and x^2.
rest = [y - 1 - F(1, 4) * x ** 3 for x, y in zip(xs, ys)]
a11, a12, a22 = sum(x ** 2 for x in xs), sum(x ** 3 for x in xs), sum(x ** 4 for x in xs)
b1, b2 = sum(r * x for x, r in zip(xs, rest)), sum(r * x ** 2 for x, r in zip(xs, rest))
det = a11 * a22 - a12 * a12
exact = [F(1), (b1 * a22 - b2 * a12) / det, (a11 * b2 - a12 * b1) / det, F(1, 4)]
assert len(got) == 4, got
for g, e in zip(got, exact):
    assert abs(F(g) - e) <= abs(e) * F(1, 10 ** 14), (g, float(e))
PY
out="$work/out.txt"
check "version" grep -qx 'version 1.0.0' "$out"
check "statistics by the JSON's names, NaN for another" grep -qE '^n = 12, sse = [0-9.e-]+, illConditioned = 0, unknown = nan$' "$out"
check "no coefficient beyond the last" grep -qx 'beyond = nan' "$out"
check "the report" grep -qx 'EQUAZIONE POLINOMIALE DI GRADO:   3' "$out"
check "too many points refused" grep -qx 'too many: 1 massimo 200 punti' "$out"
check "a kind out of range is a bad argument" grep -qx 'no kind: 2 tipo non valido (1..8): 9' "$out"
check "one point refused by the engine" grep -qx 'one point: 1  numero punti=  <2!' "$out"
check "a surface without z" grep -qx 'no z: 2 per il polinomio Z=F(x,y) servono i valori di z' "$out"
check "temperature-time without temperatures" grep -qx 'no temperatures: 1 per la curva temperatura-tempo servono la temperatura iniziale e quella finale' "$out"
check "a value that is no number" grep -qx 'not a number: 2 il valore 4 di y non è un numero finito' "$out"
check "NULL arguments" grep -qx 'null request: 2' "$out"
check "no result for them, and an empty message" grep -qx 'null result: 1 ' "$out"
check "options it cannot take are bad arguments" grep -qx 'bad options: 2 2 2 2' "$out"
check "a steered fit counts its conditions" grep -qx 'equalityConditions = 2' "$out"
check "options the kind does not take are refused in the programs' words" \
  grep -qx 'steered power: 1 i punti di passaggio e i termini fissi valgono solo per POLINOMIO, POLINOMIO FRATTO e polinomio Z=F(x,y)' "$out"
finish
