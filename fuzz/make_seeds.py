#!/usr/bin/env python3
"""Writes the small seed corpora of the fuzz targets into fuzz/corpus/."""
import pathlib
import struct

ROOT = pathlib.Path(__file__).resolve().parent / "corpus"
DEFAULTS = (16, 0, 0, 1, 1)  # readMax, noReadOverMax, enableWideNumber, ignoreComma, stopOnPeriod


def scan_seed(text, settings=DEFAULTS):
    return struct.pack("<5i", *settings) + text.encode("utf-16-le", "surrogatepass")


def write(target, seeds):
    directory = ROOT / target
    directory.mkdir(parents=True, exist_ok=True)
    for index, data in enumerate(seeds):
        (directory / f"seed-{index:02d}").write_bytes(data)


write("scan_text", [
    scan_seed("2"),
    scan_seed("3.14 4.13 -7 007"),
    scan_seed("1,009 1,008 8,"),
    scan_seed("0000000000000000007 12345678901234567890"),
    scan_seed("1,234,567,890,123,456,789 9223372036854775783"),
    scan_seed("9223372036854775837 3825123056546413051"),
    scan_seed("\uff11\uff12\uff17 1\uff0c3 1\uff0e3", (16, 0, 1, 1, 1)),
    scan_seed("3.14 7. .5 1. 5", (16, 0, 0, 1, 0)),
    scan_seed("2,3", (16, 0, 0, 0, 1)),
    scan_seed("1" * 20 + ".7", (16, 0, 0, 1, 1)),
    scan_seed("x" * 510 + "13" + "y" * 8, (1, 0, 0, 1, 1)),
    scan_seed("x" * 509 + "13 " + "y" * 8, (1, 1, 0, 1, 1)),
    scan_seed("\ud800a\udc00 \ufeff4", (-1, 1, -5, 7, 0)),
    # 151 * 331: squaring under base 2 meets a square root of 1 other than -1.
    scan_seed("49981 13"),
])

write("module_path", [
    b"C:\\Program Files\\Tramolivenga\\tramolivenga.exe",
    b"C:\\\x95\x5c\\\x83\x5c\x83\x74\x83\x67\\tramolivenga.exe",  # trail bytes 0x5C
    b"\\\\server\\share\\a.exe",
    b"C:/forward/slashes/only.exe",
    b"no-backslash",
    b"C:\\dir\\\x81",  # a lead byte at the very end
    b"C:\\\xf0\\\xfc\\a.exe",  # code page 932 lead bytes that stay single here
    b"C:\\" + b"\x88\x9f" * 500 + b"\\a.exe",
])

write("read_max_text", [
    struct.pack("<i", 16) + b"16",
    struct.pack("<i", -2147483648) + b"-2147483648",
    struct.pack("<i", 2147483647) + b"4294967296",
    struct.pack("<i", 0) + b"-",
    struct.pack("<i", 2097151) + b" 12+3",
    struct.pack("<i", -1) + b"99999999999999999999x",
])
