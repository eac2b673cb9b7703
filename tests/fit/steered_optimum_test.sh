#!/usr/bin/env bash
# The steered fits at their optimum against independent solvers (tests/fit/steered_optimum_check.py).
exec /usr/bin/python3 "$2/tests/fit/steered_optimum_check.py" "$1" "$2"
