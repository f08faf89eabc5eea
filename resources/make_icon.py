#!/usr/bin/env python3
"""Draws Raylet's icon group 1001 and writes resources/raylet.ico.

Three images: 32 x 32 in 16 colours, 32 x 32 in two colours and 16 x 16 in
16 colours, each a plain DIB with its transparency mask. The picture: an
infrared port seen from the side, sending three rays to the right.

Run: python3 resources/make_icon.py  (no arguments; rewrites the file)
"""
import math
import os
import struct

# The standard 16-colour palette, as (red, green, blue).
PALETTE16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_RED, GREY, SILVER, RED, WHITE = 0, 1, 8, 7, 9, 15


def pixel(x, y):
    """Colour index at (x, y) of the 32 x 32 picture, None where transparent."""
    # The port's housing: a rounded box with a black outline.
    if 2 <= x <= 14 and 8 <= y <= 23:
        corner = (x in (2, 14)) and (y in (8, 23))
        if corner:
            return None
        if x in (2, 14) or y in (8, 23):
            return BLACK
        if 10 <= x <= 13 and 11 <= y <= 20:
            return RED if (x == 11 and 12 <= y <= 14) else DARK_RED  # the lens, with a glint
        if 4 <= x <= 8 and y == 20:
            return SILVER
        if x == 3 or y == 9:
            return WHITE  # light edge
        return GREY
    # Three rays: arcs around the lens.
    cx, cy = 14.0, 15.5
    dx, dy = x + 0.5 - cx, y + 0.5 - cy
    if dx <= 0:
        return None
    angle = math.degrees(math.atan2(dy, dx))
    radius = math.hypot(dx, dy)
    for ring in (5.5, 10.0, 14.5):
        spread = 48 - ring * 1.2
        if abs(radius - ring) <= 0.9 and abs(angle) <= spread:
            return RED
    return None


def small_pixel(x, y):
    """The 16 x 16 picture: the large one halved; a ray anywhere in a 2 x 2
    block keeps the block red, so the thin arcs survive."""
    block = [pixel(2 * x + i, 2 * y + j) for i in (0, 1) for j in (0, 1)]
    if RED in block and all(v in (RED, None) for v in block):
        return RED
    return pixel(2 * x + 1, 2 * y + 1)


def mono(index):
    """Two-colour version: the housing white, outline, lens and rays black."""
    if index is None:
        return None
    return 1 if index in (WHITE, SILVER, GREY) else 0


def row_bytes(bits_per_row):
    return ((bits_per_row + 31) // 32) * 4


def image(size, bpp, source):
    palette = PALETTE16 if bpp == 4 else [(0, 0, 0), (255, 255, 255)]
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, bpp, 0,
                         (row_bytes(size * bpp) + row_bytes(size)) * size, 0, 0, 0, 0)
    colours = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in palette)
    xor_rows, and_rows = [], []
    for y in range(size - 1, -1, -1):  # bottom-up
        values = [source(x, y) for x in range(size)]
        xor_bits = bytearray(row_bytes(size * bpp))
        and_bits = bytearray(row_bytes(size))
        for x, v in enumerate(values):
            if v is None:
                and_bits[x // 8] |= 0x80 >> (x % 8)
                v = 0
            if bpp == 4:
                xor_bits[x // 2] |= v << (4 if x % 2 == 0 else 0)
            elif v:
                xor_bits[x // 8] |= 0x80 >> (x % 8)
        xor_rows.append(bytes(xor_bits))
        and_rows.append(bytes(and_bits))
    return header + colours + b''.join(xor_rows) + b''.join(and_rows)


def main():
    images = [
        (32, 16, 4, image(32, 4, pixel)),
        (32, 2, 1, image(32, 1, lambda x, y: mono(pixel(x, y)))),
        (16, 16, 4, image(16, 4, small_pixel)),
    ]
    assert [len(i[3]) for i in images] == [744, 304, 296]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, colours, bpp, data in images:
        out += struct.pack('<BBBBHHII', size, size, colours, 0, 1, bpp, len(data), offset)
        offset += len(data)
    out += b''.join(i[3] for i in images)
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'raylet.ico')
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main()
