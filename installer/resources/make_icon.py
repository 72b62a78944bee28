#!/usr/bin/env python3
"""Writes installer.ico: a 32x32, 16-colour picture of a parcel with a
downward arrow. Run it again only when the picture changes."""
import struct
import sys

SIZE = 32
# 16-entry palette (B, G, R, 0).
PALETTE = [(0, 0, 0), (0x20, 0x60, 0xA0), (0x40, 0x90, 0xD0), (0xFF, 0xFF, 0xFF),
           (0x30, 0x30, 0x30)] + [(0, 0, 0)] * 11


def pixel(x, y):
    """Palette index at (x, y), y counted from the top; None = transparent."""
    if 4 <= x < 28 and 8 <= y < 28:  # the parcel
        if x in (4, 27) or y in (8, 27):
            return 4
        if 14 <= x < 18:
            return 3  # the tape
        return 1 if y >= 14 else 2
    if 12 <= x < 20 and 0 <= y < 8:  # arrow shaft and head above the parcel
        if 14 <= x < 18 or y >= 4 and abs(x - 15.5) < (8 - y):
            return 3
    return None


def main(path):
    xor_rows, and_rows = [], []
    for y in reversed(range(SIZE)):  # bottom-up rows
        row = bytearray()
        mask = 0
        for x in range(0, SIZE, 2):
            a, b = pixel(x, y), pixel(x + 1, y)
            row.append(((a or 0) << 4) | (b or 0))
        for x in range(SIZE):
            mask = (mask << 1) | (1 if pixel(x, y) is None else 0)
        xor_rows.append(bytes(row))
        and_rows.append(struct.pack(">I", mask))
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("BBBB", *c, 0) for c in PALETTE)
    image = header + palette + b"".join(xor_rows) + b"".join(and_rows)
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 22)
    with open(path, "wb") as f:
        f.write(directory + image)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "installer.ico")
