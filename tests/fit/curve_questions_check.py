#!/usr/bin/python3
"""The questions to a fitted curve in calvero1-batch against independent answers.

Values with their confidence and prediction intervals against statsmodels'
get_prediction (OLS, and WLS for weighted fits with a new point of weight 1,
or the one asked, times 1/y² under relative weights) for polynomials and surfaces
of well-conditioned designs and the power kind's straight line; against the
exact least squares in mpmath (60 digits) for an ill-conditioned design
(kelvin-like x, degree 8); all to 1e-10 relative. The x for a y, the
operating points and the duty ratio against mpmath's polyroots on the
coefficients as the JSON gives them (every simple root to 1e-12 relative, a
tangency as one root within the square root of the machine epsilon, two
intersections and none). The affinity laws: a fan curve scaled by 0.8 gives
0.64 times the original values at the scaled flows to 1e-12, and the scaled
curve's data set file is read back by the program to the same coefficients.
Typed equations (NIST's Misra1a and Thurber; plain, weighted, with a fixed
parameter, with one held at its bound) and the power kind fitted in y itself
(DanWood): the value and its intervals against the delta method computed in
mpmath at the program's full-precision parameters, to 1e-10 relative, and
their x for a y against its closed form.
Usage: curve_questions_check.py BUILD_DIR SOURCE_DIR
"""
import json
import math
import os
import subprocess
import sys
import tempfile

import mpmath
import numpy as np
import statsmodels.api as sm
from scipy import stats

mpmath.mp.dps = 60
build = sys.argv[1]
batch = os.path.join(build, "calvero1-batch")
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from checking import Checks  # noqa: E402

check = Checks()
SURFACE_POWERS = [(0, 0), (1, 0), (0, 1), (2, 0), (0, 2), (1, 1), (3, 0), (0, 3), (1, 2), (2, 1),
                  (4, 0), (0, 4), (1, 3), (2, 2), (3, 1)]
SURFACE_TERMS = {2: 6, 3: 10, 4: 15}
work = tempfile.mkdtemp()


def relative(a, b):
    return abs(float(a) - float(b)) / max(abs(float(b)), 1e-300)


def run(rows, kind, degree, *options, expect=0):
    path = os.path.join(work, "points.txt")
    with open(path, "w") as f:
        f.write("".join(";".join(repr(float(v)) for v in row) + "\n" for row in rows))
    result = subprocess.run([batch, "--points", path, "--kind", str(kind), "--degree", str(degree), "--json", "-",
                             *options], capture_output=True, text=True)
    if result.returncode != expect:
        print(result.stderr)
    check(f"kind {kind} degree {degree} {' '.join(options)[:60]}: exit {expect}", result.returncode == expect)
    return json.loads(result.stdout) if result.stdout else None


def design(xs, ys, kind, degree):
    if kind == 7:
        return np.array([[x ** a * y ** b for a, b in SURFACE_POWERS[:SURFACE_TERMS[degree]]] for x, y in zip(xs, ys)])
    return np.vander(np.asarray(xs, float), degree + 1, increasing=True)


def compare_predictions(label, document, frame, transform=lambda v: v):
    """Each prediction of the document against statsmodels' summary frame row."""
    worst = 0.0
    for entry, (_, row) in zip(document["predictions"], frame.iterrows()):
        expected = [row["mean"], row["mean_ci_lower"], row["mean_ci_upper"], row["obs_ci_lower"], row["obs_ci_upper"]]
        got = [entry["value"], *entry["confidence"], *entry["prediction"]]
        worst = max(worst, max(relative(g, transform(e)) for g, e in zip(got, expected)))
    check(f"{label}: values and intervals within 1e-10 of statsmodels (worst {worst:.1e})", worst <= 1e-10)


rng = np.random.default_rng(39)

# Polynomials of several degrees on a well-conditioned design, at points inside and beyond the range.
for degree in (1, 2, 3, 5):
    xs = np.linspace(0.0, 10.0, 25)
    ys = 5 + 0.8 * xs - 0.05 * xs ** 2 + 0.002 * xs ** 3 + rng.normal(0, 0.1, xs.size)
    at = [0.5, 4.2, 9.9, 11.0]
    for level in (0.95, 0.9):
        document = run(zip(xs, ys), 3, degree, *sum((["--at", repr(a)] for a in at), []), "--level", repr(level))
        X = design(xs, ys, 3, degree)
        check(f"polynomial degree {degree}: the design is well conditioned", np.linalg.cond(X) < 1e8)
        frame = sm.OLS(ys, X).fit().get_prediction(design(at, at, 3, degree)).summary_frame(alpha=1 - level)
        compare_predictions(f"polynomial degree {degree} at level {level}", document, frame)
        check("the point beyond the range is marked extrapolated, the others not",
              [p["extrapolated"] for p in document["predictions"]] == [False, False, False, True])

# Surfaces of degree 2 and 3.
for degree in (2, 3):
    xs, ys = np.meshgrid(np.linspace(0, 5, 7), np.linspace(1, 4, 6))
    xs, ys = xs.ravel(), ys.ravel()
    zs = 3 + xs - 0.5 * ys + 0.1 * xs * ys + 0.05 * xs ** 2 + rng.normal(0, 0.05, xs.size)
    at = [(1.2, 2.5), (4.9, 1.1), (5.5, 3.0)]
    document = run(zip(xs, ys, zs), 7, degree, *sum((["--at", f"{x!r},{y!r}"] for x, y in at), []))
    X = design(xs, ys, 7, degree)
    check(f"surface degree {degree}: the design is well conditioned", np.linalg.cond(X) < 1e8)
    frame = sm.OLS(zs, X).fit().get_prediction(design([a[0] for a in at], [a[1] for a in at], 7, degree)).summary_frame(alpha=0.05)
    compare_predictions(f"surface degree {degree}", document, frame)

# Weighted fits against WLS: a weight per point (of mean 1, so that any
# scaling of the weights the statistics make leaves them as they are) with a
# new point of weight W; the relative weights 1/y² with a new point of weight
# W/y², its error relative as the points' are.
xs = np.linspace(1.0, 20.0, 18)
ys = 100 - 2 * xs + 0.05 * xs ** 2 + rng.normal(0, 0.5, xs.size)
column = rng.uniform(0.5, 3.0, xs.size)
column /= column.mean()
at = [3.3, 15.0]
for label, weights, rows, options in [
        ("weights per point", column, list(zip(xs, ys, column)), ["--weights", "column"]),
        ("relative weights", 1 / ys ** 2, list(zip(xs, ys)), ["--weights", "relative"])]:
    for new_weight in (1.0, 2.5):
        document = run(rows, 3, 2, *options, *sum((["--at", repr(a)] for a in at), []), "--weight", repr(new_weight))
        fit = sm.WLS(ys, design(xs, xs, 3, 2), weights=weights).fit()
        new = np.full(len(at), new_weight)
        if options[1] == "relative":
            new = new / fit.predict(design(at, at, 3, 2)) ** 2
        frame = fit.get_prediction(design(at, at, 3, 2), weights=new).summary_frame(alpha=0.05)
        compare_predictions(f"{label}, new point of weight {new_weight}", document, frame)

# The power kind: the straight line of log10 y on log10 x, mapped back.
xs = np.linspace(1.0, 30.0, 15)
ys = 3 * xs ** 1.5 * np.exp(rng.normal(0, 0.03, xs.size))
document = run(zip(xs, ys), 2, 1, "--at", "7.5", "--at", "35")
frame = sm.OLS(np.log10(ys), design(np.log10(xs), None, 3, 1)).fit().get_prediction(
    design(np.log10([7.5, 35.0]), None, 3, 1)).summary_frame(alpha=0.05)
compare_predictions("power, on its straight line mapped back", document, frame, transform=lambda v: 10 ** v)

# An ill-conditioned design: kelvin-like x, degree 8, against the exact least squares.
xs = np.linspace(273.15, 373.15, 30)
ys = 1000 * np.exp(-1500 / xs) + rng.normal(0, 1e-4, xs.size)
at = [280.0, 333.3, 370.0]
document = run(zip(xs, ys), 3, 8, *sum((["--at", repr(a)] for a in at), []))
check("degree 8 in kelvin: the design is ill-conditioned", np.linalg.cond(design(xs, xs, 3, 8)) > 1e8)
X = mpmath.matrix([[mpmath.mpf(x) ** k for k in range(9)] for x in xs])
Y = mpmath.matrix([mpmath.mpf(y) for y in ys])
Q, R = mpmath.qr(X)
beta = mpmath.lu_solve(R[:9, :9], (Q.T * Y)[:9, 0])
residuals = Y - X * beta
dof = len(xs) - 9
s2 = mpmath.fsum(r ** 2 for r in residuals) / dof
inverse = mpmath.inverse(X.T * X)
t = mpmath.mpf(stats.t.ppf(0.975, dof))
worst = 0.0
for entry, x in zip(document["predictions"], at):
    row = mpmath.matrix([[mpmath.mpf(x) ** k for k in range(9)]])
    value = (row * beta)[0]
    leverage = (row * inverse * row.T)[0]
    half_c, half_p = t * mpmath.sqrt(s2 * leverage), t * mpmath.sqrt(s2 * (1 + leverage))
    expected = [value, value - half_c, value + half_c, value - half_p, value + half_p]
    got = [entry["value"], *entry["confidence"], *entry["prediction"]]
    worst = max(worst, max(relative(g, e) for g, e in zip(got, expected)))
check(f"degree 8 in kelvin: values and intervals within 1e-10 of mpmath (worst {worst:.1e})", worst <= 1e-10)


def real_roots(coefficients, low, high):
    """The real roots in [low, high] of the polynomial with these coefficients (constant first)."""
    roots = mpmath.polyroots([mpmath.mpf(c) for c in reversed(coefficients)], maxsteps=500, extraprec=400)
    return sorted(float(mpmath.re(r)) for r in roots
                  if abs(mpmath.im(r)) < mpmath.mpf(10) ** -30 and low <= mpmath.re(r) <= high)


def coefficients_of(document):
    return [c["value"] for c in document["coefficients"]]


def roots_agree(label, found, expected):
    close = len(found) == len(expected) and all(relative(f, e) <= 1e-12 for f, e in zip(found, expected))
    check(f"{label}: {len(found)} roots, each within 1e-12 of mpmath ({found} vs {expected})", close)


# x for y: a cubic crossing each level up to three times, within the range and beyond it.
xs = np.linspace(0.0, 6.0, 20)
ys = (xs - 1) * (xs - 3) * (xs - 5) + 10 + rng.normal(0, 0.05, xs.size)
for level in (10.0, 12.5, 6.5, 16.0):
    document = run(zip(xs, ys), 3, 3, "--solve-y", repr(level))
    c = coefficients_of(document)
    expected = real_roots([c[0] - level, *c[1:]], -0.6, 6.6)
    solution = document["solutions"][0]
    roots_agree(f"x for y = {level}", solution["x"], expected)
    check(f"x for y = {level}: extrapolated exactly beyond [0, 6]",
          solution["extrapolated"] == [x < 0 or x > 6 for x in solution["x"]])
    check(f"x for y = {level}: each x inside its interval",
          all((lo is None or lo <= x) and (hi is None or x <= hi) for x, (lo, hi) in zip(solution["x"], solution["xIntervals"])))
document = run(zip(xs, ys), 3, 3, "--solve-y", "60", expect=1)
check("x for y = 60: none, refused with its code", document["solutions"][0]["refusal"]["code"] == "no_x_for_y"
      and document["solutions"][0]["x"] == [])

# A tangency: the parabola x² - 6x + 14 touches y = 5 at x = 3.
xs = np.arange(0.0, 7.0)
document = run(zip(xs, xs ** 2 - 6 * xs + 14), 3, 2, "--solve-y", "5")
c = [mpmath.mpf(v) for v in coefficients_of(document)]
vertex = -c[1] / (2 * c[2])
solution = document["solutions"][0]
check(f"tangency: one root, marked tangent, within sqrt(eps) of the vertex ({solution['x']} vs {float(vertex)})",
      len(solution["x"]) == 1 and solution["tangent"] == [True]
      and relative(solution["x"][0], vertex) <= math.sqrt(np.finfo(float).eps))

# Operating points of a fan curve: one, two, and none.
qs = np.linspace(0.0, 40.0, 15)
head = 10 + 2 * qs - 0.05 * qs ** 2 + rng.normal(0, 0.05, qs.size)
for label, system, p0, count in [("one", "0.02", 0.0, 1), ("two", "0.01,20", 20.0, 2), ("none", "0.01,40", 40.0, 0)]:
    document = run(zip(qs, head), 3, 2, "--system", system, expect=0 if count else 1)
    k = float(system.split(",")[0])
    c = coefficients_of(document)
    expected = real_roots([c[0] - p0, c[1], c[2] - k], 0.0, 44.0)
    found = [p["x"] for p in document["operatingPoints"]]
    roots_agree(f"operating points, {label}", found, expected)
    if count:
        check(f"operating points, {label}: Δp on the system curve",
              all(relative(p["y"], p0 + k * p["x"] ** 2) <= 1e-12 for p in document["operatingPoints"]))
    else:
        check("operating points, none: refused with its code",
              document["operatingPointsRefusal"]["code"] == "no_operating_point")
# Through a design point: the same system curve as its k.
document = run(zip(qs, head), 3, 2, "--system-through", "30,18")
c = coefficients_of(document)
roots_agree("operating point through (30, 18)", [p["x"] for p in document["operatingPoints"]],
            real_roots([c[0], c[1], c[2] - 18 / 900], 0.0, 44.0))

# The duty point: r² f(Q/r) = H, a polynomial in r once multiplied by r^(d-2).
qs = np.linspace(0.0, 60.0, 13)
fan = 620 + 1.5 * qs - 0.12 * qs ** 2 + rng.normal(0, 0.5, qs.size)
document = run(zip(qs, fan), 3, 2, "--duty", "40,400")
c = coefficients_of(document)
expected = real_roots([c[2] * 1600 - 400, c[1] * 40, c[0]], 0.3, 1.5)  # c0 r² + c1 Q r + c2 Q² = H
roots_agree("duty ratio for (40, 400)", document["duty"]["ratios"], expected)
document = run(zip(qs, fan), 3, 2, "--duty", "40,2000", expect=1)
check("duty point out of reach: refused with its code", document["duty"]["refusal"]["code"] == "no_duty_ratio")

# Affinity: the fan curve at 0.8 of its speed gives 0.64 of its head at 0.8 of its flows.
fan3 = 620 + 1.5 * qs - 0.12 * qs ** 2 - 0.0004 * qs ** 3 + rng.normal(0, 0.5, qs.size)
scaled_file = os.path.join(work, "scaled.dat")
document = run(zip(qs, fan3), 3, 3, "--speed-ratio", "0.8", "--scaled-out", scaled_file)
original = [mpmath.mpf(v) for v in coefficients_of(document)]
scaled = [mpmath.mpf(c["value"]) for c in document["scaled"]["coefficients"]]
worst = max(relative(mpmath.polyval(scaled[::-1], 0.8 * mpmath.mpf(q)), 0.64 * mpmath.polyval(original[::-1], mpmath.mpf(q)))
            for q in qs)
check(f"affinity: at 0.8 Q the scaled curve is 0.64 of the original within 1e-12 (worst {worst:.1e})", worst <= 1e-12)
read_back = subprocess.run([batch, scaled_file, "--json", "-"], capture_output=True, text=True)
check("the scaled curve's data set file is read back by the program (exit 0)", read_back.returncode == 0)
if read_back.returncode == 0:
    again = [c["value"] for c in json.loads(read_back.stdout)["coefficients"]]
    worst = max(relative(a, b) for a, b in zip(again, scaled))
    check(f"read back and fitted again: the scaled coefficients within 1e-12 (worst {worst:.1e})", worst <= 1e-12)
document = run([(t, 80 - 60 * math.exp(-0.5 * t)) for t in (1, 2, 3, 4)], 6, 1, "--ti", "20", "--tf", "80",
               "--speed-ratio", "0.8", expect=1)
check("affinity of the temperature-time kind: refused with its code",
      document["scaled"]["refusal"]["code"] == "affinity_not_kept")


# Typed equations and the power kind fitted in y itself: the value's intervals
# by the delta method, C = s² (JᵀWJ)⁻¹ over the estimated parameters at the
# program's own full-precision parameters, in mpmath from NIST's data as
# written and the equations' derivatives taken by mpmath.diff at 60 digits.
sys.path.insert(0, os.path.join(sys.argv[2], "scripts"))
import nist_nonlinear as nist  # noqa: E402

MODELS = {
    "Misra1a": lambda x, b: b["b1"] * (1 - mpmath.exp(-b["b2"] * x)),
    "Thurber": lambda x, b: (b["b1"] + b["b2"] * x + b["b3"] * x ** 2 + b["b4"] * x ** 3)
    / (1 + b["b5"] * x + b["b6"] * x ** 2 + b["b7"] * x ** 3),
    "DanWood": lambda x, b: b["A"] * x ** b["B"],
}


def delta_method(model, values, estimated, counted, xs, ys, weights, at, level, relative):
    """Value, confidence and prediction limits at each x by the delta method."""
    def gradient(x):
        return [mpmath.diff(lambda v: model(x, {**values, name: v}), values[name]) for name in estimated]
    n = len(xs)
    J = mpmath.matrix([[mpmath.sqrt(w) * g for g in gradient(x)] for x, w in zip(xs, weights)])
    dof = n - counted
    s2 = mpmath.fsum(w * (y - model(x, values)) ** 2 for x, y, w in zip(xs, ys, weights)) / dof
    inverse = mpmath.inverse(J.T * J)
    t = mpmath.mpf(stats.t.ppf(0.5 + level / 2, dof))
    rows = []
    for x in at:
        x = mpmath.mpf(x)
        g = mpmath.matrix([gradient(x)])
        value = model(x, values)
        curve = s2 * (g * inverse * g.T)[0]
        # A new point of weight 1 on the weights scaled to mean 1; under relative weights 1/value².
        point = s2 * value ** 2 if relative else s2 * len(weights) / mpmath.fsum(weights)
        half_c, half_p = t * mpmath.sqrt(curve), t * mpmath.sqrt(curve + point)
        rows.append([value, value - half_c, value + half_c, value - half_p, value + half_p])
    return rows


def nonlinear_case(label, name, options, at, level=0.95, fixed=(), relative=False, kind=None, start=None,
                   column=None):
    problem = nist.Problem(name)
    points = os.path.join(work, name + ".txt")
    problem.write_points(points)
    if column is not None:
        with open(points, "w") as f:
            f.write("".join(f"{line};{w!r}\n" for line, w in zip(problem.point_lines(), column)))
    arguments = ["--kind", kind, "--least-squares-in-y"] if kind else ["--equation", problem.equation,
                                                                      "--start", start or problem.start_text(0)]
    result = subprocess.run([batch, "--points", points, *arguments, *options, "--level", repr(level),
                             *sum((["--at", repr(a)] for a in at), []), "--json", "-"], capture_output=True, text=True)
    check(f"{label}: exit 0", result.returncode == 0)
    if result.returncode != 0:
        print(result.stderr)
        return None
    document = json.loads(result.stdout)
    values = {c["name"]: mpmath.mpf(c["value"]) for c in document["coefficients"]}
    held = [c["name"] for c in document["statistics"]["coefficients"] if c.get("atBound")]
    estimated = [k for k in values if k not in fixed and k not in held]
    xs = [mpmath.mpf(r[1]) for r in problem.rows]
    ys = [mpmath.mpf(r[0]) for r in problem.rows]
    weights = [1 / y ** 2 for y in ys] if relative else [mpmath.mpf(w) for w in column or [1] * len(xs)]
    expected = delta_method(MODELS[name], values, estimated, len(values) - len(fixed), xs, ys, weights, at, level,
                            relative)
    worst = 0.0
    for entry, row in zip(document["predictions"], expected):
        got = [entry["value"], *entry["confidence"], *entry["prediction"]]
        worst = max(worst, max(relative_error(g, e) for g, e in zip(got, row)))
    check(f"{label}: value and intervals within 1e-10 of the delta method in mpmath (worst {worst:.1e})",
          worst <= 1e-10)
    check(f"{label}: approximate exactly when a parameter rests at its bound",
          all(entry["approximate"] == bool(held) for entry in document["predictions"]))
    return document, values


def relative_error(a, b):
    return float(abs(mpmath.mpf(a) - b) / abs(b))


nonlinear_case("Misra1a", "Misra1a", [], [100.0, 450.0, 800.0])
nonlinear_case("Misra1a at 90 %", "Misra1a", [], [300.0], level=0.9)
nonlinear_case("Thurber", "Thurber", [], [-2.0, 0.0, 1.5])
nonlinear_case("Misra1a, relative weights", "Misra1a", ["--weights", "relative"], [200.0, 700.0], relative=True)
nonlinear_case("Misra1a, a weight per point", "Misra1a", ["--weights", "column"], [200.0, 700.0],
               column=list(rng.uniform(2.0, 9.0, 14)))
nonlinear_case("Misra1a, b1 fixed", "Misra1a", ["--fix", "b1=240"], [200.0, 700.0], fixed=("b1",))
bounded = nonlinear_case("Misra1a, b1 held at its bound 230", "Misra1a", ["--bounds", "b1=0:230"], [200.0, 700.0],
                         start="b1=200,b2=5e-4")
if bounded:
    check("Misra1a, b1 held at its bound: b1 is 230", bounded[1]["b1"] == 230)
danwood = nonlinear_case("DanWood, power kind with --least-squares-in-y", "DanWood", [], [1.4, 1.6, 2.0], kind="2")

# The x for a y of a typed equation and of the power kind in y, against their closed forms.
for label, arguments, name, closed in [
        ("Misra1a", ["--equation", nist.equations()["Misra1a"], "--start", "b1=500,b2=1e-4"], "Misra1a",
         lambda b, y: -mpmath.log(1 - y / b["b1"]) / b["b2"]),
        ("DanWood in y", ["--kind", "2", "--least-squares-in-y"], "DanWood",
         lambda b, y: (y / b["A"]) ** (1 / b["B"]))]:
    points = os.path.join(work, name + ".txt")
    nist.Problem(name).write_points(points)
    y = 50.0 if name == "Misra1a" else 4.0
    result = subprocess.run([batch, "--points", points, *arguments, "--solve-y", repr(y), "--json", "-"],
                            capture_output=True, text=True)
    document = json.loads(result.stdout) if result.returncode == 0 else None
    if document is None:
        check(f"{label}: x for y = {y} answered ({result.stderr.strip()})", False)
        continue
    values = {c["name"]: mpmath.mpf(c["value"]) for c in document["coefficients"]}
    found = document["solutions"][0]["x"]
    roots_agree(f"{label}: x for y = {y}", found, [float(closed(values, mpmath.mpf(y)))])

check.finish()
