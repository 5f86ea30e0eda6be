#!/usr/bin/python3
"""Reference bytes of the axis stream record, packed field by field with struct
(little-endian, no padding), independently of the C++ code. AxisRecordsTest.cpp pastes the
printed hex and offsets.

The record: an axis "RecForm.Slave" with rubrics, a zoom history and all three extensions,
every field away from its default; the pieces are printed separately so that the test can
build the old layouts (ending with 0 after the zoom history, after the tick parts and after
the grid mode) and the forged records.
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


def font(name, size, style, fill):
    return (text(name) + struct.pack("<iBB", round(size), style, 1) +
            struct.pack("<BBI", 0, 0, fill) + gradient() + struct.pack("<BfB", 1, size, 0))


def vector(values):
    # path (empty: the list is no component), Increment 128, Capacity = count, not bound,
    # count and values, no outliers, final 0
    return (text("") + struct.pack("<iiB", 128, len(values), 0) + struct.pack("<i", len(values)) +
            struct.pack(f"<{len(values)}d", *values) + struct.pack("<BB", 0, 0))


FONT_FILL = 0xFF223344
CAPTION_FILL = 0xFF445566

fields = [
    text("RecForm.Slave"),                        # 1 path
    struct.pack("<B", 0),                         # 2 Visible
    text("tip"),                                  # 3 Hint
    struct.pack("<BB", 0, 1),                     # 4-5 ParentShowHint, ShowHint
    struct.pack("<B", 1),                         # 6 Position Left
    struct.pack("<ii", 7, -3),                    # 7-8 Top, Left
    struct.pack("<B", 0),                         # 9 AutoSize
    struct.pack("<ii", 33, 250),                  # 10-11 Width, Height
    struct.pack("<5f", 2, 3, 0.5, 12, 4),         # 12-16 thicknesses and lengths
    struct.pack("<III", 0xFF102030, 0xFF405060, 0x80706050),  # 17-19 colours
    text("Temp\u00b0C"),                          # 20 Caption
    struct.pack("<BBB", 0, 1, 0),                 # 21-23 visible, horizontal, alignment Left
    struct.pack("<I", CAPTION_FILL),              # 24 CaptionColor (the caption font's fill)
    struct.pack("<ff", 1.5, 2.5),                 # 25-26 caption distances
    font("Liberation Serif", 11, 2, CAPTION_FILL),  # 27 CaptionFont (italic)
    struct.pack("<B", 2),                         # 28 Scaling LogEE
    struct.pack("<d", 2.5),                       # 29 LogToNormalScalingLevel
    struct.pack("<BBB", 1, 1, 0),                 # 30-32 TicksPointToData, Twisted, NumbersVisible
    struct.pack("<I", FONT_FILL),                 # 33 NumbersColor (the font's fill)
    struct.pack("<f", 45),                        # 34 RubricsAngle
    struct.pack("<dd", 5, 1),                     # 35-36 moving slit
    struct.pack("<i", 2),                         # 37 ExtraDigits
    struct.pack("<dd", 1e4, 1e-4),                # 38-39 extra exponent thresholds
    struct.pack("<B", 0),                         # 40 AutoTickParts
    struct.pack("<ddd", 2, 1, 0.25),              # 41-43 parts
    font("DejaVu Sans", 9, 5, FONT_FILL),         # 44 Font (bold, underline)
    struct.pack("<dd", 0.5, 2000),                # 45-46 Start, Stop
    struct.pack("<BBB", 5, 2, 1),                 # 47-49 RndNothing, Fixed, FirstSet
    struct.pack("<B", 0),                         # 50 no data binding
    struct.pack("<i", 3) + text("a") + text("b\u00e4") + text("c"),  # 51 rubrics
    b"".join(text(t) for t in ["MMM", "MMMM yyyy", "dd", "dd hh", "hh:mm", "hh:mm:ss",
                               "ss.zzz"]),        # 52 formats
    struct.pack("<B", 1),                         # 53 IsSlaveAxis
    text("RecForm.Master"),                       # 54 MasterAxis
    struct.pack("<dd", 3, 2),                     # 55-56 SlaveOffset, SlaveSlope
    struct.pack("<Bfff", 1, 8, 6, 4),             # 57 arrow point
    struct.pack("<fff", 1, 2, 11),                # 58 distances
]
prefix = b"".join(fields)
zoom_starts, zoom_stops, zoom_index = [0.5, 1, 2], [2000, 1000, 500], 1
zoom = struct.pack("<B", 1) + vector(zoom_starts) + vector(zoom_stops) + struct.pack("<i", zoom_index)
ext60 = struct.pack("<Bf", 1, 1.5) + struct.pack("<9d", 2, 1, 0.5, 1, 0.5, 0.25, 0.5, 0.25, 0.05)
ext61 = struct.pack("<BB", 1, 1)
ext62 = struct.pack("<Bdd", 1, 0.75, 1500)
end = struct.pack("<B", 0)
record = prefix + zoom + ext60 + ext61 + ext62 + end

def cpp(name, data):
    """The bytes as a C++ string of hex pairs, split into literals of 24 bytes."""
    lines = [hexbytes(data[k:k + 24]) for k in range(0, len(data), 24)]
    body = "\n".join(f'    "{line} "' for line in lines)
    return f"constexpr const char* {name} =\n{body};"


if __name__ == "__main__":
    print(cpp("Prefix", prefix))
    print(cpp("Zoom", zoom))
    print(cpp("Ext60", ext60))
    print(cpp("Ext61", ext61))
    print(cpp("Ext62", ext62))
    print(cpp("ZoomTwoAndThree", struct.pack("<B", 1) + vector([0.5, 1]) + vector(zoom_stops) +
                                 struct.pack("<i", 0)))
    print("record length", len(record))
    # Offsets inside the record of the fields the test forges.
    print("offset Hint count", len(b"".join(fields[:2])))
    print("offset Position", len(b"".join(fields[:4])))
    print("offset rubric count", len(b"".join(fields[:29])))
    print("offset zoom index", len(prefix) + len(zoom) - 4)
    print("offset end marker", len(record) - 1)
