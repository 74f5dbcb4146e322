#!/usr/bin/env python3
"""Draws the setup program's pictures, chosen by the output's extension:

    make_pictures.py OUTPUT.ico   icon 110: an open carton with a blue arrow
                                  pointing into it, 16 and 32 pixels
    make_pictures.py OUTPUT.bmp   bitmap 125, the wizard's banner link: the
                                  same carton on a pale tile, 56 pixels
    make_pictures.py OUTPUT.cur   cursor 126, over the banner link: a
                                  pointing hand, 32 pixels, black and white

Everything is described by shapes in unit coordinates (0..1) and rasterised
at build time, in 16 colours (the cursor in 2), so the pictures stay small
in the executable.
"""
import os
import struct
import sys

# Palette index 0 is unused by the icon (transparent pixels are masked out).
PALETTE = [
    (0, 0, 0),        # 0 background (masked)
    (40, 28, 16),     # 1 outline
    (196, 140, 72),   # 2 carton front
    (160, 108, 52),   # 3 carton side and flaps
    (104, 68, 32),    # 4 carton inside
    (32, 96, 200),    # 5 arrow
    (16, 48, 120),    # 6 arrow outline
    (236, 196, 132),  # 7 carton highlight
    (228, 238, 250),  # 8 banner tile
    (150, 170, 200),  # 9 banner tile edge
]
PALETTE += [(0, 0, 0)] * (16 - len(PALETTE))
BANNER_TILE, BANNER_EDGE = 8, 9

# (colour, polygon) painted in order; later shapes cover earlier ones.
CARTON = [
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
CARTON_OUTLINED = {2, 3}  # carton parts get a dark edge

# The hand: one outline from the tip of the index finger round the
# knuckles, the wrist and the thumb, and two creases between the fingers.
# Its hot spot is the finger's tip.
HAND = [(0.33, 0.07), (0.36, 0.02), (0.44, 0.02), (0.47, 0.07), (0.47, 0.38),
        (0.56, 0.36), (0.60, 0.40), (0.66, 0.39), (0.70, 0.43), (0.75, 0.43),
        (0.80, 0.48), (0.80, 0.72), (0.72, 0.92), (0.36, 0.92), (0.12, 0.62),
        (0.11, 0.55), (0.16, 0.50), (0.22, 0.52), (0.33, 0.62)]
HAND_CREASES = [[(0.57, 0.44), (0.60, 0.44), (0.60, 0.58), (0.57, 0.58)],
                [(0.68, 0.47), (0.71, 0.47), (0.71, 0.58), (0.68, 0.58)]]
HAND_HOT_SPOT = (0.40, 0.03)
BLACK_AND_WHITE = [(0, 0, 0), (255, 255, 255)]


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


def rasterise(shapes, size, outlined, edge_colour=1, margin=0.0):
    """Rows of palette indices, None where no shape is; shapes are drawn
    into the square inset by `margin` on every side."""
    scale = 1.0 - 2 * margin
    pixels = [[None] * size for _ in range(size)]
    for colour, polygon in shapes:
        mask = [[inside(polygon, ((x + 0.5) / size - margin) / scale,
                        ((y + 0.5) / size - margin) / scale)
                 for x in range(size)] for y in range(size)]
        for y in range(size):
            for x in range(size):
                if not mask[y][x]:
                    continue
                edge = colour in outlined and any(
                    not (0 <= y + dy < size and 0 <= x + dx < size and mask[y + dy][x + dx])
                    for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
                pixels[y][x] = edge_colour if edge else colour
    return pixels


def pack_row(indices, bits):
    """One row of palette indices at 1 or 4 bits a pixel, padded to 32 bits."""
    per_byte = 8 // bits
    packed = bytearray()
    for i in range(0, len(indices), per_byte):
        byte = 0
        for k, index in enumerate(indices[i:i + per_byte]):
            byte |= index << (8 - bits * (k + 1))
        packed.append(byte)
    stride = ((len(indices) * bits + 31) // 32) * 4
    return bytes(packed.ljust(stride, b"\0"))


def device_independent_bitmap(pixels, palette, bits, with_mask):
    """BITMAPINFOHEADER, palette and rows, bottom-up. With a mask (icons and
    cursors) the 1-bit AND rows follow, set where no shape is, and the
    height counts both."""
    size = len(pixels)
    rows = b"".join(pack_row([0 if p is None else p for p in row], bits)
                    for row in reversed(pixels))
    if with_mask:
        rows += b"".join(pack_row([1 if p is None else 0 for p in row], 1)
                         for row in reversed(pixels))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2 if with_mask else size, 1, bits,
                         0, len(rows), 0, 0, len(palette), 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + colours + rows


def icon_file(kind, images):
    """An .ico (kind 1) or .cur (kind 2): images are (size, hot spot, DIB);
    a cursor's directory holds the hot spot where an icon's holds planes
    and bits."""
    directory = struct.pack("<HHH", 0, kind, len(images))
    offset = 6 + 16 * len(images)
    data = b""
    for size, (first, second), image in images:
        colours = 16 if kind == 1 else 2
        directory += struct.pack("<BBBBHHII", size, size, colours, 0, first, second,
                                 len(image), offset)
        offset += len(image)
        data += image
    return directory + data


def setup_icon():
    return icon_file(1, [(size, (1, 4), device_independent_bitmap(
        rasterise(CARTON, size, CARTON_OUTLINED), PALETTE, 4, True)) for size in (16, 32)])


def banner_bitmap():
    size = 56
    pixels = rasterise(CARTON, size, CARTON_OUTLINED, margin=0.12)
    for y in range(size):
        for x in range(size):
            if x in (0, size - 1) or y in (0, size - 1):
                pixels[y][x] = BANNER_EDGE
            elif pixels[y][x] is None:
                pixels[y][x] = BANNER_TILE
    image = device_independent_bitmap(pixels, PALETTE, 4, False)
    offset = 14 + 40 + 4 * len(PALETTE)
    return struct.pack("<2sIHHI", b"BM", 14 + len(image), 0, 0, offset) + image


def link_cursor():
    size = 32
    # White hand (index 1) with a black edge (index 0).
    pixels = rasterise([(1, HAND)] + [(0, crease) for crease in HAND_CREASES], size, {1},
                       edge_colour=0)
    hot_spot = (int(HAND_HOT_SPOT[0] * size), int(HAND_HOT_SPOT[1] * size))
    return icon_file(2, [(size, hot_spot,
                          device_independent_bitmap(pixels, BLACK_AND_WHITE, 1, True))])


DRAWINGS = {".ico": setup_icon, ".bmp": banner_bitmap, ".cur": link_cursor}


def main():
    output = sys.argv[1]
    with open(output, "wb") as out:
        out.write(DRAWINGS[os.path.splitext(output)[1]]())


if __name__ == "__main__":
    main()
