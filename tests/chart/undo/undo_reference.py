#!/usr/bin/env python3
"""Reference values for UndoStackTest.cpp, computed without the code under test."""
import struct

# 0.1 + 0.2 as IEEE 754 binary64 bits: the value an undo must give back bit for bit.
s = 0.1 + 0.2
print("0.1+0.2 bits = 0x%016X" % struct.unpack("<Q", struct.pack("<d", s))[0])
# The same value through a 4-byte float differs: a log that stored floats would lose it.
print("rounded through float32 equal:", struct.unpack("<f", struct.pack("<f", s))[0] == s)
