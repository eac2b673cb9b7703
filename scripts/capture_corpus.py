"""Draws the 72 chart pages of measure_capture_corpus.sh (the earlier corpus) and reads them with digitora.

Usage: capture_corpus.py DIGITORA WORKDIR [PATTERN]. Prints a line per page
and per curve, then the totals the README quotes. Pages already drawn in
WORKDIR are read again as they are (the LibreOffice plot areas are kept in
frames.json there); with PATTERN, only the pages whose name contains it.
"""
import json, math, os, re, subprocess, sys, time

import matplotlib
matplotlib.use("Agg")
import matplotlib.pyplot as plt
from matplotlib.ticker import FuncFormatter

digitora, work = sys.argv[1:3]
only = sys.argv[3] if len(sys.argv) > 3 else ""
W, H, L, R, B, T = 1000, 750, 100, 950, 675, 37.5
TAB = ["#1f77b4", "#ff7f0e", "#2ca02c", "#d62728", "#9467bd"]


def kinds(seed):
    """Each kind of page: axes, log axes, curves (colour, label, function), grey iso-lines, black and white."""
    k = 1 + 0.12 * seed
    pump = lambda h, a: (lambda x: h - a * x * x)
    yield dict(name="colour", x=(0, 150), y=(0, 50), log=False, bw=False, comma=False,
               curves=[(TAB[i], "curva %d" % (i + 1), pump(46 - 7 * i, 0.0016 * k - 0.0001 * i)) for i in range(5)],
               iso=[(lambda x, c=c: c + 0.12 * x) for c in (5, 12, 19)])
    yield dict(name="pump", x=(0, 60), y=(0, 40), log=False, bw=True, comma=False,
               curves=[("#000000", "D=%d" % d, pump(26 + 5 * j, 0.004 * k)) for j, d in enumerate((200, 215, 230))], iso=[])
    yield dict(name="log-log", x=(1, 1000), y=(1, 1e6), log=True, bw=False, comma=False,
               curves=[(TAB[0], "batteria A", lambda x: 3 * x ** (1.8 * k / 1.12) / (1 + x / 400)),
                       (TAB[3], "batteria B", lambda x: 0.5 * x ** 1.5)], iso=[])
    yield dict(name="comma", x=(0, 1.5), y=(0, 5), log=False, bw=False, comma=True,
               curves=[(TAB[i], "serie %d" % (i + 1), (lambda x, i=i: 4.5 - 0.9 * i - (1.2 + 0.1 * seed) * x * x)) for i in range(3)],
               iso=[])


def scaled(page, v, axis):
    return math.log10(v) if page["log"] else v


def pixel(page, x, y, zoom):
    """Where the drawing puts (x, y): the plot area's edges (left, right, top, bottom) at zoom 1."""
    (x0, x1), (y0, y1) = page["x"], page["y"]
    left, right, top, bottom = page.get("frame", (L, R, T, B))
    s = lambda v, a: scaled(page, v, a)
    px = left + (right - left) * (s(x, 0) - s(x0, 0)) / (s(x1, 0) - s(x0, 0))
    py = bottom + (top - bottom) * (s(y, 1) - s(y0, 1)) / (s(y1, 1) - s(y0, 1))
    return px * zoom, py * zoom


def samples(page, n=400):
    (x0, x1) = page["x"]
    if page["log"]:
        return [10 ** (math.log10(x0) + (math.log10(x1) - math.log10(x0)) * i / n) for i in range(n + 1)]
    return [x0 + (x1 - x0) * i / n for i in range(n + 1)]


def inside(page, y):
    y0, y1 = page["y"]
    return y0 <= y <= y1 and (not page["log"] or y > 0)


def gnuplot(page, path, zoom):
    lines = ["set terminal pngcairo size %d,%d font 'DejaVu Sans,%d'" % (W * zoom, H * zoom, 11 * zoom),
             "set output '%s'" % path,
             "set lmargin at screen %g; set rmargin at screen %g" % (L / W, R / W),
             "set bmargin at screen %g; set tmargin at screen %g" % (1 - B / H, 1 - T / H),
             "set border lw %g" % (1.5 * zoom), "set xrange [%g:%g]; set yrange [%g:%g]" % (page["x"] + page["y"]),
             "set samples 1000", "set xlabel 'Portata [m3/h]'; set ylabel 'Prevalenza [m]'"]
    if page["log"]:
        lines += ["set logscale xy", "set format y '10^{%L}'", "set grid xtics ytics lt 1 lw %g lc rgb '#c0c0c0'" % zoom]
    else:
        lines += ["set grid lt 1 lw %g lc rgb '%s'" % (0.5 * zoom, "black" if page["bw"] else "#c0c0c0")]
    if page["comma"]:
        lines += ["set decimalsign ','"]
    plots = []
    for i, (colour, label, f) in enumerate(page["curves"]):
        expr = "(%s)" % function_text(page, i)
        if page["bw"]:
            xl = page["x"][0] + 0.62 * (page["x"][1] - page["x"][0])
            lines.append("set label '%s' at %g,%g front" % (label, xl, f(xl) + 0.04 * (page["y"][1] - page["y"][0])))
            plots.append("%s lw %g lc rgb 'black' notitle" % (expr, 2 * zoom))
        else:
            plots.append("%s lw %g lc rgb '%s' title '%s'" % (expr, 2 * zoom, colour, label))
    for j, _ in enumerate(page["iso"]):
        plots.append("%g + 0.12*x lw %g dt 2 lc rgb '#999999' notitle" % ((5, 12, 19)[j], zoom))
    lines.append("set key top right box opaque" if not page["bw"] else "unset key")
    lines.append("plot " + ", ".join(plots))
    subprocess.run(["gnuplot"], input="\n".join(lines), text=True, check=True)


def function_text(page, i):
    return page["texts"][i]


def matplot(page, path, zoom):
    fig = plt.figure(figsize=(W / 100, H / 100), dpi=100 * zoom)
    ax = fig.add_axes([L / W, 1 - B / H, (R - L) / W, (B - T) / H])
    xs = samples(page, 1000)
    for colour, label, f in page["curves"]:
        pts = [(x, f(x)) for x in xs if inside(page, f(x))]
        ax.plot([p[0] for p in pts], [p[1] for p in pts], color="black" if page["bw"] else colour, lw=1.5, label=label)
        if page["bw"]:
            xl = page["x"][0] + 0.62 * (page["x"][1] - page["x"][0])
            ax.text(xl, f(xl) + 0.04 * (page["y"][1] - page["y"][0]), label, fontsize=11)
    for iso in page["iso"]:
        ax.plot(xs, [iso(x) for x in xs], color="#999999", lw=0.8, ls="--")
    if page["log"]:
        ax.set_xscale("log"); ax.set_yscale("log")
    ax.set_xlim(*page["x"]); ax.set_ylim(*page["y"])
    ax.grid(True, color="black" if page["bw"] else "#cccccc", lw=0.5)
    if page["comma"]:
        comma = FuncFormatter(lambda v, _: ("%g" % v).replace(".", ","))
        ax.xaxis.set_major_formatter(comma); ax.yaxis.set_major_formatter(comma)
    if not page["bw"]:
        ax.legend(loc="upper right")
    ax.set_xlabel("Portata [m3/h]"); ax.set_ylabel("Prevalenza [m]")
    fig.savefig(path); plt.close(fig)


class LibreOffice:
    """Calc, started once without a window, draws each page as an XY chart on
    a landscape A4 sheet, saved as PDF; it tells where the plot area lies."""

    def __init__(self):
        import uno
        self.uno = uno
        pipe = "calvero_pages_%d" % os.getpid()
        self.office = subprocess.Popen(
            ["soffice", "--headless", "--invisible", "--norestore", "--nologo",
             "-env:UserInstallation=file://%s/lo_profile" % work, "--accept=pipe,name=%s;urp;" % pipe],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        local = uno.getComponentContext()
        resolver = local.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local)
        for _ in range(200):
            try:
                ctx = resolver.resolve("uno:pipe,name=%s;urp;StarOffice.ComponentContext" % pipe)
                break
            except Exception:
                time.sleep(0.3)
        self.desktop = ctx.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", ctx)

    def prop(self, name, value):
        from com.sun.star.beans import PropertyValue
        p = PropertyValue(); p.Name = name; p.Value = value
        return p

    def draw(self, page, pdf):
        """Draws the page into pdf; returns the plot area (left, right, top, bottom) in pixels at 100 dpi."""
        from com.sun.star.awt import Rectangle
        from com.sun.star.table import CellRangeAddress
        from com.sun.star.lang import Locale
        doc = self.desktop.loadComponentFromURL("private:factory/scalc", "_blank", 0, (self.prop("Hidden", True),))
        style = doc.StyleFamilies.getByName("PageStyles").getByName("Default")
        style.HeaderIsOn = False; style.FooterIsOn = False; style.IsLandscape = True
        style.Width, style.Height = 29700, 21000
        style.LeftMargin = style.RightMargin = style.TopMargin = style.BottomMargin = 1000
        doc.Sheets.insertNewByName("dati", 1)
        data = doc.Sheets.getByName("dati")
        xs = samples(page, 200)
        header = tuple(["x"] + [label for _, label, _ in page["curves"]])
        rows = [tuple([x] + [f(x) if inside(page, f(x)) else "" for _, _, f in page["curves"]]) for x in xs]
        n = len(page["curves"])
        data.getCellRangeByPosition(0, 0, n, 0).setDataArray((header,))
        data.getCellRangeByPosition(0, 1, n, len(rows)).setDataArray(tuple(rows))
        sheet = doc.Sheets.getByIndex(0)
        area = CellRangeAddress(); area.Sheet = 1; area.StartColumn = 0; area.StartRow = 0; area.EndColumn = n; area.EndRow = len(rows)
        rect = Rectangle(); rect.X = 0; rect.Y = 0; rect.Width = 26000; rect.Height = 18000
        sheet.Charts.addNewByName("grafico", rect, (area,), True, False)
        chart = sheet.Charts.getByName("grafico").EmbeddedObject
        diagram = chart.createInstance("com.sun.star.chart.XYDiagram")
        chart.setDiagram(diagram)
        diagram.HasXAxisGrid = True
        for axis, (low, high) in ((diagram.getXAxis(), page["x"]), (diagram.getYAxis(), page["y"])):
            axis.AutoMin = axis.AutoMax = False
            axis.Logarithmic = page["log"]
            axis.Min, axis.Max = low, high
            if page["comma"]:
                axis.LinkNumberFormatToSource = False
                axis.NumberFormat = doc.NumberFormats.getStandardFormat(0, Locale("it", "IT", ""))
        for i, (colour, _, _) in enumerate(page["curves"]):
            series = diagram.getDataRowProperties(i + 1)  # row 0 holds the x values
            series.SymbolType = -3
            series.LineWidth = 50
            series.setPropertyValue("Color", 0 if page["bw"] else int(colour[1:], 16))
        chart.HasLegend = not page["bw"]
        doc.calculateAll()
        plot = diagram.calculateDiagramPositionExcludingAxes()
        doc.storeToURL("file://" + pdf, (self.prop("FilterName", "calc_pdf_Export"),))
        doc.close(True)
        at = lambda hundredths: (1000 + hundredths) / 2540 * 100
        return at(plot.X), at(plot.X + plot.Width), at(plot.Y), at(plot.Y + plot.Height)

    def close(self):
        try:
            self.desktop.terminate()
        except Exception:
            pass
        self.office.wait(timeout=60)


def scan(source, target, zoom):
    subprocess.run(["convert", "-seed", "3", source, "-blur", "0x%g" % (0.8 * zoom), "+level", "6%,92%",
                    "-attenuate", "0.5", "+noise", "Gaussian", "-quality", "70", target], check=True)


AXIS = re.compile(r"asse ([xy]) (lineare|logaritmico): (\S+) in ([-\d.]+),([-\d.]+), (\S+) in ([-\d.]+),([-\d.]+)")


def axes_right(page, stderr, zoom):
    found = {m.group(1): m.groups() for m in AXIS.finditer(stderr)}
    if set(found) != {"x", "y"}:
        return False
    for axis, (_, kind, v1, p1x, p1y, v2, p2x, p2y) in found.items():
        if (kind == "logaritmico") != page["log"]:
            return False
        left, right, top, bottom = page.get("frame", (L, R, T, B))
        span = (right - left if axis == "x" else bottom - top) * zoom
        for v, px, py in ((v1, p1x, p1y), (v2, p2x, p2y)):
            v = float(v)
            if page["log"] and v <= 0:
                return False
            want = pixel(page, v, page["y"][0], zoom)[0] if axis == "x" else pixel(page, page["x"][0], v, zoom)[1]
            got = float(px) if axis == "x" else float(py)
            if abs(got - want) > 0.005 * span:
                return False
    return True


def read_points(text):
    return [tuple(float(v) for v in l.split(";")) for l in text.splitlines() if l.strip() and not l.startswith("#")]


def errors(page, f, pts):
    s = lambda v: math.log10(v) if page["log"] else v
    (x0, x1), (y0, y1) = page["x"], page["y"]
    good = [(x, y) for x, y in pts if (x > 0 and y > 0) or not page["log"]]
    if not good:
        return None, 0
    errs = sorted(abs(s(y) - s(f(x))) / abs(s(y1) - s(y0)) * 100 for x, y in good)
    # Of the x range where the curve is inside the plot (a pump curve may leave it at the bottom).
    drawn = [x for x in samples(page, 2000) if inside(page, f(x))]
    cover = (s(max(x for x, _ in good)) - s(min(x for x, _ in good))) / (s(max(drawn)) - s(min(drawn))) * 100
    return errs[len(errs) // 2], cover


class Frames:
    """The plot areas Calc reported, kept beside the pages so they are read again without Calc."""

    def __init__(self):
        self.path = os.path.join(work, "frames.json")
        self.known = json.load(open(self.path)) if os.path.exists(self.path) else {}
        self.office = None

    def frame(self, page, pdf):
        name = os.path.basename(pdf)
        if name not in self.known or not os.path.exists(pdf):
            if self.office is None:
                self.office = LibreOffice()
            self.known[name] = self.office.draw(page, pdf)
            for old in [f for f in os.listdir(work) if f.startswith(name[:-4] + "_")]:
                os.remove(os.path.join(work, old))
            json.dump(self.known, open(self.path, "w"))
        return tuple(self.known[name])

    def close(self):
        if self.office is not None:
            self.office.close()


def page_files(program, page, seed, frames):
    """The page's pictures: (variant, file, zoom) as drawn, scanned at 150 and at 300 dpi."""
    base = os.path.join(work, "%s_%s_%d" % (program, page["name"], seed))
    if program == "libreoffice":
        page["frame"] = frames.frame(page, base + ".pdf")
        files = []
        for variant, dpi in (("disegno", 100), ("scan 150 dpi", 150), ("scan 300 dpi", 300)):
            drawn = "%s_%d.png" % (base, dpi)
            if not os.path.exists(drawn):
                subprocess.run(["pdftoppm", "-r", str(dpi), "-png", "-singlefile", base + ".pdf", "%s_%d" % (base, dpi)], check=True)
            files.append((variant, drawn, dpi / 100))
        return [(v, f if v == "disegno" else scanned(f, base, v, z), z) for v, f, z in files]
    page.pop("frame", None)
    files = []
    for variant, zoom in (("disegno", 1), ("scan 150 dpi", 1), ("scan 300 dpi", 2)):
        drawn = base + ("_2x" if zoom == 2 else "") + ".png"
        if not os.path.exists(drawn):
            (gnuplot if program == "gnuplot" else matplot)(page, drawn, zoom)
        files.append((variant, drawn if variant == "disegno" else scanned(drawn, base, variant, zoom), zoom))
    return files


def scanned(drawn, base, variant, zoom):
    path = base + "_%s.jpg" % variant.split()[1]
    if not os.path.exists(path):
        scan(drawn, path, zoom)
    return path


def main():
    pages = axes_ok = axes_told = axes_silent = 0
    curves = within = silent = told = family_ok = families = family_told = family_silent = 0
    by_program = {}
    frames = Frames()
    try:
        for seed in range(2):
            for page in kinds(seed):
                page["texts"] = [expression(page, f, seed, i) for i, (_, _, f) in enumerate(page["curves"])]
                for program in ("gnuplot", "matplotlib", "libreoffice"):
                    if only and only not in "%s_%s_%d" % (program, page["name"], seed):
                        continue
                    for variant, path, zoom in page_files(program, page, seed, frames):
                        pages += 1
                        run = subprocess.run([digitora, "--extract", path, "--auto-axes", "--colour", "#000000", "--points", "4"],
                                             capture_output=True, text=True)
                        right = axes_right(page, run.stderr, zoom)
                        axes_ok += right
                        axes_told += (not right) and run.returncode == 3 and "assi letti" not in run.stderr
                        axes_silent += (not right) and "assi letti" in run.stderr
                        stats = by_program.setdefault(program, [0, 0, 0, 0])
                        stats[0] += 1
                        stats[1] += right
                        name = "%s %s %s %d" % (program, page["name"], variant, seed)
                        print("%-44s assi %s" % (name, "giusti" if right else ("non letti (3)" if "assi letti" not in run.stderr else "SBAGLIATI")))
                        if not right and "assi letti" in run.stderr:
                            print("        " + run.stderr.replace("\n", "\n        ").rstrip())
                        for colour, label, f in page["curves"]:
                            args = [digitora, "--extract", path, "--auto-axes", "--colour", colour, "--points", "60"]
                            if page["bw"]:
                                xs = page["x"][0] + 0.3 * (page["x"][1] - page["x"][0])
                                px, py = pixel(page, xs, f(xs), zoom)
                                args += ["--start", "%.1f,%.1f" % (px, py)]
                            run = subprocess.run(args, capture_output=True, text=True)
                            median, cover = errors(page, f, read_points(run.stdout))
                            curves += 1
                            ok = run.returncode == 0 and median is not None and median <= 0.25 and cover >= 85
                            within += ok
                            stats[2] += 1
                            stats[3] += ok
                            bad = run.returncode == 0 and (median is None or median > 1)
                            silent += bad
                            told += run.returncode != 0
                            print("    %-10s %-12s exit %d  mediana %s  copertura %s%s" % (
                                colour, label, run.returncode, "-" if median is None else "%.3f %%" % median,
                                "%.1f %%" % cover, "  SBAGLIATA IN SILENZIO" if bad else ""))
                        if page["bw"] and program != "libreoffice":
                            families += 1
                            run = subprocess.run([digitora, "--extract", path, "--auto-axes", "--all-curves", "--points", "20"],
                                                 capture_output=True, text=True)
                            blocks = {}
                            for l in run.stdout.splitlines():
                                if l.count(";") == 2:
                                    x, d, y = (float(v) for v in l.split(";"))
                                    blocks.setdefault(d, []).append((x, y))
                            # Each D with the points of the curve drawn with that label.
                            want = {float(label[2:]): f for _, label, f in page["curves"]}
                            right = sorted(blocks) == sorted(want) and all(
                                errors(page, want[d], pts)[0] <= 1 for d, pts in blocks.items())
                            family_ok += right and run.returncode == 0
                            family_told += (not right or run.returncode != 0) and run.returncode == 3
                            family_silent += not right and run.returncode == 0
                            print("    --all-curves: exit %d, parametri %s%s" % (
                                run.returncode, sorted(blocks), "" if right or run.returncode else "  SBAGLIATI IN SILENZIO"))
    finally:
        frames.close()
    print()
    for program, (n, right, c, ok) in by_program.items():
        print("%-12s pagine %3d, assi giusti %3d; curve %3d, entro gli obiettivi %3d" % (program, n, right, c, ok))
    print("pagine %d: assi giusti %d (%.1f %%), non letti e detto (exit 3) %d, sbagliati in silenzio %d"
          % (pages, axes_ok, 100.0 * axes_ok / pages, axes_told, axes_silent))
    print("curve %d: entro gli obiettivi con exit 0 %d (%.1f %%), exit diverso da 0 %d, sbagliate in silenzio %d"
          % (curves, within, 100.0 * within / curves, told, silent))
    print("famiglie di pompe con --all-curves: %d su %d con ogni curva al suo parametro D (exit 0), "
          "%d con exit 3, sbagliate in silenzio %d" % (family_ok, families, family_told, family_silent))


def expression(page, f, seed, i):
    """The gnuplot text of the curve function (the same numbers as f)."""
    k = 1 + 0.12 * seed
    if page["name"] == "colour":
        return "%r - %r*x*x" % (46 - 7 * i, 0.0016 * k - 0.0001 * i)
    if page["name"] == "pump":
        return "%r - %r*x*x" % (26 + 5 * i, 0.004 * k)
    if page["name"] == "log-log":
        return ("3*x**%r/(1 + x/400)" % (1.8 * k / 1.12)) if i == 0 else "0.5*x**1.5"
    return "%r - %r*x*x" % (4.5 - 0.9 * i, 1.2 + 0.1 * seed)


if __name__ == "__main__":
    main()
