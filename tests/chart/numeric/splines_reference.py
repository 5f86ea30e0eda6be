#!/usr/bin/python3
"""Reference values of the spline and Fourier tests, computed with scipy and numpy."""
import numpy as np
from scipy.interpolate import Akima1DInterpolator, CubicSpline, make_smoothing_spline

np.set_printoptions(precision=17, linewidth=200)
x = np.array([0.0, 1.0, 2.5, 3.0, 4.5, 6.0, 7.0])
y = np.array([1.0, 2.0, 0.5, 1.5, 3.0, 2.0, 2.5])
q = np.array([0.3, 1.7, 2.6, 4.0, 5.2, 6.9])

ak = Akima1DInterpolator(x, y)
print("akima", ak(q))
print("akima slope", ak(q, 1))

cs = CubicSpline(x, y, bc_type='not-a-knot')
print("cubic", cs(q))
print("cubic slope", cs(q, 1))
print("cubic integral", [cs.integrate(0, v) for v in q])

w = np.array([1.0, 2.0, 1.0, 0.5, 1.0, 3.0, 1.0])
sm = make_smoothing_spline(x, y, w=w, lam=1.0)
print("smoothing", sm(q))

# Fourier: random data of prime and composite lengths.
rng = np.random.default_rng(7)
for n in (7, 12, 16):
    d = np.round(rng.normal(size=n), 3)
    print("dft", n, list(d))
    f = np.fft.fft(d)
    half = n // 2
    print(" amp", np.abs(f[:half]) / half)
    print(" phase", np.angle(f[:half]))

# Extrema on knots (ExtremumOnAKnotIsListedOnce): roots of the derivative (curve extrema) and
# of the second derivative (inflections) inside the data range, each listed once.
def extrema(p):
    d1, d2 = p.derivative(1), p.derivative(2)
    r = np.unique(np.round(d1.roots(extrapolate=False), 12))
    print(" minima", [(v, float(p(v))) for v in r if d2(v) > 0])
    print(" maxima", [(v, float(p(v))) for v in r if d2(v) < 0])


def inflections(p):
    d2, d3 = p.derivative(2), p.derivative(3)
    r = np.unique(np.round(d2.roots(extrapolate=False), 12))
    print(" slope minima", [(v, float(p(v, 1))) for v in r if d3(v) > 0])
    print(" slope maxima", [(v, float(p(v, 1))) for v in r if d3(v) < 0])


print("akima on knot")
extrema(Akima1DInterpolator(np.arange(5.0), np.array([-3.0, 3, -3, -1, -3])))
print("cubic inflection on knot")
inflections(CubicSpline(np.arange(7) * 0.1, np.array([0.0, -3, -1, 1, 2, 0, -1])))
