#!/usr/bin/python3
"""The exports of calvero1-batch read back by readers written here from each
format's published description, never by the program's code.

For a case of every kind that maps, the building-simulation object is parsed
by the input format's rules (fields end with ',', the object with ';', '!'
starts a comment) and evaluated by the Input Output Reference's equation of
its type, in 50-digit arithmetic, at every point and at the limits; the JSON's
full-precision yint must lie within 1e-12 of the sum of the terms' magnitudes,
the output limits must bound the curve over the input limits (checked on a
dense numpy grid) and a normalized object must give 1 at its rated point.
The ten compressor coefficients are checked in the order of AHRI 540 /
EN 12900 on a surface built from known coefficients. The spreadsheet formula
is typed into LibreOffice (English form) and evaluated there; the Italian form
is read with its decimal comma. The C function is compiled with cc and called
through ctypes, the Python function imported: both give yint to 1e-12 and flag
a point outside the envelope. Every refused kind or degree exits 1 with its
message, and many files give one object each, named after their files.
Usage: exports_check.py BUILD_DIR SOURCE_DIR
"""
import ctypes
import json
import math
import os
import random
import re
import runpy
import shutil
import subprocess
import sys
import tempfile
from fractions import Fraction

import mpmath
import numpy

mpmath.mp.dps = 50
build = sys.argv[1]
batch = os.path.join(build, "calvero1-batch")
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from checking import Checks  # noqa: E402

check = Checks()


noise = random.Random(28)


def noisy(value, share=0.01):
    return value * (1 + share * (noise.random() - 0.5))


# name, --kind, --degree, extra options, points, a point outside the envelope
def one_variable(f, xs, share=0.01):
    return [(x, noisy(f(x), share)) for x in xs]


COMPRESSOR = [1200.0, 35.0, -12.0, 0.4, -0.2, 0.05, 0.003, -0.001, 0.0005, -0.0002]  # C1..C10


def compressor(S, D):
    C = [Fraction(c) for c in COMPRESSOR]
    S, D = Fraction(S), Fraction(D)
    return float(C[0] + C[1] * S + C[2] * D + C[3] * S * S + C[4] * S * D + C[5] * D * D + C[6] * S ** 3 +
                 C[7] * D * S * S + C[8] * S * D * D + C[9] * D ** 3)


# An operating envelope that does not fill its rectangle: no high suction with low discharge.
ENVELOPE = [(S, D) for S in range(-30, 11, 5) for D in range(25, 61, 5) if D - S <= 75 and not (S > 5 and D < 35)]

CASES = [
    ("linear", 3, 1, [], one_variable(lambda x: 4 + 0.5 * x, [1, 2, 3, 4, 5, 6]), (7.0,)),
    ("quadratic", 3, 2, [], one_variable(lambda q: 950 - 0.8 * q - 0.004 * q * q, range(0, 401, 40)), (-1.0,)),
    ("cubic", 3, 3, [], one_variable(lambda x: 2.5 + 1.5 * x - 0.3 * x * x + 0.01 * x ** 3, range(1, 13)), (13.0,)),
    ("quartic", 3, 4, [], one_variable(lambda t: 3.2 - 0.05 * t + 1e-3 * t * t - 2e-5 * t ** 3 + 1e-7 * t ** 4,
                                       range(0, 51, 5)), (60.0,)),
    ("power", 2, 1, [], one_variable(lambda x: 3 * x ** 1.7, [0.5, 1, 2, 3, 5, 7, 10]), (11.0,)),
    ("exponential", 4, 1, [], one_variable(lambda x: 50 * math.exp(-0.3 * x), range(0, 11)), (12.0,)),
    ("temperature_time", 6, 1, ["--ti", "15", "--tf", "60"],
     one_variable(lambda t: 60 - 45 * math.exp(-0.02 * t), range(10, 201, 20), 0.002), (250.0,)),
    ("biquadratic", 7, 2, [], [(S, D, noisy(compressor(S, D) / 600, 0.002)) for S, D in ENVELOPE], (10.0, 25.0)),
    # Exact: the compressor coefficients come back in the standard's order.
    ("bicubic", 7, 3, [], [(S, D, compressor(S, D)) for S, D in ENVELOPE], (10.0, 25.0)),
    ("rational", 5, 2, [], one_variable(lambda x: 1 / (0.5 + 0.1 * x + 0.002 * x * x), range(1, 21)), (30.0,)),
    ("saturation", 8, 1, [], one_variable(lambda T: 10 ** (7 - 1700 / T), range(273, 374, 10)), (400.0,)),
]
ENERGYPLUS_KINDS = {"linear", "quadratic", "cubic", "quartic", "power", "exponential", "temperature_time",
                    "biquadratic", "bicubic"}


def run(*arguments):
    done = subprocess.run([batch, *arguments], capture_output=True, text=True)
    return done.returncode, done.stdout, done.stderr


def write_points(path, points):
    with open(path, "w") as f:
        f.write("".join(";".join(repr(float(v)) for v in p) + "\n" for p in points))


# ---- EnergyPlus input format (Input Output Reference, Performance Curves) ----
# Coefficients of each type as powers of x and y, in field order; Exponent and
# ExponentialDecay are given by their equations below.
POWERS = {
    "curve:linear": [(0, 0), (1, 0)],
    "curve:quadratic": [(0, 0), (1, 0), (2, 0)],
    "curve:cubic": [(0, 0), (1, 0), (2, 0), (3, 0)],
    "curve:quartic": [(0, 0), (1, 0), (2, 0), (3, 0), (4, 0)],
    "curve:biquadratic": [(0, 0), (1, 0), (2, 0), (0, 1), (0, 2), (1, 1)],
    "curve:bicubic": [(0, 0), (1, 0), (2, 0), (0, 1), (0, 2), (1, 1), (3, 0), (0, 3), (2, 1), (1, 2)],
    "curve:exponent": None,
    "curve:exponentialdecay": None,
}


def idf_objects(text):
    """Objects as lists of fields: '!' to the end of a line is a comment."""
    body = "\n".join(line.split("!", 1)[0] for line in text.splitlines())
    objects = []
    for chunk in body.split(";")[:-1]:
        objects.append([field.strip() for field in chunk.split(",")])
    return objects


class Curve:
    def __init__(self, fields):
        self.type = fields[0].lower()
        self.name = fields[1]
        powers = POWERS[self.type]
        count = 3 if powers is None else len(powers)
        self.powers = powers
        self.c = [mpmath.mpf(v) for v in fields[2:2 + count]]
        rest = [mpmath.mpf(v) for v in fields[2 + count:2 + count + (6 if self.two() else 4)]]
        self.x_limits = rest[0:2]
        self.y_limits = rest[2:4] if self.two() else None
        self.output_limits = rest[-2:]
        self.unit_types = fields[2 + count + len(rest):]

    def two(self):
        return self.type in ("curve:biquadratic", "curve:bicubic")

    def terms(self, x, y=0):
        x, y = mpmath.mpf(x), mpmath.mpf(y)
        if self.type == "curve:exponent":
            return [self.c[0], self.c[1] * x ** self.c[2]]
        if self.type == "curve:exponentialdecay":
            return [self.c[0], self.c[1] * mpmath.exp(self.c[2] * x)]
        return [c * x ** a * y ** b for c, (a, b) in zip(self.c, self.powers)]

    def raw(self, x, y=0):
        terms = self.terms(x, y)
        return mpmath.fsum(terms), mpmath.fsum(abs(t) for t in terms)

    def value(self, x, y=0):
        """As the simulation evaluates it: inputs and output held to their limits."""
        x = min(max(mpmath.mpf(x), self.x_limits[0]), self.x_limits[1])
        if self.two():
            y = min(max(mpmath.mpf(y), self.y_limits[0]), self.y_limits[1])
        v = self.raw(x, y)[0]
        return min(max(v, self.output_limits[0]), self.output_limits[1])


def fitted(document):
    surface = document["kind"] == 7
    return [((p["x"], p["y"]) if surface else (p["x"],), p["zint" if surface else "yint"]) for p in document["points"]]


def check_energyplus(name, text, document, rated=None):
    objects = idf_objects(text)
    check("%s: one object" % name, len(objects) == 1)
    curve = Curve(objects[0])
    points = fitted(document)
    if rated is not None:
        at_rated = curve.raw(*rated)[0]
        check("%s: normalized, the curve gives 1 at the rated point %s (%s)" % (name, rated, mpmath.nstr(at_rated, 17)),
              abs(at_rated - 1) <= 1e-12)
        return curve
    worst = max(abs(curve.value(*at) - yint) / curve.raw(*at)[1] for at, yint in points)
    check("%s %s: the format's equation gives yint at every point (worst %.1e of the terms)" % (
        name, curve.type, float(worst)), worst <= 1e-12)
    xs = [at[0] for at, _ in points]
    check("%s: x limits are the points' range" % name, curve.x_limits == [min(xs), max(xs)])
    if curve.two():
        ys = [at[1] for at, _ in points]
        check("%s: y limits are the points' range" % name, curve.y_limits == [min(ys), max(ys)])
        gx, gy = numpy.meshgrid(numpy.linspace(min(xs), max(xs), 401), numpy.linspace(min(ys), max(ys), 401))
        grid = sum(float(c) * gx ** a * gy ** b for c, (a, b) in zip(curve.c, curve.powers))
        corners = [(x, y) for x in curve.x_limits for y in curve.y_limits]
    else:
        gx = numpy.linspace(min(xs), max(xs), 2001)
        grid = numpy.array([float(curve.raw(x)[0]) for x in gx]) if curve.powers is None else \
            sum(float(c) * gx ** a for c, (a, _) in zip(curve.c, curve.powers))
        corners = [(x,) for x in curve.x_limits]
    low, high = curve.output_limits
    span = float(high - low)
    check("%s: the output limits bound the curve over the input limits and are reached (%s .. %s)" % (
        name, mpmath.nstr(low, 10), mpmath.nstr(high, 10)),
        float(low) <= grid.min() + 1e-9 * span and float(high) >= grid.max() - 1e-9 * span and
        grid.min() - float(low) <= 1e-3 * span and float(high) - grid.max() <= 1e-3 * span)
    check("%s: at the limits the output limits clip nothing" % name,
          all(low - 1e-12 * curve.raw(*at)[1] <= curve.raw(*at)[0] <= high + 1e-12 * curve.raw(*at)[1]
              for at in corners))
    return curve


# ---- AHRI 540 / EN 12900: X = C1 + C2 S + C3 D + C4 S^2 + C5 S D + C6 D^2 + C7 S^3 + C8 D S^2 + C9 S D^2 + C10 D^3
def ahri_value(C, S, D):
    return (C[0] + C[1] * S + C[2] * D + C[3] * S * S + C[4] * S * D + C[5] * D * D + C[6] * S ** 3 +
            C[7] * D * S * S + C[8] * S * D * D + C[9] * D ** 3)


def check_ahri540(text, document, unit):
    rows = [line.split(";") for line in text.splitlines() if line and not line.startswith("#")]
    check("AHRI 540: a header row C1..C10 and one row of coefficients",
          rows[0] == ["nome", "unita"] + ["C%d" % k for k in range(1, 11)] and len(rows) == 2)
    check("AHRI 540: the header names the units", ("temperature in %s" % unit) in text and rows[1][1] == unit)
    C = [Fraction(v) for v in rows[1][2:]]
    # Exact data: the fitted coefficients are the known ones, term by term, to the data's rounding.
    reach = [max(abs(ahri_value([1 if j == k else 0 for j in range(10)], Fraction(S), Fraction(D)))
                 for S, D in ENVELOPE) for k in range(10)]
    scale = max(abs(compressor(S, D)) for S, D in ENVELOPE)
    worst = max(abs(float(C[k]) - COMPRESSOR[k]) * reach[k] / scale for k in range(10))
    check("AHRI 540: C1..C10 are the known coefficients in the standard's order (worst %.1e)" % worst, worst <= 1e-9)
    checks = [line.split(": ", 1)[1].split("; ") for line in text.splitlines()
              if re.match(r"# \S+: -?[0-9]", line)]
    zint = {(at[0], at[1]): value for at, value in fitted(document)}
    check("AHRI 540: three check rows agree with the standard's polynomial and the fitted values",
          len(checks) == 3 and all(
              abs(float(ahri_value(C, Fraction(s), Fraction(d))) - float(fitted_value)) <= 1e-9 * scale and
              float(fitted_value) == zint[(float(s), float(d))] for s, d, _, fitted_value in checks))


# ---- spreadsheet formula, C and Python ----
def formula_lines(text):
    found = {}
    for line in text.splitlines():
        for key in ("inglese", "italiano", "commento della cella"):
            if line.startswith(key + ": "):
                found[key] = line[len(key) + 2:]
    return found


def cells_for(formula, row):
    """The formula typed into row `row`: its cells A2 and B2 there."""
    return re.sub(r"(?<![A-Z$])([AB])2(?![0-9])", lambda m: "%s%d" % (m.group(1), row), formula)


def italian_value(formula, x, y):
    """The Italian form read by its own conventions: decimal comma, ';' between arguments."""
    text = re.sub(r"(?<=[0-9]),(?=[0-9])", ".", formula.lstrip("="))
    check_text = ";" not in text and "." not in formula
    text = text.replace("^", "**").replace("EXP(", "mpmath.exp(").replace("A2", "x").replace("B2", "y")
    return eval(text, {"mpmath": mpmath, "x": mpmath.mpf(x), "y": mpmath.mpf(y)}), check_text


def libreoffice_values(rows, work):
    """Each formula typed into a CSV row beside its x and y, evaluated by LibreOffice headless."""
    source = os.path.join(work, "formule.csv")
    with open(source, "w") as f:
        f.write("x;y;formula\n")
        for r, (x, y, formula) in enumerate(rows, start=2):
            f.write("%r;%r;%s\n" % (x, y, cells_for(formula, r)))
    profile = "file://" + os.path.join(work, "libreoffice-profile")
    subprocess.run(["soffice", "-env:UserInstallation=" + profile, "--headless",
                    "--infilter=CSV:59,34,76,1,,1033,false,false,false,false,false,-1,true",
                    "--convert-to", "csv:Text - txt - csv (StarCalc):59,34,76,1,,1033,false,false,false,false,false,-1",
                    "--outdir", os.path.join(work, "lo"), source], capture_output=True, timeout=240)
    results = [name for name in os.listdir(os.path.join(work, "lo"))] if os.path.isdir(os.path.join(work, "lo")) else []
    if not results:
        return None
    with open(os.path.join(work, "lo", results[0])) as f:
        lines = f.read().splitlines()[1:]
    return [float(line.split(";")[2].strip('"')) if line.split(";")[2].strip('"') else math.nan for line in lines]


def load_c(path, name, work):
    library = os.path.join(work, name + ".so")
    compiled = subprocess.run(["cc", "-std=c99", "-pedantic", "-Wall", "-Wextra", "-Werror", "-O2", "-shared",
                               "-fPIC", "-o", library, path, "-lm"], capture_output=True, text=True)
    check("%s: the C function compiles with cc -std=c99 -pedantic -Wall -Wextra -Werror%s" % (
        name, (": " + compiled.stderr) if compiled.returncode else ""), compiled.returncode == 0)
    if compiled.returncode:
        return None
    function = getattr(ctypes.CDLL(library), name)
    function.argtypes = [ctypes.c_double, ctypes.c_double, ctypes.POINTER(ctypes.c_double)]
    function.restype = ctypes.c_int

    def call(x, y=0.0):
        value = ctypes.c_double(math.nan)
        inside = function(x, y, ctypes.byref(value))
        return inside, value.value

    return call


def load_python(path, name):
    # The exported file run as a script would run it; the function by its name.
    return runpy.run_path(path)[name]


def close(a, b, tolerance):
    return abs(a - b) <= tolerance * max(abs(b), 1e-300)


sheet_rows = []  # (case, x, y, English formula, yint)
with tempfile.TemporaryDirectory() as work:
    for name, kind, degree, extra, points, outside in CASES:
        path = os.path.join(work, name + ".txt")
        write_points(path, points)
        out = {key: os.path.join(work, name + "." + key) for key in ("json", "idf", "formule", "csv", "c", "py")}
        arguments = ["--points", path, "--kind", str(kind), "--degree", str(degree), *extra, "--json", out["json"],
                     "--formula", out["formule"], "--c-function", out["c"], "--python-function", out["py"]]
        if name in ENERGYPLUS_KINDS:
            arguments += ["--energyplus", out["idf"]]
        code, _, err = run(*arguments)
        check("%s: exports written, exit 0 %s" % (name, err.strip()), code == 0)
        if code:
            continue
        document = json.load(open(out["json"]))
        points_fitted = fitted(document)
        two = kind == 7

        if name in ENERGYPLUS_KINDS:
            curve = check_energyplus(name, open(out["idf"]).read(), document)
            check("%s: the object is named after the file" % name, curve.name == name)
            at, _ = points_fitted[len(points_fitted) // 2]
            rated = ",".join(repr(v) for v in at)
            code, _, err = run("--points", path, "--kind", str(kind), "--degree", str(degree), *extra,
                               "--energyplus", out["idf"], "--rated", rated, "--curve-name", "normalizzata")
            check("%s: normalized at %s, exit 0 %s" % (name, rated, err.strip()), code == 0)
            normalized = check_energyplus(name, open(out["idf"]).read(), document, rated=at)
            scale = curve.raw(*at)[0]
            worst = max(abs(normalized.raw(*p)[0] * scale - yint) / curve.raw(*p)[1] for p, yint in points_fitted)
            check("%s: the normalized object times the rated value gives yint (worst %.1e)" % (name, float(worst)),
                  worst <= 1e-12)
            check("%s: the output limits are divided too" % name,
                  all(abs(a * scale - b) <= 1e-12 * abs(b) for a, b in
                      zip(sorted(normalized.output_limits, key=lambda v: v * scale), curve.output_limits)))

        formulas = formula_lines(open(out["formule"]).read())
        check("%s: the formula's cell comment names the envelope" % name,
              "inviluppo dei punti" in formulas.get("commento della cella", ""))
        for at, yint in points_fitted:
            x, y = at[0], at[1] if two else 0.0
            sheet_rows.append((name, x, y, formulas["inglese"], yint))
        worst, texts = 0.0, True
        for at, yint in points_fitted:
            value, text_ok = italian_value(formulas["italiano"], at[0], at[1] if two else 0)
            worst, texts = max(worst, float(abs(value - yint) / abs(yint))), texts and text_ok
        check("%s: the Italian formula, with decimal commas, gives yint to 1e-10 (worst %.1e)" % (name, worst),
              texts and worst <= 1e-10)

        c_function = load_c(out["c"], name, work)
        python_function = load_python(out["py"], name)
        c_results = [c_function(*at) for at, _ in points_fitted] if c_function else []
        check("%s: the C function gives yint to 1e-12 and 0 (inside) at every point" % name, c_function is not None and
              all(inside == 0 and close(v, yint, 1e-12) for (inside, v), (_, yint) in zip(c_results, points_fitted)))
        check("%s: the Python function gives yint to 1e-12 at every point" % name,
              all(close(python_function(*at), yint, 1e-12) for at, yint in points_fitted))
        flagged, value = c_function(*outside) if c_function else (0, math.nan)
        extrapolated = python_function(*outside, extrapolate=True)
        check("%s: a point outside the envelope %s: C gives 1 and the value, Python NaN (or the value when asked)"
              % (name, outside), flagged == 1 and math.isnan(python_function(*outside)) and
              math.isfinite(extrapolated) and close(value, extrapolated, 1e-12))

        if name == "bicubic":
            for unit, option in (("°C", "C"), ("°F", "F")):
                code, _, err = run("--points", path, "--kind", "7", "--degree", "3", "--ahri540", out["csv"],
                                   "--units", option)
                check("AHRI 540 in %s: exit 0 %s" % (unit, err.strip()), code == 0)
                check_ahri540(open(out["csv"]).read(), document, unit)

    if shutil.which("soffice") is None:
        check("LibreOffice (soffice) is installed for the formula check", False)
    else:
        values = libreoffice_values([(x, y, formula) for _, x, y, formula, _ in sheet_rows], work)
        check("LibreOffice evaluated every formula", values is not None and len(values) == len(sheet_rows))
        for case in dict.fromkeys(row[0] for row in sheet_rows):
            errors = [abs(v - row[4]) / abs(row[4]) for v, row in zip(values or [], sheet_rows) if row[0] == case]
            check("%s: the English formula typed into LibreOffice gives yint to 1e-10 (worst %.1e)" % (
                case, max(errors) if errors else math.inf), bool(errors) and max(errors) <= 1e-10)

    # Refusals: a kind or degree with no object, the formats' own limits.
    write_points(os.path.join(work, "p.txt"), CASES[2][4])
    write_points(os.path.join(work, "s.txt"), CASES[8][4])
    write_points(os.path.join(work, "positive.txt"), CASES[4][4])
    p, s, positive = (os.path.join(work, f) for f in ("p.txt", "s.txt", "positive.txt"))
    target = os.path.join(work, "refused.out")
    refusals = [
        (["--points", p, "--kind", "5", "--energyplus", target], "nessun oggetto EnergyPlus per POLINOMIO FRATTO"),
        (["--points", p, "--kind", "3", "--degree", "5", "--energyplus", target],
         "nessun oggetto EnergyPlus per POLINOMIO di grado 5"),
        (["--points", positive, "--kind", "8", "--energyplus", target], "nessun oggetto EnergyPlus per curva saturazione"),
        (["--points", s, "--kind", "7", "--degree", "4", "--energyplus", target],
         "nessun oggetto EnergyPlus per polinomio Z=F(x,y) di grado 4"),
        (["--points", s, "--kind", "7", "--degree", "2", "--ahri540", target, "--units", "C"],
         "vengono dal polinomio Z=F(x,y) di grado 3"),
        (["--points", p, "--kind", "3", "--ahri540", target, "--units", "F"], "vengono dal polinomio Z=F(x,y) di grado 3"),
        (["--points", p, "--kind", "1", "--formula", target], "la PUNTEGGIATA non ha un'equazione da esportare"),
        (["--points", p, "--kind", "1", "--c-function", target], "la PUNTEGGIATA non ha un'equazione da esportare"),
        (["--points", p, "--kind", "1", "--python-function", target], "la PUNTEGGIATA non ha un'equazione da esportare"),
        (["--points", p, "--kind", "3", "--energyplus", target, "--rated", "20"], "fuori dai limiti dei punti"),
        (["--points", s, "--kind", "7", "--degree", "3", "--energyplus", target, "--rated", "0"], "ha due valori"),
    ]
    for arguments, message in refusals:
        code, _, err = run(*arguments)
        check("refused (%s): exit 1, says %r, writes nothing" % (" ".join(arguments[2:]), message),
              code == 1 and message in err and not os.path.exists(target))
    code, _, err = run("--points", p, "--kind", "5", "--energyplus", target)
    check("the refusal names the kinds that map", "Curve:Quartic" in err and "Curve:Bicubic" in err)

    # Many files: one object each, named after its file, a comment for the file that has none.
    folder = os.path.join(work, "catalogo")
    os.mkdir(folder)
    for file_name in ("pompa 1.txt", "pompa-1.txt", "pompa_1.txt", "tre punti.txt"):
        write_points(os.path.join(folder, file_name), CASES[2][4] if "pompa" in file_name else CASES[2][4][:3])
    shutil.copy(os.path.join(build, "polinomiofratto.txt"), folder)
    many = os.path.join(work, "catalogo.idf")
    code, _, err = run("--summary", os.path.join(work, "riepilogo.csv"), "--kind", "3", "--degree", "3",
                       "--energyplus", many, "--rated", "6", folder)
    check("many files: exit 1 for the files without an object %s" % err.strip(), code == 1)
    text = open(many).read() if os.path.exists(many) else ""
    names = [curve.name for curve in map(Curve, idf_objects(text))]
    check("many files: one object per fitted file, named after it and unique: %s" % names,
          names == ["pompa_1", "pompa-1_2", "pompa_1_3"] and all(
              abs(Curve(o).raw(6)[0] - 1) <= 1e-12 for o in idf_objects(text)))
    check("many files: a comment line says why a file has no object",
          re.search(r"^! polinomiofratto: nessun oggetto EnergyPlus per POLINOMIO FRATTO", text, re.M) is not None and
          re.search(r"^! tre_punti: numero punti insufficiente", text, re.M) is not None)

check.finish()
