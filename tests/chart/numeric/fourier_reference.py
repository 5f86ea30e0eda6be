#!/usr/bin/python3
"""Reference lines of FourierTransformTest's numpy table: numpy.fft.fft of the same
pseudo-random complex data the test makes (a 64-bit linear congruential generator whose
values are exact doubles), at a few bins, and the largest amplitude of the whole spectrum.
Prints the C++ table rows; run with /usr/bin/python3 (python3-numpy)."""
import numpy as np

MASK = (1 << 64) - 1


def samples(n):
    state = n
    out = np.empty(n, dtype=complex)
    for i in range(n):
        parts = []
        for _ in range(2):
            state = (state * 6364136223846793005 + 1442695040888963407) & MASK
            parts.append((state >> 11) / 2.0**53 - 0.5)
        out[i] = complex(parts[0], parts[1])
    return out


for n in (1, 2187, 2310, 99991, 100000):
    f = np.fft.fft(samples(n))
    bins = sorted({0, 1 % n, 2 % n, n // 3, n // 2, n - 1, 7919 % n, 104729 % n, 1299709 % n})
    rows = ", ".join("{%d, %r, %r}" % (k, f[k].real, f[k].imag) for k in bins)
    print("{%d, %r, {%s}}," % (n, np.abs(f).max(), rows))
