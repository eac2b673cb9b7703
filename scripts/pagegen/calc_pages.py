"""Pages drawn by LibreOffice Calc: an XY chart on an A4 landscape sheet
saved as PDF and rendered by pdftoppm. Calc, started once per process without
a window, tells where it put the plot area."""
import atexit
import math
import os
import shutil
import subprocess
import tempfile
import time

from . import geometry
from .contents import value

MARGIN = 1000  # the page's margins, 1/100 mm: the chart's corner on the printed page
_office = None


class Office:
    def __init__(self):
        import uno
        self.uno = uno
        self.profile = tempfile.mkdtemp(prefix="calvero_lo_")
        pipe = "calvero_pages_%d" % os.getpid()
        self.process = subprocess.Popen(
            ["soffice", "--headless", "--invisible", "--norestore", "--nologo", "-env:UserInstallation=file://%s" % self.profile,
             "--accept=pipe,name=%s;urp;" % pipe], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        local = uno.getComponentContext()
        resolver = local.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local)
        for _ in range(300):
            try:
                ctx = resolver.resolve("uno:pipe,name=%s;urp;StarOffice.ComponentContext" % pipe)
                break
            except Exception:
                time.sleep(0.3)
        self.desktop = ctx.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", ctx)
        atexit.register(self.close)

    def close(self):
        try:
            self.desktop.terminate()
        except Exception:
            pass
        try:
            self.process.wait(timeout=30)
        except Exception:
            self.process.kill()
        shutil.rmtree(self.profile, ignore_errors=True)


def office():
    global _office
    if _office is None:
        _office = Office()
    return _office


def prop(name, value_):
    import uno  # noqa: F401
    from com.sun.star.beans import PropertyValue
    p = PropertyValue()
    p.Name, p.Value = name, value_
    return p


def samples(axis, lo, hi, n):
    if axis["scale"] == "log":
        return [10 ** (math.log10(lo) + (math.log10(hi) - math.log10(lo)) * i / n) for i in range(n + 1)]
    return [lo + (hi - lo) * i / n for i in range(n + 1)]


def title(axis, look):
    return {"bracket": "%s [%s]", "paren": "%s (%s)", "comma": "%s, %s"}[look["titles"]] % (axis["title"], axis["unit"])


def set_axis(axis_object, axis, doc, look):
    import uno  # noqa: F401 (lets com.sun.star be imported)
    from com.sun.star.lang import Locale
    axis_object.AutoMin = axis_object.AutoMax = False
    axis_object.Logarithmic = axis["scale"] == "log"
    axis_object.Min, axis_object.Max = axis["range"]
    axis_object.CharHeight = look["font_size"]
    axis_object.CharFontName = look["font"]
    if look["decimal"] == ",":
        axis_object.LinkNumberFormatToSource = False
        axis_object.NumberFormat = doc.NumberFormats.getStandardFormat(0, Locale("it", "IT", ""))


def draw(plan, path, folder):
    """Draws the plan's chart; returns (width, height, [chart truth])."""
    import uno
    from com.sun.star.awt import Rectangle
    from com.sun.star.table import CellRangeAddress
    chart_plan = plan["charts"][0]
    look, axes = chart_plan["look"], chart_plan["axes"]
    lo_ = office()
    doc = lo_.desktop.loadComponentFromURL("private:factory/scalc", "_blank", 0, (prop("Hidden", True),))
    try:
        style = doc.StyleFamilies.getByName("PageStyles").getByName("Default")
        style.HeaderIsOn = False
        style.FooterIsOn = False
        style.IsLandscape = True
        style.Width, style.Height = 29700, 21000
        style.LeftMargin = style.RightMargin = style.TopMargin = style.BottomMargin = MARGIN
        doc.Sheets.insertNewByName("dati", 1)
        data = doc.Sheets.getByName("dati")
        curves = chart_plan["curves"]
        # One x column: the axis sampled, with every curve's ends; a curve's cells are empty beyond its stretch.
        xs = sorted(set(samples(axes["x"], *axes["x"]["range"], 400) + [v for c in curves for v in c["x_range"]]))
        table = [["x"] + [c["label"] for c in curves]]
        for x in xs:
            table.append([x] + [value(c["function"], x) if c["x_range"][0] <= x <= c["x_range"][1] else "" for c in curves])
        rows = len(xs)
        data.getCellRangeByPosition(0, 0, len(curves), rows).setDataArray(tuple(tuple(r) for r in table))
        sheet = doc.Sheets.getByIndex(0)
        area = CellRangeAddress()
        area.Sheet, area.StartColumn, area.StartRow, area.EndColumn, area.EndRow = 1, 0, 0, len(curves), rows
        rect = Rectangle()
        rect.X, rect.Y, rect.Width, rect.Height = 0, 0, look["chart_size"][0], look["chart_size"][1]
        sheet.Charts.addNewByName("grafico", rect, (area,), True, False)
        chart = sheet.Charts.getByName("grafico").EmbeddedObject
        chart.setDiagram(chart.createInstance("com.sun.star.chart.XYDiagram"))
        diagram = chart.getDiagram()
        twin = "y2" in axes and chart_plan.get("twin") == "quantities"
        diagram.HasXAxisGrid = look["x_grid"]
        diagram.HasYAxisGrid = look["y_grid"]
        diagram.HasXAxisHelpGrid = look["minor_grid"]
        diagram.HasYAxisHelpGrid = look["minor_grid"]
        set_axis(diagram.getXAxis(), axes["x"], doc, look)
        set_axis(diagram.getYAxis(), axes["y"], doc, look)
        diagram.HasXAxisTitle = diagram.HasYAxisTitle = True
        diagram.XAxisTitle.String = title(axes["x"], look)
        diagram.YAxisTitle.String = title(axes["y"], look)
        if twin:
            diagram.HasSecondaryYAxis = True
            set_axis(diagram.getSecondaryYAxis(), axes["y2"], doc, look)
            diagram.HasSecondaryYAxisTitle = True
            diagram.SecondYAxisTitle.String = title(axes["y2"], look)
        for i, c in enumerate(curves):
            series = diagram.getDataRowProperties(i + 1)  # row 0 holds the x values
            series.setPropertyValue("SymbolType", -3)
            if twin and c["axis"] == "y2":
                series.setPropertyValue("Axis", 2)  # com.sun.star.chart.ChartAxisAssign.SECONDARY_Y
        # The line's look through the newer chart API, which keeps a dashed line dashed.
        drawn = chart.getFirstDiagram().getCoordinateSystems()[0].getChartTypes()
        drawn = [s2 for t in drawn for s2 in t.getDataSeries()]
        for c, series in zip(curves, drawn):
            # The older API's axis choice does not always reach the drawing: say it here too.
            if twin and c["axis"] == "y2":
                series.setPropertyValue("AttachedAxisIndex", 1)
            series.setPropertyValue("Color", int(c["look"]["colour"][1:], 16))
            series.setPropertyValue("LineWidth", c["look"]["width"])
            if c["look"]["dash"]:
                dash = uno.createUnoStruct("com.sun.star.drawing.LineDash")
                dash.Style = uno.Enum("com.sun.star.drawing.DashStyle", "RECT")
                dash.Dots, dash.DotLen, dash.Dashes, dash.DashLen, dash.Distance = c["look"]["dash"]
                series.setPropertyValue("LineDash", dash)
                series.setPropertyValue("LineStyle", uno.Enum("com.sun.star.drawing.LineStyle", "DASH"))
        chart.HasLegend = look["legend"] is not None
        if look["legend"] is not None:
            chart.Legend.Alignment = uno.Enum("com.sun.star.chart.ChartLegendPosition", look["legend"])
            chart.Legend.CharHeight = look["font_size"]
        doc.calculateAll()
        plot = diagram.calculateDiagramPositionExcludingAxes()
        pdf = path[:-4] + ".pdf"
        doc.storeToURL("file://" + pdf, (prop("FilterName", "calc_pdf_Export"),))
    finally:
        doc.close(True)
    dpi = plan["page"]["dpi"]
    subprocess.run(["pdftoppm", "-r", str(dpi), "-png", "-singlefile", pdf, path[:-4]], check=True)
    os.remove(pdf)
    from PIL import Image
    with Image.open(path) as drawn:
        width, height = drawn.size
    at = lambda hundredths: (MARGIN + hundredths) / 2540 * dpi
    left, right, top, bottom = at(plot.X), at(plot.X + plot.Width), at(plot.Y), at(plot.Y + plot.Height)
    return width, height, [truth(chart_plan, left, right, top, bottom, dpi)]


def truth(chart, left, right, top, bottom, dpi):
    axes = chart["axes"]
    maps = geometry.axis_maps(axes, left, right, top, bottom)
    if "y2" in axes and chart.get("twin") == "units":
        k, c = chart["convert"]
        maps["y2"] = geometry.compose(maps["y"], [[1, 0, 0], [0, 1 / k, -c / k]])
    out_axes = {}
    for name, axis in axes.items():
        out_axes[name] = dict(axis, title_text=title(axis, chart["look"]), end_text="", ticks=[])
    curves = []
    for c in chart["curves"]:
        entry = {k: v for k, v in c.items() if k != "look"}
        entry.update(colour=c["look"]["colour"], line=c["look"]["line"], width_px=c["look"]["width"] / 2540 * dpi,
                     marker=c["look"]["marker"])
        curves.append(entry)
    return {"plot_area": [[left, top], [right, top], [right, bottom], [left, bottom]], "axes": out_axes, "to_pixel": maps,
            "curves": curves, "twin": chart.get("twin"), "kind": chart.get("kind")}
