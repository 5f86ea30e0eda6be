#!/usr/bin/python3
"""Reference values for the style settings tests, computed independently of the C++ code.

Angles: a single-precision angle is reduced modulo 360 in exact arithmetic (Python's
fractions), mapped into [0, 360) and rounded to the nearest single; a result that rounds to
360 is the angle 0.

Records: the binary layouts, packed field by field with struct (little-endian, no padding).
"""
import struct
from fractions import Fraction

import numpy as np


def stored_angle(value):
    f = Fraction(float(np.float32(value)))
    r = f - 360 * (f // 360)  # exact, in [0, 360)
    single = np.float32(float(r))
    return 0.0 if single >= 360 else float(single)


def hexbytes(data):
    return " ".join(f"{b:02X}" for b in data)


def gradient(visible=False, style=0, first=0xFFD3D3D3, middle=0xFFB0B0B0, last=0xFF808080,
             angle=0.0, center=0.5, cx=0.5, cy=0.5):
    return struct.pack("<BBIIIffffB", visible, style, first, middle, last, angle, center, cx, cy, 0)


def text(s):
    b = s.encode("utf-8")
    return struct.pack("<i", len(b)) + b


if __name__ == "__main__":
    for a in [-90, 720, 1e30, -1e-6, 359.99999, 3.4e38, -3.4e38, 1e-30, 405.5]:
        print(f"angle {a!r:>12} -> {stored_angle(a)!r}")
    g = gradient()
    print("default gradient", len(g), hexbytes(g))
    print("line", hexbytes(struct.pack("<BIfBB", 1, 0xFF008000, 1.0, 1, 0)))
    print("default line", hexbytes(struct.pack("<BIfBB", 1, 0xFFFF0000, 1.0, 0, 0)))
    print("default simple line",
          hexbytes(struct.pack("<IfBB", 0xFFFF0000, 1.0, 0, 1) + g + b"\x00"))
    print("default area",
          hexbytes(struct.pack("<BIIBB", 0, 0xFFD3D3D3, 0xFFA9A9A9, 53, 1) + g + b"\x00"))
    print("default font",
          hexbytes(text("Arial") + struct.pack("<iBB", 8, 0, 1) + struct.pack("<BBI", 0, 0, 0xFF000000)
                   + g + struct.pack("<BfB", 1, 8.0, 0)))
