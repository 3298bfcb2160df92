#!/usr/bin/env python3
"""Draws the stand-in's own toolbar images, 16 x 16 each, side by side in one 24-bit BMP strip on
the light grey that the toolbar treats as transparent: open project, save project, start and stop
debugging, activate all, deactivate all, fire and reset. The BMP is committed; run this only to
change the pictures."""
import os
import struct

IMAGES = [
    [  # open project: an open folder
        "................",
        "................",
        "................",
        ".KKKK...........",
        "KYYYYK..........",
        "KYYYYKKKKKKK....",
        "KYYYYYYYYYYK....",
        "KYYKKKKKKKKKKKK.",
        "KYKWWWWWWWWWWWK.",
        "KYKWWWWWWWWWWK..",
        "KKWWWWWWWWWWWK..",
        "KKWWWWWWWWWWK...",
        "KKKKKKKKKKKKK...",
        "................",
        "................",
        "................",
    ],
    [  # save project: a disk
        "................",
        ".KKKKKKKKKKKKKK.",
        ".KBKWWWWWWWWKBK.",
        ".KBKWWWWWWWWKBK.",
        ".KBKWWWWWWWWKBK.",
        ".KBKWWWWWWWWKBK.",
        ".KBBKKKKKKKKBBK.",
        ".KBBBBBBBBBBBBK.",
        ".KBBKKKKKKKKBBK.",
        ".KBBKWWWWKKKBBK.",
        ".KBBKWWWWKKKBBK.",
        ".KBBKWWWWKKKBBK.",
        "..KBKWWWWKKKBBK.",
        "...KKKKKKKKKKKK.",
        "................",
        "................",
    ],
    [  # start debugging: a green triangle
        "................",
        "................",
        "....KK..........",
        "....KGK.........",
        "....KGGK........",
        "....KGGGK.......",
        "....KGGGGK......",
        "....KGGGGGK.....",
        "....KGGGGGK.....",
        "....KGGGGK......",
        "....KGGGK.......",
        "....KGGK........",
        "....KGK.........",
        "....KK..........",
        "................",
        "................",
    ],
    [  # stop debugging: a red square
        "................",
        "................",
        "................",
        "...KKKKKKKKKK...",
        "...KRRRRRRRRK...",
        "...KRRRRRRRRK...",
        "...KRRRRRRRRK...",
        "...KRRRRRRRRK...",
        "...KRRRRRRRRK...",
        "...KRRRRRRRRK...",
        "...KRRRRRRRRK...",
        "...KRRRRRRRRK...",
        "...KKKKKKKKKK...",
        "................",
        "................",
        "................",
    ],
    [  # activate all: a lit lamp
        "................",
        ".....KKKKKK.....",
        "....KYYYYYYK....",
        "...KYYWWYYYYK...",
        "...KYWWYYYYYK...",
        "...KYYYYYYYYK...",
        "...KYYYYYYYYK...",
        "....KYYYYYYK....",
        ".....KYYYYK.....",
        "......KYYK......",
        ".....KKKKKK.....",
        ".....KDDDDK.....",
        ".....KKKKKK.....",
        ".....KDDDDK.....",
        "......KKKK......",
        "................",
    ],
    [  # deactivate all: a dark lamp
        "................",
        ".....KKKKKK.....",
        "....KDDDDDDK....",
        "...KDDWWDDDDK...",
        "...KDWDDDDDDK...",
        "...KDDDDDDDDK...",
        "...KDDDDDDDDK...",
        "....KDDDDDDK....",
        ".....KDDDDK.....",
        "......KDDK......",
        ".....KKKKKK.....",
        ".....KDDDDK.....",
        ".....KKKKKK.....",
        ".....KDDDDK.....",
        "......KKKK......",
        "................",
    ],
    [  # fire: a burst
        "................",
        ".......K........",
        ".......K........",
        "..K...KRK...K...",
        "...K..KRK..K....",
        "....KKRYRKK.....",
        "...KRRYYYRRK....",
        "KKKRYYWWWYYRKKK.",
        "...KRRYYYRRK....",
        "....KKRYRKK.....",
        "...K..KRK..K....",
        "..K...KRK...K...",
        ".......K........",
        ".......K........",
        "................",
        "................",
    ],
    [  # reset: an arrow turning back
        "................",
        "................",
        ".....KKKKK......",
        "...KKBBBBBKK....",
        "..KBBKKKKKBBK...",
        ".KBBK.....KBBK..",
        ".KBK.......KBK..",
        ".KBK.......KBK..",
        ".KBK.....KKBBKKK",
        ".KBK......KBBBK.",
        ".KBBK......KBK..",
        "..KBBK......K...",
        "...KBK..........",
        "....K...........",
        "................",
        "................",
    ],
]
COLOURS = {  # RGB
    ".": (192, 192, 192),
    "K": (0, 0, 0),
    "W": (255, 255, 255),
    "Y": (255, 216, 0),
    "B": (0, 64, 160),
    "G": (0, 160, 0),
    "R": (208, 0, 0),
    "D": (112, 112, 112),
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


def main():
    for image in IMAGES:
        assert len(image) == 16 and all(len(row) == 16 for row in image), image
    strip = ["".join(image[y] for image in IMAGES) for y in range(16)]
    write_bmp(os.path.join(os.path.dirname(os.path.abspath(__file__)), "ide_toolbar.bmp"), strip)


if __name__ == "__main__":
    main()
