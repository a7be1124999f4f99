#!/usr/bin/env python3
# Makes the pictures of the page_layout fixture book: small 8-bit, bottom-up BMPs drawn from
# simple shapes, so the layout tests and the golden page have pictures of known sizes.
# Run from this folder: python3 make_fixture_pictures.py (rewrites the files byte for byte).
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fixtures", "books", "page_layout", "pictures")


def write_bmp(path, width, height, palette, pixel):
    """Writes an uncompressed 8-bit bottom-up BMP; pixel(x, y) gives the palette index, y from the top."""
    stride = (width + 3) & ~3
    rows = bytearray()
    for y in reversed(range(height)):
        row = bytes(pixel(x, y) for x in range(width))
        rows += row + bytes(stride - width)
    colours = bytearray()
    for r, g, b in palette:
        colours += bytes((b, g, r, 0))
    colours += bytes(4 * (256 - len(palette)))
    offset = 14 + 40 + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(rows), 2835, 2835, 256, 0)
    with open(path, "wb") as f:
        f.write(header + info + colours + rows)


def marsh(x, y):
    """A 96 x 48 marsh at dusk: banded sky, a dark bank, a tower, a black frame."""
    w, h = 96, 48
    if x in (0, w - 1) or y in (0, h - 1):
        return 0
    if 30 <= x <= 35 and y >= 12 and y < 34:
        return 0  # the tower
    if 29 <= x <= 36 and 10 <= y < 12:
        return 0  # its roof
    bank = 30 + (x * 7 // w) - (2 if 40 < x < 70 else 0)
    if y >= bank:
        return 5 if (x + y) % 4 else 6  # water and reeds
    return 1 + min(3, y * 4 // 30)  # sky bands


def lantern(x, y):
    """A 12 x 12 lantern: a diamond with a light in it."""
    d = abs(x - 5.5) + abs(y - 5.5)
    if d <= 2:
        return 7
    if d <= 5.5:
        return 0
    return 8


PALETTE = [
    (0, 0, 0),        # 0 ink
    (238, 214, 170),  # 1..4 sky, light to dark
    (214, 170, 130),
    (170, 120, 100),
    (120, 84, 90),
    (60, 80, 90),     # 5 water
    (90, 110, 70),    # 6 reeds
    (250, 220, 90),   # 7 light
    (255, 255, 255),  # 8 paper
]

os.makedirs(OUT, exist_ok=True)
write_bmp(os.path.join(OUT, "2001.bmp"), 96, 48, PALETTE, marsh)
write_bmp(os.path.join(OUT, "2002.bmp"), 12, 12, PALETTE, lantern)
