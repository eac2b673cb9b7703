#!/usr/bin/python3
"""An equation saved beside a data set (NAME.equazione.json): calvero1-batch
NAME.dat fits it to the data set's points instead of the data set's kind.
The fitted parameters against numpy's linear least squares and scipy's
curve_fit from the same start; a broken or mismatched equation file refused
with its reason, exit 1 or 2, and nothing written.
Usage: saved_equation_check.py BUILD_DIR
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile

import numpy
from scipy.optimize import curve_fit

build = sys.argv[1]
batch = os.path.join(build, "calvero1-batch")
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from checking import Checks  # noqa: E402

check = Checks()


# The example pump's points, as its data set file holds them.
x = numpy.arange(10.0, 61.0, 5.0)
y = numpy.array([31.98, 31.10, 30.48, 29.13, 27.80, 25.67, 23.64, 21.02, 18.34, 15.07, 11.64])


with tempfile.TemporaryDirectory() as work:
    data_set = os.path.join(work, "pompa.txt")
    shutil.copy(os.path.join(build, "nr150b6.txt"), data_set)
    saved = os.path.join(work, "pompa.equazione.json")

    def run(document, *extra):
        with open(saved, "w") as f:
            f.write(document if isinstance(document, str) else json.dumps(document))
        return subprocess.run([batch, data_set, *extra], capture_output=True, text=True)

    linear = numpy.linalg.lstsq(numpy.vstack([numpy.ones_like(x), x, 1 / x]).T, y, rcond=None)[0]
    shutoff = lambda q, h0, q0, n: h0 * (1 - (q / q0) ** n)
    curved = curve_fit(shutoff, x, y, p0=[33, 80, 2])[0]
    fits = [({"equation": "y = a + b*x + c/x"}, linear),
            ({"equation": "y = h0*(1-(x/q0)^n)", "start": {"h0": 33, "q0": 80, "n": 2}}, curved),
            ({"equation": "y = h0*(1-(x/q0)^n)", "start": {"h0": 33, "q0": 80}, "fixed": {"n": 2},
              "bounds": {"h0": [0, None]}}, None)]
    for document, expected in fits:
        done = run(document, "--json", "-")
        fitted = [c["value"] for c in json.loads(done.stdout)["coefficients"]] if done.returncode == 0 else []
        if expected is None:  # n held at 2: a straight line in x², solved exactly by numpy
            a, b = numpy.linalg.lstsq(numpy.vstack([numpy.ones_like(x), -x ** 2]).T, y, rcond=None)[0]
            expected = [a, (a / b) ** 0.5, 2.0]
        worst = max(abs(f - e) / abs(e) for f, e in zip(fitted, expected)) if fitted else 1.0
        check("%s: %s against %s (%.1e apart)" % (document["equation"], fitted, list(expected), worst), worst < 1e-8)

    # The statistics say whose start values the fit went from.
    for start, said in [({"h0": 33, "q0": 80, "n": 2}, "valori iniziali: dati"),
                        ({"h0": 33}, "valori iniziali: dato per 1 parametro e provato fra le partenze, "
                                     "gli altri trovati dal programma ("),
                        ({}, "valori iniziali: trovati dal programma (")]:
        done = run({"equation": "y = h0*(1-(x/q0)^n)", "start": start}, "--stats")
        statistics = done.stdout.split("STATISTICHE DELL'ADATTAMENTO")[-1]
        lines = [line for line in statistics.splitlines() if line.startswith("valori iniziali:")]
        check("start %s: %s" % (start, lines), done.returncode == 0 and len(lines) == 1
              and (lines[0] == said if said.endswith("dati") else lines[0].startswith(said)))
        # The report's lines keep every word: the long ones wrapped, none cut.
        report = " ".join(done.stdout.split("STATISTICHE DELL'ADATTAMENTO")[0].split())
        check("start %s: the report's start line whole" % start, said.endswith("dati") or (
              report.count(" ".join(said.split())) == 1 and "tenuto il minimo più basso)" in report))

    refusals = [('{"equation": "y = a + b*x", "start": {"zz": 1}}', 2, "\"zz\" non è un parametro dell'equazione"),
                ('{"equation": "y = a + b*(x"}', 2, "parentesi non chiusa"),
                ('{"start": {"a": 1}}', 2, "manca l'equazione"),
                ('{"equation": "y = a*x", "bounds": {"a": [2, 1]}}', 2, "il minimo di a supera il massimo"),
                ('{"equation": "y = a*x", "fixed": {"a": "uno"}}', 2, "non è un numero"),
                ("\x00\xff{", 2, "non è un documento JSON"),
                ('{"equation": "z = a + b*x + c*y"}', 1, "i dati non hanno z")]
    for document, status, message in refusals:
        report = os.path.join(work, "rapporto.rtf")
        done = run(document, "--rtf", report)
        check("%r refused with exit %d: %s" % (document, done.returncode, done.stderr.strip()),
              done.returncode == status and message in done.stderr and not os.path.exists(report)
              and done.stdout == "")

check.finish()
