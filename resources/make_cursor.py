#!/usr/bin/env python3
"""Draws pick.cur, the editor's PICK cursor: a 32 x 32 monochrome eyedropper
lying from the upper middle down to the left edge, its tip on the hot spot
(0, 16). White glass with a black outline, so it shows on any background.
Run it from anywhere; it writes next to itself. The cursor is checked in, so
the build does not need Python."""
import os
import struct

SIZE = 32
HOT_SPOT = (0, 16)

# The dropper lies on the diagonal x + y = 16. Along it u = x - y runs from
# the tip (u = -16) towards the bulb; across it v = x + y - 16. Each part is
# a range of u filled white (outlined later) or black, between v limits.
WHITE, BLACK = "white", "black"
PARTS = [
    (range(-14, -10), WHITE, 0, 0),  # the narrow end of the glass
    (range(-10, 1), WHITE, 0, 1),    # the glass
    (range(1, 3), BLACK, -4, 5),     # the collar
    (range(3, 5), WHITE, 0, 1),      # the neck
    (range(5, 6), WHITE, -1, 2),     # the bulb, rounded at both ends
    (range(6, 12), WHITE, -2, 3),
    (range(12, 13), WHITE, -1, 2),
]


def draw():
    """The set of white and the set of black pixels as (x, y), y downwards."""
    white, black = set(), set()
    for y in range(SIZE):
        for x in range(SIZE):
            u, v = x - y, x + y - 16
            for span, ink, low, high in PARTS:
                if u in span and low <= v <= high:
                    (white if ink == WHITE else black).add((x, y))
    # A black pixel beside every white one, so white never meets the screen.
    for x, y in list(white):
        for neighbour in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)):
            if neighbour not in white and 0 <= neighbour[0] < SIZE and 0 <= neighbour[1] < SIZE:
                black.add(neighbour)
    black.add(HOT_SPOT)  # the tip
    return white - black, black


def mask_rows(is_set):
    """A 1-bpp mask, bottom row first, 4 bytes a row, leftmost pixel in the high bit."""
    data = bytearray()
    for y in reversed(range(SIZE)):
        bits = 0
        for x in range(SIZE):
            bits = (bits << 1) | (1 if is_set(x, y) else 0)
        data += bits.to_bytes(SIZE // 8, "big")
    return bytes(data)


def cur(white, black):
    # Colour 1 of the XOR mask is white; the AND mask lets the screen through
    # wherever nothing is drawn.
    xor = mask_rows(lambda x, y: (x, y) in white)
    and_mask = mask_rows(lambda x, y: (x, y) not in white and (x, y) not in black)
    colours = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    # The height counts both masks.
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 1, 0, len(xor) + len(and_mask), 0, 0, 2, 0)
    image = header + colours + xor + and_mask
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 2, 0, HOT_SPOT[0], HOT_SPOT[1], len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "pick.cur")
    with open(path, "wb") as out:
        out.write(cur(*draw()))
