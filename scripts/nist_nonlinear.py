"""NIST StRD nonlinear regression sets (tests/data/nist-nonlinear) for the
tests and measuring scripts: each set's equation as CALVERO1 reads it, its two
starting points, its certified parameters and standard deviations, and its
data written as a point file for calvero1-batch --equation.

The data are written as NIST wrote them (their decimal texts), so the
program reads the same numbers; Nelson's value, ln y, is written to 40 digits
(mpmath), its x1 and x2 as x and y.
"""
import math
import os
import re

import mpmath

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "..", "tests", "data", "nist-nonlinear")

# NIST's levels of difficulty, in its own order.
NAMES = ["Misra1a", "Chwirut2", "Chwirut1", "Lanczos3", "Gauss1", "Gauss2", "DanWood", "Misra1b",
         "Kirby2", "Hahn1", "Nelson", "MGH17", "Lanczos1", "Lanczos2", "Gauss3", "Misra1c", "Misra1d",
         "Roszman1", "ENSO", "MGH09", "Thurber", "BoxBOD", "Rat42", "MGH10", "Eckerle4", "Rat43", "Bennett5"]


def equations():
    table = {}
    with open(os.path.join(DATA, "equations.txt")) as f:
        for line in f:
            if line.strip():
                name, equation = line.rstrip("\n").split("\t")
                table[name] = equation
    return table


class Problem:
    def __init__(self, name):
        self.name = name
        self.equation = equations()[name]
        with open(os.path.join(DATA, name + ".dat")) as f:
            lines = f.read().splitlines()
        self.starts = [[], []]
        self.certified, self.deviations = [], []
        self.parameters = []
        data_at = None
        for k, line in enumerate(lines):
            m = re.match(r"\s*(b\d+)\s*=\s*(\S+)\s+(\S+)\s+(\S+)\s+(\S+)\s*$", line)
            if m:
                self.parameters.append(m.group(1))
                self.starts[0].append(m.group(2))
                self.starts[1].append(m.group(3))
                self.certified.append(float(m.group(4)))
                self.deviations.append(float(m.group(5)))
            m = re.match(r"Residual Sum of Squares:\s+(\S+)", line)
            if m:
                self.sse = float(m.group(1))
            if line.startswith("Data:") and "Response" not in line and data_at is None and k > 30:
                data_at = k + 1
        self.rows = [l.split() for l in lines[data_at:] if l.strip()]
        self.two_variables = name == "Nelson"

    def start_text(self, which):
        return ",".join(f"{p}={v}" for p, v in zip(self.parameters, self.starts[which]))

    def point_lines(self):
        """x;y lines (x;y;z for Nelson), NIST's response first in its files."""
        if self.two_variables:
            mpmath.mp.dps = 50
            return [f"{r[1]};{r[2]};{mpmath.nstr(mpmath.log(mpmath.mpf(r[0])), 40)}" for r in self.rows]
        return [f"{r[1]};{r[0]}" for r in self.rows]

    def write_points(self, path):
        with open(path, "w") as f:
            f.write("\n".join(self.point_lines()) + "\n")


def correct_digits(value, certified):
    """NIST's log relative error: the significant digits value has right."""
    if value == certified:
        return 15.0
    if certified == 0:
        return -math.log10(abs(value)) if value != 0 else 15.0
    return max(0.0, -math.log10(abs(value - certified) / abs(certified)))
