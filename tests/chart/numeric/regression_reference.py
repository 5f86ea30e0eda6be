#!/usr/bin/python3
"""Reference values of the regression and least-squares tests, computed with numpy."""
import numpy as np

np.set_printoptions(precision=17)
x = np.arange(1.0, 7.0)
y = np.array([2.1, 3.9, 6.2, 7.8, 10.1, 12.2])
n = len(x)
sxx = ((x - x.mean()) ** 2).sum()
syy = ((y - y.mean()) ** 2).sum()
slope, offset = np.polyfit(x, y, 1)
sor = ((y - slope * x - offset) ** 2).sum()
print("regression", slope, offset, sor, np.corrcoef(x, y)[0, 1],
      np.sqrt(sor / ((n - 2) * sxx)), np.sqrt((x.mean() ** 2 / sxx + 1 / n) * sor / (n - 2)),
      1 - sor / syy, sxx / (n - 1), syy / (n - 1))

# Weighted regression: weights 1..6.
w = np.arange(1.0, 7.0)
W = w.sum()
ax, ay = (w * x).sum() / W, (w * y).sum() / W
wsxx = (w * (x - ax) ** 2).sum()
wsyy = (w * (y - ay) ** 2).sum()
wslope = (w * (x - ax) * (y - ay)).sum() / wsxx
woff = ay - wslope * ax
wsor = (w * (y - wslope * x - woff) ** 2).sum()
print("weighted", wslope, woff, wsor, np.sqrt(wsor / ((W - 2) * wsxx)),
      np.sqrt((ax ** 2 / wsxx + 1 / W) * wsor / (W - 2)))

# Fixed offset 0.5: slope = sum x (y - 0.5) / sum x^2.
fs = (x * (y - 0.5)).sum() / (x * x).sum()
fsor = ((y - fs * x - 0.5) ** 2).sum()
print("fixed", fs, fsor, np.sqrt(fsor / ((n - 1) * (x * x).sum())), 1 - fsor / syy)

# Polynomial of order 2: coefficients and sqrt(diag((A^T A)^-1)).
px = np.arange(0.0, 6.0)
py = np.array([1.2, 1.9, 5.1, 10.2, 16.8, 26.1])
A = np.vander(px, 3, increasing=True)
c, *_ = np.linalg.lstsq(A, py, rcond=None)
print("poly", c, np.sqrt(np.diag(np.linalg.inv(A.T @ A))))
res = ((py - A @ c) ** 2).sum()
print("poly stats", res, 1 - res / ((py - py.mean()) ** 2).sum(), np.sqrt(res / (6 - 2)))

print("svd", np.linalg.svd(np.array([[1, 2], [3, 4], [5, 6.0]]), compute_uv=False))

# Rank-deficient: x = 1, 1, 2, 2, order 2, lstsq's minimum-norm solution.
rx = np.array([1.0, 1, 2, 2])
ry = np.array([1.0, 2, 3, 5])
c, *_ = np.linalg.lstsq(np.vander(rx, 3, increasing=True), ry, rcond=None)
print("rankdef", c)
