#!/usr/bin/python3
"""The simulation objects of calvero1-batch --energyplus --object, read back by
readers written here and checked against the data dictionary kept in
tests/exports/energyplus (EnergyPlus 26.1.0) and the Input Output Reference's
equations, never against the program's code.

For each object fitted by linear least squares, noise-free points are made
from known coefficients; the written IDF is parsed (fields end with ',', the
object with ';', '!' starts a comment) and must have the dictionary's fields
in its order, every required field filled and every key field one of its
keys; the coefficients come back to 1e-9 of each term's reach; the object's
equation, evaluated here in 50-digit arithmetic, equals the fitted values the
JSON gives at every point to 1e-14 of the sum of the terms' magnitudes; the
epJSON document holds the same numbers under the keys the program derives
from the field names. The coil's pair comes back as the known capacity and
EIR curves, the lookup table holds the points in the order the program reads.
The objects fitted by the nonlinear least squares get the same checks from
the Input Output Reference's own examples (noise-free points spanning each
form): their coefficients come back to 1e-9 of each coefficient's reach (the
change that moves the curve by its own size), their equations (written here
from the Input Output Reference) give the fitted values to 1e-14; and a
sigmoid seen on one side only, with noise, gets a sum of squares no larger
than its known coefficients have.
Usage: energyplus_objects_check.py BUILD_DIR SOURCE_DIR
"""
import json
import os
import re
import subprocess
import sys
import tempfile

import mpmath
import numpy

mpmath.mp.dps = 50
build, source = sys.argv[1], sys.argv[2]
batch = os.path.join(build, "calvero1-batch")
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from checking import Checks  # noqa: E402

check = Checks()


def run(*arguments):
    done = subprocess.run([batch, *arguments], capture_output=True, text=True)
    return done.returncode, done.stdout, done.stderr


# ---- the kept data dictionary ----
def read_dictionary(path):
    objects, current = {}, None
    for raw in open(path, encoding="utf-8"):
        line = raw.split("!", 1)[0].rstrip()
        if not line.strip():
            continue
        head = re.match(r"^([A-Za-z][A-Za-z0-9:]*),$", line)
        if head:
            current = objects.setdefault(head.group(1).lower(), [])
            continue
        field = re.match(r"^\s*[AN]\d+\s*[,;]\s*\\field (.*)$", line)
        if field:
            current.append({"name": field.group(1).strip(), "required": False, "keys": []})
        elif "\\required-field" in line:
            current[-1]["required"] = True
        elif "\\key " in line:
            current[-1]["keys"].append(line.split("\\key ", 1)[1].strip())
    return objects


DICTIONARY = read_dictionary(os.path.join(source, "tests/exports/energyplus/Energy+-26.1.0-curves.idd"))


# ---- IDF and epJSON readers ----
def read_idf(text):
    """Objects as (type, [(value, comment)])."""
    objects, fields, value, last = [], [], "", None
    for line in text.splitlines():
        body, _, comment = line.partition("!")
        comment = comment[1:].strip() if comment.startswith("-") else None
        for ch in body:
            if ch in ",;":
                last = [value.strip(), None]
                fields.append(last)
                value = ""
                if ch == ";":
                    objects.append((fields[0][0], fields[1:]))
                    fields = []
            else:
                value += ch
        if comment is not None and last is not None:
            last[1] = comment
        last = None
    return [(t, [tuple(f) for f in fs]) for t, fs in objects]


def epjson_key(name):
    return re.sub(r"[^a-z0-9]+", "_", name.lower()).strip("_")


# ---- the Input Output Reference's equations ----
M = mpmath.mpf
EQUATIONS = {
    "curve:linear": lambda c, x, y: [c[0], c[1] * x],
    "curve:quadratic": lambda c, x, y: [c[0], c[1] * x, c[2] * x**2],
    "curve:cubic": lambda c, x, y: [c[0], c[1] * x, c[2] * x**2, c[3] * x**3],
    "curve:quartic": lambda c, x, y: [c[0], c[1] * x, c[2] * x**2, c[3] * x**3, c[4] * x**4],
    "curve:biquadratic": lambda c, x, y: [c[0], c[1] * x, c[2] * x**2, c[3] * y, c[4] * y**2, c[5] * x * y],
    "curve:bicubic": lambda c, x, y: [c[0], c[1] * x, c[2] * x**2, c[3] * y, c[4] * y**2, c[5] * x * y,
                                      c[6] * x**3, c[7] * y**3, c[8] * x**2 * y, c[9] * x * y**2],
    "curve:quadraticlinear": lambda c, x, y: [c[0], c[1] * x, c[2] * x**2, c[3] * y, c[4] * x * y, c[5] * x**2 * y],
    "curve:cubiclinear": lambda c, x, y: [c[0], c[1] * x, c[2] * x**2, c[3] * x**3, c[4] * y, c[5] * x * y],
    # Qfan = x, Psm = y, Po = 0
    "curve:fanpressurerise": lambda c, x, y: [c[0] * x**2, c[1] * x, c[2] * x * mpmath.sqrt(y), c[3] * y],
}


def terms(kind, c, x, y=0.0):
    return EQUATIONS[kind.lower()]([M(v) for v in c], M(x), M(y))


def value(kind, c, x, y=0.0):
    return sum(terms(kind, c, x, y))


# type, known coefficients (field order), x values, y values (None: one input).
# The CubicLinear's are the Input Output Reference's example (ice discharging),
# the Biquadratic's a DX coil's cooling capacity as its examples give it.
grid = numpy.linspace
CASES = [
    ("Curve:Linear", [0.25, 0.75], grid(0.2, 1.0, 6), None),
    ("Curve:Quadratic", [0.8, 0.3, -0.1], grid(0.2, 1.2, 7), None),
    ("Curve:Cubic", [0.2, 0.6, -0.9, 1.1], grid(0.1, 1.0, 9), None),
    ("Curve:Quartic", [1.5, -2.0, 3.0, -1.25, 0.5], grid(10.0, 40.0, 11), None),
    ("Curve:Biquadratic", [0.942587793, 0.009543347, 0.000683770, -0.011042676, 0.000005249, -0.000009720],
     grid(12.8, 23.9, 5), grid(18.0, 46.1, 6)),
    ("Curve:Bicubic", [0.5, 0.02, -3e-4, 0.01, 2e-4, -1e-4, 4e-6, -2e-6, 3e-6, 1e-6], grid(5.0, 15.0, 5),
     grid(20.0, 40.0, 5)),
    ("Curve:QuadraticLinear", [0.3, 0.2, -0.05, 0.01, 0.002, -0.0004], grid(0.1, 1.0, 5), grid(10.0, 30.0, 4)),
    ("Curve:CubicLinear", [0.108734675, -0.989874286, 0.696303562, -0.134945307, 1.724007415, -1.094020457],
     grid(0.25, 1.0, 6), grid(0.69, 1.26, 4)),
    ("Curve:FanPressureRise", [-120.0, 600.0, 2.5, 0.9], grid(0.5, 3.0, 6), grid(100.0, 900.0, 5)),
]


# The nonlinear objects, as the Input Output Reference writes them; each
# gives its value and the magnitude its terms add up to.
def skew_normal(c, x):
    z1, z2, z3 = (x - c[0]) / c[1], (c[3] * x * mpmath.exp(c[2] * x) - c[0]) / c[1], -c[0] / c[1]

    def factor(z):  # 1 + Z/|Z| erf(|Z|/√2), its limit 1 at Z = 0
        return 1 + (z / abs(z) * mpmath.erf(abs(z) / mpmath.sqrt(2)) if z != 0 else 0)
    v = mpmath.exp(-z1**2 / 2) * factor(z2) / (mpmath.exp(-z3**2 / 2) * factor(z3))
    return [v]


NONLINEAR = {
    "curve:exponent": lambda c, x: [c[0], c[1] * x**c[2]],
    "curve:exponentialdecay": lambda c, x: [c[0], c[1] * mpmath.exp(c[2] * x)],
    "curve:doubleexponentialdecay": lambda c, x: [c[0], c[1] * mpmath.exp(c[2] * x), c[3] * mpmath.exp(c[4] * x)],
    "curve:sigmoid": lambda c, x: [c[0], c[1] / (1 + mpmath.exp((c[2] - x) / c[3]))**c[4]],
    "curve:rectangularhyperbola1": lambda c, x: [c[0] * x / (c[1] + x), c[2]],
    "curve:rectangularhyperbola2": lambda c, x: [c[0] * x / (c[1] + x), c[2] * x],
    "curve:exponentialskewnormal": skew_normal,
}


def nonlinear_value(kind, c, x):
    return sum(NONLINEAR[kind.lower()]([M(v) for v in c], M(x)))


# The Input Output Reference's examples: FanPowerExponentCurve (with a constant
# added), BeltPartLoadRegion2, BatteryCycleCurve, FanDimFlowNormal and
# FanDimFlowStall, MotorMaxEffAvg, BeltPartLoadRegion1 and MotorPartLoad,
# FanEff120CPLANormal and FanEff120CPLAStall; x over their ranges ((0, 0) ends
# a point file, so x = 0 is left out where the value is 0 there).
NONLINEAR_CASES = [
    ("Curve:Exponent", [0.0, 1.0, 3.0], grid(0.1, 1.5, 12)),
    ("Curve:Exponent", [0.2, 0.8, 2.6], grid(0.1, 1.5, 12)),
    ("Curve:ExponentialDecay", [1.011965, -0.339038, -3.43626], grid(0.0, 1.0, 11)),
    ("Curve:DoubleExponentialDecay", [1380, 6834, -8.75, 6747, -6.22], grid(0.0, 1.0, 21)),
    ("Curve:Sigmoid", [0.0, 1.001423, 0.123935, -0.476026, 1.0], grid(-4.0, 5.0, 19)),
    ("Curve:Sigmoid", [0.0, 5.924993, -1.91636, -0.851779, 1.0], grid(-4.0, 5.0, 19)),
    ("Curve:RectangularHyperbola1", [0.29228, 3.368739, 0.762471], grid(0.0, 7.6, 12)),
    ("Curve:RectangularHyperbola2", [0.920797, 0.0262686, 0.151594], grid(0.05, 1.0, 11)),
    ("Curve:RectangularHyperbola2", [1.137209, 0.0502359, -0.0891503], grid(0.05, 1.0, 11)),
    ("Curve:ExponentialSkewNormal", [0.072613, 0.833213, 0.0, 0.013911], grid(-4.0, 5.0, 19)),
    ("Curve:ExponentialSkewNormal", [-1.674931, 1.980182, 0.0, 1.844950], grid(-4.0, 5.0, 19)),
]


def reach(kind, known, xs, k, largest):
    """The change of coefficient k that moves the curve by its largest value."""
    slope = max(abs(mpmath.diff(lambda t: nonlinear_value(kind, known[:k] + [t] + known[k + 1:], x), M(known[k])))
                for x in xs)
    return float(largest / slope) if slope else float("inf")


def points_of(kind, known, xs, ys):
    if ys is None:
        return [(x, float(value(kind, known, x))) for x in xs]
    return [(x, y, float(value(kind, known, x, y))) for x in xs for y in ys]


def write_points(path, points):
    with open(path, "w") as f:
        f.write("".join(";".join(repr(float(v)) for v in p) + "\n" for p in points))


def numbers(fields):
    return [float(v) for v, _ in fields]


def check_against_dictionary(label, kind, fields):
    entry = DICTIONARY[kind.lower()]
    names = [c for _, c in fields]
    check(f"{label}: the dictionary's {len(entry)} fields in its order",
          names == [f["name"] for f in entry], f"{names} != {[f['name'] for f in entry]}")
    filled = all(v for (v, _), f in zip(fields, entry) if f["required"])
    keyed = all(v in f["keys"] for (v, _), f in zip(fields, entry) if f["keys"])
    check(f"{label}: every required field filled and every key field one of its keys", filled and keyed)


with tempfile.TemporaryDirectory() as work:
    # ---- each linear object from known coefficients ----
    for kind, known, xs, ys in CASES:
        pts = points_of(kind, known, xs, ys)
        path = os.path.join(work, "p.txt")
        write_points(path, pts)
        idf, epjson, fit_json = (os.path.join(work, f) for f in ("o.idf", "o.epJSON", "o.json"))
        code, _, err = run("--points", path, "--object", kind, "--energyplus", idf, "--json", fit_json,
                           "--curve-name", "oggetto")
        check(f"{kind}: exit 0", code == 0, err)
        if code != 0:
            continue
        objects = read_idf(open(idf).read())
        check(f"{kind}: one object of its type", len(objects) == 1 and objects[0][0] == kind, objects)
        fields = objects[0][1]
        check_against_dictionary(kind, kind, fields)
        got = numbers(fields[1:1 + len(known)])
        inputs = [(p[0], p[1] if ys is not None else 0.0) for p in pts]
        largest = max(abs(p[-1]) for p in pts)
        reaches = [max(abs(float(terms(kind, [1.0] * len(known), x, y)[k])) for x, y in inputs) for k in range(len(known))]
        worst = max(abs(g - k) * r / largest for g, k, r in zip(got, known, reaches))
        check(f"{kind}: the known coefficients come back to 1e-9 of each term's reach (worst {worst:.1e})", worst <= 1e-9)
        fitted = json.load(open(fit_json))
        worst = 0.0
        for p, row in zip(pts, fitted["points"]):
            t = terms(kind, got, p[0], p[1] if ys is not None else 0.0)
            worst = max(worst, float(abs(sum(t) - M(row["fitted"])) / sum(abs(v) for v in t)))
        check(f"{kind}: the equation gives the fitted values at every point to 1e-14 (worst {worst:.1e})",
              worst <= 1e-14 and len(fitted["points"]) == len(pts))
        limits = numbers(fields[1 + len(known):1 + len(known) + (4 if ys is not None else 2)])
        want = [min(xs), max(xs)] + ([min(ys), max(ys)] if ys is not None else [])
        check(f"{kind}: the input limits are the points' ranges", limits == want, (limits, want))
        code, _, err = run("--points", path, "--object", kind, "--energyplus", epjson, "--curve-name", "oggetto")
        document = json.load(open(epjson)) if code == 0 else {}
        members = document.get(kind, {}).get("oggetto", {})
        entry = DICTIONARY[kind.lower()]
        numeric = len(known) + len(limits) + 2  # and the output limits
        same = all(members.get(epjson_key(f["name"])) == (float(v) if k < numeric else v)
                   for k, (f, (v, _)) in enumerate(zip(entry[1:], fields[1:])) if v)
        check(f"{kind}: the epJSON document holds the IDF's values under the dictionary's keys", code == 0 and same,
              (err, members))

    # ---- each nonlinear object from the Input Output Reference's examples ----
    for kind, known, xs in NONLINEAR_CASES:
        pts = [(x, float(nonlinear_value(kind, known, x))) for x in xs]
        path, idf, epjson, fit_json = (os.path.join(work, f) for f in ("n.txt", "n.idf", "n.epJSON", "n.json"))
        write_points(path, pts)
        code, _, err = run("--points", path, "--object", kind, "--energyplus", idf, "--json", fit_json,
                           "--curve-name", "oggetto")
        label = f"{kind} {known}"
        check(f"{label}: exit 0", code == 0, err)
        if code != 0:
            continue
        objects = read_idf(open(idf).read())
        fields = objects[0][1]
        check_against_dictionary(label, kind, fields)
        got = numbers(fields[1:1 + len(known)])
        # With C5 = 1 the sigmoid's (C1, C2, C3, C4) and (C1 + C2, -C2, C3, -C4) are the same curve.
        if kind == "Curve:Sigmoid" and got[1] * known[1] < 0:
            got = [got[0] + got[1], -got[1], got[2], -got[3], got[4]]
        largest = max(abs(v) for _, v in pts)
        worst = max(abs(g - k) / reach(kind, known, xs, i, largest) for i, (g, k) in enumerate(zip(got, known)))
        check(f"{label}: the known coefficients come back to 1e-9 of their reach (worst {worst:.1e})", worst <= 1e-9)
        got = numbers(fields[1:1 + len(known)])
        fitted = json.load(open(fit_json))
        worst = 0.0
        for (x, _), row in zip(pts, fitted["points"]):
            t = NONLINEAR[kind.lower()]([M(v) for v in got], M(x))
            worst = max(worst, float(abs(sum(t) - M(row["fitted"])) / sum(abs(v) for v in t)))
        check(f"{label}: the equation gives the fitted values at every point to 1e-14 (worst {worst:.1e})",
              worst <= 1e-14 and len(fitted["points"]) == len(pts))
        limits = numbers(fields[1 + len(known):3 + len(known)])
        check(f"{label}: the input limits are the points' ranges", limits == [min(xs), max(xs)], limits)
        outputs = numbers(fields[3 + len(known):5 + len(known)])
        values = [nonlinear_value(kind, got, x) for x in grid(min(xs), max(xs), 201)]
        check(f"{label}: the output limits hold the curve over the input limits",
              outputs[0] <= min(values) * (1 + 1e-12) + 1e-300 and outputs[1] >= max(values) * (1 - 1e-12), outputs)
        code, _, err = run("--points", path, "--object", kind, "--energyplus", epjson, "--curve-name", "oggetto")
        members = json.load(open(epjson)).get(kind, {}).get("oggetto", {}) if code == 0 else {}
        same = all(members.get(epjson_key(f["name"])) == (float(v) if k < len(known) + 4 else v)
                   for k, (f, (v, _)) in enumerate(zip(DICTIONARY[kind.lower()][1:], fields[1:])) if v)
        check(f"{label}: the epJSON document holds the IDF's values under the dictionary's keys", code == 0 and same,
              (err, members))

    # A sigmoid seen on one side of its centre, with noise: its coefficients
    # are not identified, but no fit may be worse than the known ones.
    kind, known = "Curve:Sigmoid", [0.0, 5.924993, -1.91636, -0.851779, 1.0]
    for low, high in ((0.0, 5.0), (-4.0, -2.5)):
        xs = grid(low, high, 15)
        pts = [(x, float(nonlinear_value(kind, known, x)) + 1e-4 * (-1)**i * (1 + i % 3)) for i, x in enumerate(xs)]
        path = os.path.join(work, "side.txt")
        write_points(path, pts)
        code, _, err = run("--points", path, "--object", kind, "--energyplus", os.path.join(work, "s.idf"))
        got = numbers(read_idf(open(os.path.join(work, "s.idf")).read())[0][1][1:6]) if code == 0 else known

        def sse(c):
            return sum((M(v) - nonlinear_value(kind, c, x))**2 for x, v in pts)
        check(f"Curve:Sigmoid on x from {low} to {high}: SSE at most the known coefficients' x (1 + 1e-9)"
              f" ({float(sse(got)):.4e} <= {float(sse(known)):.4e})",
              code == 0 and sse(got) <= sse(known) * (1 + M(1e-9)), err)

    # The comparison of the objects fits and ranks the nonlinear ones too: on
    # a noisy sigmoid's points the sigmoid has the lowest AICc.
    code, out, err = run("--points", path, "--compare", "--objects")
    rows = [line.split() for line in out.splitlines() if re.match(r"^\s*\d+\s+Curve:", line)]
    aicc = {r[1]: float(r[6]) for r in rows if "rifiutato:" not in r}
    check("--compare --objects on a sigmoid's points: every object of one input fitted or refused with its reason, "
          "the sigmoid's AICc the lowest", code == 0 and len(rows) == 11 and "non applicabile" not in out
          and all(len(r) > 7 for r in rows) and min(aicc, key=aicc.get) == "Curve:Sigmoid", out)

    # ---- normalized at a rated point: 1 there by the equation ----
    kind, known, xs, ys = CASES[4]
    path = os.path.join(work, "rated.txt")
    write_points(path, points_of(kind, known, xs, ys))
    code, _, err = run("--points", path, "--object", kind, "--energyplus", os.path.join(work, "r.idf"), "--rated",
                       "19.4,35")
    c = numbers(read_idf(open(os.path.join(work, "r.idf")).read())[0][1][1:7]) if code == 0 else [0] * 6
    check("--rated 19.4,35: the object gives 1 there", code == 0 and abs(value(kind, c, 19.4, 35) - 1) < 1e-14, err)

    # ---- unit types: a key the field allows, and one it does not ----
    code, _, err = run("--points", path, "--object", kind, "--energyplus", os.path.join(work, "u.idf"),
                       "--x-unit-type", "temperature", "--output-unit-type", "Capacity")
    fields = read_idf(open(os.path.join(work, "u.idf")).read())[0][1] if code == 0 else []
    check("unit types chosen: written as the dictionary spells them",
          code == 0 and [v for v, _ in fields[-3:]] == ["Temperature", "Dimensionless", "Capacity"], (err, fields[-3:]))
    target = os.path.join(work, "refused.idf")
    for arguments, says in [
        (["--object", kind, "--output-unit-type", "Pressure"], "tipo di unità non ammesso"),
    ]:
        code, _, err = run("--points", path, "--energyplus", target, *arguments)
        check(f"refused ({' '.join(arguments)}): exit 1, says '{says}', writes nothing",
              code == 1 and says in err and not os.path.exists(target), err)

    # The nonlinear objects: a power of a negative x, a normalization the form has already.
    one = os.path.join(work, "one.txt")
    write_points(one, [(x, 1.0 + 0.5 * x - 0.1 * x * x) for x in grid(-1.0, 2.0, 7)])
    for arguments, says in [(["--object", "Curve:Exponent"], "x negativa"),
                            (["--object", "Curve:ExponentialSkewNormal", "--rated", "0.5"], "non si normalizza")]:
        code, _, err = run("--points", one, "--energyplus", target, *arguments)
        check(f"refused ({' '.join(arguments)}): exit 1, says '{says}', writes nothing",
              code == 1 and says in err and not os.path.exists(target), err)
    # Points x;y;z read as x;y by a choice the program made (no --kind): refused, not cut to two columns.
    three = os.path.join(work, "rated.txt")
    for arguments in (["--object", "Curve:Exponent", "--energyplus", target], ["--compare", "--objects"]):
        code, out, err = run("--points", three, *arguments)
        check(f"x;y;z points with {' '.join(arguments[:2])} and no --kind: refused, says 'terza colonna'",
              code == 1 and "terza colonna" in err and not os.path.exists(target) and not out, (code, err))
    # A nonlinear object normalized at a rated point: 1 there by the equation.
    power, power_known, power_x = NONLINEAR_CASES[1]
    write_points(one, [(x, float(nonlinear_value(power, power_known, x))) for x in power_x])
    code, _, err = run("--points", one, "--object", power, "--energyplus", os.path.join(work, "e.idf"), "--rated", "1")
    c = numbers(read_idf(open(os.path.join(work, "e.idf")).read())[0][1][1:4]) if code == 0 else [0] * 3
    check("Curve:Exponent --rated 1: the object gives 1 there, its exponent kept",
          code == 0 and abs(nonlinear_value(power, c, 1) - 1) < 1e-14 and abs(c[2] - power_known[2]) < 1e-12, (err, c))

    # ---- names beyond the program's 100 characters ----
    long_a, long_b = "n" * 110 + "_a", "n" * 110 + "_b"
    names = []
    for long in (long_a, long_b):
        code, _, _ = run("--points", path, "--object", kind, "--energyplus", os.path.join(work, "n.idf"),
                         "--curve-name", long)
        text = open(os.path.join(work, "n.idf")).read()
        names.append(read_idf(text)[0][1][0][0])
        check("a name of 112 characters: cut to 100, the whole name in a comment",
              code == 0 and len(names[-1]) <= 100 and long in text, names[-1])
    check("two names that differ beyond 100 characters stay apart", names[0] != names[1], names)

    # ---- the coil's pair: known CAPFT and EIRFT, normalized at the rated point ----
    cap = [0.942587793, 0.009543347, 0.000683770, -0.011042676, 0.000005249, -0.000009720]
    eir = [0.342414409, 0.034885008, -0.000623700, 0.004977216, 0.000437951, -0.000728028]
    rx, ry, q0, cop = 19.4, 35.0, 10000.0, 3.2
    cap = [float(v / value("curve:biquadratic", cap, rx, ry)) for v in cap]
    eir = [float(v / value("curve:biquadratic", eir, rx, ry)) for v in eir]
    rows = []
    for x in grid(12.8, 23.9, 5):
        for y in grid(18.0, 46.1, 6):
            capacity = q0 * value("curve:biquadratic", cap, x, y)
            rows.append((x, y, float(capacity), float(capacity * value("curve:biquadratic", eir, x, y) / cop)))
    write_points(os.path.join(work, "pair.txt"), rows)
    code, _, err = run("--points", os.path.join(work, "pair.txt"), "--pair", "--energyplus",
                       os.path.join(work, "pair.idf"), "--rated", f"{rx},{ry}", "--curve-name", "dx")
    text = open(os.path.join(work, "pair.idf")).read() if code == 0 else ""
    pair = {name: numbers(fields[1:7]) for _, fields in read_idf(text) for name in [fields[0][0]]}
    for name, known in (("dx_CAPFT", cap), ("dx_EIRFT", eir)):
        got = pair.get(name, [0.0] * 6)
        worst = max(abs(g - k) * float(abs(t)) for g, k, t in
                    zip(got, known, terms("curve:biquadratic", [1.0] * 6, 23.9, 46.1)))
        check(f"the pair's {name}: the known normalized curve to 1e-9 (worst {worst:.1e})", code == 0 and worst <= 1e-9,
              err)
    said = re.search(r"COP nominale = ([0-9.eE+-]+)", text)
    check("the pair's comment gives the rated COP", said is not None and abs(float(said.group(1)) - cop) <= 1e-12 * cop,
          said and said.group(0))

    # ---- the lookup table of a grid, and a set that is not one ----
    kind, known, xs, ys = CASES[6]
    pts = points_of(kind, known, xs, ys)
    write_points(os.path.join(work, "grid.txt"), pts[::-1])
    code, _, err = run("--points", os.path.join(work, "grid.txt"), "--kind", "7", "--object", "Table:Lookup",
                       "--interpolation", "Cubic", "--energyplus", os.path.join(work, "t.idf"), "--curve-name", "tab")
    objects = read_idf(open(os.path.join(work, "t.idf")).read()) if code == 0 else []
    types = [t for t, _ in objects]
    check("Table:Lookup: two variables, their list and the table", code == 0 and types == [
        "Table:IndependentVariable", "Table:IndependentVariable", "Table:IndependentVariableList", "Table:Lookup"],
          (err, types))
    if code == 0:
        for (t, fields) in objects:
            entry = DICTIONARY[t.lower()]
            names = [c for _, c in fields]
            head = names[:len(entry)]
            check(f"{t}: the dictionary's fields in its order", head == [f["name"] for f in entry][:len(head)]
                  and all(re.sub(r"\d+$", "", n) == re.sub(r"\d+$", "", entry[-1]["name"]) for n in names[len(entry):]),
                  names)
        xv, yv = numbers(objects[0][1][10:]), numbers(objects[1][1][10:])
        table = numbers(objects[3][1][10:])
        want = [p[2] for x in sorted(set(xs)) for y in sorted(set(ys)) for p in pts if p[0] == x and p[1] == y]
        check("Table:Lookup: the grid's values, the last variable fastest, every digit",
              xv == sorted(set(xs)) and yv == sorted(set(ys)) and table == want)
        check("Table:Lookup: the interpolation asked for", objects[0][1][1][0] == "Cubic")
    write_points(os.path.join(work, "holed.txt"), pts[1:])
    code, _, err = run("--points", os.path.join(work, "holed.txt"), "--kind", "7", "--object", "Table:Lookup",
                       "--energyplus", target)
    check("Table:Lookup of points that are not a full grid: refused, nothing written",
          code == 1 and "griglia completa" in err and not os.path.exists(target), err)

    # ---- AHRI 540 in IP: a compressor map fitted to °C and W, exported for °F and Btu/h ----
    known = [12000, 400, -150, 6, -2.5, 0.8, 0.05, -0.02, 0.01, -0.005]

    def compressor(c, s, d):  # AHRI 540's order: 1, S, D, S², S·D, D², S³, D·S², S·D², D³
        return [c[0], c[1] * s, c[2] * d, c[3] * s**2, c[4] * s * d, c[5] * d**2, c[6] * s**3, c[7] * d * s**2,
                c[8] * s * d**2, c[9] * d**3]

    rows = [(s, d, float(sum(compressor([M(v) for v in known], M(s), M(d))))) for s in grid(-20, 10, 6)
            for d in grid(30, 55, 6)]
    write_points(os.path.join(work, "comp.txt"), rows)
    for unit, factor in (("capacity:W", M(3600) / M("1055.05585262")), ("power:kW", M(1000)),
                         ("massflow:kg/h", 1 / M("0.45359237"))):
        out = os.path.join(work, "comp.csv")
        code, _, err = run("--points", os.path.join(work, "comp.txt"), "--kind", "7", "--degree", "3", "--ahri540",
                           out, "--units", "C", "--ahri-ip", unit)
        row = [l for l in open(out) if not l.startswith("#")][1].strip().split(";") if code == 0 else []
        ip = [M(v) for v in row[2:12]]
        worst = 0.0
        for s, d, z in rows:
            t = compressor(ip, M(s) * 9 / 5 + 32, M(d) * 9 / 5 + 32)
            worst = max(worst, float(abs(sum(t) - M(z) * factor) / sum(abs(v) for v in t)))
        check(f"AHRI 540 --ahri-ip {unit}: the °F coefficients give the converted values at the converted "
              f"temperatures to 1e-12 (worst {worst:.1e})", code == 0 and len(ip) == 10 and worst <= 1e-12, err)

check.finish()
