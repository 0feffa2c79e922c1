#!/usr/bin/env python3
"""Draws the program icon (resource 128) and writes it as a Windows .ico file.

The picture is ours: a rounded square in a blue gradient holding a white play triangle over
three sound bars. It is drawn at build time so the repository holds no binary image.
Usage: make_icon.py OUTPUT.ico
"""
import struct
import sys

SIZES = (16, 32, 48)
SUPERSAMPLE = 4


def inside_rounded_square(x, y, radius):
    """x, y in 0..1; a square with corners rounded by radius."""
    cx = min(max(x, radius), 1 - radius)
    cy = min(max(y, radius), 1 - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius


def inside_triangle(x, y):
    """The play triangle, pointing right, in the upper middle of the square."""
    ax, ay, bx, by, cx, cy = 0.36, 0.20, 0.36, 0.64, 0.74, 0.42

    def side(px, py, qx, qy):
        return (qx - px) * (y - py) - (qy - py) * (x - px)

    s1, s2, s3 = side(ax, ay, bx, by), side(bx, by, cx, cy), side(cx, cy, ax, ay)
    return (s1 >= 0 and s2 >= 0 and s3 >= 0) or (s1 <= 0 and s2 <= 0 and s3 <= 0)


def inside_bars(x, y):
    """Three sound bars of rising height along the bottom edge."""
    for left, top in ((0.24, 0.76), (0.44, 0.70), (0.64, 0.64)):
        if left <= x <= left + 0.12 and top <= y <= 0.86:
            return True
    return False


def colour_at(x, y):
    """RGBA of one sample point, or None outside the icon."""
    if not inside_rounded_square(x, y, 0.2):
        return None
    if inside_triangle(x, y):
        return (255, 255, 255, 255)
    if inside_bars(x, y):
        return (255, 196, 64, 255)
    t = (x + y) / 2  # gradient from the top left to the bottom right
    return (int(20 + 30 * t), int(90 + 40 * t), int(200 - 40 * t), 255)


def render(size):
    """Rows of BGRA pixels, bottom row first as the icon format wants."""
    rows = []
    n = SUPERSAMPLE
    for py in range(size):
        row = bytearray()
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(n):
                for sx in range(n):
                    c = colour_at((px + (sx + 0.5) / n) / size, (py + (sy + 0.5) / n) / size)
                    if c is not None:
                        for i in range(3):
                            acc[i] += c[i] * c[3]
                        acc[3] += c[3]
            alpha = acc[3] // (n * n)
            if acc[3]:
                r, g, b = (acc[i] // acc[3] for i in range(3))
            else:
                r = g = b = 0
            row += bytes((b, g, r, alpha))
        rows.append(bytes(row))
    rows.reverse()
    return rows


def icon_image(size):
    """One image entry: a BITMAPINFOHEADER, the 32-bit pixels and the 1-bit AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(render(size))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytes(mask_stride * size)  # the alpha channel decides; the mask stays all opaque
    return header + pixels + mask


def main():
    if len(sys.argv) != 2:
        sys.stderr.write("usage: make_icon.py OUTPUT.ico\n")
        return 2
    images = [icon_image(s) for s in SIZES]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    with open(sys.argv[1], "wb") as f:
        f.write(out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
