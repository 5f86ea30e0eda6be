#!/usr/bin/python3
"""Reference bytes of the series stream record, packed field by field with struct
(little-endian, no padding), independently of the C++ code. SeriesRecordsTest.cpp pastes the
printed hex and offsets.

The record: a point series "RecForm.Points" with every field away from its default, naming
vectors, axes and a later series by path; and the old layout whose extension marker after
the four references is 0 (no MergeLegendItemWith, DrawBandTo or end marker).
"""
import struct


def hexbytes(data):
    return " ".join(f"{b:02X}" for b in data)


def text(s):
    b = s.encode("utf-8")
    return struct.pack("<i", len(b)) + b


def gradient(visible=False, style=0, first=0xFFD3D3D3, middle=0xFFB0B0B0, last=0xFF808080,
             angle=90.0, center=0.5, cx=0.5, cy=0.5):
    return struct.pack("<BBIIIffffB", visible, style, first, middle, last, angle, center, cx, cy, 0)


def cpp(name, data):
    """The bytes as a C++ string of hex pairs, split into literals of 24 bytes."""
    lines = [hexbytes(data[k:k + 24]) for k in range(0, len(data), 24)]
    body = "\n".join(f'    "{line} "' for line in lines)
    return f"constexpr const char* {name} =\n{body};"


head = (text("TVxPointSeries") + text("RecForm.Points") + text("T\u00b0 \"in\"\r\nside") +
        struct.pack("<BBBB", 0, 1, 0, 0) +              # Visible, OutliersVisible, IncludeInLegend, AutoUpdate
        struct.pack("<i", -4) +                          # Layer
        struct.pack("<BIfBB", 0, 0xFF008000, 2.5, 2, 0) +  # line: hidden, green, 2.5, dash style 2
        struct.pack("<BIIBB", 1, 0xFF0000FF, 0xFFFFFF00, 1, 1) +  # area: visible, style 1
        gradient(True, 1, 0xFF010203, 0xFF040506, 0xFF070809, 30.0, 0.25, 0.75, 0.125) + b"\x00" +
        text("RecForm.VX") + text("RecForm.VY") + text("RecForm.AX") + text("RecForm.AY"))
links = struct.pack("<B", 1) + text("RecForm.Later") + text("RecForm.Later") + struct.pack("<B", 0)
symbol = struct.pack("<BffIIBB", 0, 7.0, 2.0, 0xFF102030, 0x80405060, 4, 0)
record = head + links + symbol
old = head + struct.pack("<B", 0) + symbol

if __name__ == "__main__":
    print(cpp("Head", head))
    print(cpp("Links", links))
    print(cpp("Symbol", symbol))
    print("record length", len(record))
    print("offset links end marker", len(head) + len(links) - 1)
    print("offset symbol kind", len(record) - 2)
    print("offset symbol end marker", len(record) - 1)
    print("offset Layer", len(text("TVxPointSeries") + text("RecForm.Points") +
                                text("T\u00b0 \"in\"\r\nside")) + 4)
