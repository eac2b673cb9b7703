#!/usr/bin/python3
"""NIST StRD nonlinear regression through calvero1-batch --equation: the 27
sets from both of NIST's starting points (54 fits), every certified parameter
to at least 9 significant digits and every certified standard deviation to at
least 6; and DanWood (y = b1 x^b2) as the power kind with
--least-squares-in-y, its certified parameters to 9 digits.
Usage: nist_nonlinear_check.py BUILD_DIR SOURCE_DIR
"""
import json
import os
import subprocess
import sys
import tempfile

build, source = sys.argv[1], sys.argv[2]
sys.path.insert(0, os.path.join(source, "scripts"))
import nist_nonlinear as nist  # noqa: E402

batch = os.path.join(build, "calvero1-batch")
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from checking import Checks  # noqa: E402

check = Checks()


def run(arguments):
    done = subprocess.run([batch] + arguments + ["--json", "-"], capture_output=True, text=True)
    if done.returncode != 0:
        return None, done.stderr.strip()
    return json.loads(done.stdout), ""


with tempfile.TemporaryDirectory() as work:
    for name in nist.NAMES:
        problem = nist.Problem(name)
        points = os.path.join(work, name + ".txt")
        problem.write_points(points)
        for which in (0, 1):
            fit, error = run(["--points", points, "--equation", problem.equation,
                              "--start", problem.start_text(which)])
            label = f"{name} start {which + 1}"
            if fit is None:
                check(f"{label}: fitted ({error})", False)
                continue
            values = {c["name"]: c["value"] for c in fit["coefficients"]}
            errors = {c["name"]: c["standardError"] for c in fit["statistics"]["coefficients"]}
            digits = min(nist.correct_digits(values[p], c) for p, c in zip(problem.parameters, problem.certified))
            sd_digits = min(nist.correct_digits(errors[p], d) for p, d in zip(problem.parameters, problem.deviations))
            check(f"{label}: parameters to {digits:.1f} digits (9 or more)", digits >= 9)
            check(f"{label}: standard deviations to {sd_digits:.1f} digits (6 or more)", sd_digits >= 6)
            check(f"{label}: converged from the start given", fit["statistics"]["converged"]
                  and fit["statistics"]["startValues"] == "given")

    danwood = nist.Problem("DanWood")
    points = os.path.join(work, "danwood.txt")
    danwood.write_points(points)
    fit, error = run(["--points", points, "--kind", "2", "--least-squares-in-y"])
    if fit is None:
        check(f"DanWood, power kind with --least-squares-in-y: fitted ({error})", False)
    else:
        a, b = fit["coefficients"][0]["value"], fit["coefficients"][1]["value"]
        digits = min(nist.correct_digits(a, danwood.certified[0]), nist.correct_digits(b, danwood.certified[1]))
        check(f"DanWood, power kind with --least-squares-in-y: A and B to {digits:.1f} digits (9 or more)", digits >= 9)

check.finish()
