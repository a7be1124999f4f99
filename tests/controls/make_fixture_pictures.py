#!/usr/bin/env python3
# Makes the pictures of the controls_all fixture book: small 8-bit, bottom-up BMPs, a moon
# for the picture button and the inline picture, and a band of reeds for the block picture.
# Run from this folder: python3 make_fixture_pictures.py (rewrites the files byte for byte).
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fixtures", "books", "controls_all", "pictures")


def write_bmp(path, width, height, palette, pixel):
    """Writes an uncompressed 8-bit bottom-up BMP; pixel(x, y) gives the palette index, y from the top."""
    stride = (width + 3) & ~3
    rows = bytearray()
    for y in reversed(range(height)):
        rows += bytes(pixel(x, y) for x in range(width)) + bytes(stride - width)
    colours = bytearray()
    for r, g, b in palette:
        colours += bytes((b, g, r, 0))
    colours += bytes(4 * (256 - len(palette)))
    offset = 14 + 40 + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(rows), 2835, 2835, 256, 0)
    with open(path, "wb") as f:
        f.write(header + info + colours + rows)


def moon(x, y):
    """A 24 x 24 crescent moon on a night sky, framed in ink."""
    if x in (0, 23) or y in (0, 23):
        return 0
    inside = (x - 11.5) ** 2 + (y - 11.5) ** 2 <= 64
    shadow = (x - 15.5) ** 2 + (y - 9.5) ** 2 <= 49
    return 2 if inside and not shadow else 1


def reeds(x, y):
    """A 96 x 16 band of reeds over water."""
    if y >= 12:
        return 3
    stalk = x % 7 == 3 and y >= 2 + (x * 5) % 6
    return 4 if stalk else 5


PALETTE = [
    (0, 0, 0),        # 0 ink
    (40, 50, 90),     # 1 night sky
    (250, 235, 160),  # 2 moonlight
    (60, 80, 90),     # 3 water
    (90, 110, 70),    # 4 reeds
    (255, 255, 255),  # 5 paper
]

os.makedirs(OUT, exist_ok=True)
write_bmp(os.path.join(OUT, "1705.bmp"), 24, 24, PALETTE, moon)
write_bmp(os.path.join(OUT, "1706.bmp"), 96, 16, PALETTE, reeds)
