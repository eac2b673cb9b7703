#!/usr/bin/env bash
# The Python module from the build folder, in Debian's own Python (another
# python3 may come first on the PATH): python_check.py compares it with
# calvero1-batch on every kind.
set -u
build="$1"
PYTHONPATH="$build" exec /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/python_check.py" "$build"
