#!/usr/bin/env python3
"""Draws the add-in's images as 24-bit BMP files (and one icon) on the light grey of a classic
toolbar, which the toolbar masks out:

- the trigger command's toolbar images: a lightning bolt over a pulse, 16 x 16 and (each pixel
  doubled) 32 x 32;
- the trigger window's toolbar: one 16 x 15 image per command, in toolbar order;
- the trigger window's icon, 16 x 16 and 32 x 32, with a transparent background.

The files are committed; run this only to change a picture."""
import os
import struct

COMMAND = [
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

# The window's toolbar, 16 x 15 each, in the order of its buttons.
TOOLBAR = {
    "interrupt": [  # a lightning bolt: an interrupt request
        "................",
        ".........KKKKK..",
        "........KYYYK...",
        ".......KYYYK....",
        "......KYYYK.....",
        ".....KYYYKKKK...",
        "....KYYYYYYK....",
        "...KKKKKYYK.....",
        ".......KYK......",
        "......KYK.......",
        ".....KYK........",
        ".....KK.........",
        ".....K..........",
        "................",
        "................",
    ],
    "stream": [  # values streaming out: bars of a data list and an arrow
        "................",
        "................",
        "..........B.....",
        ".....B....B.....",
        ".....B....B..B..",
        "..B..B....B..B..",
        "..B..B..B.B..B..",
        "..B..B..B.B..B..",
        "..B..B..B.B..B..",
        "..BBBBBBBBBBBBB.",
        "................",
        ".KKKKKKKKKKKKK..",
        "...........KK...",
        "...........K....",
        "................",
    ],
    "transfer": [  # a block of memory copied to another
        "................",
        "................",
        "KKKKK......KKKKK",
        "KWWWK......KWWWK",
        "KCCCK...G..KWWWK",
        "KWWWK...GG.KWWWK",
        "KCCCKGGGGGGKCCCK",
        "KWWWK...GG.KWWWK",
        "KCCCK...G..KCCCK",
        "KWWWK......KWWWK",
        "KKKKK......KKKKK",
        "................",
        "................",
        "................",
        "................",
    ],
    "iostream": [  # a port's pins with a wave coming in
        "................",
        "........KKKKKKK.",
        "........KDDDDDK.",
        ".BB.....KDDDDDKK",
        "B..B....KDDDDDK.",
        "....B..BKDDDDDKK",
        ".....BB.KDDDDDK.",
        "........KDDDDDKK",
        ".BB.....KDDDDDK.",
        "B..B....KDDDDDKK",
        "....B..BKDDDDDK.",
        ".....BB.KDDDDDKK",
        "........KDDDDDK.",
        "........KKKKKKK.",
        "................",
    ],
    "control": [  # a stop sign: one trigger stops, resets or restarts another
        "................",
        ".....KKKKKK.....",
        "....KRRRRRRK....",
        "...KRRRRRRRRK...",
        "..KRRRRRRRRRRK..",
        "..KRRRRRRRRRRK..",
        "..KRWWWWWWWWRK..",
        "..KRWWWWWWWWRK..",
        "..KRRRRRRRRRRK..",
        "..KRRRRRRRRRRK..",
        "...KRRRRRRRRK...",
        "....KRRRRRRK....",
        ".....KKKKKK.....",
        "................",
        "................",
    ],
    "delete": [  # a red cross
        "................",
        "................",
        "..RR........RR..",
        "..RRR......RRR..",
        "...RRR....RRR...",
        "....RRR..RRR....",
        ".....RRRRRR.....",
        "......RRRR......",
        ".....RRRRRR.....",
        "....RRR..RRR....",
        "...RRR....RRR...",
        "..RRR......RRR..",
        "..RR........RR..",
        "................",
        "................",
    ],
    "connect": [  # three triggers joined into one
        "................",
        ".KKK............",
        ".KYK............",
        ".KKKK...........",
        "....KK..........",
        "......KK....KKK.",
        "........KKKKKYK.",
        ".KKKKKKKKKKKKKK.",
        ".KYK....KKKKKYK.",
        ".KKK..KK....KKK.",
        "....KK..........",
        ".KKKK...........",
        ".KYK............",
        ".KKK............",
        "................",
    ],
    "activate": [  # play: set the trigger active
        "................",
        "....KK..........",
        "....KGK.........",
        "....KGGK........",
        "....KGGGK.......",
        "....KGGGGK......",
        "....KGGGGGK.....",
        "....KGGGGGGK....",
        "....KGGGGGK.....",
        "....KGGGGK......",
        "....KGGGK.......",
        "....KGGK........",
        "....KGK.........",
        "....KK..........",
        "................",
    ],
    "deactivate": [  # pause: the trigger no longer fires on its event
        "................",
        "................",
        "...KKKK..KKKK...",
        "...KBBK..KBBK...",
        "...KBBK..KBBK...",
        "...KBBK..KBBK...",
        "...KBBK..KBBK...",
        "...KBBK..KBBK...",
        "...KBBK..KBBK...",
        "...KBBK..KBBK...",
        "...KBBK..KBBK...",
        "...KBBK..KBBK...",
        "...KKKK..KKKK...",
        "................",
        "................",
    ],
    "fire": [  # a burst: fire the trigger once
        "................",
        ".......O........",
        "...O...O...O....",
        "....O..O..O.....",
        ".....OYYYO......",
        "......YRY.......",
        ".OOOOYRRRYOOOO..",
        "......YRY.......",
        ".....OYYYO......",
        "....O..O..O.....",
        "...O...O...O....",
        ".......O........",
        "................",
        "................",
        "................",
    ],
    "reset": [  # round again: back to the state of its definition
        "................",
        ".....BBBBB......",
        "...BB.....BB....",
        "..B.........B...",
        ".B...........B..",
        ".B...........B..",
        ".B.........BBBBB",
        ".B..........BBB.",
        ".B...........B..",
        "..B.............",
        "...BB.....BB....",
        ".....BBBBB......",
        "................",
        "................",
        "................",
    ],
}
TOOLBAR_ORDER = ["interrupt", "stream", "transfer", "iostream", "control", "delete", "connect",
                 "activate", "deactivate", "fire", "reset"]

COLOURS = {  # RGB
    ".": (192, 192, 192),
    "K": (0, 0, 0),
    "Y": (255, 224, 0),
    "B": (0, 0, 160),
    "R": (208, 0, 0),
    "G": (0, 160, 0),
    "W": (255, 255, 255),
    "C": (0, 128, 192),
    "D": (96, 96, 96),
    "O": (240, 128, 0),
}


def bmp_pixels(rows, bpp):
    """Bottom-up rows of BGR (bpp 24) or BGRA (bpp 32, '.' transparent) pixels."""
    width = len(rows[0])
    stride = (width * bpp // 8 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for cell in row:
            r, g, b = COLOURS[cell]
            line += bytes((b, g, r)) if bpp == 24 else bytes((b, g, r, 0 if cell == "." else 255))
        line += bytes(stride - len(line))
        pixels += line
    return pixels


def info_header(width, height, bpp, size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bpp, 0, size, 2835, 2835, 0, 0)


def write_bmp(path, rows):
    for row in rows:
        assert len(row) == len(rows[0]), (path, row)
    pixels = bmp_pixels(rows, 24)
    header = info_header(len(rows[0]), len(rows), 24, len(pixels))
    offset = 14 + len(header)
    with open(path, "wb") as out:
        out.write(struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset))
        out.write(header)
        out.write(pixels)


def write_icon(path, images):
    """An icon file of 32-bit images, each with its AND mask (set where transparent)."""
    blobs = []
    for rows in images:
        size = len(rows)
        colour = bmp_pixels(rows, 32)
        mask_stride = ((size + 31) // 32) * 4
        mask = bytearray()
        for row in reversed(rows):
            bits = bytearray(mask_stride)
            for x, cell in enumerate(row):
                if cell == ".":
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        blobs.append((size, info_header(size, size * 2, 32, len(colour) + len(mask)) + colour + mask))
    offset = 6 + 16 * len(blobs)
    with open(path, "wb") as out:
        out.write(struct.pack("<HHH", 0, 1, len(blobs)))
        for size, blob in blobs:
            out.write(struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset))
            offset += len(blob)
        for _, blob in blobs:
            out.write(blob)


def doubled(rows):
    return ["".join(c * 2 for c in row) for row in rows for _ in (0, 1)]


here = os.path.dirname(os.path.abspath(__file__))
write_bmp(os.path.join(here, "trigger_command_16.bmp"), COMMAND)
write_bmp(os.path.join(here, "trigger_command_32.bmp"), doubled(COMMAND))
for name in TOOLBAR_ORDER:
    assert len(TOOLBAR[name]) == 15 and all(len(row) == 16 for row in TOOLBAR[name]), name
strip = ["".join(TOOLBAR[name][y] for name in TOOLBAR_ORDER) for y in range(15)]
write_bmp(os.path.join(here, "trigger_toolbar.bmp"), strip)
write_icon(os.path.join(here, "trigger_window.ico"), [COMMAND, doubled(COMMAND)])
