"""The Python module calvero against calvero1-batch: for every kind, on point
files and on the six examples, calvero.fit gives the coefficients of
calvero1-batch --json bit for bit, the same statistics, shape checks, report
and point values; calvero.compare gives the --compare rows; refusals and bad
arguments are said in Italian; the questions to a curve (predict, solve_y,
operating_points, scaled, duty) agree with statsmodels and mpmath; a typed
equation and a power curve fitted in y are calvero1-batch's.
    PYTHONPATH=BUILD /usr/bin/python3 python_check.py BUILD"""
import json
import math
import os
import re
import subprocess
import sys
import tempfile
import threading
import time

import mpmath
import numpy as np

import calvero

build = sys.argv[1]
batch = os.path.join(build, "calvero1-batch")
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from checking import Checks  # noqa: E402

check = Checks()


def batch_json(*arguments):
    out = subprocess.run([batch, *arguments, "--compare", "--json", "-"], capture_output=True, text=True)
    return json.loads(out.stdout) if out.returncode == 0 else None


def batch_report(*arguments):
    return subprocess.run([batch, *arguments], capture_output=True, text=True).stdout


def same_bits(a, b):
    return len(a) == len(b) and all(np.float64(u).tobytes() == np.float64(v).tobytes() for u, v in zip(a, b))


def compare_with_batch(what, result, document, report):
    check(what + ": coefficients bit for bit",
          same_bits(result.coefficients, [c["value"] for c in document["coefficients"]]),
          (list(result.coefficients), document["coefficients"]))
    check(what + ": coefficient names", result.coefficient_names == [c["name"] for c in document["coefficients"]])
    check(what + ": statistics", result.statistics == document["statistics"])
    if "shape" in document:  # a typed equation has no shape checks
        check(what + ": shape checks", result.shape_checks == document["shape"])
    check(what + ": report", result.report == report)
    points = document["points"]
    xs = np.array([p["x"] for p in points])
    ys = np.array([p["y"] for p in points])
    fitted = result.evaluate(xs, ys)
    expected = [p.get("zint", p.get("yint")) for p in points]
    check(what + ": evaluate as the point table",
          all((e is None and math.isnan(f)) or f == e for f, e in zip(fitted, expected)))


work = tempfile.mkdtemp()


def write_points(name, rows):
    path = os.path.join(work, name)
    with open(path, "w") as f:
        for row in rows:
            f.write(";".join(repr(v) for v in row) + "\n")
    return path, [np.array(c) for c in zip(*rows)]


xs = [0.5 + 0.75 * i for i in range(14)]
noise = [0.013, -0.021, 0.008, 0.017, -0.011, -0.004, 0.019, -0.015, 0.006, 0.002, -0.018, 0.012, -0.007, 0.009]
curve = write_points("curve.txt", [(x, 3.0 + 2.0 * x ** 1.3 + 0.5 * math.sin(x) + e) for x, e in zip(xs, noise)])
cooling = write_points("cooling.txt", [(x, 20.0 + 70.0 * math.exp(-0.3 * x) + e) for x, e in zip(xs, noise)])
saturation = write_points("saturation.txt", [(273.15 + 8 * i, 10 ** (7.2 - 1700.0 / (273.15 + 8 * i)) * (1 + e / 10))
                                             for i, e in enumerate(noise)])
surface = write_points("surface.txt", [(x, y, 5 + 0.3 * x - 0.2 * y + 0.05 * x * y + 0.3 * math.sin(x + y) + 0.01 * j)
                                       for i, x in enumerate([1.0, 2.5, 4.0, 5.5, 7.0, 8.5])
                                       for j, y in enumerate([0.5, 2.0, 3.5, 5.0, 6.5])])

cases = []
for kind, name in [(1, "scatter"), (2, "power"), (4, "exponential"), (8, "saturation")]:
    cases.append((name, curve, kind, 1, {}))
for degree in range(1, 10):
    cases.append(("polynomial %d" % degree, curve, "polynomial", degree, {}))
for degree in (1, 3, 8):
    cases.append(("rational %d" % degree, curve, 5, degree, {}))
cases.append(("temperature-time", cooling, "temperature-time", 1, {"t_initial": 90.0, "t_final": 20.0}))
cases.append(("saturation in kelvin", saturation, "saturation", 1, {}))
for degree in (2, 3, 4):
    cases.append(("surface %d" % degree, surface, "surface", degree, {}))

numbers = {"scatter": 1, "power": 2, "polynomial": 3, "exponential": 4, "rational": 5, "temperature-time": 6,
           "surface": 7, "saturation": 8}
for what, (path, columns), kind, degree, temperatures in cases:
    number = kind if isinstance(kind, int) else numbers[kind]
    arguments = ["--points", path, "--kind", str(number), "--degree", str(degree)]
    if temperatures:
        arguments += ["--ti", repr(temperatures["t_initial"]), "--tf", repr(temperatures["t_final"])]
    document = batch_json(*arguments)
    z = columns[2] if number == 7 else None
    # Lists for some, arrays for the others.
    x, y = (list(columns[0]), list(columns[1])) if number % 2 else (columns[0], columns[1])
    result = calvero.fit(x, y, kind=kind, degree=degree, z=z, **temperatures)
    compare_with_batch(what, result, document, batch_report(*arguments))
    rows = calvero.compare(x, y, z=z, degree=degree, **temperatures)
    check(what + ": comparison rows", rows == document["comparison"]["rows"], (rows[:1], document["comparison"]["rows"][:1]))

# The steered fits: the options given to calvero.fit as calvero1-batch takes them on its line.
weighted = write_points("weighted.txt", [(x, 3.0 + 2.0 * x ** 1.3 + e, 1.0 + (i % 4)) for i, (x, e) in enumerate(zip(xs, noise))])
steered = [
    ("through and fixed", curve, 3, 3, ["--through", "0.5,4", "--fix", "4=0"], {"through": [(0.5, 4)], "fix": {4: 0.0}}),
    ("relative weights, rising", curve, 3, 4, ["--weights", "relative", "--monotone", "increasing"],
     {"weights": "relative", "monotone": "increasing"}),
    ("smallest largest error", curve, 3, 2, ["--minimax"], {"minimax": True}),
    ("weights of a column", weighted, 3, 2, ["--weights", "column"], {"weights": weighted[1][2]}),
    ("surface through a point", surface, 7, 2, ["--through", "4,3.5,6"], {"through": [(4, 3.5, 6)]}),
]
for what, (path, columns), kind, degree, line, options in steered:
    arguments = ["--points", path, "--kind", str(kind), "--degree", str(degree)] + line
    z = columns[2] if kind == 7 else None
    result = calvero.fit(columns[0], columns[1], kind=kind, degree=degree, z=z, **options)
    compare_with_batch("steered, " + what, result, batch_json(*arguments), batch_report(*arguments))

# A data set with its options file: read_dataset hands them on.
steered_set = os.path.join(work, "steered.txt")
with open(os.path.join(build, "nr150b6.txt"), "rb") as source, open(steered_set, "wb") as copy:
    copy.write(source.read())
with open(os.path.join(work, "steered.vincoli.json"), "w") as f:
    json.dump({"throughPoints": [{"x": 0, "y": 620}], "monotone": "decreasing"}, f)
data = calvero.read_dataset(steered_set)
check("a data set's options", data["through"] == [(0.0, 620.0)] and data["monotone"] == "decreasing", data)
compare_with_batch("steered data set", calvero.fit(**data), batch_json(steered_set), batch_report(steered_set))

# An equation saved beside a data set is fitted instead of its kind, as by the batch.
with open(os.path.join(work, "steered.equazione.json"), "w") as f:
    json.dump({"equation": "y = h0*(1-(x/q0)^n)", "start": {"h0": 33, "q0": 80, "n": 2}}, f)
os.remove(os.path.join(work, "steered.vincoli.json"))
data = calvero.read_dataset(steered_set)
check("a data set's equation", data["equation"] == "y = h0*(1-(x/q0)^n)" and "kind" not in data, data)
compare_with_batch("saved equation", calvero.fit(**data), batch_json(steered_set), batch_report(steered_set))

examples = ["potenzaold.txt", "nr150b6.txt", "polinomiofratto.txt", "esponenziale.txt", "temperatura_tempo.txt",
            "funzxy.txt"]
for name in examples:
    path = os.path.join(build, name)
    data = calvero.read_dataset(path)
    result = calvero.fit(**data)
    compare_with_batch(name, result, batch_json(path), batch_report(path))
    check(name + ": the data set's kind", result.kind == data["kind"] == data.kind)

result = calvero.fit([1, 2, 3, 4], [2.0, 4.1, 5.9, 8.2], degree=1)
check("a scalar gives a number", isinstance(result.evaluate(2.0), float))
grid = np.linspace(0, 5, 12).reshape(3, 4)
check("an array gives an array of its shape", result.evaluate(grid).shape == (3, 4))
check("the equation shows itself", repr(result).startswith("<calvero.Result POLINOMIO grado 1: y = "), repr(result))

for what, call, error, text in [
    ("one point is refused", lambda: calvero.fit([1.0], [2.0]), calvero.Refused, " numero punti=  <2!"),
    ("power at x = 0 is refused", lambda: calvero.fit([0, 1, 2], [1, 2, 3], kind="power"), calvero.Refused,
     "divisione per zero nel calcolo (Floating point division by zero)"),
    ("100 001 points are refused", lambda: calvero.fit(np.arange(1.0, 100002.0), np.arange(1.0, 100002.0)),
     calvero.Refused, "massimo 100000 punti"),
    ("an unknown kind", lambda: calvero.fit([1, 2], [1, 2], kind="spline"), ValueError,
     "tipo non riconosciuto: spline (scatter, power, polynomial, exponential, rational, temperature-time, surface, "
     "saturation, o il numero 1..8)"),
    ("a degree out of range", lambda: calvero.fit([1, 2], [1, 2], degree=12), ValueError, "grado non valido (1..9): 12"),
    ("arrays of unequal length", lambda: calvero.fit([1, 2, 3], [1, 2]), ValueError,
     "x e y devono avere lo stesso numero di valori"),
    ("a value that is no number", lambda: calvero.fit([1, 2, float("nan")], [1, 2, 3]), ValueError,
     "il valore 3 di x non è un numero finito"),
    ("a surface without z", lambda: calvero.fit([1, 2], [1, 2], kind="surface"), ValueError,
     "per il polinomio Z=F(x,y) servono i valori di z"),
    ("text for numbers", lambda: calvero.fit(["uno", "due"], [1, 2]), TypeError,
     "x deve essere una sequenza di numeri reali"),
    ("numbers written as text", lambda: calvero.fit(["1e3", "2"], [1, 2]), TypeError,
     "x deve essere una sequenza di numeri reali"),
    ("complex numbers", lambda: calvero.fit([1, 2, 3], [1 + 2j, 2, 3]), TypeError,
     "y deve essere una sequenza di numeri reali"),
    ("None among the numbers", lambda: calvero.fit([1, None, 3], [1, 2, 3]), TypeError,
     "x deve essere una sequenza di numeri reali"),
    ("the curve at None", lambda: calvero.fit([1, 2, 3], [1, 2, 4], degree=1).evaluate(None), TypeError,
     "x deve essere un numero reale o un array di numeri reali"),
    ("a complex temperature", lambda: calvero.fit([1, 2], [1, 2], kind=6, t_initial=1j), TypeError,
     "t_initial deve essere un numero o None"),
    ("a degree that is no whole number", lambda: calvero.fit([1, 2], [1, 2], degree=2.0), TypeError,
     "il grado è un numero intero da 1 a 9"),
    ("a huge kind", lambda: calvero.fit([1, 2], [1, 2], kind=10 ** 30), ValueError,
     "tipo non valido (1..8): " + str(10 ** 30)),
    ("a temperature that is no number", lambda: calvero.fit([1, 2], [1, 2], kind=6, t_initial="venti"), TypeError,
     "t_initial deve essere un numero o None"),
    ("a file that is no data set", lambda: calvero.read_dataset(os.path.join(work, "curve.txt")), ValueError,
     "il file non contiene dati validi: " + os.path.join(work, "curve.txt")),
    ("a through point of one number", lambda: calvero.fit([1, 2, 3], [1, 2, 3], through=[(1,)]), ValueError,
     "un punto di passaggio si dà come (x, y), o (x, y, z) per il polinomio Z=F(x,y)"),
    ("weights not one per point", lambda: calvero.fit([1, 2, 3], [1, 2, 3], degree=1, weights=[1, 2]), ValueError,
     "i pesi devono essere uno per punto"),
    ("an unknown weighting", lambda: calvero.fit([1, 2, 3], [1, 2, 3], weights="assolute"), ValueError,
     'pesi non validi: "relative" o un peso per punto'),
    ("a kind no option suits", lambda: calvero.fit([1, 2, 3], [1, 2, 3], kind="power", minimax=True), calvero.Refused,
     subprocess.run([batch, "--points", curve[0], "--kind", "2", "--minimax"], capture_output=True,
                    text=True).stderr.strip()),
    ("a missing file", lambda: calvero.read_dataset(os.path.join(work, "manca.txt")), FileNotFoundError,
     " IL FILE:" + os.path.join(work, "manca.txt") + " NON ESISTE!"),
]:
    try:
        call()
        check(what, False, "nothing raised")
    except error as raised:
        check(what, str(raised) == text, str(raised))

# Every refusal the module raises as calvero.Refused carries its code; each
# code a script can meet is met here once.
line = np.arange(1.0, 7.0)
def refused_code(call):
    try:
        call()
    except calvero.Refused as refusal:
        return refusal.code
    return None
poly = calvero.fit([1, 2, 3, 4, 5], [2.0, 3.1, 4.2, 4.9, 6.1], degree=1)
for code, call in [
    ("too_few_points", lambda: calvero.fit([1.0], [2.0])),
    ("too_few_points_for_degree", lambda: calvero.fit([1, 2, 3], [1, 2, 4], degree=3)),
    ("too_few_distinct_x", lambda: calvero.fit([1, 1, 2, 2], [1, 2, 3, 4], degree=2)),
    ("too_many_points", lambda: calvero.fit(np.arange(1.0, 100002.0), np.arange(1.0, 100002.0), degree=1)),
    ("surface_undetermined", lambda: calvero.fit(line, line, z=line ** 2, kind="surface", degree=2)),
    ("not_positive", lambda: calvero.fit([0, 1, 2], [80, 60, 50], kind=6, t_initial=90, t_final=20)),
    ("missing_temperatures", lambda: calvero.fit([1, 2, 3], [80, 60, 50], kind=6)),
    ("division_by_zero", lambda: calvero.fit([0, 1, 2], [1, 2, 3], kind="power")),
    ("invalid_operation", lambda: calvero.fit([-1, 1, 2], [1, 2, 3], kind="power")),
    ("option_not_for_kind", lambda: calvero.fit(line, line, kind="power", minimax=True)),
    ("too_many_conditions", lambda: calvero.fit(line, line, degree=1, through=[(1, 1), (2, 2), (3, 3)])),
    ("no_such_term", lambda: calvero.fit(line, line, degree=2, fix={5: 1.0})),
    ("through_point_at_zero", lambda: calvero.fit(line, 1 / line, kind="rational", degree=1, through=[(2, 0)])),
    ("zero_value", lambda: calvero.fit(line, line - 1, degree=1, weights="relative")),
    ("non_positive_weight", lambda: calvero.fit(line, line, degree=1, weights=[1, 1, -1, 1, 1, 1])),
    ("minimax_with_weights", lambda: calvero.fit(line, line, degree=1, minimax=True, weights="relative")),
    ("through_points_not_monotone", lambda: calvero.fit(line, line, degree=2, monotone="increasing",
                                                        through=[(1, 2), (2, 1)])),
    ("dependent_conditions", lambda: calvero.fit(line, line, degree=2, through=[(1, 1), (1, 2)])),
    ("incompatible_conditions", lambda: calvero.fit(line, line, degree=1, fix={2: -1.0}, monotone="increasing")),
    ("no_export", lambda: calvero.export(poly, "ahri540")),
    ("invalid_rated_point", lambda: calvero.export(poly, "energyplus", rated=50)),
    ("zero_at_rated_point", lambda: calvero.export(calvero.fit([1, 2, 3, 4], [-1, 0, 1, 2], degree=1), "energyplus",
                                                   rated=2)),
]:
    got = refused_code(call)
    check("refusal code " + code, got == code, got)
# The stub's list and the C header's enum are the module's own, in its order.
stub = open(os.path.join(build, "calvero.pyi"), encoding="utf-8").read()
stub_codes = re.findall(r'"([a-z_]+)",', stub[stub.index("RefusalCode = Literal["):stub.index("REFUSAL_CODES:")])
header = open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "src", "library", "c", "calvero.h"),
              encoding="utf-8").read()
c_codes = [name.lower() for name in re.findall(r"CALVERO_REFUSAL_([A-Z_]+)[ ,=\n]", header) if name != "NONE"]
check("the codes are the stub's and the C library's list", list(calvero.REFUSAL_CODES) == stub_codes == c_codes[:len(stub_codes)]
      and len(set(c_codes)) == len(stub_codes), (calvero.REFUSAL_CODES, stub_codes, c_codes))

# The exports are the batch's, byte for byte.
for format, option, extra in [("energyplus", "--energyplus", []), ("formula", "--formula", []),
                              ("c-function", "--c-function", []), ("python-function", "--python-function", [])]:
    out = os.path.join(work, "export." + format)
    subprocess.run([batch, "--points", curve[0], "--kind", "3", "--degree", "3", option, out, "--curve-name", "ventola"],
                   capture_output=True, check=True)
    fitted = calvero.fit(curve[1][0], curve[1][1], degree=3)
    check("export " + format + " as the batch writes it",
          calvero.export(fitted, format, name="ventola") == open(out, encoding="utf-8").read())

# help(calvero.fit) names every kind by name and number, and every exception.
doc = calvero.fit.__doc__
check("the fit's help names the kinds and the exceptions",
      all(word in doc for word in list(numbers) + ["calvero.Refused", "ValueError", "TypeError", "100 000"]) and
      all("%d \"%s\"" % (n, k) in doc for k, n in numbers.items()), doc)

# Another thread goes on while a long fit runs: the fit lets go of the
# interpreter's lock. The other thread's ticks are counted only strictly
# inside the fit's own time span.
big_x = np.linspace(-1.0, 1.0, 100000)
big_y = np.cos(3 * big_x) + 0.01 * np.sin(977 * big_x)
ticks, span, running = [], [], threading.Event()
def long_fits():
    running.set()
    start = time.perf_counter()
    for _ in range(3):
        calvero.fit(big_x, big_y, degree=8, monotone=None)
    span.extend([start, time.perf_counter()])
worker = threading.Thread(target=long_fits)
worker.start()
running.wait()
while worker.is_alive():
    ticks.append(time.perf_counter())
worker.join()
inside = [t for t in ticks if span[0] < t < span[1]]
check("another thread goes on while a fit runs", len(inside) > 100, (len(inside), span))

# 100 000 points: the coefficients are the least squares solved exactly (the
# normal equations in mpmath at 60 digits), to 14 significant digits.
rng = np.random.default_rng(7)
many_x = np.sort(rng.uniform(0.0, 10.0, 100000))
many_y = 5 - 2 * many_x + 0.3 * many_x ** 2 - 0.01 * many_x ** 3 + rng.normal(0, 0.05, many_x.size)
got = calvero.fit(many_x, many_y, degree=3).coefficients
mpmath.mp.dps = 60
xs_mp = [mpmath.mpf(float(v)) for v in many_x]
ys_mp = [mpmath.mpf(float(v)) for v in many_y]
powers = [mpmath.mpf(0)] * 7
moments = [mpmath.mpf(0)] * 4
for xv, yv in zip(xs_mp, ys_mp):
    p = mpmath.mpf(1)
    for k in range(7):
        powers[k] += p
        if k < 4:
            moments[k] += p * yv
        p *= xv
exact = mpmath.lu_solve(mpmath.matrix([[powers[r + c] for c in range(4)] for r in range(4)]), mpmath.matrix(moments))
check("100 000 points: exact least squares to 14 digits",
      all(abs(mpmath.mpf(float(g)) - e) <= abs(e) * mpmath.mpf("1e-14") for g, e in zip(got, exact)),
      [(float(g), float(e)) for g, e in zip(got, exact)])

# The questions to a fan curve: values with their intervals against
# statsmodels' OLS, the x for a y, the operating points and the duty ratio
# against mpmath's roots of the coefficients, the affinity laws by their
# definition; each question's refusal with its code.
import statsmodels.api as sm  # noqa: E402

def real_roots(coefficients, low, high):
    roots = mpmath.polyroots([mpmath.mpf(float(c)) for c in reversed(coefficients)], maxsteps=500, extraprec=400)
    return sorted(float(mpmath.re(r)) for r in roots if abs(mpmath.im(r)) < 1e-30 and low <= mpmath.re(r) <= high)

def close(found, expected, tolerance):
    return len(found) == len(expected) and all(abs(f - e) <= tolerance * abs(e) for f, e in zip(found, expected))

qs = np.linspace(0.0, 40.0, 15)
head = 10 + 2 * qs - 0.05 * qs ** 2 + rng.normal(0, 0.05, qs.size)
fan = calvero.fit(qs, head, degree=2)
c = fan.coefficients
frame = sm.OLS(head, np.vander(qs, 3, increasing=True)).fit().get_prediction(
    np.vander(np.array([12.5, 41.0]), 3, increasing=True)).summary_frame(alpha=0.1)
got = [[*fan.predict(q, interval=kind, level=0.9)] for q in (12.5, 41.0) for kind in ("confidence", "prediction")]
expected = [[row["mean"], row[f"{kind}_ci_lower"], row[f"{kind}_ci_upper"]]
            for _, row in frame.iterrows() for kind in ("mean", "obs")]
check("predict: values and both intervals at 90 % within 1e-10 of statsmodels",
      all(close(g, e, 1e-10) for g, e in zip(got, expected)), (got, expected))
check("solve_y: every x within 1e-12 of mpmath's roots",
      close([p["x"] for p in fan.solve_y(25.0)], real_roots([c[0] - 25, c[1], c[2]], -4.0, 44.0), 1e-12))
two = fan.operating_points(k=0.01, p0=20.0)
check("operating_points: both intersections within 1e-12 of mpmath's roots",
      close([p["x"] for p in two], real_roots([c[0] - 20, c[1], c[2] - 0.01], 0.0, 44.0), 1e-12), two)
check("operating_points through a design point: the system curve's k",
      close([p["x"] for p in fan.operating_points(through=(30.0, 18.0))],
            real_roots([c[0], c[1], c[2] - 18 / 900], 0.0, 44.0), 1e-12))
slower = fan.scaled(0.8)
check("scaled: at 0.8 Q the curve gives 0.64 of the head within 1e-12",
      close(list(slower.evaluate(0.8 * qs)), list(0.64 * fan.evaluate(qs)), 1e-12))
check("duty: the ratios within 1e-12 of mpmath's roots of c0 r² + c1 Q r + c2 Q² - H",
      close(fan.duty(20.0, 30.0), real_roots([c[2] * 400 - 30, c[1] * 20, c[0]], 0.3, 1.5), 1e-12))
# A power curve fitted in y itself: its coefficients and its values with their
# intervals are the batch's (checked there against the delta method in mpmath).
losses_q = np.arange(200.0, 2001.0, 200.0)
losses = 1.2e-4 * losses_q ** 1.85 * (1 + 0.004 * np.sin(7.3 * losses_q))
in_y = calvero.fit(losses_q, losses, kind="power", least_squares_in_y=True)
answered = subprocess.run([batch, "--points", write_points("in_y.txt", list(zip(losses_q.tolist(), losses.tolist())))[0],
                           "--kind", "2", "--least-squares-in-y", "--at", "1500", "--json", "-"],
                          capture_output=True, text=True)
document = json.loads(answered.stdout) if answered.returncode == 0 else None
asked = document["predictions"][0] if document else {}
check("least_squares_in_y: the coefficients and the value's intervals as the batch's",
      document is not None and same_bits(in_y.coefficients, [c["value"] for c in document["coefficients"]])
      and [*in_y.predict(1500.0), *in_y.predict(1500.0, interval="prediction")[1:]]
      == [asked["value"], *asked["confidence"], *asked["prediction"]], asked)
# A typed equation (NIST's Misra1a, as written): the fit, its statistics and
# report, and its values with their intervals are calvero1-batch --equation's.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
import nist_nonlinear as nist  # noqa: E402
misra = nist.Problem("Misra1a")
misra_file = os.path.join(work, "misra1a.txt")
misra.write_points(misra_file)
typed = calvero.fit([float(r[1]) for r in misra.rows], [float(r[0]) for r in misra.rows], equation=misra.equation,
                    start={"b1": 500, "b2": 1e-4})
answered = subprocess.run([batch, "--points", misra_file, "--equation", misra.equation, "--start", "b1=500,b2=1e-4",
                           "--at", "300", "--json", "-"], capture_output=True, text=True)
document = json.loads(answered.stdout) if answered.returncode == 0 else None
asked = document["predictions"][0] if document else {}
# The batch reads the points' decimal texts beyond their doubles: the sums may differ in their last bits.
check("equation: parameters bit for bit, report and s as calvero1-batch --equation's",
      document is not None and same_bits(typed.coefficients, [c["value"] for c in document["coefficients"]])
      and typed.coefficient_names == ["b1", "b2"]
      and close([typed.statistics["standardError"]], [document["statistics"]["standardError"]], 1e-12)
      and typed.report.splitlines() == [line.rstrip() for line in document["report"]])
check("equation: the value's intervals as the batch's, to 1e-12",
      close([*typed.predict(300.0), *typed.predict(300.0, interval="prediction")[1:]],
            [asked.get("value"), *asked.get("confidence", []), *asked.get("prediction", [])], 1e-12), asked)
check("equation: another speed refused with its code", refused_code(lambda: typed.scaled(0.8)) == "affinity_not_kept")
cooling = calvero.fit([1, 2, 3], [70, 55, 45], kind=6, t_initial=90, t_final=20)
for code, call in [("no_x_for_y", lambda: fan.solve_y(500.0)),
                   ("no_operating_point", lambda: fan.operating_points(k=0.01, p0=40.0)),
                   ("no_duty_ratio", lambda: fan.duty(20.0, 2000.0)),
                   ("affinity_not_kept", lambda: cooling.scaled(0.8)),
                   ("question_not_for_kind", lambda: calvero.fit([1, 2, 3] * 3, [1, 1, 1, 2, 2, 2, 3, 3, 3],
                                                                 z=[2, 3, 5, 3, 4, 6, 5, 6, 9], kind="surface",
                                                                 degree=1).solve_y(1.0))]:
    got = refused_code(call)
    check("question refused with code " + code, got == code, got)

check.finish()
