#!/usr/bin/env python3
"""Writes a sample skin: a 64 x 64 linen tile as a 24-bit BMP file with a
40-byte information header, the kind of file the "Skin" setting names.
Usage: scripts/make-skin.py OUTPUT.bmp"""
import math
import struct
import sys

SIZE = 64
BASE = (226, 220, 204)  # warm paper


def shade(x, y):
    # Threads across and down, each a little uneven, crossing in a plain weave.
    across = math.sin(y * math.pi / 2) * (1 + 0.3 * math.sin(x * math.pi / 16))
    down = math.sin(x * math.pi / 2) * (1 + 0.3 * math.sin(y * math.pi / 8))
    over = across if (x // 2 + y // 2) % 2 == 0 else down
    return 5 * over + 3 * math.sin((x + y) * math.pi / 32)


def main():
    rows = []
    for y in reversed(range(SIZE)):  # bottom-up
        row = bytearray()
        for x in range(SIZE):
            d = shade(x, y)
            r, g, b = (max(0, min(255, round(c + d))) for c in BASE)
            row += bytes((b, g, r))
        rows.append(bytes(row))  # 64 * 3 bytes: already a multiple of four
    pixels = b"".join(rows)
    offset = 14 + 40
    header = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(sys.argv[1], "wb") as out:
        out.write(header + info + pixels)


if __name__ == "__main__":
    main()
