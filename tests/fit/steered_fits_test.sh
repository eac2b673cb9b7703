#!/usr/bin/env bash
# The steered fits against independent solutions (tests/fit/steered_fits_check.py).
exec /usr/bin/python3 "$2/tests/fit/steered_fits_check.py" "$1" "$2"
