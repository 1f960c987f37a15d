#!/usr/bin/env python3
"""Draws the program icon and writes res/tramolivenga.ico.

The artwork is a red rounded tile with a bold white "P" and a yellow prime
mark. Each size is rendered from the same shapes (8 x 8 samples per pixel,
a pixel takes the colour that covers most of it), so the three images stay
alike while being sharp at their own size. Output is byte-for-byte
reproducible; rerun after changing the drawing:

    python3 res/make_icon.py [--preview DIR]

--preview also writes enlarged PNG copies of the images for looking at.
Standard library only.
"""

import math
import os
import struct
import sys
import zlib

SIZES = (16, 32, 48)
SAMPLES = 8

# The classic 16-colour Windows palette, so every display mode shows it alike.
PALETTE = [
    (0, 0, 0),
    (128, 0, 0),
    (0, 128, 0),
    (128, 128, 0),
    (0, 0, 128),
    (128, 0, 128),
    (0, 128, 128),
    (192, 192, 192),
    (128, 128, 128),
    (255, 0, 0),
    (0, 255, 0),
    (255, 255, 0),
    (0, 0, 255),
    (255, 0, 255),
    (0, 255, 255),
    (255, 255, 255),
]
BLACK, DARK_RED, RED, YELLOW, WHITE = 0, 1, 9, 11, 15
TRANSPARENT = None


def in_rounded_rect(x, y, left, top, right, bottom, radius):
    if not (left <= x <= right and top <= y <= bottom):
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius**2


def in_tile(x, y):
    return in_rounded_rect(x, y, 0.0, 0.0, 1.0, 1.0, 0.22)


def in_letter_p(x, y):
    stem = 0.20 <= x <= 0.43 and 0.16 <= y <= 0.86
    # The bowl: a half ring on the right of a straight part, open to the stem.
    top, bottom = 0.16, 0.60
    middle = (top + bottom) / 2
    outer = (bottom - top) / 2
    inner = outer - 0.15
    if 0.20 <= x <= 0.50:
        bowl = top <= y <= bottom and not (top + 0.15 < y < bottom - 0.15 and x > 0.43)
    else:
        distance = math.hypot(x - 0.50, y - middle)
        bowl = inner <= distance <= outer
    return stem or bowl


def in_prime_mark(x, y):
    # A short stroke leaning to the right, wide at the top.
    if not 0.12 <= y <= 0.46:
        return False
    t = (y - 0.12) / 0.34
    centre = 0.86 - 0.08 * t
    half_width = 0.075 - 0.035 * t
    return abs(x - centre) <= half_width


def colour_at(x, y):
    if not in_tile(x, y):
        return TRANSPARENT
    if in_letter_p(x, y):
        return WHITE
    if in_prime_mark(x, y):
        return YELLOW
    return RED


def render(size):
    """Rows of palette indices (None = transparent), top row first."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            votes = {}
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / size
                    y = (py + (sy + 0.5) / SAMPLES) / size
                    colour = colour_at(x, y)
                    votes[colour] = votes.get(colour, 0) + 1
            # Ties go to the lower palette index / transparency, for a stable result.
            row.append(
                max(sorted(votes, key=lambda c: -1 if c is None else c), key=lambda c: votes[c])
            )
        rows.append(row)
    return outline(rows)


def outline(rows):
    """A dark red edge where the tile meets transparency, so the tile reads
    on a red or light background too."""
    size = len(rows)
    result = [row[:] for row in rows]
    for y in range(size):
        for x in range(size):
            if rows[y][x] is TRANSPARENT:
                continue
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                nx, ny = x + dx, y + dy
                if not (0 <= nx < size and 0 <= ny < size) or rows[ny][nx] is TRANSPARENT:
                    result[y][x] = DARK_RED
                    break
    return result


def padded(data):
    return data + b"\0" * (-len(data) % 4)


def dib(rows):
    """A 4-bit icon image: header, palette, colour bits, AND mask (bottom-up)."""
    size = len(rows)
    colour_bits = b""
    mask_bits = b""
    for row in reversed(rows):
        # Transparent pixels are black in the colour bits, so the screen
        # shows through unchanged where the mask is set.
        indices = [0 if c is TRANSPARENT else c for c in row]
        colour_bits += padded(bytes((indices[i] << 4) | indices[i + 1] for i in range(0, size, 2)))
        mask = 0
        for c in row:
            mask = (mask << 1) | (1 if c is TRANSPARENT else 0)
        mask_bits += padded(mask.to_bytes(size // 8, "big"))
    header = struct.pack(
        "<IiiHHIIiiII", 40, size, 2 * size, 1, 4, 0, len(colour_bits) + len(mask_bits), 0, 0, 16, 0
    )
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + colour_bits + mask_bits


def ico(images):
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, data in images:
        entries += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    return directory + entries + b"".join(data for _, data in images)


def png(rows, scale):
    size = len(rows)
    raw = b""
    for row in rows:
        line = b""
        for c in row:
            pixel = bytes((255, 255, 255, 0)) if c is TRANSPARENT else bytes(PALETTE[c] + (255,))
            line += pixel * scale
        raw += (b"\0" + line) * scale

    def chunk(kind, data):
        return (
            struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
        )

    header = struct.pack(">IIBBBBB", size * scale, size * scale, 8, 6, 0, 0, 0)
    return (
        b"\x89PNG\r\n\x1a\n"
        + chunk(b"IHDR", header)
        + chunk(b"IDAT", zlib.compress(raw, 9))
        + chunk(b"IEND", b"")
    )


def main(argv):
    preview = None
    if len(argv) == 3 and argv[1] == "--preview":
        preview = argv[2]
    elif len(argv) != 1:
        sys.exit(__doc__)
    here = os.path.dirname(os.path.abspath(__file__))
    rendered = [(size, render(size)) for size in SIZES]
    with open(os.path.join(here, "tramolivenga.ico"), "wb") as out:
        out.write(ico([(size, dib(rows)) for size, rows in rendered]))
    if preview:
        os.makedirs(preview, exist_ok=True)
        for size, rows in rendered:
            with open(os.path.join(preview, "icon%d.png" % size), "wb") as out:
                out.write(png(rows, 192 // size))


if __name__ == "__main__":
    main(sys.argv)
