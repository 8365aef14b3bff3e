#!/usr/bin/env python3
"""Draws the program's icons, a gold key on a blue disc, into three files
under resources/ (their IDs are in resource.h):

  main.ico          the window icon: 16, 20, 24, 32, 40, 48 and 64 px, the
                    small and large icon sizes at 100 to 200 % scaling;
  tray.ico          the notification-area icon: 16, 20, 24, 32, 40 and 48 px,
                    the small-icon size at 100 to 300 % scaling;
  tray-waiting.ico  the notification-area icon while a challenge waits: the
                    same sizes and key, with an orange-red badge ringed in white
                    at the upper right, clear of the key.

Each file holds one 32-bit image (alpha edges) per size, stored as PNG where
that is smaller than the bitmap. Every size is drawn on its own pixel grid from the tables below, with the shaft and teeth on whole
pixels (and the badge too at 16 and 20 px), so none is a blurred copy of another
size.

Standard library only. Run from anywhere; the output goes next to the
resource script, and the .ico files are committed.
"""
import math
import os
import struct
import zlib

# Per size: key bow (ring) centre x, outer and inner radius; shaft top row and
# thickness; shaft end x; teeth as (left x, width, height) below the shaft;
# outline width around the key (0: none, the smallest sizes have no room).
GEOMETRY = {
    16: dict(bow_x=5.0, bow_r=3.6, hole_r=1.4, top=7, thick=2, end=14,
             teeth=((10, 1, 2), (12, 2, 3)), edge=0),
    20: dict(bow_x=6.0, bow_r=4.4, hole_r=1.8, top=9, thick=2, end=17,
             teeth=((12, 2, 2), (15, 2, 3)), edge=0),
    24: dict(bow_x=7.0, bow_r=5.0, hole_r=2.0, top=11, thick=2, end=20,
             teeth=((14, 2, 3), (17, 3, 4)), edge=1),
    32: dict(bow_x=9.0, bow_r=6.5, hole_r=2.6, top=14, thick=4, end=27,
             teeth=((19, 3, 3), (23, 4, 5)), edge=1),
    40: dict(bow_x=11.0, bow_r=8.0, hole_r=3.2, top=18, thick=4, end=34,
             teeth=((24, 3, 4), (29, 5, 6)), edge=1),
    48: dict(bow_x=13.0, bow_r=9.5, hole_r=3.8, top=21, thick=6, end=41,
             teeth=((29, 4, 5), (35, 6, 7)), edge=2),
    64: dict(bow_x=17.5, bow_r=12.5, hole_r=5.0, top=28, thick=8, end=55,
             teeth=((38, 6, 6), (47, 8, 9)), edge=2),
}
MAIN_SIZES = sorted(GEOMETRY)
TRAY_SIZES = (16, 20, 24, 32, 40, 48)  # SM_CXSMICON at 100, 125, 150, 200, 250 and 300 %

# The waiting badge per tray size: centre x and y, outer radius, white rim
# width, and whether it is crisp. It sits in the corner above the shaft and
# right of the bow, so it covers no part of the key, and reaches past the disc
# so the outline changes. A crisp badge takes the pixels whose centres are in
# its circles, whole pixels with no soft edge, which at 16 and 20 px reads as a
# round dot; the larger ones have smooth edges like the disc.
BADGE = {
    16: dict(x=12.5, y=3.5, r=3.5, rim=1.0, crisp=True),    # 7 px: 5 px of red
    20: dict(x=16.0, y=4.0, r=4.0, rim=1.0, crisp=True),    # 8 px: 6 px of red
    24: dict(x=19.0, y=5.0, r=5.0, rim=1.5, crisp=False),   # 10 px
    32: dict(x=26.0, y=6.0, r=6.0, rim=2.0, crisp=False),   # 12 px
    40: dict(x=32.5, y=7.5, r=7.5, rim=2.5, crisp=False),   # 15 px
    48: dict(x=39.0, y=9.0, r=9.0, rim=3.0, crisp=False),   # 18 px
}

DISC = (33, 99, 214)
DISC_RIM = (14, 44, 120)
GOLD = (255, 204, 40)
GOLD_EDGE = (128, 84, 0)
BADGE_FILL = (236, 60, 20)
BADGE_RIM = (255, 255, 255)
SAMPLES = 8  # per pixel and axis: smooth round edges, straight ones stay on the grid


def coverage(size, inside):
    """Rows of the fraction of each pixel that the shape inside(x, y) covers."""
    step = 1.0 / SAMPLES
    offsets = [(i + 0.5) * step for i in range(SAMPLES)]
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            hits = sum(1 for dy in offsets for dx in offsets if inside(x + dx, y + dy))
            row.append(hits / (SAMPLES * SAMPLES))
        rows.append(row)
    return rows


def pixel_mask(size, inside):
    """Rows of 1.0 where the pixel's centre is inside(x, y), else 0.0."""
    return [[1.0 if inside(x + 0.5, y + 0.5) else 0.0 for x in range(size)]
            for y in range(size)]


def key_shape(g, grow):
    """The key, widened by grow pixels on every side (for its outline)."""
    mid = g["top"] + g["thick"] / 2.0
    bow_x, bow_r, hole_r = g["bow_x"], g["bow_r"] + grow, g["hole_r"] - grow
    shaft = (g["bow_x"] - grow, g["top"] - grow, g["end"] + grow, g["top"] + g["thick"] + grow)
    teeth = [(x - grow, g["top"] + g["thick"], x + w + grow, g["top"] + g["thick"] + h + grow)
             for x, w, h in g["teeth"]]

    def inside(px, py):
        d = math.hypot(px - bow_x, py - mid)
        if d <= bow_r:
            return d >= hole_r
        for left, top, right, bottom in [shaft] + teeth:
            if left <= px < right and top <= py < bottom:
                return True
        return False

    return inside


def draw(size, badge=False):
    """Rows (top first) of (r, g, b, a) for one size, with the waiting badge
    when badge is set."""
    g = GEOMETRY[size]
    c = size / 2.0
    disc = coverage(size, lambda x, y: math.hypot(x - c, y - c) <= c - 0.25)
    disc_inner = coverage(size, lambda x, y: math.hypot(x - c, y - c) <= c - 1.25)
    layers = []
    if g["edge"]:
        layers.append((GOLD_EDGE, coverage(size, key_shape(g, g["edge"]))))
    layers.append((GOLD, coverage(size, key_shape(g, 0))))
    if badge:
        b = BADGE[size]
        paint = pixel_mask if b["crisp"] else coverage
        for color, radius in ((BADGE_RIM, b["r"]), (BADGE_FILL, b["r"] - b["rim"])):
            layers.append((color, paint(
                size, lambda x, y, r=radius: math.hypot(x - b["x"], y - b["y"]) <= r)))

    image = []
    for y in range(size):
        row = []
        for x in range(size):
            # Disc: rim colour, the lighter face inside it.
            a = disc[y][x]
            inner = disc_inner[y][x] / a if a else 0.0
            color = [DISC_RIM[i] + (DISC[i] - DISC_RIM[i]) * inner for i in range(3)]
            for layer_color, cov in layers:
                k = cov[y][x]  # straight-alpha "over"
                out = k + a * (1 - k)
                if out:
                    color = [(layer_color[i] * k + color[i] * a * (1 - k)) / out for i in range(3)]
                a = out
            row.append(tuple(int(round(v)) for v in color) + (int(round(a * 255)),))
        image.append(row)
    return image


def dib(size, pixels):
    """One icon image: BITMAPINFOHEADER, 32-bit BGRA rows, 1-bit AND mask."""
    and_row = ((size + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(pixels):  # bottom-up
        bits = bytearray(and_row)
        for x, (r, g, b, a) in enumerate(row):
            xor += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def png(size, pixels):
    """One icon image as a PNG (straight RGBA): a twentieth of the bitmap's size."""
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in pixels)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def image(size, badge=False):
    """The smaller of the bitmap and the PNG, which Windows reads in icons since
    Vista: the program carries every size."""
    pixels = draw(size, badge)
    return min(dib(size, pixels), png(size, pixels), key=len)


def ico(images):
    """An .ico file from (size, image bytes) pairs."""
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, data in images:
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return directory + entries + b"".join(data for _, data in images)


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")
    files = (("main.ico", MAIN_SIZES, False),
             ("tray.ico", TRAY_SIZES, False),
             ("tray-waiting.ico", TRAY_SIZES, True))
    for name, sizes, badge in files:
        with open(os.path.join(out, name), "wb") as f:
            f.write(ico([(size, image(size, badge)) for size in sizes]))


if __name__ == "__main__":
    main()
