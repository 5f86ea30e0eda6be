#!/usr/bin/env python3
"""Independent reading of a saved chart's XML and ini layout (GraphRecordsTest.cpp).

Reads the seeds of fuzz_graph_records (the fuzz chart saved with its values; the first byte
of each seed names the container) with xml.etree and configparser, and prints the graph
element's children in order with their children's tags, and the ini sections in order
with their "Name" and "Type" keys, for pasting into the test.
"""
import configparser
import os
import xml.etree.ElementTree as ET

corpus = os.path.join(os.path.dirname(__file__), "..", "..", "..", "fuzz", "corpus",
                      "fuzz_graph_records")

with open(os.path.join(corpus, "xml"), "rb") as f:
    root = ET.fromstring(f.read()[1:])
print("root:", root.tag, root.get("Name"))
for child in root:
    print("  ", child.tag, [c.tag for c in child if c.tag != "Font"], child.get("Count"))

ini = configparser.ConfigParser(interpolation=None, strict=True)
ini.optionxform = str
with open(os.path.join(corpus, "ini"), "rb") as f:
    ini.read_string(f.read()[1:].decode("utf-8"))
for section in ini.sections():
    s = ini[section]
    print(section, s.get("Name"), s.get("Type", ""))
