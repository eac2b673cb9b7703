"""Affine maps between a chart's scaled data (x or log10 x, y or log10 y) and
the picture's pixels. Pixel (c, r) covers [c, c+1) x [r, r+1): its centre is
(c + 0.5, r + 0.5), as digitora counts."""
import math


def scaled(value, scale):
    return math.log10(value) if scale == "log" else value


def unscaled(value, scale):
    return 10 ** value if scale == "log" else value


def through(points):
    """The 2x3 map taking three (sx, sy) to three (col, row): [(sx, sy, col, row)] -> [[a, b, c], [d, e, f]]."""
    (x1, y1, c1, r1), (x2, y2, c2, r2), (x3, y3, c3, r3) = points
    det = (x2 - x1) * (y3 - y1) - (x3 - x1) * (y2 - y1)

    def row(v1, v2, v3):
        a = ((v2 - v1) * (y3 - y1) - (v3 - v1) * (y2 - y1)) / det
        b = ((x2 - x1) * (v3 - v1) - (x3 - x1) * (v2 - v1)) / det
        return [a, b, v1 - a * x1 - b * y1]

    return [row(c1, c2, c3), row(r1, r2, r3)]


def axis_maps(axes, left, right, top, bottom):
    """The map from scaled data to pixels of each y axis ("y", "y2") with the
    x axis: each axis' range spans the plot area's edges in pixels."""
    xa = axes["x"]
    maps = {}
    for name in [n for n in ("y", "y2") if n in axes]:
        ya = axes[name]
        (x0, x1), (y0, y1) = xa["range"], ya["range"]
        sx0, sx1 = scaled(x0, xa["scale"]), scaled(x1, xa["scale"])
        sy0, sy1 = scaled(y0, ya["scale"]), scaled(y1, ya["scale"])
        maps[name] = through([(sx0, sy0, left, bottom), (sx1, sy0, right, bottom), (sx0, sy1, left, top)])
    return maps


def apply(m, x, y):
    return (m[0][0] * x + m[0][1] * y + m[0][2], m[1][0] * x + m[1][1] * y + m[1][2])


def compose(outer, inner):
    """outer after inner."""
    (a, b, c), (d, e, f) = outer
    return [[a * inner[0][0] + b * inner[1][0], a * inner[0][1] + b * inner[1][1], a * inner[0][2] + b * inner[1][2] + c],
            [d * inner[0][0] + e * inner[1][0], d * inner[0][1] + e * inner[1][1], d * inner[0][2] + e * inner[1][2] + f]]


def invert(m):
    (a, b, c), (d, e, f) = m
    det = a * e - b * d
    return [[e / det, -b / det, (b * f - c * e) / det], [-d / det, a / det, (c * d - a * f) / det]]


IDENTITY = [[1.0, 0.0, 0.0], [0.0, 1.0, 0.0]]


def bounding_box(points):
    cols = [p[0] for p in points]
    rows = [p[1] for p in points]
    return [min(cols), min(rows), max(cols), max(rows)]


def number_charts(charts):
    """Numbers the charts left to right, top to bottom: charts whose heights overlap by half form one row."""
    order = sorted(range(len(charts)), key=lambda i: charts[i]["box"][1])
    rows = []
    for i in order:
        top, bottom = charts[i]["box"][1], charts[i]["box"][3]
        for row in rows:
            t, b = row["span"]
            if min(bottom, b) - max(top, t) > 0.5 * min(bottom - top, b - t):
                row["members"].append(i)
                break
        else:
            rows.append({"span": (top, bottom), "members": [i]})
    n = 1
    for row in rows:
        for i in sorted(row["members"], key=lambda i: charts[i]["box"][0]):
            charts[i]["number"] = n
            n += 1
    charts.sort(key=lambda c: c["number"])
