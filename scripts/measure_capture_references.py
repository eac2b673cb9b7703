"""How near digitora places the axes' references to where the plotting program put their values, in pixels.

Usage: measure_capture_references.py DIGITORA FOLDER FIRST_SEED COUNT

Reads the pages of measure_capture_pages.sh already drawn in FOLDER (seeds
FIRST_SEED.. on, as drawn, not "scanned") with --auto-axes (--chart N for
each chart of a page of several) and, for every reference of every axis
read, prints the distance along its axis between the pixel digitora gives
and the pixel the page's truth puts that value at; then the share within
0.2 pixel and the largest. The target: every reference within 0.2 pixel.
Seeds below 1000 only: 1000-1199 are the held-out pages.
"""
import json
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from pagegen import geometry, reading  # noqa: E402


def main():
    digitora, folder, first, count = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
    distances = []
    for seed in range(first, first + count):
        path = os.path.join(folder, "page_%04d.json" % seed)
        if seed >= 1000 or not os.path.exists(path):
            continue
        page = json.load(open(path))
        if page.get("scan"):
            continue
        picture = os.path.join(folder, page["picture"])
        for i, chart in enumerate(page["charts"]):
            choice = ["--chart", str(i + 1)] if len(page["charts"]) > 1 else []
            run = subprocess.run([digitora, "--extract", picture, "--auto-axes", "--colour", "#000000"] + choice,
                                 capture_output=True, text=True, timeout=300)
            for role, name, scale, refs in reading.references(run.stderr):
                axis_name = {"x": "x", "y": "y", "y2": "y2"}.get(role)
                if axis_name not in chart["axes"] or chart["axes"][axis_name]["scale"] != scale:
                    continue
                axis = chart["axes"][axis_name]
                m = chart["to_pixel"]["y2" if role == "y2" else "y"]
                for value, col, row in refs:
                    if scale == "log" and value <= 0:
                        continue
                    s = geometry.scaled(value, scale)
                    if role == "x":
                        true = geometry.apply(m, s, 0)[0]
                        d = abs(col - true)
                    else:
                        true = geometry.apply(m, 0, s)[1]
                        d = abs(row - true)
                    distances.append(d)
                    print("%4d chart %d axis %-3s value %-10g off by %.2f px" % (seed, i + 1, name, value, d))
    if not distances:
        print("no reference read")
        return
    within = sum(d <= 0.2 for d in distances)
    distances.sort()
    print("references: %d; within 0.2 px: %d (%.1f %%); median %.2f px; largest %.2f px"
          % (len(distances), within, 100.0 * within / len(distances), distances[len(distances) // 2], distances[-1]))


if __name__ == "__main__":
    main()
