#!/usr/bin/env python3
"""Expected dates for the date-time axis tests, computed with Python's datetime.
A TDateTime is the day number since 1899-12-30 plus the time of day, the time being
subtracted for days before that epoch (1899-12-28 12:00 is -2.5)."""
import datetime as dt

EPOCH = dt.datetime(1899, 12, 30)


def tdt(d):
    delta = d - EPOCH
    frac = (delta.seconds + delta.microseconds / 1e6) / 86400
    return delta.days + frac if delta.days >= 0 else delta.days - frac


def from_continuous(c):
    return EPOCH + dt.timedelta(days=c)


print("transforms before the epoch (start, stop, length, pixel -> TDateTime):")
for s, e, L, p in [(-2, -1, 100, 50), (-6, 15, 210, 35), (-6, 15, 210, 55), (-6, 15, 210, 90)]:
    d = from_continuous(s + (e - s) * p / L)
    print(" ", (s, e, L, p), d, tdt(d))

v = dt.datetime(2024, 3, 15, 10, 20, 30)
print("2024-03-15 10:20:30 is a", v.strftime("%A"), "=", tdt(v))
print("  day up/down:", tdt(dt.datetime(2024, 3, 16)), tdt(dt.datetime(2024, 3, 15)))
print("  month up/down:", tdt(dt.datetime(2024, 4, 1)), tdt(dt.datetime(2024, 3, 1)))
print("  3-hour up/down:", tdt(dt.datetime(2024, 3, 15, 12)), tdt(dt.datetime(2024, 3, 15, 9)))
sunday_after = v.date() + dt.timedelta(days=(6 - v.weekday()) % 7 or 7)
sunday_before = v.date() - dt.timedelta(days=(v.weekday() + 1) % 7)
print("  week (Sundays) up/down:", sunday_after, sunday_before)
print("  year up/down:", tdt(dt.datetime(2025, 1, 1)), tdt(dt.datetime(2024, 1, 1)))

# 2.5-s majors counted in milliseconds of the year: 12:00:01.3 rounds up to 12:00:02.5.
t = dt.datetime(2024, 3, 15, 12, 0, 1, 300000)
ms = int((t - dt.datetime(2024, 1, 1)).total_seconds() * 1000)
up = t + dt.timedelta(milliseconds=(2500 - ms % 2500) % 2500)
print("12:00:01.3 up to 2.5 s:", up.time())

print("ten minutes from 14:00 on 2024-03-01: labels every 5 minutes,",
      [(dt.datetime(2024, 3, 1, 14) + dt.timedelta(minutes=m)).strftime("%H:%M") for m in (0, 5, 10)])
print("half year 2024-01-01 .. 2024-07-01 month labels:",
      [dt.date(2024, m, 1).strftime("%b %y") for m in range(1, 8)])

# Hourly ticks across the epoch: 1899-12-29 18:00 .. 1899-12-30 06:00.
a = dt.datetime(1899, 12, 29, 18)
print("hours across the epoch:", [tdt(a + dt.timedelta(hours=h)) for h in range(0, 13, 3)])

# Sundays between 2024-03-01 and 2024-04-15 (majors of the week rows).
d0 = dt.date(2024, 3, 1)
print("Sundays:", [str(d0 + dt.timedelta(days=i)) for i in range(46)
                   if (d0 + dt.timedelta(days=i)).weekday() == 6])
