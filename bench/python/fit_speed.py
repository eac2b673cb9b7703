"""Speed of calvero.fit against numpy.polyfit: a degree-3 polynomial on 200
points, the statistics computed with the fit, the best of several repeats of
many calls each (microseconds per call).
    PYTHONPATH=build /usr/bin/python3 bench/python/fit_speed.py"""
import timeit

import numpy as np

import calvero

i = np.arange(1, 201)
x = 0.05 * i
y = 1 + 2 * x - 0.3 * x * x + 0.01 * x ** 3 + 0.01 * np.sin(7 * i)


def best(call, number=2000, repeat=7):
    return min(timeit.repeat(call, number=number, repeat=repeat)) / number * 1e6


with_statistics = best(lambda: calvero.fit(x, y, degree=3))
with_dict = best(lambda: calvero.fit(x, y, degree=3).statistics)
polyfit = best(lambda: np.polyfit(x, y, 3))
print("calvero.fit, degree 3, 200 points (statistics computed): %6.1f us" % with_statistics)
print("the same, and the statistics read as a dict:              %6.1f us" % with_dict)
print("numpy.polyfit on the same points:                         %6.1f us" % polyfit)
