#!/usr/bin/python3
"""Values the probes of the gallery's series-kind pages expect (GalleryKindsTest.cpp),
computed independently with numpy."""
import numpy as np

# Regression page: the rising readings and their straight line.
x = np.arange(1, 7, dtype=float)
y = np.array([2.1, 3.9, 6.2, 7.8, 10.1, 12.2])
slope, offset = np.polyfit(x, y, 1)
print("slope %.15g offset %.15g" % (slope, offset))
print("line at 3.5: %.15g" % np.polyval([slope, offset], 3.5))
print("title: Slope = %.3f, offset = %.3f" % (slope, offset))

# Regression page: the falling readings and their parabola (coefficients a + b x + c x^2).
xf = 0.5 + 0.5 * np.arange(13)
yf = 12.5 - 0.25 * xf**2 + 0.3 * np.sin(2.7 * xf)
c2, c1, c0 = np.polyfit(xf, yf, 2)
print("parabola: a = %.2f, b = %.3f, c = %.4f" % (c0, c1, c2))

# Spectrum page: a cosine of period 4 sampled at x = 0..7; amplitude per frequency k/8.
xs = np.arange(8)
spectrum = np.abs(np.fft.rfft(np.cos(2 * np.pi * xs / 4)))
freqs = np.fft.rfftfreq(8, d=1.0)
print("spectrum", list(zip(freqs, spectrum)))
print("peak at %.15g" % freqs[np.argmax(spectrum)])
