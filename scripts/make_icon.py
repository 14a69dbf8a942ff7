#!/usr/bin/env python3
"""Draws Corvane's icon: a processor chip whose one lit core is the pin.

Writes res/corvane.ico with a 32x32 and a 16x16 image, 16 colours each, so
that both sizes are drawn pixel by pixel rather than scaled.
"""
import struct
import sys

# The standard 16-colour palette (BGR order is applied when written).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
T = None  # transparent
BLACK, DGREY, LGREY, WHITE, NAVY, BLUE, YELLOW, OLIVE = 0, 8, 7, 15, 4, 12, 11, 3


def chip(size):
    px = [[T] * size for _ in range(size)]
    s = size // 16  # 1 at 16x16, 2 at 32x32

    def rect(x0, y0, x1, y1, c):
        for y in range(y0, y1):
            for x in range(x0, x1):
                px[y][x] = c

    body0, body1 = 3 * s, size - 3 * s
    # pins on all four sides
    for i in range(4):
        p = body0 + s + i * 3 * s
        rect(p, 1 * s, p + s, body0, LGREY)
        rect(p, body1, p + s, size - 1 * s, LGREY)
        rect(1 * s, p, body0, p + s, LGREY)
        rect(body1, p, size - 1 * s, p + s, LGREY)
    # the package with a dark outline
    rect(body0, body0, body1, body1, BLACK)
    rect(body0 + 1, body0 + 1, body1 - 1, body1 - 1, NAVY)
    # four cores; the first one is lit
    half = (body1 - body0) // 2
    inner = s + (1 if s > 1 else 0)
    for cy in range(2):
        for cx in range(2):
            x0 = body0 + cx * half + inner
            y0 = body0 + cy * half + inner
            x1 = body0 + (cx + 1) * half - inner + (0 if s > 1 else 1)
            y1 = body0 + (cy + 1) * half - inner + (0 if s > 1 else 1)
            lit = cx == 0 and cy == 0
            rect(x0, y0, x1, y1, YELLOW if lit else BLUE)
            if lit and s > 1:
                rect(x0, y1 - 1, x1, y1, OLIVE)
                rect(x1 - 1, y0, x1, y1, OLIVE)
    return px


def bmp_entry(px):
    size = len(px)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    xor_rows, and_rows = [], []
    for y in reversed(range(size)):
        row = px[y]
        nibbles = [(0 if c is None else c) for c in row]
        xor = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        xor += b"\0" * ((4 - len(xor) % 4) % 4)
        bits = 0
        mask = bytearray()
        for x, c in enumerate(row):
            bits = (bits << 1) | (1 if c is None else 0)
            if x % 8 == 7:
                mask.append(bits)
                bits = 0
        mask += b"\0" * ((4 - len(mask) % 4) % 4)
        xor_rows.append(xor)
        and_rows.append(bytes(mask))
    return header + palette + b"".join(xor_rows) + b"".join(and_rows)


def main(out):
    images = [bmp_entry(chip(32)), bmp_entry(chip(16))]
    sizes = [32, 16]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for img, size in zip(images, sizes):
        data += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(img), offset)
        offset += len(img)
    data += b"".join(images)
    with open(out, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "res/corvane.ico")
