#!/usr/bin/python3
"""Reference values of InterpolationSeriesTest.cpp, computed with scipy.

Akima's curve inside the data (scipy's Akima1DInterpolator builds the same local slopes),
its derivative and its integral from the first point; the not-a-knot cubic spline; the
Akima curve through the simple moving average of y = 1..5 with N = 2 (downwards).
"""
import numpy as np
from scipy.interpolate import Akima1DInterpolator, CubicSpline

x = np.array([0, 1, 2.5, 3, 4.5, 6, 7.0])
y = np.array([1, 3, 2, 5, 4, 4.5, 1.0])
a = Akima1DInterpolator(x, y)
print("Akima(2.75)         %.12f" % a(2.75))
print("Akima'(2.75)        %.12f" % a.derivative()(2.75))
print("Integral(0..3.9)    %.12f" % a.integrate(0, 3.9))
c = CubicSpline(x, y, bc_type="not-a-knot")
print("Cubic(2.75)         %.12f" % c(2.75))
print("Cubic'(5.2)         %.12f" % c.derivative()(5.2))

# Simple moving average, N = 2 points before each one: 1, 1.5, 2, 3, 4.
ys = np.arange(1, 6.0)
avg = np.array([ys[max(0, i - 2):i + 1].mean() for i in range(5)])
m = Akima1DInterpolator(np.arange(5.0), avg)
print("MovingAverage(2.5)  %.12f" % m(2.5))
