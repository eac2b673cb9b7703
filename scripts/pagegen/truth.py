"""The truth written beside each page: where the drawing program put every
chart, axis value and curve, in the final picture's pixels."""
from . import geometry

CONVENTION = "pixel (c, r) covers [c, c+1) x [r, r+1); to_pixel maps (x, y) scaled (log10 on log axes) to (col, row)"


def moved_box(m, box):
    l, t, r, b = box
    return geometry.bounding_box([geometry.apply(m, x, y) for x, y in ((l, t), (r, t), (r, b), (l, b))])


def moved(chart, m):
    """The chart's truth after the picture was mapped by m (a turn; the identity for a page as drawn)."""
    chart["plot_area"] = [list(geometry.apply(m, *p)) for p in chart["plot_area"]]
    chart["box"] = geometry.bounding_box(chart["plot_area"])
    chart["to_pixel"] = {k: geometry.compose(m, v) for k, v in chart["to_pixel"].items()}
    for axis in chart["axes"].values():
        for t in axis.get("ticks", []):
            t["at"] = list(geometry.apply(m, *t["at"]))
    for c in chart["curves"]:
        if "label_box" in c:
            c["label_box"] = moved_box(m, c["label_box"])
    if "legend_box" in chart:
        chart["legend_box"] = moved_box(m, chart["legend_box"])
    return chart


def page_truth(plan, picture, width, height, charts, m):
    charts = [moved(c, m) for c in charts]
    geometry.number_charts(charts)
    return {"seed": plan["seed"], "family": plan["family"], "program": plan["program"], "layout": plan["layout"],
            "picture": picture, "width": width, "height": height, "pixels": CONVENTION, "scan": plan["scan"],
            "style": {k: v for k, v in plan["page"].items() if k not in ("texts", "table")}, "charts": charts}
