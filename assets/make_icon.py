#!/usr/bin/env python3
"""Writes korvane.ico, the application icon, at 48, 32, 24 and 16 pixels in 32-bit colour.

The artwork: a rounded square in a blue gradient holding a white head-and-shoulders portrait,
with a small grey phone at its lower right (the avatar with its badge). Each pixel is the
coverage-weighted mix of 8 x 8 sample points, so the edges are smooth at every size; the samples
sit on a fixed grid, so the output is the same on every machine.

Usage: make_icon.py KORVANE.ico
"""
import struct
import sys

SIZES = (48, 32, 24, 16)
SAMPLES = 8


def rounded_rect(u, v, left, top, right, bottom, radius):
    """Inside test in unit coordinates (0..1 across the icon)."""
    if not (left <= u <= right and top <= v <= bottom):
        return False
    cx = min(max(u, left + radius), right - radius)
    cy = min(max(v, top + radius), bottom - radius)
    return (u - cx) ** 2 + (v - cy) ** 2 <= radius * radius


def shape_at(u, v):
    """The colour (r, g, b) of the artwork at a sample point, or None outside it."""
    # Phone badge over the lower-right corner, drawn on top of everything else.
    if rounded_rect(u, v, 0.62, 0.50, 0.90, 0.96, 0.05):
        if 0.66 <= u <= 0.86 and 0.56 <= v <= 0.86:
            return (150, 214, 250)  # its screen
        return (88, 96, 110)
    if not rounded_rect(u, v, 0.04, 0.04, 0.96, 0.96, 0.2):
        return None
    # Head and shoulders.
    if (u - 0.44) ** 2 + (v - 0.38) ** 2 <= 0.155 ** 2:
        return (255, 255, 255)
    if v >= 0.60 and ((u - 0.44) / 0.30) ** 2 + ((v - 0.90) / 0.28) ** 2 <= 1.0 and v <= 0.84:
        return (255, 255, 255)
    # Background: lighter toward the upper left.
    t = (u + v) / 2.0
    return (int(64 - 40 * t), int(156 - 70 * t), int(236 - 40 * t))


def render(size):
    """Rows top first of (b, g, r, a)."""
    rows = []
    n = SAMPLES * SAMPLES
    for y in range(size):
        row = []
        for x in range(size):
            r = g = b = covered = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    u = (x + (sx + 0.5) / SAMPLES) / size
                    v = (y + (sy + 0.5) / SAMPLES) / size
                    c = shape_at(u, v)
                    if c is not None:
                        r += c[0]
                        g += c[1]
                        b += c[2]
                        covered += 1
            if covered:
                row.append((b // covered, g // covered, r // covered, covered * 255 // n))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def icon_image(size):
    rows = render(size)
    colour = bytearray()
    mask = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    for row in reversed(rows):  # bottom row first
        bits = bytearray(mask_stride)
        for x, (b, g, r, a) in enumerate(row):
            colour += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    return header + bytes(colour) + bytes(mask)


def ico_bytes():
    images = [icon_image(s) for s in SIZES]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    return bytes(out)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write(__doc__)
        return 2
    with open(argv[1], "wb") as f:
        f.write(ico_bytes())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
