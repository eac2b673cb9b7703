#!/usr/bin/env bash
# The statistics' two conditioning figures against measurement (tests/fit/conditioning_digits_check.py).
exec /usr/bin/python3 "$2/tests/fit/conditioning_digits_check.py" "$1" "$2"
