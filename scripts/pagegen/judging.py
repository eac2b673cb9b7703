"""Judges digitora's reads against a page's truth: references within 0.5 % of
their axis' span, curves within the targets, and what was silently wrong."""
import difflib
import math
import re

from . import geometry
from .contents import value

MEDIAN, P95, COVER = 0.25, 0.5, 85.0  # targets: % of the y span, % of the y span, % of the x range
WRONG = 1.0  # a curve at exit 0 more than this far (median, % of the y span) from the one drawn is wrong


def span(axis):
    lo, hi = axis["range"]
    return abs(geometry.scaled(hi, axis["scale"]) - geometry.scaled(lo, axis["scale"]))


def data_at(chart, y_axis, col, row):
    """The (scaled) data coordinates the drawing puts at a pixel, against one y axis."""
    return geometry.apply(geometry.invert(chart["to_pixel"][y_axis]), col, row)


def reference_errors(chart, role, scale, refs):
    """Each reference's distance from the true value at its pixel, as a share of the axis' span (None: no such axis)."""
    truth_axis = {"x": "x", "y": "y", "y2": "y2"}.get(role)
    if truth_axis is None or truth_axis not in chart["axes"]:
        return None
    axis = chart["axes"][truth_axis]
    if scale != axis["scale"]:
        return [float("inf")] * len(refs)
    errors = []
    for v, col, row in refs:
        if axis["scale"] == "log" and v <= 0:
            errors.append(float("inf"))
            continue
        sx, sy = data_at(chart, "y2" if role == "y2" else "y", col, row)
        true = sx if role == "x" else sy
        errors.append(abs(geometry.scaled(v, axis["scale"]) - true) / span(axis))
    return errors


def required_axes(chart):
    return ["x", "y"] + (["y2"] if chart.get("twin") == "quantities" else [])


def apparent(chart, c, axis_name, x):
    """The value axis_name shows at the pixel where curve c passes at x (its own value on its own axis)."""
    xa = chart["axes"]["x"]
    own = chart["axes"][c["axis"]]
    y = value(c["function"], x)
    if axis_name == c["axis"]:
        return y
    if own["scale"] == "log" and y <= 0:
        return float("nan")
    col, row = geometry.apply(chart["to_pixel"][c["axis"]], geometry.scaled(x, xa["scale"]), geometry.scaled(y, own["scale"]))
    return geometry.unscaled(data_at(chart, axis_name, col, row)[1], chart["axes"][axis_name]["scale"])


def curve_errors(chart, c, pts, axis_name=None):
    """(median, 95th percentile, coverage) of points read for curve c, errors in % of the y span of axis_name
    (the curve's own axis unless given), coverage in % of the x stretch the curve is drawn over."""
    axis_name = axis_name or c["axis"]
    xa, ya = chart["axes"]["x"], chart["axes"][axis_name]
    good = [(x, y) for x, y in pts if xa["scale"] != "log" or x > 0]
    if not good:
        return None, None, 0.0
    errors = []
    for x, y in good:
        want = apparent(chart, c, axis_name, x)
        if ya["scale"] == "log" and (y <= 0 or not want > 0):
            errors.append(100.0)
        elif math.isnan(want):
            errors.append(100.0)
        else:
            errors.append(abs(geometry.scaled(y, ya["scale"]) - geometry.scaled(want, ya["scale"])) / span(ya) * 100)
    errors.sort()
    a, b = (geometry.scaled(v, xa["scale"]) for v in c["x_range"])
    xs = [min(max(geometry.scaled(x, xa["scale"]), a), b) for x, _ in good]
    cover = (max(xs) - min(xs)) / (b - a) * 100 if b > a else 0.0
    return errors[len(errors) // 2], errors[min(len(errors) - 1, int(math.ceil(0.95 * len(errors))) - 1)], cover


def within(errors):
    median, p95, cover = errors
    return median is not None and median <= MEDIAN and p95 <= P95 and cover >= COVER


def numbers(text):
    return [float(v) for v in re.findall(r"\d+(?:[.,]\d+)?", text.replace(",", "."))]


def normal(text):
    text = text.lower().replace(",", ".").replace("ø", "ø").replace("º", "°")
    return re.sub(r"[\s°_]", "", text)


def label_verdict(read, c, others):
    """'right', 'swapped' (another curve's label), 'missing' (no label taken) or 'wrong'."""
    true = c["label"]
    if re.fullmatch(r"\s*%s\s*" % r"[-+]?\d+(?:[.,]\d+)?", read or ""):
        n = numbers(read)[0]
        mine = numbers(true)
        theirs = {v for o in others for v in numbers(o["label"])}
        if n in mine and n not in theirs:
            return "right"
        return "swapped" if n in theirs else "wrong"
    if not read or re.fullmatch(r"curva \d+( #[0-9a-f]{6})?", read.strip().lower()):
        return "missing"
    if normal(read) == normal(true):
        return "right"
    for o in others:
        if normal(read) == normal(o["label"]):
            return "swapped"
    letters = lambda s: re.sub(r"[^a-zà-ÿ]", "", normal(s))
    if numbers(read) == numbers(true) and difflib.SequenceMatcher(None, letters(read), letters(true)).ratio() >= 0.5:
        return "right"
    return "wrong"


def match_blocks(charts, blocks):
    """Pairs each block of --all-curves with the drawn curve it follows: [(block index, chart, curve, axis it was
    read against, errors)]; blocks following none get curve None."""
    found = []
    for i, (label, pts) in enumerate(blocks):
        best = None
        for chart in charts:
            for c in chart["curves"]:
                for axis_name in [a for a in ("y", "y2") if a in chart["axes"]]:
                    errors = curve_errors(chart, c, pts, axis_name)
                    if errors[0] is None or errors[0] > WRONG or errors[2] < 20:
                        continue
                    if best is None or errors[0] < best[4][0]:
                        best = (i, chart, c, axis_name, errors)
        found.append(best or (i, None, None, None, None))
    return found
