#!/usr/bin/env python3
"""Expected partitions, ticks and pixels for the axis tests, computed from the rules
(label extent 1.6 * font size per character, 70 px between linear labels, 30 px between
log labels) without the library. Run it to print the tables pasted into the tests."""
import math

FONT = 12.0


def extent(text):
    return len(text) * FONT * 1.6


def fixed(v, decimals):
    t = f"{v:.{max(decimals, 0)}f}"
    return t[1:] if t.startswith("-") and set(t[1:]) <= set("0.") else t


def significant_digits(x):
    return len(f"{x:.15e}".split("e")[0].replace(".", "").rstrip("0"))


def linear_choice(start, stop, length, table=((1.0, 0.5, 0.1), (0.5, 0.5, 0.1), (0.2, 0.1, 0.02))):
    """Walks the candidates 10, 5, 2, 1, 0.5, ... (units of 10^e) and returns the first
    whose labels (one decimal per decade below the step) need length or more."""
    rng = stop - start
    e = math.floor(math.log10(rng))
    r = rng / 10 ** e
    i, scale = 0, 10.0
    while True:
        label = table[i][0] * scale
        # decimals = significant digits of the step - its exponent - 1 - the range's exponent
        decimals = significant_digits(label) - e - math.floor(math.log10(label) + 1e-9) - 1
        w = max(extent(fixed(start, decimals)), extent(fixed(stop, decimals)))
        n = math.trunc(r / label + 0.5)
        need = (n + 1) * w + n * 70
        print(f"  candidate {label:g}: n={n} need={need:.1f}")
        if need >= length:
            return e, [x * scale for x in table[i]]
        i, scale = (i + 1, scale) if i < 2 else (0, scale / 10)


def log_choice(start, stop, length):
    decades = round(math.log10(stop) - math.log10(start))
    w = 0.51 * max(extent(f"{start:g}"), extent(f"{int(stop)}"))
    part = 1
    while True:
        n = math.trunc(decades / part + 0.5)
        if n == 0 or (n + 1) * w + n * 30 <= length:
            break
        part += 1
    return decades, part


print("linear 0.3 .. 8.7 at 400 px:", linear_choice(0.3, 8.7, 400))
print("linear -1 .. 1 at 400 px:", linear_choice(-1, 1, 400))
print("linear 130 .. 870 at 400 px:", linear_choice(130, 870, 400))
e, (label, major, minor) = linear_choice(-1, 1, 400)
ticks = [(-1 + i * minor) for i in range(round(2 / minor) + 1)]
print("  tick pixels:", [round((t + 1) / 2 * 400, 3) for t in ticks][:4], "...")
print("0.3 .. 8.7 with the table 1/0.5/0.25:",
      linear_choice(0.3, 8.7, 400, ((1, 0.25, 0.05), (0.5, 0.25, 0.05), (0.25, 0.05, 0.01))))
print("log 1 .. 1e6 at 400 px:", log_choice(1, 1e6, 400))
print("  label pixels on 300 px:", [round(math.log10(v) / 6 * 300, 3) for v in (1, 1e2, 1e4, 1e6)])
zoom = [300, 400, 500, 600, 700, 800, 900, 1000, 2000, 3000, 4000, 5000]
span = math.log10(5000) - math.log10(300)
print("zoomed log 300 .. 5000 on 400 px:",
      [round((math.log10(v) - math.log10(300)) / span * 400, 3) for v in zoom])
print("transforms:")
print("  horizontal 0..10, left 10, 400 px: 0 ->", 10 + 0 / 0.025, " 2.5 ->", 10 + 2.5 / 0.025)
print("  vertical 0..10, top 5, 200 px: 0 ->", 5 + 200 - 0 / 0.05, " 2.5 ->", 5 + 200 - 2.5 / 0.05)
print("  log 1..1e6 on 300 px: 1000 ->", 3 / (6 / 300))
print("LogEE 1 .. 1e6 at 400 px (texts '100' and '106'):",
      "need", 7 * 0.51 * extent("100") + 6 * 30, "-> label every decade")
print("log 1 .. 450 unrounded: ticks", [v * 10 ** d for d in range(3) for v in range(1, 10)
                                         if v * 10 ** d <= 450])
print("linear 0.05 .. 0.95 unrounded, minor 0.02:", len(range(3, 48)), "ticks from 0.06 to 0.94")
