#!/usr/bin/env python3
"""Reference values of a label's arrow: length and angle of its deltas, and the deltas that
setting the angle or the length gives. The angle counts counter-clockwise with screen Y down,
in 0 <= a < 360; a zero arrow points at 270 degrees. Rounding is half to even (Python's
round). Prints the C++ tables used by LabelWithArrowTest.cpp."""
import math

deltas = [(50, -50), (0, 0), (10, 0), (-10, 0), (0, -7), (0, 7), (3, 4), (-3, 4), (-3, -4),
          (3, -4), (-12, -6), (1000000, -1), (-1, 1000000), (123, 456)]

print("// dx, dy, length, angle")
for dx, dy in deltas:
    length = math.hypot(dx, dy)
    angle = 270.0 if (dx, dy) == (0, 0) else math.degrees(math.atan2(-dy, dx)) % 360.0
    print(f"{{{dx}, {dy}, {length!r}, {angle!r}}},")

def by_angle(dx, dy, angle):
    length = math.hypot(dx, dy)
    a = math.radians(angle % 360.0)
    return round(math.cos(a) * length), -round(math.sin(a) * length)

def by_length(dx, dy, length):
    a = math.radians(math.degrees(math.atan2(-dy, dx)) % 360.0 if (dx, dy) != (0, 0) else 270.0)
    return round(math.cos(a) * abs(length)), -round(math.sin(a) * abs(length))

print("// set angle: dx, dy, angle -> dx, dy")
for dx, dy, angle in [(-12, -6, 45), (50, -50, 180), (50, -50, 90), (50, -50, -90),
                      (3, 4, 720 + 30), (0, 0, 10)]:
    print(f"{{{dx}, {dy}, {angle}, {by_angle(dx, dy, angle)[0]}, {by_angle(dx, dy, angle)[1]}}},")
print("// set length: dx, dy, length -> dx, dy")
for dx, dy, length in [(50, -50, 10), (3, 4, -10), (-12, -6, 100), (0, 0, 5)]:
    r = by_length(dx, dy, length)
    print(f"{{{dx}, {dy}, {length}, {r[0]}, {r[1]}}},")
