"""calvero.fit on 100 000 points, degree 8 (milliseconds per call, best of
several repeats): well-conditioned data on the quick road, and data whose
design is badly conditioned (temperatures in kelvin), which take the long
road in extended and quad precision, reported apart; numpy.polyfit beside.
    PYTHONPATH=build /usr/bin/python3 bench/python/many_points.py"""
import timeit

import numpy as np

import calvero

rng = np.random.default_rng(11)
x = np.sort(rng.uniform(0.0, 10.0, 100000))
y = np.polyval([1e-6, -2e-5, 1e-4, 2e-3, -0.01, 0.1, -1, 2, 3], x) + rng.normal(0, 0.01, x.size)
kelvin = np.sort(rng.uniform(273.15, 373.15, 100000))
pressure = 10 ** (7.2 - 1700.0 / kelvin) * (1 + rng.normal(0, 1e-4, x.size))


def best(call, number=5, repeat=5):
    return min(timeit.repeat(call, number=number, repeat=repeat)) / number * 1e3


print("calvero.fit, degree 8, 100 000 points, quick road:         %7.1f ms" % best(lambda: calvero.fit(x, y, degree=8)))
print("numpy.polyfit on the same points:                          %7.1f ms" % best(lambda: np.polyfit(x, y, 8)))
print("calvero.fit, degree 8, 100 000 points in kelvin, long road: %7.1f ms"
      % best(lambda: calvero.fit(kelvin, pressure, degree=8), number=1, repeat=3))
