#!/usr/bin/env bash
# Typed equations written wrong, refused with their position or reason (tests/batch/equation_refusals_check.py).
exec /usr/bin/python3 "$2/tests/batch/equation_refusals_check.py" "$1"
