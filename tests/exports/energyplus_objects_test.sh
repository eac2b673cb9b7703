#!/usr/bin/env bash
# The simulation objects fitted in their own forms, read back by independent readers (tests/exports/energyplus_objects_check.py).
exec /usr/bin/python3 "$2/tests/exports/energyplus_objects_check.py" "$1" "$2"
