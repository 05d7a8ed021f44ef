#!/usr/bin/env python3
"""Draws frambo.ico: a 32x32 strip of film with two frames, a sun moving
between them. Run it from anywhere; it writes next to itself. The icon is
checked in, so the build does not need Python."""
import os
import struct

SIZE = 32
FILM = (32, 32, 40)
HOLE = (235, 235, 225)
SKY = (110, 180, 240)
HILL = (60, 150, 60)
SUN = (250, 210, 40)


def draw():
    pixels = [[FILM] * SIZE for _ in range(SIZE)]
    # Sprocket holes down both edges of the strip.
    for y in range(1, SIZE, 4):
        for x in (1, 2, 29, 30):
            pixels[y][x] = HOLE
            pixels[y + 1][x] = HOLE
    # Two frames, the sun a little further right in the second.
    for top, sun_x in ((2, 11), (17, 19)):
        for y in range(top, top + 13):
            for x in range(5, 27):
                ground = y - top >= 9 - (1 if 10 <= x <= 20 else 0)
                pixels[y][x] = HILL if ground else SKY
        centre_y = top + 4
        for y in range(centre_y - 2, centre_y + 3):
            for x in range(sun_x - 2, sun_x + 3):
                if (x - sun_x) ** 2 + (y - centre_y) ** 2 <= 5:
                    pixels[y][x] = SUN
    return pixels


def ico(pixels):
    # 32-bit image with its AND mask (all opaque), rows bottom-up.
    xor = b"".join(bytes((b, g, r, 255)) for row in reversed(pixels) for (r, g, b) in row)
    mask = bytes(SIZE * SIZE // 8)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "frambo.ico")
    with open(path, "wb") as out:
        out.write(ico(draw()))
