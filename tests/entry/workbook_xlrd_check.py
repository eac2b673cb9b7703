"""Reads an exported workbook with xlrd (an independent reader of the format)
and checks it: one sheet "FOGLIO1", column A shown 16 characters wide, the check
formula's stored value against the sheet's own numbers, the point rows, and
optionally a list of expected cells.

usage: workbook_xlrd_check.py WORKBOOK [EXPECTED]
EXPECTED has one cell a line, fields separated by tabs:
    B3<TAB>n<TAB>1.5      a number cell
    A14<TAB>n<TAB>0.0010479<TAB>0.000   a number cell shown with that format
    A13<TAB>t<TAB>X       a text cell
    E15<TAB>e             an empty cell
"""
import re
import decimal
import sys

import xlrd

failures = []


def fail(message):
    failures.append(message)


def address(name):
    match = re.fullmatch(r"([A-Z]+)(\d+)", name)
    column = 0
    for letter in match.group(1):
        column = column * 26 + ord(letter) - ord("A") + 1
    return int(match.group(2)) - 1, column - 1


def cell(sheet, name):
    row, column = address(name)
    if row >= sheet.nrows or column >= sheet.ncols:
        return None
    return sheet.cell(row, column)


def number(sheet, name):
    c = cell(sheet, name)
    if c is None or c.ctype != xlrd.XL_CELL_NUMBER:
        fail("%s is not a number: %r" % (name, c))
        return float("nan")
    return c.value


def text(sheet, name):
    c = cell(sheet, name)
    return c.value if c is not None and c.ctype == xlrd.XL_CELL_TEXT else None


def close(a, b, tolerance):
    return abs(a - b) <= tolerance * max(1.0, abs(a), abs(b))


def shown_width(stored):
    """The width in characters Excel shows for a stored column width: Arial
    10 has a 7-pixel digit, and 5 pixels of cell padding are not counted."""
    pixels = int((stored + 128 // 7) / 256.0 * 7)
    return int((pixels - 5) / 7.0 * 100 + 0.5) / 100.0


def check_point_rows(sheet, first_row):
    row = first_row
    while cell(sheet, "A%d" % row) is not None and cell(sheet, "A%d" % row).ctype == xlrd.XL_CELL_NUMBER:
        y = number(sheet, "B%d" % row)
        c = cell(sheet, "C%d" % row)
        if c is not None and c.ctype == xlrd.XL_CELL_NUMBER:
            # The cells keep every digit: the difference is Y - Y int to the last bits.
            if not close(y - c.value, number(sheet, "D%d" % row), 1e-12):
                fail("row %d: difference does not match Y - Y int" % row)
        row += 1
    return row - first_row


def check_coefficients_shown(sheet, names):
    """Each coefficient's column is wide enough for every digit its number holds."""
    for name in names:
        value = number(sheet, name)
        digits = format(decimal.Decimal(repr(value)), "f")
        info = sheet.colinfo_map.get(ord(name[0]) - ord("A"))
        width = shown_width(info.width) if info else 8.43
        if width < len(digits):
            fail("%s holds %s, its column shows %r characters" % (name, digits, width))


def check_value_shown(sheet, name):
    """A number in the General format shows in full only when its column is wide enough."""
    digits = "%.15g" % number(sheet, name)
    info = sheet.colinfo_map.get(ord(name[0]) - ord("A"))
    width = shown_width(info.width) if info else 8.43
    if width < len(digits):
        fail("%s shows %s, its column shows %r characters" % (name, digits, width))


def shown_format(book, c):
    return book.format_map[book.xf_list[c.xf_index].format_key].format_str


def check_structure(book):
    if book.sheet_names() != ["FOGLIO1"]:
        fail("sheet names %r" % book.sheet_names())
        return None
    sheet = book.sheet_by_index(0)
    info = sheet.colinfo_map.get(0)
    if info is None or shown_width(info.width) < 16.0:
        fail("column A width %r" % (info.width if info else None))
    if text(sheet, "A2") == "progr":
        check_coefficients_shown(sheet, ["B%d" % row for row in range(3, 13)])
        if not (text(sheet, "A1") or "").startswith("Oggi:"):
            fail("A1 %r" % text(sheet, "A1"))
        coefficients = [number(sheet, "B%d" % row) for row in range(3, 13)]
        x = number(sheet, "D3")
        expected = sum(coefficients[k] * x ** k for k in range(10))
        if not close(number(sheet, "E3"), expected, 1e-9):
            fail("E3 holds %r, the polynomial gives %r" % (number(sheet, "E3"), expected))
        check_value_shown(sheet, "E3")
        print("polynomial sheet: %d point rows" % check_point_rows(sheet, 14))
    elif text(sheet, "A2") == "termine A":
        check_coefficients_shown(sheet, ["A3", "B3"])
        expected = number(sheet, "A3") * number(sheet, "D3") ** number(sheet, "B3")
        if not close(number(sheet, "E3"), expected, 1e-9):
            fail("E3 holds %r, the power curve gives %r" % (number(sheet, "E3"), expected))
        check_value_shown(sheet, "E3")
        print("power sheet: %d point rows" % check_point_rows(sheet, 6))
    elif text(sheet, "C1") == "Z":
        print("surface sheet: %d rows" % sheet.nrows)
    else:
        print("sheet without contents: %d rows" % sheet.nrows)
    return sheet


def check_expected(book, sheet, path):
    count = 0
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            fields = line.rstrip("\n").split("\t")
            if not fields[0]:
                continue
            count += 1
            name, kind = fields[0], fields[1]
            c = cell(sheet, name)
            if kind == "e":
                if c is not None and c.ctype != xlrd.XL_CELL_EMPTY:
                    fail("%s should be empty, holds %r" % (name, c.value))
            elif kind == "n":
                if c is None or c.ctype != xlrd.XL_CELL_NUMBER or not close(c.value, float(fields[2]), 1e-12):
                    fail("%s should be the number %s, is %r" % (name, fields[2], c))
                elif len(fields) > 3 and shown_format(book, c) != fields[3]:
                    fail("%s should show the format %r, shows %r" % (name, fields[3], shown_format(book, c)))
            elif c is None or c.ctype != xlrd.XL_CELL_TEXT or c.value != fields[2]:
                fail("%s should be the text %r, is %r" % (name, fields[2], c))
    print("%d expected cells checked" % count)


def main():
    book = xlrd.open_workbook(sys.argv[1], formatting_info=True)
    sheet = check_structure(book)
    if sheet is not None and len(sys.argv) > 2:
        check_expected(book, sheet, sys.argv[2])
    for message in failures:
        print("FAILED: " + message)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
