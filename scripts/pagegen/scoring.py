"""Reads one page with digitora as a user would and scores every read
against the page's truth."""
import json
import os
import time

from . import geometry, judging, reading
from .contents import value

CURVE_POINTS, FAMILY_POINTS = 60, 30


def start_point(chart, c, page_curves):
    """A pixel on curve c as far as can be from the other curves of its colour and from the labels (for --start)."""
    xa, ya = chart["axes"]["x"], chart["axes"][c["axis"]]
    a, b = (geometry.scaled(v, xa["scale"]) for v in c["x_range"])
    boxes = [o["label_box"] for _, o in page_curves if "label_box" in o] + ([chart["legend_box"]] if "legend_box" in chart else [])
    best = None
    for k in range(20, 81, 3):
        sx = a + (b - a) * k / 100
        x = geometry.unscaled(sx, xa["scale"])
        col, row = geometry.apply(chart["to_pixel"][c["axis"]], sx, geometry.scaled(value(c["function"], x), ya["scale"]))
        gap = 1e9
        for other_chart, o in page_curves:
            if o is c or o["colour"] != c["colour"]:
                continue
            oa = other_chart["axes"][o["axis"]]
            if not o["x_range"][0] <= x <= o["x_range"][1]:
                continue
            oc, orow = geometry.apply(other_chart["to_pixel"][o["axis"]], sx, geometry.scaled(value(o["function"], x), oa["scale"]))
            gap = min(gap, abs(orow - row) + abs(oc - col))
        for l, t, r, btm in boxes:
            if l - 4 <= col <= r + 4 and t - 4 <= row <= btm + 4:
                gap = min(gap, 0)
        if best is None or gap > best[0]:
            best = (gap, col, row)
    return best[1], best[2]


def axes_verdicts(chart, stderrs):
    """For one chart, from the standard error of every read against it: 'right', 'wrong' (a reference beyond 0.5 %)
    or 'unread' (an axis never reported or a read that could not find the axes); the wrong references' texts."""
    seen, wrong = set(), []
    unread = False
    for err in stderrs:
        refs = reading.references(err)
        if not refs:
            unread = True
        for role, name, scale, pairs in refs:
            errors = judging.reference_errors(chart, role, scale, pairs)
            if errors is None:
                wrong.append("asse %s non sulla pagina" % name)
                continue
            if max(errors) > 0.005:
                wrong.append("asse %s: %s" % (name, ", ".join("%g in %.1f,%.1f (%.1f %%)" % (v, c, r, 100 * e)
                                                             for (v, c, r), e in zip(pairs, errors))))
            else:
                seen.add(role)
    if wrong:
        return "wrong", sorted(set(wrong))
    if unread or not set(judging.required_axes(chart)) <= seen:
        return "unread", []
    return "right", []


def read_page(digitora, truth_path, options):
    """Reads a page's every curve, then all its curves at once, chart by chart; returns the page's score."""
    truth = json.load(open(truth_path))
    picture = os.path.join(os.path.dirname(truth_path), truth["picture"])
    charts = truth["charts"]
    several = len(charts) > 1
    by_chart = "--chart" in options
    start = time.time()
    page = {"seed": truth["seed"], "family": truth["family"], "program": truth["program"], "scanned": truth["scan"] is not None,
            "dpi": truth["scan"]["dpi"] if truth["scan"] else truth["style"].get("dpi"), "curves": [], "silent": [],
            "crashes": [], "charts": [], "all_curves": [], "reasons": []}
    page_curves = [(ch, c) for ch in charts for c in ch["curves"]]
    for chart in charts:
        stderrs, exits = [], []
        chart_args = ["--chart", str(chart["number"])] if several and by_chart else []
        shared_with = [(ch, c) for ch, c in page_curves if ch is chart or not (several and by_chart)]
        for c in chart["curves"]:
            if c["role"] != "curve":
                continue
            args = [digitora, "--extract", picture, "--auto-axes", "--colour", c["colour"], "--points", str(CURVE_POINTS)] + chart_args
            if "--y-axis" in options and chart.get("twin") == "quantities":
                args += ["--y-axis", "right" if c["axis"] == "y2" else "left"]
            if any(o is not c and o["colour"] == c["colour"] and o["role"] == "curve" for _, o in shared_with):
                args += ["--start", "%.1f,%.1f" % start_point(chart, c, shared_with)]
            code, out, err, seconds = reading.run(args)
            stderrs.append(err)
            exits.append(code)
            errors = judging.curve_errors(chart, c, reading.points(out))
            ok = code == 0 and judging.within(errors)
            entry = {"chart": chart["number"], "label": c["label"], "colour": c["colour"], "axis": c["axis"], "exit": code,
                     "median": errors[0], "p95": errors[1], "cover": errors[2], "ok": ok, "seconds": seconds,
                     "warnings": reading.warnings_of(err)}
            page["reasons"] += entry["warnings"]
            if not isinstance(code, int) or code < 0 or code > 3:
                page["crashes"].append("%s %s: exit %s" % (chart["number"], c["label"], code))
            if code == 0 and (errors[0] is None or errors[0] > judging.WRONG):
                other = [a for a in ("y", "y2") if a in chart["axes"] and a != c["axis"]]
                if other and reading.points(out) and judging.curve_errors(chart, c, reading.points(out), other[0])[0] is not None \
                        and judging.curve_errors(chart, c, reading.points(out), other[0])[0] <= judging.WRONG:
                    page["silent"].append(("asse sbagliato", "grafico %d, %s (%s) letta sull'asse %s" % (chart["number"], c["label"], c["colour"], other[0])))
                else:
                    page["silent"].append(("punti sbagliati", "grafico %d, %s (%s): mediana %s %%" % (
                        chart["number"], c["label"], c["colour"], "-" if errors[0] is None else "%.2f" % errors[0])))
            page["curves"].append(entry)
        # Every curve at once.
        if by_chart or chart is charts[0]:
            args = [digitora, "--extract", picture, "--auto-axes", "--all-curves", "--points", str(FAMILY_POINTS)] + chart_args
            code, out, err, seconds = reading.run(args)
            stderrs.append(err)
            exits.append(code)
            judged = charts if (several and not by_chart) else [chart]
            page["all_curves"].append(judge_all_curves(judged, reading.blocks(out), code, page, seconds))
            page["reasons"] += reading.warnings_of(err)
            if not isinstance(code, int) or code < 0 or code > 3:
                page["crashes"].append("--all-curves grafico %s: exit %s" % (chart["number"], code))
        verdict, wrong = axes_verdicts(chart, stderrs)
        silently = verdict == "wrong" and any(c == 0 for c in exits)
        if silently:
            for w in wrong:
                page["silent"].append(("valore d'asse sbagliato", "grafico %d, %s" % (chart["number"], w)))
        page["charts"].append({"number": chart["number"], "axes": verdict, "wrong": wrong})
    page["axes_right"] = all(c["axes"] == "right" for c in page["charts"])
    page["seconds"] = time.time() - start
    return page


def judge_all_curves(charts, blocks, code, page, seconds):
    """The curves --all-curves listed: each drawn curve found (against its own axis, with its label) or not."""
    matches = judging.match_blocks(charts, blocks)
    result = {"exit": code, "blocks": len(blocks), "found": 0, "ok": 0, "curves": 0, "seconds": seconds}
    taken = {}
    for i, chart, c, axis_name, errors in matches:
        if c is not None and (id(c) not in taken or errors[0] < taken[id(c)][4][0]):
            taken[id(c)] = (i, chart, c, axis_name, errors)
    used = {m[0] for m in taken.values()}
    for chart in charts:
        curves = [c for c in chart["curves"] if c["role"] == "curve"]
        for c in curves:
            result["curves"] += 1
            m = taken.get(id(c))
            where = "grafico %d, %s" % (chart["number"], c["label"])
            if m is None:
                if code == 0:
                    page["silent"].append(("curva mancante", where + " non elencata da --all-curves"))
                continue
            i, _, _, axis_name, errors = m
            result["found"] += 1
            label = blocks[i][0]
            verdict = judging.label_verdict(label, c, [o for o in curves if o is not c])
            if code == 0 and axis_name != c["axis"]:
                page["silent"].append(("asse sbagliato", where + " letta sull'asse %s da --all-curves" % axis_name))
            elif code == 0 and verdict != "right":
                page["silent"].append(("etichetta sbagliata", "%s letta come \"%s\" (%s)" % (where, label, verdict)))
            elif code == 0 and judging.within(errors):
                result["ok"] += 1
    for i, (label, pts) in enumerate(blocks):
        if i not in used and code == 0:
            page["silent"].append(("curva in più", "--all-curves: \"%s\" (%d punti) non segue nessuna curva disegnata" % (label, len(pts))))
    return result
