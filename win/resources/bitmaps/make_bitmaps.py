#!/usr/bin/env python3
"""Draws the trigger command's toolbar images: a lightning bolt over a pulse, 16 x 16 and (each
pixel doubled) 32 x 32, as 24-bit BMP files on the light grey of a classic toolbar. The BMPs are
committed; run this only to change the picture."""
import os
import struct

ART = [
    "................",
    "..........KKKKK.",
    ".........KYYYK..",
    "........KYYYK...",
    ".......KYYYK....",
    "......KYYYKKKK..",
    ".....KYYYYYYK...",
    "....KKKKKYYK....",
    "........KYK.....",
    ".......KYK......",
    "......KKK.......",
    "......K.........",
    "...BBBBBB.......",
    "...B....B.......",
    "BBBB....BBBBBBBB",
    "................",
]
COLOURS = {  # RGB
    ".": (192, 192, 192),
    "K": (0, 0, 0),
    "Y": (255, 224, 0),
    "B": (0, 0, 160),
}


def write_bmp(path, rows):
    height = len(rows)
    width = len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):  # bottom-up
        line = bytearray()
        for cell in row:
            r, g, b = COLOURS[cell]
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        pixels += line
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    offset = 14 + len(header)
    with open(path, "wb") as out:
        out.write(struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset))
        out.write(header)
        out.write(pixels)


def doubled(rows):
    return ["".join(c * 2 for c in row) for row in rows for _ in (0, 1)]


here = os.path.dirname(os.path.abspath(__file__))
write_bmp(os.path.join(here, "trigger_command_16.bmp"), ART)
write_bmp(os.path.join(here, "trigger_command_32.bmp"), doubled(ART))
