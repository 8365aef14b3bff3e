#!/usr/bin/env python3
"""Draws the program's two icons, a gold key on a blue disc, as 16-colour .ico
files: resources/tray.ico (16 x 16) and resources/main.ico (32 x 32).

Run from anywhere; the output goes next to the resource script.
"""
import math
import os
import struct

# The standard 16-colour palette, as (r, g, b); index 0 is black.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, NAVY, GREY, YELLOW, BLUE, OLIVE, WHITE = 0, 4, 8, 11, 12, 3, 15
CLEAR = None


def draw(size):
    """Returns rows (top first) of palette indices, None for transparent."""
    s = size / 32.0
    c = (size - 1) / 2.0
    pixels = [[CLEAR] * size for _ in range(size)]

    def disc(x, y):
        d = math.hypot(x - c, y - c)
        if d <= size / 2.0 - 0.3:
            pixels[y][x] = NAVY if d > size / 2.0 - 1.3 * max(s, 1.0) else BLUE

    for y in range(size):
        for x in range(size):
            disc(x, y)

    # Key: a ring at the upper left, a shaft to the lower right, two teeth.
    ring_x, ring_y = 11 * s, 11 * s
    outer, inner = 6.5 * s, 2.8 * s
    for y in range(size):
        for x in range(size):
            d = math.hypot(x + 0.5 - ring_x, y + 0.5 - ring_y)
            if inner <= d <= outer:
                pixels[y][x] = YELLOW if d < outer - 1.0 * max(s, 0.75) else OLIVE
    half = 1.6 * s
    for y in range(size):
        for x in range(size):
            px, py = x + 0.5, y + 0.5
            # distance from the diagonal through the ring's centre
            t = ((px - ring_x) + (py - ring_y)) / 2.0
            off = abs((px - ring_x) - (py - ring_y)) / math.sqrt(2.0)
            if outer - 0.5 < t * math.sqrt(2.0) < 25 * s and off <= half:
                pixels[y][x] = YELLOW
    # teeth: short squares hanging off the shaft towards the lower left
    for tx, ty in ((20.5, 24.5), (24.5, 28.0)):
        for y in range(size):
            for x in range(size):
                if abs(x + 0.5 - tx * s + 1.5 * s) <= 1.6 * s and abs(y + 0.5 - ty * s + 1.5 * s) <= 1.6 * s:
                    if pixels[y][x] is not CLEAR:
                        pixels[y][x] = YELLOW
    return pixels


def ico(size, pixels):
    """One-image .ico: BITMAPINFOHEADER, palette, 4-bit XOR rows, 1-bit AND mask."""
    xor_row = ((size * 4 + 31) // 32) * 4
    and_row = ((size + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(pixels):  # bottom-up
        line = bytearray(xor_row)
        bits = bytearray(and_row)
        for x, p in enumerate(row):
            value = 0 if p is CLEAR else p
            line[x // 2] |= value << (4 if x % 2 == 0 else 0)
            if p is CLEAR:
                bits[x // 8] |= 0x80 >> (x % 8)
        xor += line
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                         len(xor) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    image = header + palette + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")
    for name, size in (("tray.ico", 16), ("main.ico", 32)):
        with open(os.path.join(out, name), "wb") as f:
            f.write(ico(size, draw(size)))


if __name__ == "__main__":
    main()
