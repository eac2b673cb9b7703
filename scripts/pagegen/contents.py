"""What a chart shows, in the true units of its quantities: the axes (range,
title, unit, scale) and the curves (function, label, the stretch of x where
they are drawn). The drawing programs only decide how it looks."""
import math

# Catalogue-like quantities: (title, unit).
FLOW = [("Portata", "m³/h"), ("Q", "m³/h"), ("Portata", "l/s"), ("Q", "l/min")]
HEAD = [("Prevalenza", "m"), ("H", "m"), ("Prevalenza", "kPa")]
POWER = [("Potenza assorbita", "kW"), ("P", "kW")]
EFFICIENCY = [("Rendimento", "%"), ("η", "%")]
NICE = [1, 1.2, 1.5, 2, 2.5, 3, 4, 5, 6, 8]


def nice_above(value):
    """The smallest catalogue-round number (1, 1.2, 1.5, 2, 2.5, ... times a power of ten) at least value."""
    power = 10 ** math.floor(math.log10(value))
    for n in NICE + [10]:
        if n * power >= value * 0.999:
            return n * power
    return 10 * power


def poly(*coef):
    return {"kind": "poly", "coef": list(coef)}


def value(function, x):
    if function["kind"] == "poly":
        return sum(c * x ** i for i, c in enumerate(function["coef"]))
    return function["a"] * x ** function["b"]  # power law


def axis(title, unit, low, high, scale="linear", side="bottom"):
    return {"title": title, "unit": unit, "range": [low, high], "scale": scale, "side": side,
            "multiplier": 1, "offset": 0}


def curve(function, label, xs, axis_name="y", role="curve"):
    return {"function": function, "label": label, "x_range": list(xs), "axis": axis_name, "role": role}


def clip(chart, c, n=2000):
    """Narrows the curve's x stretch to where it stays inside its axis' range (monotone curves: one stretch)."""
    a, b = c["x_range"]
    low, high = chart["axes"][c["axis"]]["range"]
    log = chart["axes"]["x"]["scale"] == "log"
    xs = [math.exp(math.log(a) + (math.log(b) - math.log(a)) * i / n) if log else a + (b - a) * i / n for i in range(n + 1)]
    inside = [x for x in xs if low <= value(c["function"], x) <= high]
    c["x_range"] = [min(inside), max(inside)] if len(inside) > 1 else None
    return c


def pump_family(rng, labels="D"):
    """Head curves of one pump with several impellers or speeds."""
    qmax = rng.choice([40, 60, 80, 100, 120, 150, 200, 250, 300])
    hmax = rng.choice([20, 25, 30, 40, 50, 60, 80])
    n = rng.randint(3, 5)
    base = rng.choice([160, 180, 200, 215, 250])
    step = rng.choice([10, 15, 20, 25])
    top = hmax * rng.uniform(0.78, 0.92)
    end = rng.uniform(0.72, 0.95)
    curves = []
    for i in range(n):
        h0 = top * (1 - 0.13 * (n - 1 - i) / max(1, n - 1) * 2.2)
        q_end = qmax * end * (h0 / top) ** 0.5
        a = (h0 - hmax * rng.uniform(0.12, 0.3)) / q_end ** 2
        b = rng.uniform(-0.05, 0.05) * h0 / qmax
        d = base + step * i
        name = {"D": "D=%d" % d, "Ø": "Ø %d" % d, "rpm": "n=%d rpm" % (1450 + 250 * i), "mm": "D %d mm" % d}[labels]
        curves.append(curve(poly(h0, b, -a), name, (0, q_end)))
    flow, head = rng.choice(FLOW), rng.choice(HEAD)
    return {"axes": {"x": axis(*flow, 0, qmax), "y": axis(*head, 0, hmax, side="left")}, "curves": curves}


def models(rng):
    """Catalogue page: the head curves of several pump models, each its own colour."""
    chart = pump_family(rng)
    names = rng.choice([["NM %d/%d" % (32 + 8 * i, 160 + 20 * i) for i in range(6)],
                        ["pompa %s" % c for c in "ABCDEF"], ["modello %d" % (i + 1) for i in range(6)],
                        ["CP %d" % (40 + 10 * i) for i in range(6)]])
    for c, name in zip(chart["curves"], names):
        c["label"] = name
    return chart


def compressor(rng):
    """Cooling capacity against evaporating temperature, one curve per condensing temperature."""
    low, high = rng.choice([(-40, 20), (-35, 15), (-30, 20), (-25, 15)])
    tcs = rng.choice([(30, 40, 50), (35, 45, 55), (30, 40, 50, 60), (25, 35, 45)])
    q0 = rng.choice([5, 8, 12, 20, 35, 60])
    qmax = nice_above(q0 * 2.1)
    form = rng.choice(["tc=%d °C", "tc %d°C", "Tc = %d °C", "%d °C"])
    curves = []
    for tc in tcs:
        k = q0 * (1 - 0.012 * (tc - 30))
        f = poly(k, k * 0.034, k * 0.00035)
        curves.append(curve(f, form % tc, (low + 0.1 * (high - low), low + 0.8 * (high - low))))
    return {"axes": {"x": axis("Temperatura di evaporazione", "°C", low, high),
                     "y": axis("Resa frigorifera", "kW", 0, qmax, side="left")}, "curves": curves}


def fan(rng):
    """Fan pressure against a flow of thousands of m³/h, one curve per speed."""
    qmax = rng.choice([8000, 12000, 15000, 20000, 25000, 40000])
    pmax = rng.choice([600, 800, 1000, 1200, 1500, 2000])
    n = rng.randint(3, 4)
    curves = []
    for i in range(n):
        r = 0.55 + 0.45 * i / (n - 1)
        p0 = pmax * 0.88 * r * r
        q_end = qmax * 0.9 * r
        curves.append(curve(poly(p0, 0, -(p0 * 0.8) / q_end ** 2), "n=%d rpm" % (700 + 300 * i), (0, q_end)))
    return {"axes": {"x": axis("Portata", "m³/h", 0, qmax), "y": axis("Pressione statica", "Pa", 0, pmax, side="left")},
            "curves": curves}


def heating(rng):
    """Heating curves: supply temperature against the outdoor one, one per slope (decimal numbers, negative x)."""
    low, high = rng.choice([(-20, 20), (-15, 20), (-25, 15)])
    slopes = rng.choice([(0.6, 1.0, 1.4), (0.8, 1.2, 1.6, 2.0), (1.0, 1.5, 2.0)])
    curves = []
    for s in slopes:
        f = poly(20 + s * 20, -s * 1.0, s * 0.004)
        curves.append(curve(f, "pendenza %s" % ("%g" % s).replace(".", ","), (low, high - 0.1 * (high - low))))
    return {"axes": {"x": axis("Temperatura esterna", "°C", low, high),
                     "y": axis("Temperatura di mandata", "°C", 10, 90, side="left")}, "curves": curves}


def pressure_drop(rng):
    """Log-log chart: pressure drop against flow, one power law per pipe size."""
    x0, x1 = rng.choice([(1, 1000), (0.1, 100), (10, 10000)])
    y0, y1 = rng.choice([(1, 1e5), (10, 1e5), (1, 1e4)])
    sizes = rng.choice([(25, 40, 65, 100), (20, 32, 50), (50, 80, 125, 200)])
    b = rng.uniform(1.75, 1.95)
    curves = []
    for i, dn in enumerate(sizes):
        # Each size reaches the top of the chart a third of a decade further right.
        xt = x1 * 10 ** (-0.45 * (len(sizes) - i) - 0.2)
        a = y1 * 0.8 / xt ** b
        curves.append(curve({"kind": "power", "a": a, "b": b}, "DN %d" % dn, (x0, x1)))
    return {"axes": {"x": axis("Portata", "l/s", x0, x1, "log"), "y": axis("Perdita di carico", "Pa/m", y0, y1, "log", "left")},
            "curves": curves}


def head_and_power(rng):
    """A pump's head on the left axis and its power or efficiency on the right one (two quantities)."""
    chart = pump_family(rng)
    chart["curves"] = chart["curves"][-rng.randint(1, 2):]
    qmax = chart["axes"]["x"]["range"][1]
    if rng.random() < 0.5:
        pmax = rng.choice([2, 3, 4, 5, 7.5, 10, 15])
        right = axis(*rng.choice(POWER), 0, pmax, side="right")
        extra = [curve(poly(pmax * 0.3 * (1 + 0.3 * i), pmax * 0.55 / qmax, -pmax * 0.05 / qmax ** 2),
                       "P%s" % ("" if len(chart["curves"]) == 1 else " " + c["label"]), (0, c["x_range"][1]), "y2")
                 for i, c in enumerate(chart["curves"])]
    else:
        right = axis(*rng.choice(EFFICIENCY), 0, 100, side="right")
        extra = [curve(poly(0, 4 * 78 / qmax * (1 - 0.05 * i), -4 * 78 / qmax ** 2 * 1.1), "η" if i == 0 else "η %d" % (i + 1),
                       (0, c["x_range"][1]), "y2") for i, c in enumerate(chart["curves"][:1])]
    for c in chart["curves"]:
        c["label"] = "H " + c["label"] if len(chart["curves"]) > 1 else "H"
    chart["axes"]["y2"] = right
    chart["curves"] += extra
    chart["twin"] = "quantities"
    return chart


def same_quantity(rng):
    """A second y axis that shows the left one in other units (m and ft, °C and °F, kPa and psi)."""
    kind = rng.choice(["head", "temperature", "pressure"])
    if kind == "temperature":
        chart = heating(rng)
        chart["axes"]["y2"] = axis("Temperatura di mandata", "°F", 50, 194, side="right")
        chart["convert"] = [1.8, 32]  # y2 = 1.8 y + 32
    else:
        chart = pump_family(rng)
        if kind == "head":
            chart["axes"]["y"].update(title="Prevalenza", unit="m")
            k = 3.28084
            unit = "ft"
        else:
            chart["axes"]["y"].update(title="Prevalenza", unit="kPa")
            k = 0.145038
            unit = "psi"
        low, high = chart["axes"]["y"]["range"]
        chart["axes"]["y2"] = axis("Prevalenza", unit, low * k, high * k, side="right")
        chart["convert"] = [k, 0]
    chart["twin"] = "units"
    return chart


def stacked(rng):
    """Head, power and NPSH of one pump in panels over one flow axis."""
    top = pump_family(rng)
    top["curves"] = top["curves"][-rng.randint(2, 3):]
    qmax = top["axes"]["x"]["range"][1]
    pmax = rng.choice([2, 3, 4, 5, 7.5, 10])
    power = {"axes": {"x": dict(top["axes"]["x"]), "y": axis(*rng.choice(POWER), 0, pmax, side="left")},
             "curves": [curve(poly(pmax * (0.25 + 0.12 * i), pmax * 0.5 / qmax, -pmax * 0.06 / qmax ** 2), c["label"],
                              c["x_range"]) for i, c in enumerate(top["curves"])]}
    npsh = {"axes": {"x": dict(top["axes"]["x"]), "y": axis("NPSH", "m", 0, rng.choice([4, 5, 6, 8, 10]), side="left")},
            "curves": [curve(poly(1.0 + 0.3 * i, 0, 3.0 / qmax ** 2), c["label"], c["x_range"]) for i, c in enumerate(top["curves"])]}
    return [finish(chart) for chart in [top, power, npsh][:rng.choice([2, 3])]]


KINDS = {"pump": pump_family, "models": models, "compressor": compressor, "fan": fan, "heating": heating,
         "pressure_drop": pressure_drop}


def chart_content(rng, kind=None, labels=None):
    kind = kind or rng.choice(sorted(KINDS))
    chart = KINDS[kind](rng, labels) if labels and kind == "pump" else KINDS[kind](rng)
    chart["kind"] = kind
    return finish(chart)


def finish(chart):
    """Each curve narrowed to where it is inside the plot; a curve left outside is dropped."""
    for c in chart["curves"]:
        clip(chart, c)
    chart["curves"] = [c for c in chart["curves"] if c["x_range"] is not None]
    return chart


SMALLER = {"m³/h": ("m³/min", 1 / 60), "l/s": ("m³/min", 0.06), "l/min": ("m³/h", 0.06), "m": ("bar", 0.0980665),
           "kPa": ("bar", 0.01), "Pa": ("kPa", 0.001), "Pa/m": ("kPa/m", 0.001)}
LARGER = {"m³/h": ("l/h", 1000), "l/s": ("l/h", 3600), "l/min": ("l/h", 60), "m": ("Pa", 9806.65), "kPa": ("Pa", 1000),
          "kW": ("W", 1000), "Pa": ("Pa", 1)}


def convert_axis(chart, name, k, unit):
    """The chart with one linear axis in other units (values times k), its range rounded out to catalogue numbers."""
    a = chart["axes"][name]
    low, high = a["range"]
    a["range"] = [-nice_above(-low * k) if low < 0 else low * k, nice_above(high * k)]
    a["unit"] = unit
    for c in chart["curves"]:
        f = c["function"]
        if name == "x":
            c["x_range"] = [v * k for v in c["x_range"]]
            if f["kind"] == "poly":
                f["coef"] = [v / k ** i for i, v in enumerate(f["coef"])]
            else:
                f["a"] = f["a"] / k ** f["b"]
        elif c["axis"] == name:
            if f["kind"] == "poly":
                f["coef"] = [v * k for v in f["coef"]]
            else:
                f["a"] = f["a"] * k
    return chart


def shift_axis(chart, name, offset):
    """The chart with an axis' values raised by offset (a narrow range of large numbers)."""
    a = chart["axes"][name]
    a["range"] = [v + offset for v in a["range"]]
    for c in chart["curves"]:
        if c["axis"] == name:
            c["function"]["coef"][0] += offset
    return chart
