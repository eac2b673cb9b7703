#!/bin/bash
# The files "Uscita" -> "Sì" and "Salva" write after the points changed,
# read by other readers than the program's: the data set file's lines as
# plain text, the workbook with xlrd (Debian's python3-xlrd). The window test
# that writes them checks them with the program's own readers.
# Usage: savedfiles_test.sh BUILD_DIR SOURCE_DIR
set -u
build=$1
source=$2
python=/usr/bin/python3
if ! "$python" -c 'import xlrd' 2>/dev/null; then
    echo "SKIP: python3-xlrd is not installed"
    exit 0
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if ! CALVERO_SAVED_FOLDER="$work" QT_QPA_PLATFORM=offscreen "$build/mainwindow_qtest" \
        savingAfterChangedPointsKeepsNoOtherCoefficients > "$work/qtest.log" 2>&1; then
    cat "$work/qtest.log"
    echo "FAILED: the window test that saves the files"
    exit 1
fi

failed=0
# Six points on y = 1 + 2x + 3x^2: saved with degree 2, their own coefficients
# 1, 2, 3 and the curve's values equal to the points; saved with degree 7,
# which six points cannot have, no coefficient at all.
printf 'A2\tt\tprogr\nB3\tn\t1\nB4\tn\t2\nB5\tn\t3\nB6\tn\t0\nC14\tn\t6\nC19\tn\t121\nB19\tn\t121\n' > "$work/digitati.expected"
printf 'A2\te\nB3\te\nB4\te\nE3\te\nA14\tn\t1\nB14\tn\t6\nB19\tn\t121\nC14\te\nC19\te\nE14\te\n' > "$work/rifiutati.expected"
for name in digitati rifiutati; do
    if ! "$python" "$source/tests/entry/workbook_xlrd_check.py" "$work/${name}_OUTPUT.xls" "$work/$name.expected"; then
        echo "FAILED: $name: workbook"
        failed=1
    fi
done

# The data set files' coefficient lines (4 to 11) and point count (line 3).
if ! "$python" - "$work" <<'PY'
import sys
folder = sys.argv[1]
expected = {"digitati": [1, 2, 3, 0, 0, 0, 0, 0], "rifiutati": [0] * 8}
bad = False
for name, coefficients in expected.items():
    lines = open("%s/%s.dat" % (folder, name), newline="").read().split("\r\n")
    values = [float(line) for line in lines[3:11]]
    if int(lines[2]) != 6 or any(abs(v - c) > 1e-9 for v, c in zip(values, coefficients)):
        print("FAILED: %s.dat: count %r, coefficient lines %r" % (name, lines[2], values))
        bad = True
    else:
        print("%s.dat: 6 points, coefficient lines %r" % (name, values))
sys.exit(1 if bad else 0)
PY
then
    failed=1
fi
exit $failed
