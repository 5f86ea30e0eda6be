#!/usr/bin/python3
"""Reference values of RegressionSeriesTest.cpp and LeastSquaresSeriesTest.cpp, computed with
numpy's least squares (independent of the chart library's code)."""
import numpy as np

np.set_printoptions(precision=17)

# Regression through the series: index 4 is a hidden outlier, calculation range 1..8.
x = np.arange(10.0)
y = np.array([1.0, 2.9, 5.2, 7.1, 30.0, 10.8, 13.1, 15.0, 16.8, 19.2])
keep = (x >= 1) & (x <= 8) & (np.arange(10) != 4)
xs, ys = x[keep], y[keep]
A = np.vstack([np.ones_like(xs), xs]).T
(offset, slope), *_ = np.linalg.lstsq(A, ys, rcond=None)
res = ys - (offset + slope * xs)
print("regression slope %.15g offset %.15g sum of residuals %.15g" % (slope, offset, res @ res))
print("regression ends %.15g %.15g" % (offset + slope * 1, offset + slope * 8))
syy = ((ys - ys.mean()) ** 2).sum()
sxx = ((xs - xs.mean()) ** 2).sum()
print("regression probability %.15g correlation %.15g" % (1 - (res @ res) / syy,
                                                         np.corrcoef(xs, ys)[0, 1]))
w = len(xs)
print("regression delta slope %.15g delta offset %.15g" % (
    np.sqrt((res @ res) / ((w - 2) * sxx)),
    np.sqrt((xs.mean() ** 2 / sxx + 1 / w) * (res @ res) / (w - 2))))

# Both axes logarithmic.
lx = np.log10([1, 10, 100, 1000.0])
ly = np.log10([3, 30, 300, 3000.0])
b, a = np.polyfit(lx, ly, 1)
print("log slope %.15g offset %.15g at 10000: %.15g" % (b, a, 10 ** (a + b * 4)))

# Weighted polynomial of order 5: x = 0, 0.5, .. 9.5, y = cos(x) + x/3, w = 1 + (i mod 3).
xp = np.arange(20) * 0.5
yp = np.cos(xp) + xp / 3
wp = 1.0 + (np.arange(20) % 3)
V = np.vander(xp, 6, increasing=True)
s = np.sqrt(wp)
coef, *_ = np.linalg.lstsq(V * s[:, None], yp * s, rcond=None)
print("polynomial coefficients", repr(coef))
fit = V @ coef
sor = (wp * (yp - fit) ** 2).sum()
W = wp.sum()
ay = (wp * yp).sum() / W
syy = (wp * (yp - ay) ** 2).sum()
print("polynomial sum of residuals %.15g probability %.15g qrel %.15g" % (
    sor, 1 - sor / syy, np.sqrt(sor / (W - 5))))
u, sv, vt = np.linalg.svd(V * s[:, None], full_matrices=False)
delta = np.sqrt(((vt.T ** 2) / sv ** 2).sum(axis=1))
print("polynomial coefficient errors", repr(delta))

# General basis 1, sin x, cos x on x = 0..11, y = 2 + 3 sin x - 0.5 cos x + 0.1 (-1)^i.
xg = np.arange(12.0)
yg = 2 + 3 * np.sin(xg) - 0.5 * np.cos(xg) + 0.1 * (-1.0) ** np.arange(12)
B = np.vstack([np.ones_like(xg), np.sin(xg), np.cos(xg)]).T
cg, *_ = np.linalg.lstsq(B, yg, rcond=None)
print("basis coefficients", repr(cg))
