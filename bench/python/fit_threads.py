"""Throughput of calvero.fit from one thread and from two: degree-8 curves of
1000 points, as many fits as the threads make in a few seconds. The fit
lets go of the interpreter's lock while it computes, so two threads on two
cores fit nearly twice as many curves.
    PYTHONPATH=build /usr/bin/python3 bench/python/fit_threads.py"""
import threading
import time

import numpy as np

import calvero

x = np.linspace(0.0, 10.0, 1000)
y = np.polyval([1e-6, -2e-5, 1e-4, 2e-3, -0.01, 0.1, -1, 2, 3], x) + 0.01 * np.sin(37 * x)
SECONDS = 3.0


def fits_per_second(threads):
    counts = [0] * threads
    stop = time.perf_counter() + SECONDS

    def work(k):
        while time.perf_counter() < stop:
            calvero.fit(x, y, degree=8)
            counts[k] += 1

    workers = [threading.Thread(target=work, args=(k,)) for k in range(threads)]
    for w in workers:
        w.start()
    for w in workers:
        w.join()
    return sum(counts) / SECONDS


one = max(fits_per_second(1) for _ in range(2))
two = max(fits_per_second(2) for _ in range(2))
print("one thread:  %7.0f fits/s" % one)
print("two threads: %7.0f fits/s (%.2f times one)" % (two, two / one))
