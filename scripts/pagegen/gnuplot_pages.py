"""Pages drawn by gnuplot (pngcairo, png, or pdfcairo rendered by pdftoppm).
gnuplot tells where its plot area lies (GPVAL_TERM_*): its terminal units run
from 0 to the size less one, pixel centres on whole units, y upwards."""
import math
import os
import re
import subprocess
import tempfile

from PIL import Image

from . import geometry
from .contents import value


def quote(text):
    return "'" + text.replace("'", "''") + "'"


def title(axis, look):
    factor = axis.get("factor_text")
    name = axis["title"] + (" " + factor if factor else "")
    return {"bracket": "%s [%s]", "paren": "%s (%s)", "comma": "%s, %s"}[look["titles"]] % (name, axis["unit"])


def shown(axis, v):
    return v / axis.get("title_multiplier", 1)


def function_text(f, axis_x, axis_y):
    """The curve in gnuplot's own words, in the numbers the axes show."""
    mx, my = axis_x.get("title_multiplier", 1), axis_y.get("title_multiplier", 1)
    if f["kind"] == "poly":
        terms = ["(%r)*(x*%r)**%d" % (c, mx, i) for i, c in enumerate(f["coef"])]
        return "(%s)/%r" % (" + ".join(terms), my)
    return "(%r*(x*%r)**%r)/%r" % (f["a"], mx, f["b"], my)


def script(plan, chart, output):
    page, look, axes = plan["page"], chart["look"], chart["axes"]
    lines = ["set encoding utf8"]
    if page["terminal"] == "pdfcairo":
        lines.append("set terminal pdfcairo size %gin,%gin font '%s,%g' linewidth 1" % (page["size_in"][0], page["size_in"][1], page["font"], page["font_size"]))
    elif page["terminal"] == "pngcairo":
        lines.append("set terminal pngcairo size %d,%d font '%s,%g'" % (page["size"][0], page["size"][1], page["font"], page["font_size"]))
    else:
        lines.append("set terminal png size %d,%d font '%s' %g" % (page["size"][0], page["size"][1], page["font"], page["font_size"]))
    lines.append("set output %s" % quote(output))
    xa, ya = axes["x"], axes["y"]
    lines.append("set xrange [%r:%r]; set yrange [%r:%r]" % tuple([shown(xa, v) for v in xa["range"]] + [shown(ya, v) for v in ya["range"]]))
    if xa["scale"] == "log":
        lines.append("set logscale x")
    if ya["scale"] == "log":
        lines.append("set logscale y")
        if look.get("power_labels"):
            lines.append("set format y '10^{%L}'")
            if xa["scale"] == "log":
                lines.append("set format x '10^{%L}'")
    lines.append("set xlabel %s; set ylabel %s" % (quote(title(xa, look)), quote(title(ya, look))))
    if look["decimal"] == ",":
        lines.append("set decimalsign ','")
    twin = "y2" in axes
    mirror = "mirror" if look["mirror"] and not twin else "nomirror"
    lines.append("set tics %s; set xtics %s; set ytics %s" % (look["tics"], "mirror" if look["mirror"] else "nomirror", mirror))
    if look["minor"]:
        lines.append("set mxtics; set mytics")
    if twin:
        y2 = axes["y2"]
        if chart.get("twin") == "units":
            k, c = chart["convert"]
            lines.append("set link y2 via y*%r+%r inverse (y-%r)/%r" % (k, c, c, k))
        else:
            lines.append("set y2range [%r:%r]" % tuple(y2["range"]))
        lines.append("set y2tics %s; set y2label %s" % (look["tics"], quote(title(y2, look))))
        if look["minor"]:
            lines.append("set my2tics")
    border = {"full": "set border 15 lw %g" % look["border_width"], "open": "set border 3 lw %g" % look["border_width"],
              "grey": "set border 15 lc rgb '%s' lw %g" % (look["border_colour"], look["border_width"]),
              "none": "unset border"}[look["border"]]
    if twin and look["border"] == "open":
        border = "set border 11 lw %g" % look["border_width"]
    lines.append(border)
    g = look["grid"]
    if g:
        lines.append("set grid xtics ytics %s lt 1 lw %g lc rgb '%s' dt %d" % ("mxtics mytics" if g["minor"] and look["minor"] else "",
                                                                              g["width"], g["colour"], g["dash"]))
    if look["labels"] == "key":
        key = look["key"]
        lines.append("set key %s %s %s" % (key["at"], "box" if key["box"] else "nobox", "opaque" if key["opaque"] else ""))
    else:
        lines.append("unset key")
    plots = []
    for i, c in enumerate(chart["curves"]):
        cy = axes[c["axis"]]
        lo, hi = c["x_range"]
        style = c["look"]
        with_ = "lines lw %g lc rgb '%s' dt %d" % (style["width"], style["colour"], style["dash"])
        if style.get("points"):
            with_ = "linespoints lw %g lc rgb '%s' dt %d pt %d pi %d ps %g" % (style["width"], style["colour"], style["dash"], style["points"], 25, 0.8)
        name = ("title %s" % quote(c["label"])) if look["labels"] == "key" else "notitle"
        plots.append("[x=%r:%r] %s axes x1%s with %s %s" % (shown(xa, lo), shown(xa, hi), function_text(c["function"], xa, cy),
                                                          "y2" if c["axis"] == "y2" and chart.get("twin") == "quantities" else "y1", with_, name))
        if look["labels"] in ("end", "beside"):
            if look["labels"] == "end":
                x = hi
                place = "offset char 0.6,0 left"
            else:
                a, b = lo, hi
                f = style["beside_at"]
                x = 10 ** (math.log10(a) + f * (math.log10(b) - math.log10(a))) if xa["scale"] == "log" else a + f * (b - a)
                place = "offset 0,char 0.9 center"
            y = value(c["function"], x)
            lines.append("set label %s at %s%r,%s%r %s front%s" % (
                quote(c["label"]), "first " if True else "", shown(xa, x), "second " if c["axis"] == "y2" and chart.get("twin") == "quantities" else "first ",
                shown(cy, y), place, " textcolor rgb '%s'" % style["colour"] if look["label_colour"] else ""))
    lines.append("set samples %d" % 800)
    lines.append("plot sample " + ", \\\n     ".join(plots))
    return lines


def draw(plan, path):
    """Draws the plan's one chart; returns (width, height, [chart truth])."""
    chart = plan["charts"][0]
    page = plan["page"]
    with tempfile.TemporaryDirectory() as work:
        values = os.path.join(work, "values")
        output = os.path.join(work, "page.pdf") if page["terminal"] == "pdfcairo" else path
        lines = script(plan, chart, output)
        lines += ["set print %s" % quote(values),
                  "print GPVAL_TERM_XMIN, GPVAL_TERM_XMAX, GPVAL_TERM_YMIN, GPVAL_TERM_YMAX, GPVAL_TERM_XSIZE, GPVAL_TERM_YSIZE, GPVAL_TERM_SCALE",
                  "unset output"]
        run = subprocess.run(["gnuplot"], input="\n".join(lines) + "\n", text=True, capture_output=True)
        if run.returncode != 0:
            raise RuntimeError("gnuplot: " + run.stderr)
        xmin, xmax, ymin, ymax, xsize, ysize, scale = (float(v) for v in open(values).read().split())
        if page["terminal"] == "pdfcairo":
            dpi = page["dpi"]
            base = path[:-4]
            subprocess.run(["pdftoppm", "-r", str(dpi), "-png", "-singlefile", output, base], check=True)
            k = dpi / 72
            with Image.open(path) as drawn:
                width, height = drawn.size
            # cairo makes the page a whole number of points high: y is flipped about that.
            info = subprocess.run(["pdfinfo", output], capture_output=True, text=True, check=True).stdout
            points_high = float(re.search(r"Page size:\s+[\d.]+ x ([\d.]+) pts", info).group(1))
        else:
            k = 1.0
            width, height = page["size"]
            points_high = height
    # Terminal units to pixels: centres on whole units, y upwards (pdfcairo: in points, then scaled).
    to_col = lambda u: (u + 0.5) * k
    to_row = lambda v: (points_high - 0.5 - v) * k
    axes = chart["axes"]
    maps = geometry.axis_maps(axes, to_col(xmin), to_col(xmax), to_row(ymax), to_row(ymin))
    corners = [(to_col(xmin), to_row(ymax)), (to_col(xmax), to_row(ymax)), (to_col(xmax), to_row(ymin)), (to_col(xmin), to_row(ymin))]
    out_axes = {}
    for name, axis in axes.items():
        out = dict(axis)
        out["title_text"] = title(axis, chart["look"])
        out["end_text"] = ""
        out["ticks"] = []
        out_axes[name] = out
    curves = []
    for c in chart["curves"]:
        entry = {k2: v for k2, v in c.items() if k2 != "look"}
        entry.update(colour=c["look"]["colour"], line=["solid", "dashed", "dotted", "dashdot"][c["look"]["dash"] - 1],
                     width_px=c["look"]["width"] * k, marker=c["look"].get("points"))
        curves.append(entry)
    return width, height, [{"plot_area": [list(p) for p in corners], "axes": out_axes, "to_pixel": maps, "curves": curves,
                            "twin": chart.get("twin"), "kind": chart.get("kind")}]
