#!/usr/bin/env python3
"""Expected seconds-axis partitions: the region and family by the size of the range, then
the candidate walk (a labels of width 1.4 * 1.6 * 12 px per character, 70 px apart) and
the minor and major divisors of the final step. Written from the rules, not the library."""
import math

FONT = 12.0
LENGTH = 677


def exponent(x):
    return math.floor(math.log10(abs(x))) if x else 0


def text(fmt, s):
    """Label text of s seconds in the leading fields fmt."""
    if fmt == "Second":
        return f"{s:g}"
    d, rest = divmod(int(round(s)), 86400)
    h, rest = divmod(rest, 3600)
    m, sec = divmod(rest, 60)
    if fmt == "Minute":
        return f"{m + 60 * (h + 24 * d):02d}:{sec:02d}"
    if fmt == "Hour":
        return f"{h + 24 * d:02d}:{m:02d}:{sec:02d}"
    return (f"{d}." if d else "") + f"{h:02d}:{m:02d}:{sec:02d}"


SEQ = {  # family: (first, next finer of each s, s after which the scale drops)
    "decimal": {1: 0.5, 0.5: 0.2, 0.2: "1/10"},
    "week": {1: 0.4, 0.4: 0.2, 0.2: "1/10"},
    "day": {1: 0.5, 0.5: 0.2, 0.2: "1/10"},
    "hour": {1: 0.5, 0.5: 0.2, 0.2: "1/10"},
    "minute-of-seconds": {0.6: 0.3, 0.3: 0.15, 0.15: "0.6/10"},
    "hour-of-minutes": {0.6: 0.3, 1: 0.5, 0.5: 0.3, 0.3: 0.15, 0.15: "1/10"},
    "half-day": {2.4: 1.2, 1.2: 0.6, 0.6: 0.3, 0.3: "2.4/10"},
}
DIV = {  # family: s -> (t, l)
    "decimal": {1: (10, 2), 0.2: (10, 2), 0.5: (5, 1)},
    "minute-of-seconds": {0.6: (12, 2), 0.3: (6, 2), 0.15: (15, 3)},
    "hour-of-minutes": {0.6: (12, 2), 0.5: (10, 2), 1: (10, 2), 0.3: (6, 2), 0.15: (15, 3)},
    "half-day": {2.4: (24, 2), 1.2: (12, 2), 0.6: (12, 2), 0.3: (18, 3)},
    "hour": {1: (10, 2), 0.5: (5, 1), 0.2: (8, 2)},
    "day": {1: (8, 2), 0.5: (8, 1), 0.2: (24, 2)},
    "week": {1: (8, 2), 0.4: (8, 2), 0.2: (8, 2)},
}


def choose(d):
    if d / 86400 > 3:
        rgn, v = "Day", d / 86400
        fam = "decimal" if v > 20 else "week" if v > 7 else "day"
    elif d / 3600 > 3:
        rgn, v = "Hour", d / 3600
        fam = "half-day" if v > 10 else "hour"
    elif d / 60 > 3:
        rgn, v = "Minute", d / 60
        fam = "hour-of-minutes" if v > 50 else "decimal"
    else:
        rgn, v = "Second", d
        fam = "minute-of-seconds" if d >= 60 else "decimal"
    e = exponent(d) if rgn == "Second" else exponent(v)
    fmt = "Day" if d >= 86400 else "Hour" if d >= 3600 else "Minute" if d >= 60 else "Second"
    w = 1.4 * max(len(text(fmt, 0)), len(text(fmt, d))) * FONT * 1.6
    n = v / 10 ** e
    s = 0.6 if fam in ("minute-of-seconds", "hour-of-minutes") else 2.4 if fam == "half-day" else 1
    scale = 10.0
    while True:
        a = math.trunc(n / (s * scale) + 0.5)
        if not a * w + (a - 1) * 70 < LENGTH:
            break
        nxt = SEQ[fam][s]
        if isinstance(nxt, str):
            s = float(nxt.split("/")[0])
            scale /= 10
        else:
            s = nxt
    t, l = DIV[fam][s]
    label = s * scale
    return rgn, e, fmt, round(label, 12), round(label / l, 12), round(label / t, 12)


for d in (7200, 30, 150, 1200, 72000, 864000, 4320000):
    print(d, choose(d))
rgn, e, fmt, label, major, minor = choose(7200)
step = minor * 10 ** e * 60
print("0 .. 7200: tick every", step, "s:", int(7200 / step) + 1, "ticks; labels",
      [text(fmt, k * label * 10 ** e * 60) for k in range(int(7200 / (label * 6000)) + 1)])
print("RoundSeconds minute region, e = 1, fraction 0.15: 500 s up/down ->",
      math.ceil(500 / 60 / 1.5) * 1.5 * 60, math.floor(500 / 60 / 1.5) * 1.5 * 60)
