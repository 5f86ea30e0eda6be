#!/usr/bin/env python3
"""Expected bytes of the legend's own fields in its binary record (LegendRecordsTest.cpp).

Little-endian scalars: bytes, int32, IEEE single; texts as an int32 byte count followed by
UTF-8; colours as signed int32 ARGB. The style records in between (fonts, frame, gradient)
have their own tests and are spliced in by the test. Run: python3 legend_record_reference.py
"""
import struct


def text(s):
    b = s.encode("utf-8")
    return struct.pack("<i", len(b)) + b


def colour(argb):
    return struct.pack("<i", argb - (1 << 32) if argb >= 1 << 31 else argb)


head = b"".join([
    text("LegendForm.Legend"),   # the legend's path
    text("LegendForm.Graph"),    # its parent
    struct.pack("<B", 1),        # Visible
    text("tip"),                 # Hint
    struct.pack("<BBB", 0, 1, 10),  # ParentShowHint, ShowHint, Position FreeFloating
    text("LegendForm.Graph"),    # Graph
    struct.pack("<ii", 20, 30),  # Top, Left
    struct.pack("<B", 0),        # AutoSize
    struct.pack("<ii", 150, 60),  # Width, Height
    struct.pack("<ff", 0.0, 50.5),  # ItemHeight (the property), ItemWidth
    colour(0xFF112233),          # ForeColor
    colour(0x80FFFFFF),          # BackColor
    struct.pack("<BB", 1, 1),    # LegendCaptionColorFrom SeriesLineColor, ItemsOrder ByRow
    struct.pack("<ii", 2, 3),    # Rows, Columns
    struct.pack("<i", 2), text("LegendForm.SA"), text("\u03a9.x"),  # ItemsOrderList
])
middle = b"".join([
    struct.pack("<fffff", 2.5, 4.0, 3.0, 10.0, 8.0),  # CornerRounding and the distances
    struct.pack("<B", 1),        # CaptionVisible
    text("Line 1\rLine 2"),      # Caption
    struct.pack("<B", 0),        # CaptionAlignment Left
    colour(0xFF0000AA),          # CaptionColor
    struct.pack("<ff", 1.5, 2.25),  # CaptionDistanceBefore, CaptionDistanceAfter
])
extension = struct.pack("<BB", 1, 1)  # extension marker, DropShadow
end = struct.pack("<B", 0)

for name, value in [("Head", head), ("Middle", middle), ("Extension", extension),
                    ("End", end)]:
    print(f'const QByteArray {name} = QByteArray::fromHex("{value.hex()}");')
