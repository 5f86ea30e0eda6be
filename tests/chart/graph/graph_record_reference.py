#!/usr/bin/env python3
"""Independent reference for the graph's own binary record (GraphRecordsTest.cpp).

Packs with Python's struct the graph record of the test's "RefForm.G": no vectors and no
objects, then the graph's fields as the layout lists them. The caption font's record sits
between the head and the tail; the test checks it separately. Prints the head and the tail
as hex for pasting into the test.
"""
import struct


def text(s):
    b = s.encode("utf-8")
    return struct.pack("<i", len(b)) + b


def line(visible, color, width, dash):
    return struct.pack("<?IfBB", visible, color, width, dash, 0)


def gradient(visible, style, c1, c2, c3, angle, center, rx, ry):
    return struct.pack("<?BIIIffffB", visible, style, c1, c2, c3, angle, center, rx, ry, 0)


head = text("RefForm.G") + struct.pack("<?", False)
head += struct.pack("<iiii", 0, 0, 0, 0)  # axes, series, legends, markers
head += struct.pack("<?BBiiiiB", True, 3, 0, 7, 5, 321, 123, 0)  # Visible .. BorderStyle
head += text("Tip\r\n\u00e4")
head += struct.pack("<??IIB", True, False, 0xFF102030, 0x80ABCDEF, 1)
head += text("") + text("")  # primary axes
head += struct.pack("<ffff", 1.5, 2.5, -3.25, 4.0)
head += text("Title\t\u00b5")
head += struct.pack("<BIff", 0, 0xFF00FF00, 6.5, 0.25)

tail = struct.pack("<???????HH", True, False, True, False, True, True, False, 1 | 8, 4 | 8)
tail += line(True, 0xFF112233, 2.0, 1)
tail += line(False, 0xFF445566, 1.0, 0)
tail += line(True, 0x7F000000, 0.5, 2)
tail += line(False, 0xFFFFFFFF, 3.0, 3)
tail += b"\x01"
tail += gradient(True, 1, 0xFF010203, 0xFF040506, 0xFF070809, 45.0, 0.25, 0.75, 0.5)
tail += gradient(False, 0, 0xFF0A0B0C, 0xFF0D0E0F, 0xFF101112, 90.0, 0.5, 0.5, 0.5)
tail += b"\x01" + struct.pack("<B", 1)  # zoom buffer type: as a stack
tail += b"\x01" + struct.pack("<?", True)  # caption visible
tail += b"\x01" + line(True, 0xFF202020, 1.5, 0)  # data area frame
tail += b"\x01" + struct.pack("<?", True)  # back on right-bottom-left-top frame
tail += b"\x00"

print("head:", head.hex(" ").upper())
print("tail:", tail.hex(" ").upper())
