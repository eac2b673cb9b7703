#!/usr/bin/env bash
# The fitted coefficients against exact least squares (tests/fit/exact_digits_check.py).
exec /usr/bin/python3 "$2/tests/fit/exact_digits_check.py" "$1" "$2"
