#!/usr/bin/python3
"""Exact least squares, as an independent reference for the program's fits.

The coefficients that fit the points best, solved from the normal equations
with mpmath at 100 significant digits on the points' doubles as they are, so
that the answer is the least-squares solution of those numbers to far more
digits than a double holds. Used by the tests and, as a command, to set the
coefficients two snapshots of calvero1-batch printed beside the exact ones:

    /usr/bin/python3 scripts/exact_least_squares.py BEFORE_DIR AFTER_DIR

(folders written by scripts/snapshot_batch_outputs.sh). For every report
whose coefficient lines differ it prints each differing line before, after,
and the exact value, and says which of the two is nearer.
"""
import json
import os
import re
import sys

import mpmath

mpmath.mp.dps = 100

SURFACE_POWERS = [(0, 0), (1, 0), (0, 1), (2, 0), (0, 2), (1, 1), (3, 0), (0, 3), (1, 2), (2, 1),
                  (4, 0), (0, 4), (1, 3), (2, 2), (3, 1)]


def solve(columns, target):
    """The exact least-squares coefficients of target on the columns (lists of numbers)."""
    p = len(columns)
    cols = [[mpmath.mpf(v) for v in c] for c in columns]
    t = [mpmath.mpf(v) for v in target]
    normal = mpmath.matrix(p, p)
    right = mpmath.matrix(p, 1)
    for a in range(p):
        for b in range(p):
            normal[a, b] = mpmath.fsum(u * v for u, v in zip(cols[a], cols[b]))
        right[a] = mpmath.fsum(u * v for u, v in zip(cols[a], t))
    return list(mpmath.lu_solve(normal, right))


def polynomial(x, v, degree):
    return solve([[mpmath.mpf(a) ** k for a in x] for k in range(degree + 1)], v)


def surface(x, y, z, degree):
    count = {1: 3, 2: 6, 3: 10, 4: 15}[degree]
    columns = [[mpmath.mpf(a) ** i * mpmath.mpf(b) ** j for a, b in zip(x, y)] for i, j in SURFACE_POWERS[:count]]
    return solve(columns, z)


def as_double(value):
    """A value rounded to the nearest double, as the program stores a transformed datum."""
    return float(value)


def exact_coefficients(kind, degree, points):
    """The exact coefficients in the report's order for a calculation's points (dicts with x, y[, z])."""
    x = [p["x"] for p in points]
    y = [p["y"] for p in points]
    if kind == 3:
        return polynomial(x, y, degree)
    if kind == 5:
        return polynomial(x, [as_double(1 / mpmath.mpf(v)) for v in y], degree)
    if kind == 7:
        return surface(x, y, [p["z"] for p in points], degree)
    if kind == 2:
        b0, b1 = polynomial([as_double(mpmath.log10(v)) for v in x], [as_double(mpmath.log10(v)) for v in y], 1)
        return [mpmath.power(10, b0), b1]
    if kind == 4:
        b0, b1 = polynomial(x, [as_double(mpmath.log(v)) for v in y], 1)
        return [mpmath.exp(b0), b1]
    if kind == 8:
        return polynomial([as_double(1 / mpmath.mpf(v)) for v in x], [as_double(mpmath.log10(v)) for v in y], 1)
    return None


def report_coefficients(path):
    """The coefficient lines of a report: (line text, printed value) in the report's order."""
    found = []
    surface_block = False
    for line in open(path, encoding="utf-8", errors="replace"):
        line = line.rstrip("\n")
        m = re.match(r"Termine nr:\s*\d+\s*=\s*(\S+)$", line) or re.match(r" COEFFICIENTE [AB]=\s*(\S+)$", line)
        if line.startswith("termine......"):
            surface_block = True
            continue
        if line.startswith("...punto"):
            surface_block = False
        if surface_block:
            m = re.match(r"\s*\d+\s+(\S+)$", line)
        if m:
            found.append((line, m.group(1)))
    return found


def compare(before, after):
    nearer = {"after": 0, "before": 0, "same": 0}
    for name in sorted(os.listdir(after)):
        old = os.path.join(before, name, "report.txt")
        new = os.path.join(after, name, "report.txt")
        if not (os.path.exists(old) and os.path.exists(new)):
            continue
        old_lines, new_lines = report_coefficients(old), report_coefficients(new)
        if old_lines == new_lines:
            continue
        document = json.load(open(os.path.join(after, name, "fit.json")))
        exact = exact_coefficients(document["kind"], document["degree"], document["points"])
        print(name)
        for (old_text, old_value), (new_text, new_value), value in zip(old_lines, new_lines, exact):
            if old_text == new_text:
                continue
            old_error = abs(mpmath.mpf(old_value) - value)
            new_error = abs(mpmath.mpf(new_value) - value)
            verdict = "after" if new_error < old_error else "before" if old_error < new_error else "same"
            nearer[verdict] += 1
            print("  before %-28s after %-28s exact %s  nearer: %s" %
                  (old_value, new_value, mpmath.nstr(value, 20), verdict))
    print("differing lines nearer the exact value:", nearer)


if __name__ == "__main__":
    compare(sys.argv[1], sys.argv[2])
