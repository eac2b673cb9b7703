"""Pages drawn by matplotlib with its stock style sheets: one chart, two y
axes, stacked panels or an A4 catalogue page with text and a table. Where the
data go comes from matplotlib's own transforms."""
import math
import re
import warnings

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt
from matplotlib import colors as mcolors
from matplotlib import ticker

from . import geometry, tickformat
from .contents import value


def math_powers(text):
    """'10⁻³' as mathtext, which every font can draw."""
    digits = "⁰¹²³⁴⁵⁶⁷⁸⁹"
    return re.sub("10([⁻%s]+)" % digits, lambda m: "$10^{%s}$" % m.group(1).replace("⁻", "-").translate(
        str.maketrans(digits, "0123456789")), text)


def axis_title(axis, look):
    unit = axis["unit"]
    factor = axis.get("factor_text")
    factor = math_powers(factor) if factor else factor
    form = look.get("titles", "bracket")
    if factor and factor.startswith("["):  # "[×10³ m³/h]": the factor goes with the unit
        return "%s %s" % (axis["title"], factor.replace("UNIT", unit))
    name = axis["title"] + (" " + factor if factor else "")
    return {"bracket": "%s [%s]", "paren": "%s (%s)", "comma": "%s, %s"}[form] % (name, unit)


class CommaFormatter(ticker.Formatter):
    """Decimal commas and thousands separators, as many decimals as the tick step needs."""

    def __init__(self, decimal, thousands, minus):
        self.decimal, self.thousands, self.minus = decimal, thousands, minus

    def __call__(self, x, pos=None):
        locs = sorted(self.locs) if len(self.locs) > 1 else [0, 1]
        step = min(b - a for a, b in zip(locs, locs[1:]))
        return tickformat.number_text(x, tickformat.decimals_for(round(step, 9)), self.decimal, self.thousands, self.minus)


def shown(axis, v):
    """The number the axis shows for the true value v (a factor in the title divides it)."""
    return (v - axis.get("title_offset", 0)) / axis.get("title_multiplier", 1)


def apply_format(ax, which, axis, look):
    """Formats one axis' tick labels: returns the matplotlib axis object."""
    target = ax.xaxis if which == "x" else ax.yaxis
    fmt = axis.get("format", {"kind": "plain"})
    kind = fmt["kind"]
    if axis["scale"] == "log":
        if fmt.get("log_labels") == "plain":
            target.set_major_formatter(ticker.FuncFormatter(lambda v, _: tickformat.number_text(v, max(0, -int(math.floor(math.log10(v) + 1e-9))), fmt.get("decimal", "."), fmt.get("thousands", ""))))
        return target
    if kind in ("comma", "thousands"):
        target.set_major_formatter(CommaFormatter(fmt.get("decimal", ","), fmt.get("thousands", ""), fmt.get("minus", "−")))
        if fmt.get("step"):
            target.set_major_locator(ticker.MultipleLocator(fmt["step"]))
    elif kind == "sci":
        ax.ticklabel_format(axis="x" if which == "x" else "y", style="sci", scilimits=(0, 0), useMathText=fmt.get("math", False))
    elif kind == "offset":
        ax.ticklabel_format(axis="x" if which == "x" else "y", useOffset=fmt["offset"], useMathText=fmt.get("math", False))
    return target


def draw_curves(ax, chart, look, axes_for):
    """Plots the curves; returns (line, curve) pairs and the text artists of the curve labels."""
    lines = []
    for i, c in enumerate(chart["curves"]):
        target = axes_for(c["axis"])
        xa = chart["axes"]["x"]
        ya = chart["axes"][c["axis"]]
        a, b = c["x_range"]
        n = 800
        if xa["scale"] == "log":
            xs = [10 ** (math.log10(a) + (math.log10(b) - math.log10(a)) * k / n) for k in range(n + 1)]
        else:
            xs = [a + (b - a) * k / n for k in range(n + 1)]
        ys = [shown(ya, value(c["function"], x)) for x in xs]
        style = c["look"]
        kwargs = dict(lw=style["width"], ls=style["line"], label=c["label"] if look["labels"] == "legend" else None)
        if style.get("colour"):
            kwargs["color"] = style["colour"]
        if style.get("marker"):
            kwargs.update(marker=style["marker"], markevery=style.get("markevery", 80), markersize=style.get("markersize", 5))
        if c["role"] == "iso":
            kwargs["label"] = None
        (line,) = target.plot([shown(xa, x) for x in xs], ys, **kwargs)
        c["look"]["colour"] = mcolors.to_hex(line.get_color())
        lines.append((line, c))
    texts = []
    for line, c in lines:
        if c["role"] == "iso" or look["labels"] == "legend":
            continue
        target = axes_for(c["axis"])
        xa, ya = chart["axes"]["x"], chart["axes"][c["axis"]]
        size = look.get("label_size", 9)
        colour = c["look"]["colour"] if look.get("label_colour") else "black"
        box = dict(boxstyle="square,pad=0.1", fc="white", ec="none") if look.get("label_box") else None
        if look["labels"] == "end":
            x = c["x_range"][1]
            t = target.annotate(c["label"], (shown(xa, x), shown(ya, value(c["function"], x))), xytext=(4, 0),
                                textcoords="offset points", va="center", ha="left", fontsize=size, color=colour, bbox=box)
        else:
            a, b = c["x_range"]
            f = c["look"].get("beside_at", 0.5)
            x = 10 ** (math.log10(a) + f * (math.log10(b) - math.log10(a))) if xa["scale"] == "log" else a + f * (b - a)
            t = target.annotate(c["label"], (shown(xa, x), shown(ya, value(c["function"], x))), xytext=(0, 5),
                                textcoords="offset points", va="bottom", ha="center", fontsize=size, color=colour, bbox=box)
        texts.append((t, c))
    return lines, texts


def style_axes(ax, chart, look, twin=None):
    t = look["ticks"]
    if t:
        ax.tick_params(which="both", direction=t["direction"], top=t["mirror"], right=t["mirror"] and twin is None)
        if t["minor"]:
            ax.minorticks_on()
            if twin is not None:
                twin.minorticks_on()
        if twin is not None:
            twin.tick_params(which="both", direction=t["direction"])
    g = look["grid"]
    if g is None:
        ax.grid(False)
    elif g != "sheet":
        ax.grid(True, which="major", ls=g["line"], lw=g["width"], color=g["colour"])
        if g.get("minor") and t and t["minor"]:
            ax.grid(True, which="minor", ls=":", lw=g["width"] * 0.6, color=g["colour"])
    frame = look["frame"]
    for name, spine in ax.spines.items():
        if frame == "none" or (frame == "open" and name in ("top", "right") and twin is None):
            spine.set_visible(False)
        elif frame == "grey":
            spine.set_color(look.get("frame_colour", "#c8c8c8"))
    if twin is not None:
        for name, spine in twin.spines.items():
            if frame == "none":
                spine.set_visible(False)
            elif frame == "grey":
                spine.set_color(look.get("frame_colour", "#c8c8c8"))


def legend(ax, twin, look):
    handles, labels = ax.get_legend_handles_labels()
    if hasattr(twin, "get_legend_handles_labels"):  # twinx; a secondary axis holds no curves
        h2, l2 = twin.get_legend_handles_labels()
        handles, labels = handles + h2, labels + l2
    if not handles:
        return None
    lg = look["legend"]
    kwargs = dict(frameon=lg["frame"], framealpha=lg["alpha"], fontsize=lg.get("size", 9))
    if lg["loc"] == "outside":
        kwargs.update(loc="upper left", bbox_to_anchor=(1.02, 1.0), borderaxespad=0)
    elif lg["loc"] == "below":
        kwargs.update(loc="upper center", bbox_to_anchor=(0.5, -0.14), ncol=min(len(handles), 4))
    elif isinstance(lg["loc"], list):
        kwargs.update(loc="center", bbox_to_anchor=tuple(lg["loc"]))
    else:
        kwargs["loc"] = lg["loc"]
    holder = twin if hasattr(twin, "get_legend_handles_labels") else ax
    return holder.legend(handles, labels, **kwargs)


def draw_chart(fig, ax, chart, look):
    """Draws one chart into ax; returns a function giving its truth once the figure is laid out."""
    axes = chart["axes"]
    twin = None
    if "y2" in axes and chart.get("twin") == "quantities":
        twin = ax.twinx()
    elif "y2" in axes:
        k, c = chart["convert"]
        twin = ax.secondary_yaxis("right", functions=(lambda y: k * y + c, lambda y: (y - c) / k))
    axes_for = lambda name: twin if name == "y2" and chart.get("twin") == "quantities" else ax
    if axes["x"]["scale"] == "log":
        ax.set_xscale("log")
    if axes["y"]["scale"] == "log":
        ax.set_yscale("log")
    lines, texts = draw_curves(ax, chart, look, axes_for)
    ax.set_xlim(*[shown(axes["x"], v) for v in axes["x"]["range"]])
    ax.set_ylim(*[shown(axes["y"], v) for v in axes["y"]["range"]])
    if twin is not None and chart.get("twin") == "quantities":
        twin.set_ylim(*[shown(axes["y2"], v) for v in axes["y2"]["range"]])
    style_axes(ax, chart, look, twin)
    formatted = {"x": apply_format(ax, "x", axes["x"], look), "y": apply_format(ax, "y", axes["y"], look)}
    if twin is not None:
        formatted["y2"] = apply_format(twin, "y", axes["y2"], look)
    if look.get("x_title", True):
        ax.set_xlabel(axis_title(axes["x"], look))
    else:
        ax.tick_params(axis="x", labelbottom=False)
    ax.set_ylabel(axis_title(axes["y"], look))
    if twin is not None:
        twin.set_ylabel(axis_title(axes["y2"], look))
    box = legend(ax, twin, look) if look["labels"] == "legend" else None
    if look.get("title"):
        ax.set_title(look["title"], fontsize=look.get("title_size", 11))

    def truth(height):
        return chart_truth(fig, ax, twin, chart, formatted, lines, texts, box, height)

    return truth


def pixel_of(transform, height, x, y):
    dx, dy = transform.transform((x, y))
    return dx, height - dy


def chart_truth(fig, ax, twin, chart, formatted, lines, texts, leg, height):
    axes = chart["axes"]
    xa = axes["x"]
    renderer = fig.canvas.get_renderer()

    def to_pixel(target, name):
        ya = axes[name]
        (x0, x1), (y0, y1) = xa["range"], ya["range"]
        pts = []
        for x, y in ((x0, y0), (x1, y0), (x0, y1)):
            c, r = pixel_of(target.transData, height, shown(xa, x), shown(ya, y))
            pts.append((geometry.scaled(x, xa["scale"]), geometry.scaled(y, ya["scale"]), c, r))
        return geometry.through(pts)

    maps = {"y": to_pixel(ax, "y")}
    if "y2" in axes:
        if chart.get("twin") == "quantities":
            maps["y2"] = to_pixel(twin, "y2")
        else:
            k, c = chart["convert"]
            # y2 = k y + c, so sy = (sy2 - c) / k.
            maps["y2"] = geometry.compose(maps["y"], [[1, 0, 0], [0, 1 / k, -c / k]])
    corners = [pixel_of(ax.transAxes, height, u, v) for u, v in ((0, 1), (1, 1), (1, 0), (0, 0))]
    out_axes = {}
    for name, axis in axes.items():
        target = formatted.get(name)
        ticks = []
        if target is not None:
            lo, hi = sorted(shown(axis, v) for v in axis["range"])
            for loc, label in zip(target.get_majorticklocs(), target.get_majorticklabels()):
                if lo - 1e-9 * abs(hi - lo) <= loc <= hi + 1e-9 * abs(hi - lo) and label.get_visible() and label.get_text():
                    true = loc * axis.get("title_multiplier", 1) + axis.get("title_offset", 0)
                    ticks.append({"value": true, "label": tickformat.plain_text(label.get_text())})
            offset = tickformat.plain_text(target.get_offset_text().get_text()) if target.get_offset_text().get_visible() else ""
        else:
            offset = ""
        out = {k: v for k, v in axis.items() if k != "format"}
        out["format"] = axis.get("format", {"kind": "plain"})
        out["title_text"] = tickformat.plain_text(ax.get_xlabel() if name == "x" else ax.get_ylabel() if name == "y" else
                                                  (twin.get_ylabel() if twin is not None else ""))
        out["end_text"] = offset
        m = maps["y"] if name in ("x", "y") else maps["y2"]
        for t in ticks:
            s = geometry.scaled(t["value"], axis["scale"])
            if name == "x":
                base = geometry.scaled(axes["y"]["range"][0], axes["y"]["scale"])
                t["at"] = list(geometry.apply(m, s, base))
            else:
                base = geometry.scaled(xa["range"][0 if name == "y" else 1], xa["scale"])
                t["at"] = list(geometry.apply(m, base, s))
        out["ticks"] = ticks
        out_axes[name] = out
    curves = []
    for line, c in lines:
        entry = {k: v for k, v in c.items() if k != "look"}
        entry.update(colour=c["look"]["colour"], line={"-": "solid", "--": "dashed", ":": "dotted", "-.": "dashdot"}[c["look"]["line"]],
                     width_px=c["look"]["width"] * fig.dpi / 72, marker=c["look"].get("marker"))
        curves.append(entry)
    for t, c in texts:
        box = t.get_window_extent(renderer)
        for entry in curves:
            if entry["label"] == c["label"] and entry["axis"] == c["axis"]:
                entry["label_box"] = [box.x0, height - box.y1, box.x1, height - box.y0]
    result = {"plot_area": [list(p) for p in corners], "axes": out_axes, "to_pixel": maps, "curves": curves,
              "twin": chart.get("twin"), "kind": chart.get("kind")}
    if leg is not None:
        box = leg.get_window_extent(renderer)
        result["legend_box"] = [box.x0, height - box.y1, box.x1, height - box.y0]
    return result


def apply_rc(look):
    rc = {"font.family": look["font"], "font.size": look["font_size"], "axes.unicode_minus": look.get("unicode_minus", True)}
    return rc


def draw(plan, path):
    """Draws the plan's page to path (PNG); returns (width, height, [chart truth])."""
    warnings.filterwarnings("ignore", message=".*tight_layout.*")
    page = plan["page"]
    with plt.style.context(page["sheet"]), plt.rc_context(apply_rc(page)):
        dpi = page["dpi"]
        # Whole pixels: Agg cuts a fraction off the top, which would move everything by it.
        pixels = [int(round(v * dpi)) for v in page["size_in"]]
        fig = plt.figure(figsize=tuple((v + 1e-3) / dpi for v in pixels), dpi=dpi)
        width, height = int(fig.bbox.width), int(fig.bbox.height)
        truths = []
        if plan["layout"] == "stacked":
            n = len(plan["charts"])
            axs = fig.subplots(n, 1, sharex=True, gridspec_kw=dict(hspace=page.get("hspace", 0.08), height_ratios=page.get("ratios")))
            for i, (ax, chart) in enumerate(zip(axs, plan["charts"])):
                look = dict(chart["look"], x_title=(i == n - 1))
                truths.append(draw_chart(fig, ax, chart, look))
            fig.tight_layout(pad=page.get("pad", 1.0))
            fig.subplots_adjust(hspace=page.get("hspace", 0.08))
        elif plan["layout"] == "catalogue":
            for block in page["texts"]:
                fig.text(block["x"], block["y"], block["text"], fontsize=block["size"], weight=block.get("weight", "normal"),
                         va="top", ha="left", wrap=False, family=block.get("family"))
            if page.get("table"):
                table = page["table"]
                tax = fig.add_axes(table["rect"])
                tax.axis("off")
                tab = tax.table(cellText=table["rows"], colLabels=table["header"], loc="upper center", cellLoc="center")
                tab.auto_set_font_size(False)
                tab.set_fontsize(table["size"])
            for chart in plan["charts"]:
                ax = fig.add_axes(chart["rect"])
                truths.append(draw_chart(fig, ax, chart, chart["look"]))
        else:
            ax = fig.add_subplot()
            truths.append(draw_chart(fig, ax, plan["charts"][0], plan["charts"][0]["look"]))
            fig.tight_layout(pad=page.get("pad", 1.0))
        fig.canvas.draw()
        result = [t(height) for t in truths]
        fig.savefig(path, dpi=dpi, facecolor=fig.get_facecolor())
        plt.close(fig)
    return width, height, result
