#!/usr/bin/env python3
"""Expected values of number texts at and beyond the ends of the double range.

Python's float() rounds a decimal text to the nearest double exactly as the C library's
strtod does (zero, a subnormal or an infinity of the text's sign when out of range).
Prints the table rows of InvariantTextTest.ReadsValuesBeyondTheDoubleRangeAsTheNearestDouble
with each value as a hexadecimal float literal.
"""
texts = [
    "1e-400", "-1e-400", "1.8e308", "-1.8e308", "2.4e-324", "2.5e-324", "-2.5e-324",
    "1e-310", "1.7976931348623158e308", "1.7976931348623159e308",
    "1e99999999999999999999", "1000000e-330", "100000000000000000000e290", "0.00001e-320",
    "0.0001e312",
]
for t in texts:
    print('        {"%s", %s},' % (t, float(t).hex() if abs(float(t)) != float("inf")
                                   else ("-Inf" if float(t) < 0 else "Inf")))
