#!/usr/bin/env python3
"""Writes a Windows icon file holding the given PNG images as they are (the Vista form of an
.ico, which every Windows since reads): make_ico.py OUT.ico IN.png..."""
import struct
import sys

out, images = sys.argv[1], [open(path, "rb").read() for path in sys.argv[2:]]
entries, offset = [], 6 + 16 * len(images)
for png in images:
    width, height = struct.unpack(">II", png[16:24])  # from the PNG's IHDR chunk
    entries.append(struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(png),
                               offset))
    offset += len(png)
with open(out, "wb") as icon:
    icon.write(struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(images))
