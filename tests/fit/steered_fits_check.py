#!/usr/bin/python3
"""The steered fits of calvero1-batch against independent solutions.

Through points and fixed terms against the exact equality-constrained least
squares (the KKT system solved with mpmath at 60 digits), weights against
numpy's weighted least squares, the smallest largest error against scipy's
linprog (HiGHS), the monotone curve against scipy's SLSQP with the slope
imposed on a fine grid; every refused request against its message, with no
NaN anywhere.
Usage: steered_fits_check.py BUILD_DIR SOURCE_DIR
"""
import json
import math
import os
import subprocess
import sys
import tempfile

import mpmath
import numpy as np
from scipy.optimize import linprog, minimize

mpmath.mp.dps = 60
build = sys.argv[1]
batch = os.path.join(build, "calvero1-batch")
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from checking import Checks  # noqa: E402

check = Checks()
SURFACE_POWERS = [(0, 0), (1, 0), (0, 1), (2, 0), (0, 2), (1, 1), (3, 0), (0, 3), (1, 2), (2, 1),
                  (4, 0), (0, 4), (1, 3), (2, 2), (3, 1)]


def run(work, rows, kind, degree, *options):
    path = os.path.join(work, "points.txt")
    with open(path, "w") as f:
        f.write("".join(";".join(repr(v) for v in row) + "\n" for row in rows))
    result = subprocess.run([batch, "--points", path, "--kind", str(kind), "--degree", str(degree), "--json", "-",
                             *options], capture_output=True, text=True)
    document = json.loads(result.stdout) if result.returncode == 0 else None
    return document, result


def coefficients(document):
    return [mpmath.mpf(c["value"]) for c in document["coefficients"]]


def value(cs, x, y=None, kind=3):
    if kind == 7:
        return mpmath.fsum(c * mpmath.mpf(x) ** a * mpmath.mpf(y) ** b for c, (a, b) in zip(cs, SURFACE_POWERS))
    p = mpmath.fsum(c * mpmath.mpf(x) ** k for k, c in enumerate(cs))
    return 1 / p if kind == 5 else p


def columns(points, kind, degree):
    if kind == 7:
        count = {1: 3, 2: 6, 3: 10, 4: 15}[degree]
        return [[mpmath.mpf(x) ** a * mpmath.mpf(y) ** b for x, y, *_ in points] for a, b in SURFACE_POWERS[:count]]
    return [[mpmath.mpf(p[0]) ** k for p in points] for k in range(degree + 1)]


def exact_constrained(points, kind, degree, weights, rows, targets):
    """min Σ w (v - A c)² subject to rows·c = targets, through its KKT system."""
    cols = columns(points, kind, degree)
    v = [mpmath.mpf(p[2] if kind == 7 else p[1]) for p in points]
    if kind == 5:
        v = [mpmath.mpf(float(1 / t)) for t in v]  # the double nearest 1/y, as the program fits it
    w = weights or [1] * len(points)
    p, m = len(cols), len(rows)
    kkt = mpmath.matrix(p + m, p + m)
    right = mpmath.matrix(p + m, 1)
    for a in range(p):
        for b in range(p):
            kkt[a, b] = 2 * mpmath.fsum(wi * ca * cb for wi, ca, cb in zip(w, cols[a], cols[b]))
        right[a] = 2 * mpmath.fsum(wi * ca * vi for wi, ca, vi in zip(w, cols[a], v))
        for j in range(m):
            kkt[a, p + j] = kkt[p + j, a] = rows[j][a]
    for j in range(m):
        right[p + j] = targets[j]
    return list(mpmath.lu_solve(kkt, right))[:p]


def relative_gap(got, wanted):
    scale = max(abs(w) for w in wanted)
    return float(max(abs(g - w) for g, w in zip(got, wanted)) / scale)


def clean(result, document):
    text = result.stdout + result.stderr
    return "nan" not in text.lower() or document is None


# Points of a pump's head against flow, with a little scatter; a surface of
# a chiller's power against two temperatures.
PUMP = [(q, 42.0 - 0.9e-3 * q - 1.1e-6 * q * q + e) for q, e in
        zip(range(0, 6600, 600), [0.12, -0.31, 0.22, 0.05, -0.18, 0.27, -0.09, 0.14, -0.25, 0.08, 0.11])]
SURFACE = [(x, y, 18.0 + 0.42 * x - 0.31 * y + 0.011 * x * y + 0.004 * y * y + e)
           for x, (y, e) in [(x, (y, [0.05, -0.08, 0.03, 0.07, -0.04, 0.02][(i + j) % 6]))
                             for i, x in enumerate([25.0, 30.0, 35.0, 40.0, 45.0])
                             for j, y in enumerate([5.0, 8.0, 11.0, 14.0])]]
FAN = [(0, 620), (500, 612), (1000, 600), (1500, 590), (2000, 585), (2500, 578), (3000, 560), (3500, 520),
       (4000, 455), (4500, 370), (5000, 260), (5500, 120)]

with tempfile.TemporaryDirectory() as work:
    # Through points and fixed terms: the exact constrained least squares.
    cases = [
        ("pump, degree 3, through the shut-off head (0; 42)", PUMP, 3, 3, ["--through", "0,42"]),
        ("pump, degree 2, through two points", PUMP, 3, 2, ["--through", "0,42", "--through", "6000,0.5"]),
        ("pump, degree 3, term 1 = 40 and term 2 = 0", PUMP, 3, 3, ["--fix", "1=40", "--fix", "2=0"]),
        ("pump, degree 1, as many through points as coefficients", PUMP, 3, 1,
         ["--through", "600,41.5", "--through", "4800,8", "--weights", "relative"]),
        ("rational, degree 2, through (3000; 35)", [(q, 1 / (0.02 + 1e-6 * q + 2e-10 * q * q) + e * 0.1)
                                                    for (q, _), e in zip(PUMP, [1, -2, 1, 3, -1, 2, -3, 1, 0, 2, -1])],
         5, 2, ["--through", "3000,35"]),
        ("surface, degree 2, through (30; 8; 20.5) with relative weights", SURFACE, 7, 2,
         ["--through", "30,8,20.5", "--weights", "relative"]),
    ]
    for name, points, kind, degree, options in cases:
        document, result = run(work, points, kind, degree, *options)
        if document is None:
            check("%s: fitted (%s)" % (name, result.stderr.strip()), False)
            continue
        cs = coefficients(document)
        rows, targets = [], []
        i = 0
        while i < len(options):
            if options[i] == "--through":
                numbers = [mpmath.mpf(t) for t in options[i + 1].split(",")]
                if kind == 7:
                    rows.append([mpmath.mpf(numbers[0]) ** a * mpmath.mpf(numbers[1]) ** b
                                 for a, b in SURFACE_POWERS[:len(cs)]])
                    targets.append(numbers[2])
                else:
                    rows.append([numbers[0] ** k for k in range(degree + 1)])
                    targets.append(mpmath.mpf(float(1 / numbers[1])) if kind == 5 else numbers[1])
                    wanted = numbers[1]
                    got = value(cs, numbers[0], kind=kind)
                    check("%s: passes through (%s) to %.1e relative" % (name, options[i + 1], float(abs(got - wanted) / abs(wanted))),
                          abs(got - wanted) <= 1e-10 * abs(wanted))
            if options[i] == "--fix":
                term, number = options[i + 1].split("=")
                row = [0] * len(cs)
                row[int(term) - 1] = 1
                rows.append(row)
                targets.append(mpmath.mpf(number))
                check("%s: term %s is %s exactly" % (name, term, number), cs[int(term) - 1] == mpmath.mpf(number))
            i += 1
        weights = None
        if "relative" in options:
            weights = [1 / mpmath.mpf(p[2] if kind == 7 else p[1]) ** 2 for p in points]
        if kind == 7:
            for row, target in zip(rows, targets):
                got = mpmath.fsum(r * c for r, c in zip(row, cs))
                check("%s: passes through its point to %.1e relative" % (name, float(abs(got - target) / abs(target))),
                      abs(got - target) <= 1e-10 * abs(target))
        exact = exact_constrained(points, kind, degree, weights, rows, targets)
        gap = relative_gap(cs, exact)
        check("%s: equals the constrained least squares to %.1e" % (name, gap), gap <= 1e-9)

    # Weights against numpy's weighted least squares (x centred by numpy's own scaling).
    x = np.array([p[0] for p in PUMP])
    y = np.array([p[1] for p in PUMP])
    for name, weights, option in [("relative weights 1/y^2", 1 / y ** 2, "relative"),
                                  ("weights from the third column", np.array([1, 2, 1, 4, 1, 1, 3, 1, 2, 1, 5.0]), "column")]:
        rows = PUMP if option == "relative" else [(p[0], p[1], w) for p, w in zip(PUMP, weights)]
        document, result = run(work, rows, 3, 3, "--weights", option)
        scale = x.max() / 2
        t = (x - scale) / scale
        solution = np.linalg.lstsq(np.vander(t, 4, increasing=True) * np.sqrt(weights)[:, None], y * np.sqrt(weights),
                                   rcond=None)[0]
        got = np.polynomial.polynomial.Polynomial([float(c) for c in coefficients(document)])
        wanted = np.polynomial.polynomial.Polynomial(solution, domain=[0, 2 * scale], window=[-1, 1]).convert()
        gap = np.max(np.abs(got.coef - wanted.coef) / np.abs(wanted.coef))
        check("pump, degree 3, %s: numpy's weighted solution to %.1e" % (name, gap), gap <= 1e-9)

    # The rational kind weighs the errors of y: on the 1/y it fits, relative
    # weights 1/y² become y⁴/y² = y².
    rational = [(q, 1 / (0.02 + 1e-6 * q + 2e-10 * q * q) * (1 + e)) for (q, _), e in
                zip(PUMP, [0.004, -0.006, 0.002, 0.005, -0.003, 0.006, -0.004, 0.001, -0.005, 0.003, 0.002])]
    document, result = run(work, rational, 5, 2, "--weights", "relative")
    rx = np.array([p[0] for p in rational])
    ry = np.array([p[1] for p in rational])
    t = (rx - rx.max() / 2) / (rx.max() / 2)
    solution = np.linalg.lstsq(np.vander(t, 3, increasing=True) * ry[:, None], (1 / ry) * ry, rcond=None)[0]
    wanted = np.polynomial.polynomial.Polynomial(solution, domain=[0, rx.max()], window=[-1, 1]).convert()
    got = np.array([float(c) for c in coefficients(document)])
    gap = np.max(np.abs(got - wanted.coef) / np.abs(wanted.coef))
    check("rational, degree 2, relative weights on y: numpy's solution weighted by y^2 to %.1e" % gap, gap <= 1e-9)

    # The surface's weights from the fourth column, the points not in order of x:
    # each weight must stay with its point when the surface sorts them.
    shuffled = SURFACE[::-1][::3] + SURFACE[1::3]
    weights = np.array([1.0 + (i * 7) % 5 for i in range(len(shuffled))])
    document, result = run(work, [p + (w,) for p, w in zip(shuffled, weights)], 7, 2, "--weights", "column")
    xs, ys, zs = (np.array([p[k] for p in shuffled]) for k in range(3))
    design = np.array([xs ** a * ys ** b for a, b in SURFACE_POWERS[:6]]).T
    solution = np.linalg.lstsq(design * np.sqrt(weights)[:, None], zs * np.sqrt(weights), rcond=None)[0]
    gap = relative_gap(coefficients(document), [mpmath.mpf(c) for c in solution])
    check("surface, weights from the fourth column: numpy's weighted solution to %.1e" % gap, gap <= 1e-9)
    check("the JSON records the options", document["options"]["weights"] == "column" and
          document["optionsLine"] == "vincoli: pesi dei punti dal file")

    # The smallest largest error against scipy's linear programme.
    def lp_optimum(points, kind, degree):
        """The programme in x and y centred and scaled to [-1, 1], where its columns are far from parallel."""
        def centred(values):
            values = np.array(values, dtype=float)
            return (values - (values.max() + values.min()) / 2) / ((values.max() - values.min()) / 2)
        t = centred([p[0] for p in points])
        s = centred([p[1] for p in points]) if kind == 7 else None
        powers = SURFACE_POWERS[:{1: 3, 2: 6, 3: 10, 4: 15}[degree]] if kind == 7 else [(k, 0) for k in range(degree + 1)]
        cols = np.array([t ** a * (s ** b if kind == 7 else 1) for a, b in powers]).T
        v = np.array([p[2] if kind == 7 else p[1] for p in points], dtype=float)
        a = cols / np.abs(v)[:, None]
        ones = np.ones((len(v), 1))
        upper = np.vstack([np.hstack([a, -ones]), np.hstack([-a, -ones])])
        bound = np.concatenate([v / np.abs(v), -v / np.abs(v)])
        result = linprog(np.r_[np.zeros(cols.shape[1]), 1.0], A_ub=upper, b_ub=bound,
                         bounds=[(None, None)] * cols.shape[1] + [(0, None)], method="highs",
                         options={"primal_feasibility_tolerance": 1e-10, "dual_feasibility_tolerance": 1e-10})
        return result.fun * 100

    for name, points, kind, degree in [("pump, degree 3", PUMP, 3, 3), ("fan, degree 6", FAN, 3, 6),
                                       ("surface, degree 2", SURFACE, 7, 2)]:
        document, result = run(work, points, kind, degree, "--minimax")
        plain, _ = run(work, points, kind, degree)
        cs = coefficients(document)
        largest = max(abs((value(cs, p[0], p[1], kind) - (p[2] if kind == 7 else p[1])) / (p[2] if kind == 7 else p[1]))
                      for p in points) * 100
        optimum = lp_optimum(points, kind, degree)
        gap = float(abs(largest - optimum) / optimum)
        check("%s: largest error %s %% equals linprog's %.10g %% to %.1e" % (name, mpmath.nstr(largest, 10), optimum, gap),
              gap <= 1e-7)
        check("%s: no larger than least squares' %.6g %%" % (name, plain["statistics"]["largestPercentError"]),
              float(largest) <= plain["statistics"]["largestPercentError"] * (1 + 1e-12))
        check("%s: the report's largest error is the programme's" % name,
              abs(document["statistics"]["largestPercentError"] - optimum) <= 1e-7 * optimum)

    # Monotone: the fan curve whose least-squares fit turns back, and a
    # compressor's rising power at degree 8 on 60 noisy points.
    rng = np.random.default_rng(27)
    ratio = np.linspace(1.5, 6.0, 60)
    COMPRESSOR = [(float(r), float(2.1 + 1.8 * math.log(r) + 0.35 * math.sin(3 * r) * 0.2 + e))
                  for r, e in zip(ratio, rng.normal(0, 0.05, 60))]
    for name, points, degree, direction in [("fan, degree 6", FAN, 6, "decreasing"),
                                            ("compressor, degree 8", COMPRESSOR, 8, "increasing")]:
        document, result = run(work, points, 3, degree, "--monotone", direction)
        plain, _ = run(work, points, 3, degree)
        cs = [float(c) for c in coefficients(document)]
        xs = np.array([p[0] for p in points], dtype=float)
        ys = np.array([p[1] for p in points], dtype=float)
        sign = -1 if direction == "decreasing" else 1
        dense = np.linspace(xs.min(), xs.max(), 10000)
        curve = [value([mpmath.mpf(c) for c in cs], v) for v in dense]
        steps = [sign * (b - a) for a, b in zip(curve, curve[1:])]
        span = float(ys.max() - ys.min())
        check("%s: %s at 10 000 points (worst step %.2e of the range)" % (name, direction, float(min(steps)) / span),
              min(steps) >= -1e-13 * span)
        check("%s: the least-squares fit was not (it turns: %s)" % (name, plain["shape"]["turns"]),
              name.startswith("compressor") or plain["shape"]["turns"])
        check("%s: the shape check finds no turn" % name, document["shape"]["turns"] == [] and
              document["shape"]["outOfBand"] == [])
        centre, half = (xs.max() + xs.min()) / 2, (xs.max() - xs.min()) / 2
        t = (xs - centre) / half
        design = np.vander(t, degree + 1, increasing=True)
        grid = np.linspace(-1, 1, 2000)
        slope = np.zeros((grid.size, degree + 1))
        for j in range(1, degree + 1):
            slope[:, j] = j * grid ** (j - 1)
        start = np.linalg.lstsq(design, ys, rcond=None)[0]
        reference = minimize(lambda c: np.sum((design @ c - ys) ** 2), start,
                             jac=lambda c: 2 * design.T @ (design @ c - ys),
                             constraints=[{"type": "ineq", "fun": lambda c: sign * slope @ c, "jac": lambda c: sign * slope}],
                             method="SLSQP", options={"ftol": 1e-15, "maxiter": 2000})
        sse = document["statistics"]["sse"]
        # SLSQP may stop at the limit of its line search (status 8) once it
        # has converged as far as the arithmetic allows, as it does with
        # some BLAS libraries: its point counts when it meets the slopes.
        settled = reference.success or (reference.status == 8 and min(sign * slope @ reference.x) >= -1e-9 * span)
        check("%s: SSE %.10g at most 0.1 %% above SLSQP's %.10g on 2000 nodes" % (name, sse, reference.fun),
              settled and sse <= reference.fun * 1.001)

    # Combined: through the shut-off point and monotone.
    document, result = run(work, FAN, 3, 6, "--monotone", "decreasing", "--through", "0,620")
    cs = coefficients(document) if document else None
    check("fan, monotone through (0; 620): passes through it",
          cs is not None and abs(value(cs, 0) - 620) <= 1e-10 * 620)
    # Every coefficient fixed: the smallest largest error and the monotone curve have nothing left to choose.
    for options in (["--minimax"], ["--monotone", "decreasing"]):
        document, result = run(work, PUMP, 3, 1, "--fix", "1=42", "--fix", "2=-0.006", *options)
        check("pump, degree 1, both terms fixed, %s: the fixed line" % options[0],
              document is not None and [c["value"] for c in document["coefficients"]] == [42, -0.006])

    # Refusals: exit 1, the message, nothing computed, no NaN.
    refusals = [
        ("more conditions than coefficients", PUMP, 3, 1, ["--through", "0,42", "--through", "600,41", "--fix", "2=0"],
         "troppi vincoli"),
        ("through points that rise and fall, monotone", FAN, 3, 4,
         ["--monotone", "decreasing", "--through", "0,620", "--through", "1000,640"], "salgono e scendono"),
        ("a weight that is not positive", [(p[0], p[1], 0 if i == 3 else 1) for i, p in enumerate(PUMP)], 3, 3,
         ["--weights", "column"], "peso non positivo al punto 4"),
        ("no weight column", PUMP, 3, 3, ["--weights", "column"], "manca la colonna dei pesi nel file dei punti"),
        ("a weight missing", [(p[0], p[1], 1) if i != 2 else p for i, p in enumerate(PUMP)], 3, 3,
         ["--weights", "column"], "manca il peso del punto 3"),
        ("the rational kind, concave", PUMP, 5, 2, ["--concave"], "la curva concava o convessa vale solo per POLINOMIO"),
        ("the smallest largest error with y = 0", PUMP[:3] + [(1800, 0.0)] + PUMP[4:], 3, 3, ["--minimax"],
         "il punto 4 ha y = 0"),
        ("the power kind with a through point", [(p[0] + 1, p[1]) for p in PUMP], 2, 1, ["--through", "1,42"],
         "valgono solo per POLINOMIO"),
        ("the rational kind, monotone", PUMP, 5, 2, ["--monotone", "increasing"], "vale solo per POLINOMIO"),
        ("minimax with weights", PUMP, 3, 2, ["--minimax", "--weights", "relative"], "non usa pesi"),
        ("two through points at one x", PUMP, 3, 3, ["--through", "0,42", "--through", "0,41"], "non sono indipendenti"),
        ("a through point whose powers overflow", PUMP, 3, 3, ["--through", "1e300,5"], "overflow"),
        ("a term that the degree has not", PUMP, 3, 2, ["--fix", "5=1"], "inesistente"),
        ("a fixed slope against a monotone curve", PUMP, 3, 2, ["--fix", "2=1", "--monotone", "decreasing"],
         "non si possono rispettare"),
        ("every term fixed against a monotone curve", PUMP, 3, 1, ["--fix", "1=0", "--fix", "2=1", "--monotone",
                                                                   "decreasing"], "non si possono rispettare"),
    ]
    for name, points, kind, degree, options, words in refusals:
        document, result = run(work, points, kind, degree, *options)
        check("refused, %s: exit %d, %r" % (name, result.returncode, result.stderr.strip()),
              result.returncode == 1 and words in result.stderr and result.stdout == "" and clean(result, document))

check.finish()
