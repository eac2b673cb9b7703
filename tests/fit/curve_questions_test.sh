#!/usr/bin/env bash
# The questions to a fitted curve against statsmodels and mpmath (tests/fit/curve_questions_check.py).
exec /usr/bin/python3 "$2/tests/fit/curve_questions_check.py" "$1" "$2"
