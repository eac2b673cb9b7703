#!/usr/bin/env bash
# The exports of the fitted equation read back by independent readers (tests/exports/exports_check.py).
exec /usr/bin/python3 "$2/tests/exports/exports_check.py" "$1" "$2"
