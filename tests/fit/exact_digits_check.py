#!/usr/bin/python3
"""The printed coefficients against exact least squares (mpmath, 100 digits).

calvero1-batch fits, through its JSON, cases where Gauss elimination of the
normal equations in double lost digits: an exact cubic, an exact degree-8
polynomial over 500..5500, a vapour-pressure table against T in kelvin at
degree 4 and 7. Each must keep the digits asked of it; the conditioning
estimate must not promise more than the coefficients have, nor miss by more
than a digit and a half how far exact least squares moves when the points
change in their last bit.
Usage: exact_digits_check.py BUILD_DIR SOURCE_DIR
"""
import json
import math
import os
import random
import subprocess
import sys
import tempfile
from fractions import Fraction

import mpmath

build, source = sys.argv[1], sys.argv[2]
sys.path.insert(0, os.path.join(source, "scripts"))
import exact_least_squares as exact  # noqa: E402

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from checking import Checks  # noqa: E402

check = Checks()


def polynomial_points(coefficients, xs):
    """Points on the polynomial, each y the double nearest its exact value."""
    cs = [Fraction(c) for c in coefficients]
    return [(float(x), float(sum(c * Fraction(float(x)) ** k for k, c in enumerate(cs)))) for x in xs]


VAPOUR_KPA = [0.6117, 1.2281, 2.3392, 4.2469, 7.3851, 12.352, 19.947, 31.202, 47.416, 70.183, 101.42]
cases = [
    ("cubic exact", 3, polynomial_points(["849.771827123456", "-3.5", "0.25", "-0.0125"], range(1, 13)), 14),
    ("degree 8 over 500..5500", 8,
     polynomial_points(["3.1", "-2.1e-3", "4.3e-6", "-1.7e-9", "2.9e-13", "-1.1e-17", "6e-22", "3e-26", "-1.3e-30"],
                       [Fraction(500) + Fraction(5000 * i, 24) for i in range(25)]), 10),
    ("vapour pressure in kelvin, degree 4", 4, [(273.15 + 10 * i, p) for i, p in enumerate(VAPOUR_KPA)], 12),
    ("vapour pressure in kelvin, degree 7", 7, [(273.15 + 10 * i, p) for i, p in enumerate(VAPOUR_KPA)], 10),
]


def fit(points, degree, work):
    path = os.path.join(work, "points.txt")
    with open(path, "w") as f:
        f.write("".join("%r;%r\n" % p for p in points))
    batch = os.path.join(build, "calvero1-batch")
    run = lambda *extra: subprocess.run([batch, "--points", path, "--kind", "3", "--degree", str(degree), *extra],
                                        capture_output=True, text=True).stdout
    return json.loads(run("--json", "-")), run()


def digits(computed, correct):
    error = abs(mpmath.mpf(computed) - correct)
    return 17.0 if error == 0 else min(17.0, float(-mpmath.log10(error / abs(correct))))


random.seed(23)
with tempfile.TemporaryDirectory() as work:
    for name, degree, points, wanted in cases:
        document, report = fit(points, degree, work)
        xs, ys = [p[0] for p in points], [p[1] for p in points]
        correct = exact.polynomial(xs, ys, degree)
        got = [c["value"] for c in document["coefficients"]]
        worst = min(digits(c, e) for c, e in zip(got, correct))
        check("%s: coefficients right to %.1f digits (at least %d)" % (name, worst, wanted), worst >= wanted)

        statistics = document["statistics"]
        estimate = statistics["coefficientDigits"]
        check("%s: the estimate (%.1f digits) promises no more than the coefficients have" % (name, estimate),
              estimate <= worst)
        # How far exact least squares moves when x and y change in their last bit.
        moved = 0.0
        for _ in range(4):
            nudged = [(x * (1 + random.choice((-1, 1)) * 2.0 ** -52), y * (1 + random.choice((-1, 1)) * 2.0 ** -52))
                      for x, y in points]
            again = exact.polynomial([p[0] for p in nudged], [p[1] for p in nudged], degree)
            moved = max(moved, max(float(abs(a - b) / abs(a)) for a, b in zip(correct, again)))
        lost, said = math.log10(moved / 2.0 ** -52), 15.95 - estimate
        check("%s: %.1f digits lost to a last-bit change, %.1f estimated" % (name, lost, said), lost <= said + 1.5)
        check("%s: warned exactly when either figure is under 10 digits" % name,
              statistics["illConditioned"] == (estimate < 10 or statistics["evaluationDigits"] < 10))

        if degree == 7:
            residuals = [y - sum(c * mpmath.mpf(x) ** k for k, c in enumerate(correct)) for x, y in points]
            s = mpmath.sqrt(mpmath.fsum(r * r for r in residuals) / (len(points) - degree - 1))
            error = float(abs(statistics["standardError"] - s) / s)
            check("%s: standard error %.6g within 1e-8 of the exact %s" % (name, statistics["standardError"],
                                                                           mpmath.nstr(s, 8)), error <= 1e-8)
        if name == "cubic exact":
            printed = [line.split("=")[1].strip() for line in report.splitlines() if line.startswith("Termine nr:")]
            check("cubic exact: the report prints the exact decimals %s" % printed,
                  printed == ["849.771827123456", "-3.500000000000", "0.250000000000", "-0.012500000000"])


def units_in_last_place(computed, correct):
    rounded = float(correct)
    return 0 if computed == rounded else abs(computed - rounded) / math.ulp(max(abs(computed), abs(rounded)))


# Noisy data of every degree, spread and offset, through the Python module (the
# same engine): most fits take the solver's double-precision road, the worse
# conditioned its long-double one. Where the estimate promises 8 digits or
# more, every coefficient is the exact one rounded, or at most a unit of the
# last place away (double rounding through long double); overall nearly all
# are exact. The long-double road alone missed by up to 39 units here.
sys.path.insert(0, build)
import calvero  # noqa: E402

random.seed(7)
exactly, coefficients, worst_trusted = 0, 0, 0.0
for _ in range(300):
    degree = random.randint(1, 8)
    scale = 10 ** random.uniform(-3, 3)
    offset = random.choice([0, 0, 1, 5, -3]) * scale * random.uniform(0.5, 2)
    xs = sorted({round(offset + scale * random.uniform(-1, 1), random.randint(2, 8))
                 for _ in range(random.randint(degree + 2, 200))})
    if len(xs) < degree + 2:
        continue
    true = [random.uniform(-5, 5) / scale ** k for k in range(degree + 1)]
    noise = 10 ** random.uniform(-12, -1)
    ys = [sum(c * x ** k for k, c in enumerate(true)) * (1 + noise * random.gauss(0, 1)) + noise * random.gauss(0, 1)
          for x in xs]
    result = calvero.fit(xs, ys, kind="polynomial", degree=degree)
    misses = [units_in_last_place(float(c), e) for c, e in zip(result.coefficients, exact.polynomial(xs, ys, degree))]
    coefficients += len(misses)
    exactly += sum(1 for m in misses if m == 0)
    if result.statistics["coefficientDigits"] >= 8:
        worst_trusted = max(worst_trusted, max(misses))
check("random fits: %d of %d coefficients are the exact ones rounded (at least 97 %%)" % (exactly, coefficients),
      exactly >= 0.97 * coefficients)
check("random fits estimated to keep 8 digits or more: at most 1 unit in the last place off (%g)" % worst_trusted,
      worst_trusted <= 1)

check.finish()
