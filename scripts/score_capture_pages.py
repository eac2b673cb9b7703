"""Draws the pages of a seed range (when not drawn yet), reads each with digitora and prints the figures.

Usage: score_capture_pages.py DIGITORA FOLDER FIRST_SEED COUNT [--jobs N] [--lock FILE] [--seeds A,B,...]

Each page is read as a user would: every curve with --auto-axes --colour
(with --start when another curve of the page has its colour; with --chart
and --y-axis when digitora's help lists them), then --auto-axes
--all-curves. Prints a line per page, then the totals, per family and per
kind of picture, each silently wrong result, and the most frequent reasons
given with exit 3; writes every score to FOLDER/scores_FIRST_COUNT.json.
With --lock, the lock file is held while a batch of pages is drawn and read
and let go between batches, so a build waiting on it gets its turn. With
--seeds, only those seeds of the range are read (pages picked for a rule).

Seeds below 1000 are for development; 1000-1199 are the held-out pages.
"""
import collections
import fcntl
import json
import os
import re
import statistics
import sys
import time
from concurrent.futures import ProcessPoolExecutor

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import capture_pages  # noqa: E402
from pagegen import reading, scoring  # noqa: E402

BATCH = 8


def score(digitora, folder, seed, options):
    try:
        path = capture_pages.draw_page(folder, seed)
    except Exception as error:  # a page the generator cannot draw is told, not scored
        return {"seed": seed, "unDrawn": "%s: %s" % (type(error).__name__, error)}
    return scoring.read_page(digitora, path, options)


def percent(n, total):
    return "%d/%d (%.1f %%)" % (n, total, 100.0 * n / total) if total else "0/0"


def page_line(p):
    kind = "scan %d dpi" % p["dpi"] if p["scanned"] else "disegno"
    curves = sum(c["ok"] for c in p["curves"])
    axes = {"right": "giusti", "unread": "non letti", "wrong": "SBAGLIATI"}
    verdicts = "/".join(axes[c["axes"]] for c in p["charts"])
    every = "%d/%d" % (sum(a["ok"] for a in p["all_curves"]), sum(a["curves"] for a in p["all_curves"]))
    exits = "".join(str(c["exit"])[0] for c in p["curves"])
    return "%4d %-14s %-12s assi %-22s curve %d/%d (exit %s)  --all-curves %s%s  %.0f s" % (
        p["seed"], p["family"], kind, verdicts, curves, len(p["curves"]), exits, every,
        "  SBAGLIATO IN SILENZIO: %d" % len(p["silent"]) if p["silent"] else "", p["seconds"])


def figures(pages):
    curves = [c for p in pages for c in p["curves"]]
    every = [a for p in pages for a in p["all_curves"]]
    return {"pages": len(pages), "axes": sum(p["axes_right"] for p in pages),
            "axes_silent": sum(any(c["axes"] == "wrong" for c in p["charts"]) and any(s[0] == "valore d'asse sbagliato" for s in p["silent"]) for p in pages),
            "curves": len(curves), "ok": sum(c["ok"] for c in curves), "exit3": sum(c["exit"] == 3 for c in curves),
            "exit1": sum(c["exit"] == 1 for c in curves), "all": sum(a["curves"] for a in every), "all_ok": sum(a["ok"] for a in every),
            "silent": sum(len(p["silent"]) for p in pages), "silent_pages": sum(bool(p["silent"]) for p in pages),
            "seconds": statistics.median([p["seconds"] for p in pages]) if pages else 0}


def table(title, groups):
    print()
    print("%-16s %6s %18s %20s %20s %8s %8s" % (title, "pagine", "assi giusti", "curve entro (exit 0)", "--all-curves giuste", "silenti", "s/pagina"))
    for name, pages in groups:
        f = figures(pages)
        print("%-16s %6d %18s %20s %20s %8d %8.0f" % (name, f["pages"], percent(f["axes"], f["pages"]), percent(f["ok"], f["curves"]),
                                                     percent(f["all_ok"], f["all"]), f["silent"], f["seconds"]))


def report(pages, wall):
    f = figures(pages)
    print()
    print("pagine %d: assi giusti (ogni riferimento entro lo 0,5 %% del campo) %s; assi sbagliati con exit 0 su %d pagine"
          % (f["pages"], percent(f["axes"], f["pages"]), f["axes_silent"]))
    print("curve disegnate %d: entro ogni obiettivo con exit 0 %s; exit 3 %d, exit 1 %d"
          % (f["curves"], percent(f["ok"], f["curves"]), f["exit3"], f["exit1"]))
    print("--all-curves: curve trovate con la loro etichetta, sul loro asse ed entro gli obiettivi (exit 0) %s" % percent(f["all_ok"], f["all"]))
    print("risultati sbagliati in silenzio (exit 0): %d, su %d pagine" % (f["silent"], f["silent_pages"]))
    kinds = collections.Counter(s[0] for p in pages for s in p["silent"])
    for kind, n in kinds.most_common():
        print("    %-26s %d" % (kind, n))
    times = [p["seconds"] for p in pages]
    print("tempo per pagina: mediana %.1f s, media %.1f s, massimo %.1f s; in tutto %.0f s di orologio"
          % (statistics.median(times), statistics.mean(times), max(times), wall))
    by_family = collections.defaultdict(list)
    by_kind = collections.defaultdict(list)
    for p in pages:
        by_family[p["family"]].append(p)
        by_kind["scan %d dpi" % p["dpi"] if p["scanned"] else "disegno"].append(p)
    table("famiglia", sorted(by_family.items()))
    table("immagine", sorted(by_kind.items()))
    silent = [(p["seed"], p["family"], s) for p in pages for s in p["silent"]]
    if silent:
        print()
        print("sbagliati in silenzio:")
        for seed, family, (kind, text) in silent:
            print("  %4d %-14s %-24s %s" % (seed, family, kind, text))
    crashes = [(p["seed"], c) for p in pages for c in p["crashes"]]
    if crashes:
        print()
        print("letture finite male (segnale o tempo scaduto):")
        for seed, c in crashes:
            print("  %4d %s" % (seed, c))
    reasons = collections.Counter(re.sub(r"-?\d+(?:[.,]\d+)?", "#", r) for p in pages for r in p["reasons"])
    if reasons:
        print()
        print("motivi più frequenti dati con exit 3:")
        for reason, n in reasons.most_common(15):
            print("  %4d  %s" % (n, reason[:150]))


class Lock:
    """The build lock, held around each batch when asked for."""

    def __init__(self, path):
        self.file = open(path, "a") if path else None

    def __enter__(self):
        if self.file:
            fcntl.flock(self.file, fcntl.LOCK_EX)

    def __exit__(self, *exc):
        if self.file:
            fcntl.flock(self.file, fcntl.LOCK_UN)


def main():
    args = sys.argv[1:]
    named = {}
    for option in ("--jobs", "--lock", "--seeds"):
        if option in args:
            i = args.index(option)
            named[option] = args[i + 1]
            del args[i:i + 2]
    digitora, folder, first, count = args[0], args[1], int(args[2]), int(args[3])
    jobs = int(named.get("--jobs", 2))
    os.makedirs(folder, exist_ok=True)
    options = reading.options_of(digitora)
    print("digitora %s; opzioni usate se elencate: --chart %s, --y-axis %s" % (
        digitora, "sì" if "--chart" in options else "no", "sì" if "--y-axis" in options else "no"))
    seeds = list(range(first, first + count))
    if "--seeds" in named:
        picked = {int(s) for s in named["--seeds"].split(",")}
        seeds = [s for s in seeds if s in picked]
    lock = Lock(named.get("--lock"))
    pages, undrawn = [], []
    start = time.time()
    with ProcessPoolExecutor(jobs) as pool:
        for k in range(0, len(seeds), BATCH):
            batch = seeds[k:k + BATCH]
            with lock:
                for p in pool.map(score, [digitora] * len(batch), [folder] * len(batch), batch, [options] * len(batch)):
                    if "unDrawn" in p:
                        print("%4d PAGINA NON DISEGNATA: %s" % (p["seed"], p["unDrawn"]), flush=True)
                        undrawn.append(p)
                        continue
                    print(page_line(p), flush=True)
                    pages.append(p)
            time.sleep(0.5)
    report(pages, time.time() - start)
    if undrawn:
        print("\npagine che il generatore non ha saputo disegnare: %s" % ", ".join(str(p["seed"]) for p in undrawn))
    with open(os.path.join(folder, "scores_%d_%d.json" % (first, count)), "w") as out:
        json.dump(pages, out, ensure_ascii=False, indent=1, default=str)


if __name__ == "__main__":
    main()
