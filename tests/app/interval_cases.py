#!/usr/bin/env python3
"""Intervals (minutes) and monotonic clock readings (seconds) where a gate written as
    now < last + minutes * 60
in doubles drops a frame that came exactly the interval later (now = last + ms / 1000).
FrameAcquisitionTest.ExactlyTheIntervalLaterPasses uses some of them."""
starts = [0.1, 2.5, 10.3, 100.7]
for k in range(1, 120):
    minutes = k / 100
    ms = k * 600  # exact: minutes * 60000
    failing = [s for s in starts if s + ms / 1000 < s + minutes * 60]
    if len(failing) >= 3:
        print(minutes, ms, failing)
