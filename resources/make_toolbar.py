#!/usr/bin/env python3
"""Draws toolbar.bmp: the editor's 18 toolbar images, 18 x 12 each, side by
side in one 324 x 12 strip of 4 bits per pixel with the 16-colour VGA palette.
Light grey is the button face: the toolbar maps it to the user's face colour.
toolbar2x.bmp is the same strip at twice the size, for screens of 144 DPI and
more. Run it from anywhere; it writes next to itself. The bitmap is checked in, so
the build does not need Python."""
import os
import struct

WIDTH = 18
HEIGHT = 12

# The 16-colour VGA palette in its usual order, as (r, g, b).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]

# One letter per palette entry in the drawings below.
INK = {
    "k": 0,   # black
    "R": 1,   # dark red
    "d": 2,   # dark green
    "o": 3,   # olive
    "n": 4,   # navy
    "p": 5,   # purple
    "t": 6,   # teal
    ".": 7,   # light grey: the button face
    "g": 8,   # grey
    "r": 9,   # red
    "G": 10,  # green
    "y": 11,  # yellow
    "b": 12,  # blue
    "m": 13,  # magenta
    "c": 14,  # cyan
    "w": 15,  # white
}

# In toolbar order: the index of each drawing is its image number.
IMAGES = [
    ("new", [
        "....kkkkkkk.......",
        "....kwwwwwkk......",
        "....kwwwwwkwk.....",
        "....kwwwwwkwwk....",
        "....kwwwwwkkkkk...",
        "....kwwwwwwwwwk...",
        "....kwwwwwwwwwk...",
        "....kwwwwwwwwwk...",
        "....kwwwwwwwwwk...",
        "....kwwwwwwwwwk...",
        "....kwwwwwwwwwk...",
        "....kkkkkkkkkkk...",
    ]),
    ("open", [
        "..........kkk.....",
        ".........k...k.k..",
        "..............kk..",
        ".kkkk........kkk..",
        "kooookkkkkk.......",
        "koooooooook.......",
        "koookkkkkkkkkkkk..",
        "koookyyyyyyyyyyk..",
        "kookyyyyyyyyyyk...",
        "kokyyyyyyyyyyk....",
        "kkyyyyyyyyyyk.....",
        "kkkkkkkkkkkk......",
    ]),
    ("save", [
        "...kkkkkkkkkkkk...",
        "...knkwwwwwwknk...",
        "...knkwwwwwwknk...",
        "...knkwwwwwwknk...",
        "...knkkkkkkkknk...",
        "...knnnnnnnnnnk...",
        "...knnnnnnnnnnk...",
        "...knnkkkkkknnk...",
        "...knnkgkkwknnk...",
        "...knnkgkkwknnk...",
        "...knnkgkkwknnk...",
        "....kkkkkkkkkkk...",
    ]),
    ("save as", [
        ".kkkkkkkkkk.......",
        ".knkwwwwknk.......",
        ".knkwwwwknk.......",
        ".knkkkkkknk..kk...",
        ".knnnnnnnnk.kwrk..",
        ".knnnnnnnnkkywkk..",
        ".knkkkkkkkkywyk...",
        ".knkgkwkkkywyk....",
        ".knkgkwkkywyk.....",
        "..kkkkkkkkyk......",
        ".........kk.......",
        ".........k........",
    ]),
    ("insert frames", [
        "........kkkkkkk...",
        "........kwwwwwkk..",
        "...kk...kwwwwwkwk.",
        "..kGk...kwwwwwkkkk",
        ".kGGkkkkkwwwwwwwwk",
        "kGGGGGGGkwwwwwwwwk",
        ".kGGkkkkkwwwwwwwwk",
        "..kGk...kwwwwwwwwk",
        "...kk...kwwwwwwwwk",
        "........kwwwwwwwwk",
        "........kwwwwwwwwk",
        "........kkkkkkkkkk",
    ]),
    ("add frames to end", [
        "kkkkkkk...........",
        "kwwwwwkk..........",
        "kwwwwwkwk.........",
        "kwwwwwkkkk...kk...",
        "kwwwwwwwwkkk.kGk..",
        "kwwwwwwwwkGGkkGGk.",
        "kwwwwwwwwkGGGGGGGk",
        "kwwwwwwwwkGGkkGGk.",
        "kwwwwwwwwkkk.kGk..",
        "kwwwwwwwwk...kk...",
        "kwwwwwwwwk........",
        "kkkkkkkkkk........",
    ]),
    ("cut", [
        ".....k.....k......",
        ".....k.....k......",
        ".....kk...kk......",
        "......k...k.......",
        "......kk.kk.......",
        ".......kkk........",
        ".......nkn........",
        ".....nnn.nnn......",
        "....n..n.n..n.....",
        "....n..n.n..n.....",
        "....n..n.n..n.....",
        ".....nn...nn......",
    ]),
    ("copy", [
        ".kkkkkkkk.........",
        ".kwwwwwwk.........",
        ".kwkkkkwk.........",
        ".kwwwwkkkkkkkkk...",
        ".kwkkkkwwwwwwwk...",
        ".kwwwwkwnnnnnwk...",
        ".kwkkkkwwwwwwwk...",
        ".kwwwwkwnnnnnwk...",
        ".kkkkkkwwwwwwwk...",
        "......kwnnnnnwk...",
        "......kwwwwwwwk...",
        "......kkkkkkkkk...",
    ]),
    ("paste", [
        ".....kkkkk........",
        ".kkkkgwwwgkkkk....",
        ".koookkkkkooook...",
        ".kooooooooooook...",
        ".kooooookkkkkkkkk.",
        ".kooooookwwwwwwwk.",
        ".kooooookwnnnnnwk.",
        ".kooooookwwwwwwwk.",
        ".kooooookwnnnnnwk.",
        ".kooooookwwwwwwwk.",
        ".kooooookwnnnnwwk.",
        ".kkkkkkkkkkkkkkkk.",
    ]),
    ("zoom out", [
        "......kkkkk.......",
        ".....kcwwwwk......",
        "....kcwwwwwwk.....",
        "....kwwwwwwwk.....",
        "....kwkkkkkwk.....",
        "....kwwwwwwwk.....",
        "....kwwwwwwwk.....",
        ".....kwwwwwkkk....",
        "......kkkkkkkkk...",
        "............kkkk..",
        ".............kkkk.",
        "..............kk..",
    ]),
    ("zoom in", [
        "......kkkkk.......",
        ".....kcwwwwk......",
        "....kcwwkwwwk.....",
        "....kwwwkwwwk.....",
        "....kwkkkkkwk.....",
        "....kwwwkwwwk.....",
        "....kwwwkwwwk.....",
        ".....kwwwwwkkk....",
        "......kkkkkkkkk...",
        "............kkkk..",
        ".............kkkk.",
        "..............kk..",
    ]),
    ("play", [
        "......d...........",
        "......dd..........",
        "......dGd.........",
        "......dGGd........",
        "......dGGGd.......",
        "......dGGGGd......",
        "......dGGGGd......",
        "......dGGGd.......",
        "......dGGd........",
        "......dGd.........",
        "......dd..........",
        "......d...........",
    ]),
    ("stop", [
        "..................",
        "....RRRRRRRRRR....",
        "....RrrrrrrrrR....",
        "....RrrrrrrrrR....",
        "....RrrrrrrrrR....",
        "....RrrrrrrrrR....",
        "....RrrrrrrrrR....",
        "....RrrrrrrrrR....",
        "....RrrrrrrrrR....",
        "....RrrrrrrrrR....",
        "....RRRRRRRRRR....",
        "..................",
    ]),
    ("advance frame", [
        "....d.......dd....",
        "....dd......dd....",
        "....dGd.....dd....",
        "....dGGd....dd....",
        "....dGGGd...dd....",
        "....dGGGGd..dd....",
        "....dGGGGd..dd....",
        "....dGGGd...dd....",
        "....dGGd....dd....",
        "....dGd.....dd....",
        "....dd......dd....",
        "....d.......dd....",
    ]),
    ("frames window", [
        ".kkkkkkkkkkkkkkkk.",
        ".knnnnnnnnnnwkwkk.",
        ".kkkkkkkkkkkkkkkk.",
        ".kwwwwwwwwwwwwwwk.",
        ".kwbbwkkkkkkkwwwk.",
        ".kwwwwwwwwwwwwwwk.",
        ".kwbbwkkkkkkkkwwk.",
        ".kwwwwwwwwwwwwwwk.",
        ".kwbbwkkkkkkwwwwk.",
        ".kwwwwwwwwwwwwwwk.",
        ".kkkkkkkkkkkkkkkk.",
        "..................",
    ]),
    ("select", [
        "..................",
        "..kk..kk..kk..kk..",
        "..k............k..",
        "..................",
        "..k............k..",
        "..k............k..",
        "..................",
        "..................",
        "..k............k..",
        "..k............k..",
        "..................",
        "..kk..kk..kk..kk..",
    ]),
    ("undo", [
        "..................",
        "......b...........",
        ".....bb...........",
        "....bbbbbbbbb.....",
        "...bbbbbbbbbbb....",
        "....bbbbbbbbbbb...",
        ".....bb.....bbb...",
        "......b......bb...",
        ".............bb...",
        "............bbb...",
        "..........bbbb....",
        "..........bbb.....",
    ]),
    ("redo", [
        "..................",
        "...........b......",
        "...........bb.....",
        ".....bbbbbbbbb....",
        "....bbbbbbbbbbb...",
        "...bbbbbbbbbbb....",
        "...bbb.....bb.....",
        "...bb......b......",
        "...bb.............",
        "...bbb............",
        "....bbbb..........",
        ".....bbb..........",
    ]),
]


def strip():
    """Rows of palette indices, top row first, all images side by side."""
    assert len(IMAGES) == 18, "the toolbar has 18 images"
    rows = [[] for _ in range(HEIGHT)]
    for name, drawing in IMAGES:
        assert len(drawing) == HEIGHT, f"{name}: {len(drawing)} rows"
        for y, line in enumerate(drawing):
            assert len(line) == WIDTH, f"{name} row {y}: {len(line)} columns"
            rows[y].extend(INK[c] for c in line)
    return rows


def bmp(rows):
    """A bottom-up 4-bit BMP file; each row padded to four bytes."""
    width = len(rows[0])
    stride = (width * 4 + 31) // 32 * 4
    bits = bytearray()
    for row in reversed(rows):
        packed = bytearray((row[x] << 4) | (row[x + 1] if x + 1 < width else 0) for x in range(0, width, 2))
        bits += packed + bytes(stride - len(packed))
    colours = b"".join(bytes((b, g, r, 0)) for (r, g, b) in PALETTE)
    info = struct.pack("<IiiHHIIiiII", 40, width, len(rows), 1, 4, 0, len(bits), 2835, 2835, 16, 0)
    offset = 14 + len(info) + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    return header + info + colours + bytes(bits)


def doubled(rows):
    """The strip at twice the size, each pixel drawn as two by two."""
    return [[p for p in row for _ in (0, 1)] for row in rows for _ in (0, 1)]


if __name__ == "__main__":
    folder = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(folder, "toolbar.bmp"), "wb") as out:
        out.write(bmp(strip()))
    # For screens of 144 DPI and more.
    with open(os.path.join(folder, "toolbar2x.bmp"), "wb") as out:
        out.write(bmp(doubled(strip())))
