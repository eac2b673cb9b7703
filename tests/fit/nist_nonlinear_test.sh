#!/usr/bin/env bash
# NIST's nonlinear reference sets through calvero1-batch --equation (tests/fit/nist_nonlinear_check.py).
exec /usr/bin/python3 "$2/tests/fit/nist_nonlinear_check.py" "$1" "$2"
