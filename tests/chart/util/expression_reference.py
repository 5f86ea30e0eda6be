#!/usr/bin/env python3
"""Reference values of ExpressionParserTest.cpp, computed with Python's math module.

Run: python3 tests/chart/util/expression_reference.py
Prints the rows of the two tables (kExpressions, kFunctions); paste them into the test.
"""
import math

E_DECIMAL = 2.71828182845905  # the parser's "e": this decimal as a double

# (expression as typed, value by Python's own operator rules written out)
expressions = [
    ("2^3^2", (2 ** 3) ** 2),
    ("-2^2", -(2 ** 2)),
    ("2^-1", 2 ** -1),
    ("1E-3*2", 1e-3 * 2),
    ("10-2-3", (10 - 2) - 3),
    ("8/4/2", (8 / 4) / 2),
    ("sin[pi / 2]", math.sin(math.pi / 2)),
    ("2*(-3)", 2 * (-3)),
    ("1+2*3^2", 1 + 2 * 3 ** 2),
    ("(1+2)*3", (1 + 2) * 3),
    ("-(3-5)^2", -((3 - 5) ** 2)),
    ("2^3*2", 2 ** 3 * 2),
    ("+4-2", 4 - 2),
    ("2^-1^2", (2 ** -1) ** 2),
    ("1.5E+2/3", 1.5e2 / 3),
    (".5+5.", 0.5 + 5.0),
    ("(-8)^(1/3*3)", (-8.0) ** 1.0),
    ("Round(2.5)", round(2.5)),       # Python rounds halves to even
    ("Round(3.5)", round(3.5)),
    ("Round(-2.5)", round(-2.5)),
    ("Round(-2.6)", round(-2.6)),
    ("Frac(-2.75)", math.fmod(-2.75, 1.0)),
    ("ArcTanh(0.5)", math.atanh(0.5)),
    ("Int(-2.7)", math.trunc(-2.7)),
    ("e", E_DECIMAL),
    ("E*2", E_DECIMAL * 2),
    ("PI", math.pi),
    ("Exp(Ln(2)*10)", math.exp(math.log(2) * 10)),
    ("Sqr(3)+Sqrt(16)", 3 * 3 + math.sqrt(16)),
    ("Lg(1000)+Lg10(100)+Lg2(8)", math.log10(1000) + math.log10(100) + math.log2(8)),
    ("Abs(-3)*Cos(0)", abs(-3) * math.cos(0)),
    ("[[[1]]]", 1.0),
]

functions = [
    ("Abs", -2.5, abs(-2.5)),
    ("ArcCos", 0.3, math.acos(0.3)),
    ("ArcCosh", 2.0, math.acosh(2.0)),
    ("ArcSin", 0.3, math.asin(0.3)),
    ("ArcSinh", 2.0, math.asinh(2.0)),
    ("ArcTan", 2.0, math.atan(2.0)),
    ("ArcTanh", -0.3, math.atanh(-0.3)),
    ("Ceil", -2.5, math.ceil(-2.5)),
    ("Cos", 1.2, math.cos(1.2)),
    ("Cosh", 1.2, math.cosh(1.2)),
    ("Cotan", 1.2, 1 / math.tan(1.2)),
    ("DegToRad", 30.0, math.radians(30.0)),
    ("Exp", 1.2, math.exp(1.2)),
    ("Floor", -2.5, math.floor(-2.5)),
    ("Frac", 2.75, math.fmod(2.75, 1.0)),
    ("Int", 2.75, math.trunc(2.75)),
    ("Ln", 7.0, math.log(7.0)),
    ("Lg10", 7.0, math.log10(7.0)),
    ("Lg", 7.0, math.log10(7.0)),
    ("Lg2", 7.0, math.log2(7.0)),
    ("RadToDeg", 1.2, math.degrees(1.2)),
    ("Round", 0.5, round(0.5)),
    ("Sin", 1.2, math.sin(1.2)),
    ("Sinh", 1.2, math.sinh(1.2)),
    ("Sqrt", 7.0, math.sqrt(7.0)),
    ("Sqr", -1.5, (-1.5) ** 2),
    ("Tan", 1.2, math.tan(1.2)),
    ("Tanh", 1.2, math.tanh(1.2)),
]

# "a*exp(b*x)+c" with (a, b, x, c) set through variables
models = [(2.0, 0.5, 3.0, 1.0), (-1.5, -0.25, 4.0, 0.5)]

print("// expressions")
for text, value in expressions:
    print(f'    {{"{text}", {float(value)!r}}},')
print("// functions")
for name, arg, value in functions:
    print(f'    {{"{name}", {arg!r}, {float(value)!r}}},')
print("// a*exp(b*x)+c")
for a, b, x, c in models:
    print(f"    {{{a!r}, {b!r}, {x!r}, {c!r}, {a * math.exp(b * x) + c!r}}},")
