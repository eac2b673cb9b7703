#!/bin/bash
# The exported workbook read back by xlrd (Debian's python3-xlrd), with a
# path that holds nothing but Python, so no office suite can take part.
# Usage: workbook_xlrd_test.sh BUILD_DIR SOURCE_DIR
set -u
build=$1
source=$2
helper=$source/tests/entry/workbook_xlrd_check.py

python=""
for candidate in "${CALVERO_PYTHON:-}" /usr/bin/python3 "$(command -v python3 || true)"; do
    if [ -n "$candidate" ] && [ -x "$candidate" ] && "$candidate" -c 'import xlrd' 2>/dev/null; then
        python=$candidate
        break
    fi
done
if [ -z "$python" ]; then
    echo "SKIP: python3-xlrd is not installed"
    exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
ln -s "$python" "$work/bin/python3"
bare_path="$work/bin"
failed=0

# The writer's own workbooks: the test program writes one sheet of each kind
# and has xlrd check it, cell by cell.
if ! env PATH="$bare_path" CALVERO_PYTHON="$python" "$build/calvero_entry_tests" \
        --gtest_filter='WorkbookXlrd.*' > "$work/gtest.log" 2>&1; then
    cat "$work/gtest.log"
    echo "FAILED: workbooks written by the test program"
    failed=1
elif grep -q "SKIPPED" "$work/gtest.log"; then
    cat "$work/gtest.log"
    echo "FAILED: the test program found no xlrd"
    failed=1
else
    echo "workbooks of the test program: read by xlrd"
fi

# The workbooks of the batch command, when it is built: every example whose
# calculation succeeds gives a workbook that xlrd reads.
if [ -x "$build/calvero1-batch" ]; then
    for name in potenzaold nr150b6 polinomiofratto esponenziale temperatura_tempo funzxy; do
        example=$build/$name.txt
        [ -f "$example" ] || continue
        workbook=$work/${name}_OUTPUT.xls
        if env PATH="$bare_path" "$build/calvero1-batch" "$example" --xls "$workbook" > /dev/null 2> "$work/errors.txt"; then
            if [ ! -f "$workbook" ]; then
                echo "FAILED: $name: no workbook written"
                failed=1
            elif ! env PATH="$bare_path" "$python" "$helper" "$workbook"; then
                echo "FAILED: $name: workbook not read as expected"
                failed=1
            fi
        else
            echo "$name: calculation refused, no workbook expected ($(head -c 200 "$work/errors.txt"))"
        fi
    done
else
    echo "calvero1-batch not built: batch workbooks not checked"
fi

if command -v soffice > /dev/null 2>&1 || command -v libreoffice > /dev/null 2>&1; then
    echo "note: an office suite is installed here, but it was not on the path of these checks"
fi
exit $failed
