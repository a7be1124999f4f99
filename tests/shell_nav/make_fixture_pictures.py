#!/usr/bin/env python3
# Makes the picture of the nav_story fixture book: picture 2, an 8 x 500 bitmap in bands
# of 50 pixels, so that a page holding only it is exactly 500 pixels high.
# Run from this folder: python3 make_fixture_pictures.py (rewrites the file byte for byte).
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fixtures", "books", "nav_story", "pictures")
WIDTH, HEIGHT = 8, 500
PALETTE = [(60, 80, 90), (214, 170, 130)]


def write_bmp(path):
    """Writes an uncompressed 8-bit bottom-up BMP of alternating bands."""
    stride = (WIDTH + 3) & ~3
    rows = bytearray()
    for y in reversed(range(HEIGHT)):
        rows += bytes((y // 50) % 2 for _ in range(WIDTH)) + bytes(stride - WIDTH)
    colours = bytearray()
    for r, g, b in PALETTE:
        colours += bytes((b, g, r, 0))
    offset = 14 + 40 + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 0, len(rows), 2835, 2835, len(PALETTE), 0)
    with open(path, "wb") as f:
        f.write(header + info + colours + rows)


if __name__ == "__main__":
    write_bmp(os.path.join(OUT, "2100.bmp"))
