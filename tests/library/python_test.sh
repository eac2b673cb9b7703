#!/usr/bin/env bash
# The Python module from the build folder, in Debian's own Python (another
# python3 may come first on the PATH): python_check.py compares it with
# calvero1-batch on every kind; mypy reads a script against the module's
# stub (calvero.pyi) and finds its types right, and a mistake in them.
set -u
build="$1"
here="$(dirname "${BASH_SOURCE[0]}")"
source "$here/../script_support.sh"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

PYTHONPATH="$build" /usr/bin/python3 "$here/python_check.py" "$build"
check "the module's checks" test $? -eq 0

cat >"$work/uses.py" <<'PY'
import numpy as np
import calvero

r = calvero.fit(np.linspace(0, 5, 10), np.linspace(1, 3, 10), kind="polynomial", degree=2)
c: np.ndarray = r.coefficients
v: float = r.evaluate(2.5)
rows: list = calvero.compare([1, 2, 3], [1, 4, 9])
text: str = calvero.export(r, "energyplus", name="ventola", rated=2.5)
try:
    calvero.fit([1.0], [2.0])
except calvero.Refused as e:
    code: str = e.code
PY
cat >"$work/mistake.py" <<'PY'
import calvero

r = calvero.fit([1, 2, 3], [1, 4, 9])
n: str = r.degree
PY
MYPYPATH="$build" /usr/bin/python3 -m mypy --no-error-summary --ignore-missing-imports "$work/uses.py" >"$work/mypy.out" 2>&1
check "mypy accepts a script that uses the module" test $? -eq 0
MYPYPATH="$build" /usr/bin/python3 -m mypy --no-error-summary "$work/mistake.py" >"$work/mistake.out" 2>&1
check "mypy finds a wrong type through the stub" grep -q 'Incompatible types in assignment' "$work/mistake.out"
finish
