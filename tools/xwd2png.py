#!/usr/bin/env python3
"""Turns an X window dump (xwd, 24/32 bits per pixel, TrueColor) into a PNG,
optionally cropped: xwd2png.py IN.xwd OUT.png [left top right bottom]."""
import struct
import sys
import zlib


def read_xwd(data):
    fields = struct.unpack(">25I", data[:100])
    header_size, _version, _format, depth, width, height = fields[:6]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    red_mask, green_mask, blue_mask = fields[14:17]
    colours = fields[19]
    if bits_per_pixel not in (24, 32) or depth < 24:
        raise ValueError(f"unsupported xwd: depth {depth}, {bits_per_pixel} bits per pixel")
    start = header_size + colours * 12
    step = bits_per_pixel // 8
    order = "<" if byte_order == 0 else ">"

    def shift(mask):
        return (mask & -mask).bit_length() - 1

    shifts = [shift(m) for m in (red_mask, green_mask, blue_mask)]
    rows = []
    for y in range(height):
        line = data[start + y * bytes_per_line : start + y * bytes_per_line + width * step]
        row = bytearray(width * 3)
        for x in range(width):
            chunk = line[x * step : x * step + step]
            value = struct.unpack(
                order + "I",
                chunk + b"\0" * (4 - step) if order == "<" else b"\0" * (4 - step) + chunk,
            )[0]
            row[x * 3] = (value & red_mask) >> shifts[0]
            row[x * 3 + 1] = (value & green_mask) >> shifts[1]
            row[x * 3 + 2] = (value & blue_mask) >> shifts[2]
        rows.append(bytes(row))
    return width, height, rows


def write_png(path, width, height, rows):
    def chunk(kind, body):
        return (
            struct.pack(">I", len(body))
            + kind
            + body
            + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
        )

    raw = b"".join(b"\0" + row for row in rows)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        out.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        out.write(chunk(b"IEND", b""))


def convert(source, target, box=None):
    with open(source, "rb") as dump:
        width, height, rows = read_xwd(dump.read())
    if box:
        left, top, right, bottom = (
            max(0, box[0]),
            max(0, box[1]),
            min(width, box[2]),
            min(height, box[3]),
        )
        rows = [row[left * 3 : right * 3] for row in rows[top:bottom]]
        width, height = right - left, bottom - top
    write_png(target, width, height, rows)


if __name__ == "__main__":
    convert(
        sys.argv[1], sys.argv[2], [int(v) for v in sys.argv[3:7]] if len(sys.argv) == 7 else None
    )
