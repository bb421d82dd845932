#!/usr/bin/env python3
"""Draws the program icon, a clock face, and writes it as resources/kv.ico.

The icon holds a 32x32 and a 16x16 image in 16 colours (4 bits per pixel,
the palette every version of Windows shows), each with its transparency
mask. The output depends on nothing but this script, so running it again
gives the same bytes.

Usage: scripts/make_icon.py [output path]   (default: resources/kv.ico)
"""

import math
import os
import struct
import sys

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, NAVY, GREY, RED, WHITE = 0, 4, 8, 9, 15
TRANSPARENT = None

# Each image is described by its geometry in pixels. Lines fall on whole
# pixels: two-pixel lines around a centre between pixels (32x32), one-pixel
# lines around a centre in a pixel's middle (16x16, which leaves its last
# row and column empty).
STYLES = {
    32: dict(centre=16.0, radius=15.9, rim=2.2, tick_long=3.2, tick_short=2.0, tick_width=2.0,
             minute_len=11.0, hour_len=6.5, hand_width=2.0, second_len=12.0, hub=2.0),
    16: dict(centre=7.5, radius=7.6, rim=1.2, tick_long=1.5, tick_short=0.0, tick_width=1.0,
             minute_len=5.6, hour_len=3.6, hand_width=1.0, second_len=0.0, hub=0.0),
}

# Where the hands point, in clock hours (the minute hand at 12, the hour
# hand at 3: straight lines that stay sharp at 16x16) and the second hand's
# angle, which only the large image shows.
MINUTE_AT = 12.0
HOUR_AT = 3.0
SECOND_AT = 7.5

SUBSAMPLES = 4  # per axis: a pixel takes the colour most of its samples have


def direction(clock_hour):
    """Unit vector (x right, y down) pointing at a clock hour."""
    angle = math.radians(clock_hour * 30.0)
    return math.sin(angle), -math.cos(angle)


def near_segment(px, py, cx, cy, clock_hour, start, length, width):
    """True when (px, py) lies on the bar from `start` to `length` along a clock hour."""
    dx, dy = direction(clock_hour)
    rx, ry = px - cx, py - cy
    along = rx * dx + ry * dy
    across = abs(rx * dy - ry * dx)
    return start <= along <= length and across <= width / 2.0


def colour_at(px, py, s):
    """Colour of the clock face at a point, front to back; None outside the clock."""
    c = s["centre"]
    distance = math.hypot(px - c, py - c)
    if distance > s["radius"]:
        return TRANSPARENT
    if s["hub"] and distance <= s["hub"]:
        return RED
    if s["second_len"] and near_segment(px, py, c, c, SECOND_AT, 0.0, s["second_len"], 1.0):
        return RED
    if near_segment(px, py, c, c, MINUTE_AT, 0.0, s["minute_len"], s["hand_width"]):
        return BLACK
    if near_segment(px, py, c, c, HOUR_AT, 0.0, s["hour_len"], s["hand_width"]):
        return BLACK
    if distance > s["radius"] - s["rim"]:
        return NAVY
    inner = s["radius"] - s["rim"]
    for hour in range(12):
        quarter = hour % 3 == 0
        length = s["tick_long"] if quarter else s["tick_short"]
        if length and near_segment(px, py, c, c, hour, inner - length, inner, s["tick_width"]):
            return BLACK if quarter else GREY
    return WHITE


def render(size):
    """Rows of palette indexes (None for transparent), top row first."""
    style = STYLES[size]
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            votes = {}
            for sy in range(SUBSAMPLES):
                for sx in range(SUBSAMPLES):
                    point = (x + (sx + 0.5) / SUBSAMPLES, y + (sy + 0.5) / SUBSAMPLES)
                    colour = colour_at(point[0], point[1], style)
                    votes[colour] = votes.get(colour, 0) + 1
            # Ties go to the colour listed first in this order, so the
            # result never depends on dictionary order.
            order = [BLACK, RED, NAVY, GREY, WHITE, TRANSPARENT]
            row.append(max(order, key=lambda k: (votes.get(k, 0), -order.index(k))))
        rows.append(row)
    return rows


def padded(data):
    """Bitmap rows are padded to whole 32-bit words."""
    return data + b"\0" * (-len(data) % 4)


def image_bytes(rows):
    """One icon image: BITMAPINFOHEADER, palette, colour bits and mask, rows bottom-up."""
    size = len(rows)
    colour_rows = []
    mask_rows = []
    for row in reversed(rows):
        nibbles = [0 if p is TRANSPARENT else p for p in row]
        colour_rows.append(padded(bytes((nibbles[i] << 4) | nibbles[i + 1]
                                        for i in range(0, size, 2))))
        bits = 0
        for p in row:
            bits = (bits << 1) | (1 if p is TRANSPARENT else 0)
        mask_rows.append(padded(bits.to_bytes(size // 8, "big")))
    colour = b"".join(colour_rows)
    mask = b"".join(mask_rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(colour) + len(mask),
                         0, 0, 0, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + colour + mask


def icon_file(sizes):
    """An .ico file holding one image per size."""
    images = [image_bytes(render(size)) for size in sizes]
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for size, image in zip(sizes, images):
        directory += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    return directory + b"".join(images)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "resources", "kv.ico")
    with open(output, "wb") as f:
        f.write(icon_file([32, 16]))


if __name__ == "__main__":
    main()
