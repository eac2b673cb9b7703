#!/usr/bin/python3
"""Exact references for the test of the least-squares solver's two roads
(tests/fit/leastsquaresroads_test.cpp).

Writes two point files in tests/data/roads, in the format of NIST's sets
(tests/data/nist): the vapour pressure of water against T in kelvin, 0 to
100 °C (Buck's equation, five significant digits, as a steam table gives
them), and a fan's shaft power against speed, 500 to 5500 rpm. Then prints
the test's table: for each case (NIST's polynomial sets, the kelvin table at
degree 4 and 7, the fan at degree 8) the exact least-squares coefficients of
the points' doubles, the 2-norm condition number of the design with unit
columns, and diag((XᵀX)⁻¹), all with mpmath at 100 digits; and whether the
quick road answers and whether the points lie close to their curve:

    /usr/bin/python3 tests/fit/leastsquares_roads.py
"""
import os
import sys

import mpmath

mpmath.mp.dps = 100
source = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
sys.path.insert(0, os.path.join(source, "scripts"))
import exact_least_squares as exact  # noqa: E402


def write_points(name, comment, degree, points):
    with open(os.path.join(source, "tests", "data", "roads", name + ".txt"), "w") as f:
        f.write("# " + comment + "\n# made by tests/fit/leastsquares_roads.py\ndegree %d\ndata\n" % degree)
        for x, y in points:
            f.write("%s %s\n" % (y, x))


def buck_kpa(celsius):
    t = mpmath.mpf(celsius)
    return 0.61121 * mpmath.exp((18.678 - t / 234.5) * (t / (257.14 + t)))


kelvin = [("%.2f" % (273.15 + 5 * i), mpmath.nstr(buck_kpa(5 * i), 5, strip_zeros=False)) for i in range(21)]
write_points("kelvin", "vapour pressure of water (kPa) against T (K), 0 to 100 °C, Buck's equation", 7, kelvin)
# Power (kW) against speed (rpm): the cube law with losses, measured to 1 W.
fan = []
for i in range(26):
    n = mpmath.mpf(500 + 200 * i)
    power = 0.35 + 2.1e-4 * n + 1.6e-8 * n ** 2 + 2.45e-11 * n ** 3 + 0.004 * mpmath.sin(1.7 * i)
    fan.append(("%d" % (500 + 200 * i), "%.3f" % power))
write_points("fan", "a fan's shaft power (kW) against speed (rpm), measured to 1 W", 8, fan)


def read(path):
    xs, ys, data = [], [], False
    for line in open(os.path.join(source, "tests", "data", path + ".txt")):
        words = line.split()
        if not words or words[0].startswith("#"):
            continue
        if data:
            ys.append(float(words[0]))
            xs.append(float(words[1]))
        data = data or words[0] == "data"
    return xs, ys


def figures(xs, ys, degree):
    coefficients = exact.polynomial(xs, ys, degree)
    columns = [[mpmath.mpf(x) ** k for x in xs] for k in range(degree + 1)]
    unit = mpmath.matrix([[c[i] / mpmath.sqrt(mpmath.fsum(v * v for v in c)) for c in columns] for i in range(len(xs))])
    sigma = mpmath.svd_r(unit, compute_uv=False)
    condition = max(sigma) / min(sigma)
    normal = mpmath.matrix([[mpmath.fsum(u * v for u, v in zip(a, b)) for b in columns] for a in columns])
    inverse = normal ** -1
    # The quick road answers when the condition number times how much the
    # fitted sums cancel (their largest Σ|c_k x^k| beside the largest value)
    # stays below 2^30 (quickleastsquares.cpp); none of these is within a
    # factor 1.5 of that.
    cancellation = max(mpmath.fsum(abs(c * mpmath.mpf(x) ** k) for k, c in enumerate(coefficients)) for x in xs) / \
        max(abs(mpmath.mpf(y)) for y in ys)
    loss = condition * max(cancellation, 1)
    assert loss < 2 ** 30 / 1.5 or loss > 2 ** 30 * 1.5
    # Points that lie on their curve to a millionth of their spread (1 - R²).
    mean = mpmath.fsum(mpmath.mpf(y) for y in ys) / len(ys)
    sse = mpmath.fsum((mpmath.mpf(y) - mpmath.fsum(c * mpmath.mpf(x) ** k for k, c in enumerate(coefficients))) ** 2
                      for x, y in zip(xs, ys))
    unexplained = sse / mpmath.fsum((mpmath.mpf(y) - mean) ** 2 for y in ys)
    return coefficients, condition, [inverse[k, k] for k in range(degree + 1)], loss < 2 ** 30, unexplained < 1e-6


def text(value):
    string = mpmath.nstr(value, 25, min_fixed=0, max_fixed=0)
    # The 25 digits round to the same double as the exact value.
    assert float(string) == float(mpmath.nstr(value, 60))
    return '"%s"' % string


rows = []
cases = [("nist/" + name, degree) for name, degree in
         [("Pontius", 2), ("Wampler1", 5), ("Wampler2", 5), ("Wampler3", 5), ("Wampler4", 5), ("Wampler5", 5)]]
cases += [("roads/kelvin", 4), ("roads/kelvin", 7), ("roads/fan", 8)]
for path, degree in cases:
    xs, ys = read(path)
    coefficients, condition, variances, quick, close = figures(xs, ys, degree)
    rows.append('    {"%s", %d, %s, %s,\n     {%s},\n     %s,\n     {%s}},' % (
        path, degree, "true" if quick else "false", "true" if close else "false",
        ", ".join(text(c) for c in coefficients), text(condition), ", ".join(text(v) for v in variances)))
print("\n".join(rows))
