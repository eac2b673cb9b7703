#!/usr/bin/python3
"""The two conditioning figures of the statistics against measurement.

On twenty fits an engineer meets, and ten drawn at random, (NIST's Pontius and Wampler1-5, a saturation
pressure table against T in kelvin at degrees 3-8, a fan curve in m³/h at
degrees 6-8, a compressor surface in K and kPa at degrees 3-4, degree 8
through 9 points, two example tables):

(a) dataSensitivityDigits, per coefficient: every x, y (and z) changed by one
    unit in its 16th significant digit with a random sign, exact least
    squares (mpmath, 100 digits) before and after; the digits that stay are
    -log10 of the coefficient's RMS relative movement. The figure may be at
    most half a digit optimistic and within 2 digits of that.
(b) evaluationDigits: the printed coefficients evaluated in double precision
    (Horner for a curve, the sum of terms for a surface) against the same
    coefficients in exact arithmetic at the points; the figure within 1 digit
    of the worst point's digits.
Usage: conditioning_digits_check.py BUILD_DIR SOURCE_DIR
"""
import json
import math
import os
import random
import subprocess
import sys
import tempfile

import mpmath

build, source = sys.argv[1], sys.argv[2]
sys.path.insert(0, os.path.join(source, "scripts"))
import exact_least_squares as exact  # noqa: E402

DOUBLE_DIGITS = 15.95
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from checking import Checks  # noqa: E402

check = Checks()


def nist(name):
    """NIST's (x, y) pairs: each data row is y then x."""
    with open(os.path.join(source, "tests", "data", "nist", name + ".txt")) as f:
        rows = f.read().split("data\n", 1)[1].split("\n")
    return [(float(r.split()[1]), float(r.split()[0])) for r in rows if r.strip()]


def rounded(v, digits):
    return float("%.*g" % (digits, v))


saturation = [(273.15 + 5 * i, rounded(0.61094 * math.exp(17.625 * 5 * i / (5 * i + 243.04)), 5)) for i in range(21)]
fan = [(1000.0 * i, rounded(850 + 0.02 * i * 1000 - 4.2e-6 * (1000.0 * i) ** 2 - 1.1e-10 * (1000.0 * i) ** 3, 4))
       for i in range(13)]
compressor = [(253.15 + 5 * a, 800.0 + 200 * b,
               rounded(42 + 1.3 * (5 * a) - 0.012 * (200 * b) + 0.01 * (5 * a) ** 2 - 2e-4 * (5 * a) * (200 * b)
                       + 1.5e-6 * (200 * b) ** 2, 4))
              for a in range(7) for b in range(7)]
through_nine = [(20.0 + 10 * i, rounded(100 / (1 + 0.01 * (20.0 + 10 * i)), 6)) for i in range(9)]
vapour = [(273.15 + 10 * i, p) for i, p in enumerate([0.6117, 1.2281, 2.3392, 4.2469, 7.3851, 12.352, 19.947, 31.202,
                                                       47.416, 70.183, 101.42])]
pump = [(10.0 + 5 * i, y) for i, y in enumerate([31.98, 31.10, 30.48, 29.13, 27.80, 25.67, 23.64, 21.02, 18.34,
                                                 15.07, 11.64])]

cases = [("Pontius", nist("Pontius"), 2), *[("Wampler%d" % k, nist("Wampler%d" % k), 5) for k in range(1, 6)],
         *[("saturation in kelvin, degree %d" % d, saturation, d) for d in range(3, 9)],
         *[("fan in m³/h, degree %d" % d, fan, d) for d in range(6, 9)],
         *[("compressor in K and kPa, degree %d" % d, compressor, d) for d in (3, 4)],
         ("degree 8 through 9 points", through_nine, 8), ("pump curve, degree 2", pump, 2),
         ("vapour pressure in kelvin, degree 7", vapour, 7)]


def last_digit_unit(v):
    return mpmath.mpf(0) if v == 0 else mpmath.mpf(10) ** (math.floor(math.log10(abs(v))) - 15)


def exact_fit(points, degree):
    columns = list(zip(*points))
    return exact.surface(*columns, degree) if len(points[0]) == 3 else exact.polynomial(*columns, degree)


def run(points, degree, work):
    path = os.path.join(work, "points.txt")
    with open(path, "w") as f:
        f.write("".join(";".join(repr(v) for v in p) + "\n" for p in points))
    kind = "7" if len(points[0]) == 3 else "3"
    out = subprocess.run([os.path.join(build, "calvero1-batch"), "--points", path, "--kind", kind, "--degree",
                          str(degree), "--json", "-"], capture_output=True, text=True).stdout
    return json.loads(out)


def evaluated_in_double(coefficients, point, degree):
    if len(point) == 2:
        value = 0.0
        for c in reversed(coefficients):
            value = value * point[0] + c
        return value
    return sum(c * point[0] ** i * point[1] ** j for c, (i, j) in zip(coefficients, exact.SURFACE_POWERS))


def evaluated_exactly(coefficients, point):
    if len(point) == 2:
        return mpmath.fsum(mpmath.mpf(c) * mpmath.mpf(point[0]) ** k for k, c in enumerate(coefficients))
    return mpmath.fsum(mpmath.mpf(c) * mpmath.mpf(point[0]) ** i * mpmath.mpf(point[1]) ** j
                       for c, (i, j) in zip(coefficients, exact.SURFACE_POWERS))


# Ten more drawn once from a seed the figures were not tuned to: offset and
# scaled x, noisy y, degrees 3 to 8.
held_out = random.Random(40417)
for k in range(10):
    degree = held_out.randint(3, 8)
    centre, half = held_out.choice([273.15, 1000.0, 5.0, 0.0]) * held_out.uniform(1, 3), 10 ** held_out.uniform(0, 3)
    count = held_out.randint(degree + 3, 40)
    xs = sorted(rounded(centre + half * held_out.uniform(-1, 1), 6) for _ in range(count))
    true = [held_out.uniform(-2, 2) / half ** j for j in range(degree + 1)]
    ys = [rounded(10 + sum(c * ((x - centre) / half * half) ** j for j, c in enumerate(true))
                  * (1 + 1e-4 * held_out.gauss(0, 1)), 7) for x in xs]
    cases.append(("drawn case %d, degree %d" % (k + 1, degree), list(zip(xs, ys)), degree))

random.seed(1609)
with tempfile.TemporaryDirectory() as work:
    for name, points, degree in cases:
        statistics = run(points, degree, work)["statistics"]
        said = [c["dataSensitivityDigits"] for c in statistics["coefficients"]]
        before = exact_fit(points, degree)
        moved = [mpmath.mpf(0)] * len(before)
        trials = 6
        for _ in range(trials):
            nudged = [tuple(mpmath.mpf(v) + random.choice((-1, 1)) * last_digit_unit(v) for v in p) for p in points]
            after = exact_fit(nudged, degree)
            moved = [m + (a - b) ** 2 for m, a, b in zip(moved, after, before)]
        # Clamped as the figure is: a coefficient that moves by more than itself has no digits.
        measured = [DOUBLE_DIGITS if b == 0 or m == 0 else
                    min(DOUBLE_DIGITS, max(0.0, float(-mpmath.log10(mpmath.sqrt(m / trials) / abs(b)))))
                    for m, b in zip(moved, before)]
        optimistic = max(s - m for s, m in zip(said, measured))
        apart = max(abs(s - m) for s, m in zip(said, measured))
        check("%s: data digits %.2f said, %.2f measured; at most %.2f optimistic, %.2f apart"
              % (name, min(said), min(measured), optimistic, apart), optimistic <= 0.5 and apart <= 2)

        printed = [c["value"] for c in run(points, degree, work)["coefficients"]]
        kept = DOUBLE_DIGITS
        for p in points:
            exact_value = evaluated_exactly(printed, p)
            if exact_value == 0:
                continue
            error = max(abs(mpmath.mpf(evaluated_in_double(printed, p, degree)) - exact_value),
                        abs(exact_value) * mpmath.mpf(2) ** -53)
            kept = min(kept, float(-mpmath.log10(error / abs(exact_value))))
        check("%s: evaluation digits %.2f said, %.2f measured" % (name, statistics["evaluationDigits"], kept),
              abs(statistics["evaluationDigits"] - kept) <= 1)

check.finish()
