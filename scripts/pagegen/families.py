"""The style families: a page's family is its seed modulo their number, every
other choice is drawn at random from the seed. A plan holds all of them, so
drawing it again gives the same page."""
import copy
import math
import random

from . import contents as C
from .tickformat import nice_step

SHEETS = ["default", "default", "default", "classic", "ggplot", "bmh", "grayscale", "fivethirtyeight", "Solarize_Light2",
          "seaborn-v0_8", "seaborn-v0_8-whitegrid", "seaborn-v0_8-darkgrid", "seaborn-v0_8-ticks", "seaborn-v0_8-white",
          "seaborn-v0_8-paper", "seaborn-v0_8-colorblind", "seaborn-v0_8-muted", "seaborn-v0_8-dark", "tableau-colorblind10",
          "fast"]
FONTS = ["DejaVu Sans", "DejaVu Serif", "Liberation Sans", "Liberation Serif", "Liberation Sans Narrow", "Nimbus Sans",
         "Nimbus Roman", "URW Gothic", "C059", "P052"]
LEGEND_PLACES = ["best", "upper right", "upper left", "lower left", "lower right", "center right", "center left",
                 "upper center", "lower center", "center"]
LINES = ["-", "--", ":", "-."]
MARKERS = ["o", "s", "^", "D", "v", "x", "+"]
GREYS = ["#000000", "#444444", "#777777", "#999999"]


def scan_choice(rng, probability):
    """Scan degradations, or None for a page as drawn."""
    if rng.random() >= probability:
        return None
    return {"dpi": rng.choice([150, 300]), "turn": rng.choice([-1, 1]) * rng.uniform(1, 2) if rng.random() < 0.75 else 0.0,
            "blur": rng.uniform(0.5, 1.1), "paper": rng.uniform(0.84, 0.94), "ink": rng.uniform(0.02, 0.12),
            "tint": rng.choice([(1, 1, 1), (1, 0.99, 0.95), (0.98, 0.99, 1)]), "grain": rng.uniform(3, 8),
            "quality": rng.randint(50, 60), "noise_seed": rng.randrange(1 << 30)}


def curve_looks(rng, chart, bw, labels):
    """Colour, line style, width and marker of each curve."""
    n = len(chart["curves"])
    width = rng.choice([0.8, 1.0, 1.5, 1.5, 2.0, 2.5])
    styles = ["-"] * n
    markers = [None] * n
    if bw:
        if labels == "legend" or rng.random() < 0.4:
            styles = [LINES[i % 4] for i in range(n)]
            rng.shuffle(styles)
        elif rng.random() < 0.5:
            styles = [rng.choice(LINES)] * n
    elif rng.random() < 0.2:
        styles = [rng.choice(LINES) for _ in range(n)]
    if rng.random() < 0.2:
        markers = rng.sample(MARKERS, n) if n <= len(MARKERS) else [rng.choice(MARKERS) for _ in range(n)]
    grey = bw and rng.random() < 0.3
    for i, c in enumerate(chart["curves"]):
        c["look"] = {"line": styles[i], "width": width, "marker": markers[i], "markevery": rng.choice([40, 60, 100]),
                     "beside_at": rng.uniform(0.3, 0.7)}
        if bw:
            c["look"]["colour"] = GREYS[i % 4] if grey else "#000000"


def mpl_look(rng, chart, bw=None, labels=None, over=None):
    """How a matplotlib chart looks; the style sheet decides what is left as 'sheet'."""
    bw = rng.random() < 0.3 if bw is None else bw
    twin = "y2" in chart["axes"]
    if labels is None:
        labels = rng.choice(["legend", "legend", "end", "beside"])
    places = LEGEND_PLACES + ([] if twin else ["outside"]) + ["over"] * 3
    loc = over or rng.choice(places)
    if loc == "over":  # the legend box over the middle of the curves
        loc = [rng.uniform(0.35, 0.65), rng.uniform(0.35, 0.65)]
    curve_looks(rng, chart, bw, labels)
    grid = rng.choice(["sheet", "sheet", None, "solid", "dashed", "dotted"])
    if grid in ("solid", "dashed", "dotted"):
        grid = {"line": {"solid": "-", "dashed": "--", "dotted": ":"}[grid], "width": rng.choice([0.5, 0.8, 1.0]),
                "colour": rng.choice(["#b0b0b0", "#cccccc", "#888888", "#000000" if bw else "#dddddd"]),
                "minor": rng.random() < 0.3}
    ticks = None if rng.random() < 0.4 else {"direction": rng.choice(["out", "in", "inout"]), "mirror": rng.random() < 0.4,
                                              "minor": rng.random() < 0.4}
    return {"labels": labels, "bw": bw,
            "legend": {"loc": loc, "frame": rng.random() < 0.75, "alpha": rng.choice([1.0, 0.8, 0.5]), "size": rng.choice([7, 8, 9, 10])},
            "grid": grid, "ticks": ticks, "frame": rng.choice(["sheet", "sheet", "open", "grey", "none"]),
            "frame_colour": rng.choice(["#c8c8c8", "#d8d8d8", "#b0b0b0"]), "titles": rng.choice(["bracket", "bracket", "paren", "comma"]),
            "label_size": rng.choice([7, 8, 9, 10, 11]), "label_colour": (not bw) and rng.random() < 0.5,
            "label_box": rng.random() < 0.3, "title": rng.choice([None, None, "Curve caratteristiche", "Prestazioni"])}


def mpl_page(rng, scan, size=None):
    w = rng.uniform(6, 11)
    size = size or [round(w, 2), round(w * rng.uniform(0.6, 0.82), 2)]
    dpi = scan["dpi"] if scan else rng.choice([80, 100, 100, 120, 150])
    return {"sheet": rng.choice(SHEETS), "font": rng.choice(FONTS), "font_size": rng.choice([8, 9, 10, 11, 12]),
            "unicode_minus": rng.random() < 0.7, "size_in": size, "dpi": dpi, "pad": rng.uniform(0.6, 1.6)}


def plan_of(seed, family, program, layout, page, charts, scan):
    return {"seed": seed, "family": family, "program": program, "layout": layout, "page": page, "charts": charts, "scan": scan}


def mpl_single(seed, rng):
    scan = scan_choice(rng, 0.35)
    chart = C.chart_content(rng, rng.choice(["pump", "models", "compressor", "fan", "heating"]))
    chart["look"] = mpl_look(rng, chart, bw=False if chart["kind"] == "models" else None)
    return plan_of(seed, "mpl-single", "matplotlib", "single", mpl_page(rng, scan), [chart], scan)


def mpl_twin(seed, rng):
    scan = scan_choice(rng, 0.35)
    chart = C.head_and_power(rng) if rng.random() < 0.6 else C.same_quantity(rng)
    chart["kind"] = "twin-" + chart["twin"]
    C.finish(chart)
    chart["look"] = mpl_look(rng, chart, labels=rng.choice(["legend", "legend", "beside", "end"]))
    return plan_of(seed, "mpl-twin", "matplotlib", "single", mpl_page(rng, scan), [chart], scan)


def axis_format(rng, chart, name):
    """A tick format for one axis of the format family, changing the axis' units where the format needs other numbers."""
    a = chart["axes"][name]
    kind = rng.choice(["comma", "thousands", "sci", "offset", "title", "plain"])
    low, high = a["range"]
    if a["unit"] == "°C" and kind in ("thousands", "sci", "title", "offset"):
        kind = "comma"
    if kind == "comma":
        if high > 20 and a["unit"] in C.SMALLER:
            C.convert_axis(chart, name, C.SMALLER[a["unit"]][1], C.SMALLER[a["unit"]][0])
        low, high = a["range"]
        step = nice_step(high - low, 10, 5)
        if abs(step - round(step)) < 1e-9 and high - low < 30:
            step = step / 2 if step in (1, 5, 10) else step
        return {"kind": "comma", "decimal": ",", "thousands": rng.choice(["", ".", " "]), "step": step,
                "minus": rng.choice(["−", "-"])}
    if kind in ("thousands", "sci", "title") and high < 2000:
        if a["unit"] not in C.LARGER:
            return {"kind": "plain"}
        C.convert_axis(chart, name, C.LARGER[a["unit"]][1], C.LARGER[a["unit"]][0])
        low, high = a["range"]
        if high < 2000:
            return {"kind": "plain"}
    if kind == "thousands":
        sep, dec = rng.choice([(",", "."), (".", ","), (" ", ","), ("\u202f", ","), ("'", ".")])
        return {"kind": "thousands", "thousands": sep, "decimal": dec}
    if kind == "sci":
        return {"kind": "sci", "math": rng.random() < 0.5}
    if kind == "title":
        power = int(math.floor(math.log10(high))) - rng.choice([0, 1])
        power = max(3, power) if power >= 3 else power
        m = 10 ** power
        a["title_multiplier"] = m
        word = rng.choice(["× 10⁻%s" % str(power).translate(str.maketrans("0123456789", "⁰¹²³⁴⁵⁶⁷⁸⁹")),
                           "[×10%s UNIT]" % str(power).translate(str.maketrans("0123456789", "⁰¹²³⁴⁵⁶⁷⁸⁹")),
                           "[×%d UNIT]" % m if m <= 10000 else "[10%s UNIT]" % str(power).translate(str.maketrans("0123456789", "⁰¹²³⁴⁵⁶⁷⁸⁹"))])
        a["factor_text"] = word
        return {"kind": "title", "multiplier": m}
    if kind == "offset" and name != "x":
        offset = rng.choice([1000, 10000, 100000]) if high - low <= 100 else 100000
        C.shift_axis(chart, name, offset)
        return {"kind": "offset", "offset": offset, "math": rng.random() < 0.5}
    return {"kind": "plain"}


def mpl_format(seed, rng):
    scan = scan_choice(rng, 0.3)
    chart = C.chart_content(rng, rng.choice(["pump", "models", "compressor", "fan", "heating"]))
    for name in ("x", "y"):
        chart["axes"][name]["format"] = axis_format(rng, chart, name)
    C.finish(chart)
    chart["look"] = mpl_look(rng, chart, bw=False if chart["kind"] == "models" else None)
    return plan_of(seed, "mpl-format", "matplotlib", "single", mpl_page(rng, scan), [chart], scan)


def mpl_log(seed, rng):
    scan = scan_choice(rng, 0.35)
    chart = C.chart_content(rng, "pressure_drop")
    if rng.random() < 0.3:  # semi-log: a linear y axis
        y = chart["axes"]["y"]
        y["scale"] = "linear"
        y["range"] = [0, C.nice_above(y["range"][1] * 0.01)]
        for c in chart["curves"]:
            c["x_range"] = [chart["axes"]["x"]["range"][0], chart["axes"]["x"]["range"][1]]
        C.finish(chart)
    for name in ("x", "y"):
        chart["axes"][name]["format"] = {"kind": "plain", "log_labels": rng.choice(["power", "plain"])}
    chart["look"] = mpl_look(rng, chart)
    if chart["look"]["ticks"]:
        chart["look"]["ticks"]["minor"] = True
    return plan_of(seed, "mpl-log", "matplotlib", "single", mpl_page(rng, scan), [chart], scan)


def mpl_family(seed, rng):
    """Black-and-white families labelled at the curves' ends or beside them, in any line style."""
    scan = scan_choice(rng, 0.35)
    kind = rng.choice(["pump", "compressor", "fan", "heating"])
    chart = C.chart_content(rng, kind, labels=rng.choice(["D", "Ø", "rpm", "mm"]) if kind == "pump" else None)
    labels = rng.choice(["end", "beside", "beside", "legend"]) if kind != "compressor" else rng.choice(["end", "end", "beside"])
    if labels == "end" and kind == "pump":  # room beyond the curves' ends
        for c in chart["curves"]:
            c["x_range"][1] *= 0.8
    chart["look"] = mpl_look(rng, chart, bw=True, labels=labels)
    return plan_of(seed, "mpl-family", "matplotlib", "single", mpl_page(rng, scan), [chart], scan)


def mpl_frame(seed, rng):
    """Inward ticks on all four sides with minor ticks, no frame or a light grey one, solid or dashed grids."""
    scan = scan_choice(rng, 0.4)
    chart = C.chart_content(rng, rng.choice(["pump", "models", "compressor", "fan", "heating", "pressure_drop"]))
    chart["look"] = mpl_look(rng, chart)
    chart["look"]["ticks"] = {"direction": rng.choice(["in", "in", "inout"]), "mirror": rng.random() < 0.7, "minor": rng.random() < 0.8}
    chart["look"]["frame"] = rng.choice(["none", "grey", "grey", "open", "sheet"])
    if rng.random() < 0.6:
        chart["look"]["grid"] = {"line": rng.choice(["-", "--", ":"]), "width": rng.choice([0.5, 0.8]),
                                 "colour": rng.choice(["#cccccc", "#dddddd", "#aaaaaa"]), "minor": rng.random() < 0.4}
    page = mpl_page(rng, scan)
    page["sheet"] = rng.choice(["default", "default", "classic", "seaborn-v0_8-ticks", "seaborn-v0_8-white", "bmh", "ggplot"])
    return plan_of(seed, "mpl-frame", "matplotlib", "single", page, [chart], scan)


def mpl_stacked(seed, rng):
    scan = scan_choice(rng, 0.35)
    panels = C.stacked(rng)
    look = mpl_look(rng, panels[0], labels=rng.choice(["legend", "end", "beside"]))
    if look["legend"]["loc"] == "outside":
        look["legend"]["loc"] = "upper right"
    for i, chart in enumerate(panels):
        chart["kind"] = "stacked"
        for c, top in zip(chart["curves"], panels[0]["curves"]):
            c["look"] = copy.deepcopy(top["look"])
        chart["look"] = dict(look, title=look["title"] if i == 0 else None)
    page = mpl_page(rng, scan, size=[round(rng.uniform(6, 8.5), 2), round(rng.uniform(8, 11), 2)])
    page["ratios"] = [2] + [1] * (len(panels) - 1) if rng.random() < 0.5 else None
    page["hspace"] = rng.choice([0.05, 0.1, 0.2])
    return plan_of(seed, "mpl-stacked", "matplotlib", "stacked", page, panels, scan)


CATALOGUE_TEXT = [
    "Pompe centrifughe monoblocco per impianti di riscaldamento, condizionamento e circolazione di acqua pulita.",
    "Temperatura del liquido da -10 °C a +120 °C; pressione massima di esercizio 10 bar.",
    "Le curve valgono per acqua a 20 °C, viscosità 1 mm²/s, tolleranze secondo ISO 9906:2012 grado 3B.",
    "Motore asincrono a 2 poli, 2900 1/min, classe di isolamento F, protezione IP55.",
    "I valori di potenza si riferiscono al punto di massimo rendimento.",
]
TEMPLATES = {
    2: [[[0.10, 0.40, 0.36, 0.26], [0.58, 0.40, 0.36, 0.26]], [[0.12, 0.50, 0.80, 0.2], [0.12, 0.17, 0.80, 0.2]]],
    3: [[[0.10, 0.52, 0.84, 0.2], [0.10, 0.17, 0.36, 0.22], [0.58, 0.17, 0.36, 0.22]]],
    4: [[[0.10, 0.47, 0.36, 0.2], [0.58, 0.47, 0.36, 0.2], [0.10, 0.15, 0.36, 0.2], [0.58, 0.15, 0.36, 0.2]]],
}


def mpl_catalogue(seed, rng):
    """An A4 catalogue page: a heading, text, a table and two to four charts."""
    scan = scan_choice(rng, 0.5)
    n = rng.choice([2, 2, 3, 4])
    rects = copy.deepcopy(rng.choice(TEMPLATES[n]))
    charts = []
    bw = rng.random() < 0.3
    for rect in rects:
        kind = rng.choice(["pump", "models", "compressor", "fan", "heating", "pressure_drop"])
        chart = C.chart_content(rng, kind)
        chart["look"] = mpl_look(rng, chart, bw=False if kind == "models" else bw)
        if chart["look"]["legend"]["loc"] == "outside":
            chart["look"]["legend"]["loc"] = "upper right"
        chart["look"]["legend"]["size"] = 6
        chart["look"]["label_size"] = rng.choice([6, 7])
        chart["look"]["title"] = None
        jitter = [rng.uniform(-0.01, 0.01) for _ in range(2)]
        chart["rect"] = [rect[0] + jitter[0], rect[1] + jitter[1], rect[2], rect[3]]
        charts.append(chart)
    series = rng.choice(["NM", "CP", "KS", "TX"])
    texts = [{"x": 0.08, "y": 0.97, "text": "Serie %s – Pompe centrifughe" % series, "size": 16, "weight": "bold"},
             {"x": 0.08, "y": 0.94, "text": "\n".join(rng.sample(CATALOGUE_TEXT, 3)), "size": 7}]
    table = None
    if rng.random() < 0.8:
        rows = [["%s %d/%d" % (series, 32 + 8 * i, 160 + 20 * i), "%.1f" % (0.75 * (i + 1)), "%d" % (20 + 15 * i), "%d" % (18 + 6 * i)]
                for i in range(rng.randint(3, 5))]
        table = {"rect": [0.1, 0.77 if n == 2 and rects[0][1] < 0.45 else 0.02, 0.8, 0.1], "size": 7,
                 "header": ["Modello", "P2 [kW]", "Q max [m³/h]", "H max [m]"], "rows": rows}
        if n == 2 and rects[0][1] < 0.45:
            texts[1]["y"] = 0.935
    page = {"sheet": rng.choice(["default", "default", "classic", "bmh", "ggplot", "seaborn-v0_8-whitegrid", "grayscale"]),
            "font": rng.choice(FONTS), "font_size": rng.choice([6, 7, 8]), "unicode_minus": rng.random() < 0.7,
            "size_in": [8.27, 11.69], "dpi": scan["dpi"] if scan else rng.choice([150, 150, 200, 300]),
            "texts": texts, "table": table}
    return plan_of(seed, "mpl-catalogue", "matplotlib", "catalogue", page, charts, scan)


GNUPLOT_COLOURS = ["#9400d3", "#009e73", "#56b4e9", "#e69f00", "#0072b2", "#e51e10", "#000000"]
GNUPLOT_FONTS = ["DejaVu Sans", "Liberation Sans", "Liberation Serif", "Nimbus Sans", "DejaVu Serif"]
KEY_PLACES = ["top right", "top left", "bottom left", "bottom right", "center", "right center", "left center",
              "top center", "bottom center", "outside right top", "below center", "over"]


def gnuplot_look(rng, chart, terminal):
    bw = rng.random() < 0.35
    labels = rng.choice(["key", "key", "end", "beside"])
    n = len(chart["curves"])
    dashes = terminal != "png" and (bw and (labels == "key" or rng.random() < 0.4) or rng.random() < 0.15)
    dash_list = [1 + i % 4 for i in range(n)] if dashes else [1] * n
    if dashes:
        rng.shuffle(dash_list)
    colours = ["#000000"] * n if bw else rng.sample(GNUPLOT_COLOURS[:6], n) if n <= 6 else GNUPLOT_COLOURS[:n]
    width = rng.choice([1, 1.5, 2, 2.5, 3])
    points = rng.sample([1, 2, 4, 5, 6, 7, 8, 9], n) if rng.random() < 0.2 else [None] * n
    for i, c in enumerate(chart["curves"]):
        c["look"] = {"colour": colours[i], "dash": dash_list[i], "width": width, "points": points[i], "beside_at": rng.uniform(0.3, 0.7)}
    at = rng.choice(KEY_PLACES)
    if at == "over":
        at = "at graph %.2f,%.2f center" % (rng.uniform(0.35, 0.65), rng.uniform(0.35, 0.65))
    if "y2" in chart["axes"] and at.startswith("outside"):
        at = "top right"
    grid = None
    if rng.random() < 0.7:
        grid = {"width": rng.choice([0.5, 1]), "colour": rng.choice(["#c0c0c0", "#a0a0a0", "#000000" if bw else "#e0e0e0", "#808080"]),
                "dash": rng.choice([1, 1, 2, 3]), "minor": rng.random() < 0.3}
    return {"labels": labels, "key": {"at": at, "box": rng.random() < 0.5, "opaque": rng.random() < 0.5}, "grid": grid,
            "tics": rng.choice(["in", "in", "out"]), "mirror": rng.random() < 0.6, "minor": rng.random() < 0.4,
            "border": rng.choice(["full", "full", "open", "grey", "none"]), "border_colour": rng.choice(["#c0c0c0", "#a0a0a0"]),
            "border_width": rng.choice([1, 1.5, 2]), "decimal": rng.choice([".", ".", ","]), "titles": rng.choice(["bracket", "paren", "comma"]),
            "label_colour": (not bw) and rng.random() < 0.4, "power_labels": rng.random() < 0.5}


def gnuplot_page(rng, scan):
    terminal = "pdfcairo" if scan else rng.choice(["pngcairo", "pngcairo", "pngcairo", "png", "pdfcairo"])
    w = rng.randint(800, 1400)
    size_in = [round(rng.uniform(7, 11), 2)]
    size_in.append(round(size_in[0] * rng.uniform(0.62, 0.8), 2))
    dpi = scan["dpi"] if scan else rng.choice([100, 120, 150])
    return {"terminal": terminal, "size": [w, int(w * rng.uniform(0.62, 0.8))], "size_in": size_in, "dpi": dpi,
            "font": rng.choice(GNUPLOT_FONTS), "font_size": rng.choice([9, 10, 11, 12, 13])}


def gnuplot_single(seed, rng):
    scan = scan_choice(rng, 0.35)
    page = gnuplot_page(rng, scan)
    chart = C.chart_content(rng, rng.choice(["pump", "models", "compressor", "fan", "heating", "pressure_drop"]))
    for name in ("x", "y"):
        if chart["axes"][name]["scale"] == "linear" and rng.random() < 0.15:
            fmt = axis_format(rng, chart, name)
            if fmt["kind"] not in ("title",):
                chart["axes"][name].pop("title_multiplier", None)
                chart["axes"][name].pop("factor_text", None)
                # Only the factor in the title is written by gnuplot's script; other formats undone.
            chart["axes"][name]["format"] = fmt if fmt["kind"] == "title" else {"kind": "plain"}
    C.finish(chart)
    chart["look"] = gnuplot_look(rng, chart, page["terminal"])
    return plan_of(seed, "gnuplot", "gnuplot", "single", page, [chart], scan)


def gnuplot_twin(seed, rng):
    scan = scan_choice(rng, 0.35)
    page = gnuplot_page(rng, scan)
    chart = C.head_and_power(rng) if rng.random() < 0.6 else C.same_quantity(rng)
    chart["kind"] = "twin-" + chart["twin"]
    C.finish(chart)
    chart["look"] = gnuplot_look(rng, chart, page["terminal"])
    return plan_of(seed, "gnuplot-twin", "gnuplot", "single", page, [chart], scan)


CALC_COLOURS = ["#004586", "#ff420e", "#579d1c", "#7e0021", "#83caff", "#314004", "#aecf00", "#4b1f6f"]
CALC_DASHES = {"solid": None, "dashed": (0, 0, 1, 300, 200), "dotted": (1, 0, 0, 0, 120), "dashdot": (1, 0, 1, 300, 150)}


def calc_chart(seed, rng):
    """LibreOffice Calc: an XY chart on an A4 landscape sheet, one or two y axes."""
    scan = scan_choice(rng, 0.35)
    pick = rng.random()
    if pick < 0.2:
        chart = C.head_and_power(rng)
        chart["kind"] = "twin-quantities"
    else:
        chart = C.chart_content(rng, rng.choice(["pump", "models", "compressor", "fan", "heating", "pressure_drop"]))
    C.finish(chart)
    bw = rng.random() < 0.3
    n = len(chart["curves"])
    colours = ["#000000"] * n if bw else rng.sample(CALC_COLOURS, n)
    lines = [list(CALC_DASHES)[i % 4] for i in range(n)] if bw else ["solid"] * n
    if bw:
        rng.shuffle(lines)
    elif rng.random() < 0.2:
        lines = [rng.choice(list(CALC_DASHES)) for _ in range(n)]
    width = rng.choice([0, 35, 50, 70])
    markers = [None] * n  # Calc marks every sample: no markers
    for i, c in enumerate(chart["curves"]):
        c["look"] = {"colour": colours[i], "line": lines[i], "dash": CALC_DASHES[lines[i]], "width": width, "marker": markers[i]}
    chart["look"] = {"font": rng.choice(["Liberation Sans", "DejaVu Sans", "Liberation Serif", "Nimbus Sans"]),
                     "font_size": rng.choice([8, 9, 10, 11, 12]), "decimal": rng.choice([".", ","]),
                     "titles": rng.choice(["bracket", "paren", "comma"]), "x_grid": rng.random() < 0.6, "y_grid": rng.random() < 0.85,
                     "minor_grid": rng.random() < 0.2, "legend": rng.choice(["RIGHT", "RIGHT", "LEFT", "TOP", "BOTTOM"]),
                     "chart_size": [rng.randint(16000, 27000), rng.randint(11000, 18500)]}
    page = {"dpi": scan["dpi"] if scan else rng.choice([100, 120, 150])}
    return plan_of(seed, "calc", "libreoffice", "single", page, [chart], scan)


FAMILIES = [("mpl-single", mpl_single), ("mpl-twin", mpl_twin), ("mpl-format", mpl_format), ("mpl-log", mpl_log),
            ("mpl-family", mpl_family), ("mpl-frame", mpl_frame), ("mpl-catalogue", mpl_catalogue),
            ("mpl-stacked", mpl_stacked), ("gnuplot", gnuplot_single), ("gnuplot-twin", gnuplot_twin),
            ("calc", calc_chart)]


def plan(seed):
    rng = random.Random(seed * 7919 + 17)
    name, planner = FAMILIES[seed % len(FAMILIES)]
    return planner(seed, rng)
