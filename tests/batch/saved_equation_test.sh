#!/usr/bin/env bash
# An equation saved beside a data set, fitted by calvero1-batch (tests/batch/saved_equation_check.py).
exec /usr/bin/python3 "$2/tests/batch/saved_equation_check.py" "$1"
