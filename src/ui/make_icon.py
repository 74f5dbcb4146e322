#!/usr/bin/env python3
"""Draws the setup program's icon (resource 110) and writes it as an .ico.

The picture: an open carton with a blue arrow pointing into it. It is
described by shapes in unit coordinates (0..1) and rasterised at 16 and 32
pixels, 16 colours each, so the icon stays small in the executable.

    make_icon.py OUTPUT.ico
"""
import struct
import sys

# Palette index 0 is unused (transparent pixels are masked out).
PALETTE = [
    (0, 0, 0),        # 0 background (masked)
    (40, 28, 16),     # 1 outline
    (196, 140, 72),   # 2 carton front
    (160, 108, 52),   # 3 carton side and flaps
    (104, 68, 32),    # 4 carton inside
    (32, 96, 200),    # 5 arrow
    (16, 48, 120),    # 6 arrow outline
    (236, 196, 132),  # 7 carton highlight
]
PALETTE += [(0, 0, 0)] * (16 - len(PALETTE))

# (colour, polygon) painted in order; later shapes cover earlier ones.
SHAPES = [
    (4, [(0.22, 0.50), (0.78, 0.50), (0.78, 0.58), (0.22, 0.58)]),  # inside
    (3, [(0.24, 0.48), (0.00, 0.36), (0.08, 0.66), (0.24, 0.74)]),  # left flap
    (3, [(0.76, 0.48), (1.00, 0.36), (0.92, 0.66), (0.76, 0.74)]),  # right flap
    (2, [(0.22, 0.56), (0.78, 0.56), (0.78, 0.94), (0.22, 0.94)]),  # front
    (7, [(0.25, 0.59), (0.75, 0.59), (0.75, 0.64), (0.25, 0.64)]),  # rim light
    (6, [(0.38, 0.03), (0.62, 0.03), (0.62, 0.36), (0.80, 0.36),
         (0.50, 0.70), (0.20, 0.36), (0.38, 0.36)]),                # arrow edge
    (5, [(0.42, 0.07), (0.58, 0.07), (0.58, 0.40), (0.71, 0.40),
         (0.50, 0.64), (0.29, 0.40), (0.42, 0.40)]),                # arrow
]
OUTLINED = {2, 3}  # carton parts get a dark edge


def inside(polygon, x, y):
    """Even-odd rule at point (x, y)."""
    result = False
    j = len(polygon) - 1
    for i, (xi, yi) in enumerate(polygon):
        xj, yj = polygon[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            result = not result
        j = i
    return result


def rasterise(size):
    pixels = [[None] * size for _ in range(size)]
    for colour, polygon in SHAPES:
        mask = [[inside(polygon, (x + 0.5) / size, (y + 0.5) / size)
                 for x in range(size)] for y in range(size)]
        for y in range(size):
            for x in range(size):
                if not mask[y][x]:
                    continue
                edge = colour in OUTLINED and any(
                    not (0 <= y + dy < size and 0 <= x + dx < size and mask[y + dy][x + dx])
                    for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
                pixels[y][x] = 1 if edge else colour
    return pixels


def bitmap_image(pixels):
    """BITMAPINFOHEADER, palette, 4-bit XOR rows and 1-bit AND rows, bottom-up."""
    size = len(pixels)
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor_rows, and_rows = b"", b""
    for row in reversed(pixels):
        nibbles = [0 if p is None else p for p in row]
        packed = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        xor_rows += packed.ljust(xor_stride, b"\0")
        bits = 0
        for x, p in enumerate(row):
            if p is None:
                bits |= 1 << (size - 1 - x)
        and_rows += bits.to_bytes((size + 7) // 8, "big").ljust(and_stride, b"\0")
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                         len(xor_rows) + len(and_rows), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + xor_rows + and_rows


def main():
    images = [bitmap_image(rasterise(size)) for size in (16, 32)]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip((16, 32), images):
        directory += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    with open(sys.argv[1], "wb") as out:
        out.write(directory + b"".join(images))


if __name__ == "__main__":
    main()
