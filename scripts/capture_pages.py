"""Draws chart pages from seeds, each with its truth, for measure_capture_pages.sh.

Usage: capture_pages.py FOLDER FIRST_SEED COUNT [--jobs N]

Page s is FOLDER/page_SSSS.png (or .jpg when "scanned") with
FOLDER/page_SSSS.json beside it: the family, every style chosen, each chart's
plot area, axes (range, scale, title, unit, multiplier or offset, tick labels
and where they stand), the map from data to pixels, and every curve (function,
axis, colour, line style, label). The family is the seed modulo the number of
families (pagegen/families.py); everything else is drawn from the seed, so a
seed always gives the same page. Pages already in FOLDER are kept.

Seeds below 1000 are for development; 1000-1199 are the held-out pages,
drawn and read once at the end, never looked at before.
"""
import json
import os
import sys
from concurrent.futures import ProcessPoolExecutor

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from pagegen import families, truth  # noqa: E402


def draw_page(folder, seed):
    """Draws one page unless it is there; returns the truth file's path."""
    os.makedirs(folder, exist_ok=True)
    name = os.path.join(folder, "page_%04d" % seed)
    if os.path.exists(name + ".json"):
        return name + ".json"
    plan = families.plan(seed)
    scanned = plan["scan"] is not None
    drawn = name + ("_drawn.png" if scanned else ".png")
    if plan["program"] == "matplotlib":
        from pagegen import mpl_pages
        width, height, charts = mpl_pages.draw(plan, drawn)
    elif plan["program"] == "gnuplot":
        from pagegen import gnuplot_pages
        width, height, charts = gnuplot_pages.draw(plan, drawn)
    else:
        from pagegen import calc_pages
        width, height, charts = calc_pages.draw(plan, drawn, folder)
    m = [[1.0, 0.0, 0.0], [0.0, 1.0, 0.0]]
    picture = drawn
    if scanned:
        from pagegen import scan
        picture = name + ".jpg"
        m = scan.degrade(drawn, picture, plan["scan"])
        os.remove(drawn)
    page = truth.page_truth(plan, os.path.basename(picture), width, height, charts, m)
    with open(name + ".json.part", "w") as out:
        json.dump(page, out, ensure_ascii=False, indent=1)
    os.replace(name + ".json.part", name + ".json")
    return name + ".json"


def draw_pages(folder, seeds, jobs):
    os.makedirs(folder, exist_ok=True)
    if jobs <= 1:
        return [draw_page(folder, s) for s in seeds]
    with ProcessPoolExecutor(jobs) as pool:
        return list(pool.map(draw_page, [folder] * len(seeds), seeds))


def main():
    args = sys.argv[1:]
    jobs = 1
    if "--jobs" in args:
        i = args.index("--jobs")
        jobs = int(args[i + 1])
        del args[i:i + 2]
    folder, first, count = args[0], int(args[1]), int(args[2])
    for path in draw_pages(folder, range(first, first + count), jobs):
        print(path)


if __name__ == "__main__":
    main()
