#!/usr/bin/env python3
"""Draws examples/sample.gif, the animation scripts/run opens by default.

A red ball bounces across a meadow under a sky with a sun, 36 frames of
160 x 120 with one global palette. The first frame is the whole picture;
every later frame holds only the rectangle that changed since the frame
before, with the unchanged pixels inside it transparent, as an optimised
GIF would. A comment entry follows the first frame, and the animation loops
for ever. Only the Python standard library is used, so the file can be
drawn again anywhere:

    python3 examples/make_sample.py [OUT.gif]
"""

import math
import struct
import sys
from pathlib import Path

WIDTH, HEIGHT = 160, 120
FRAMES = 36
DELAY = 6  # hundredths of a second
GROUND = 92  # first row of grass
BALL_RADIUS = 11
TRANSPARENT = 255
COMMENT = b"Frambo sample: a ball bouncing across a meadow. Drawn by examples/make_sample.py."

# Palette layout: sky 0..47, grass 48..79, ball 80..143, shadow 144..151,
# sun 152..159; 255 marks transparent pixels.
SKY, GRASS, BALL, SHADOW, SUN = 0, 48, 80, 144, 152


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def build_palette():
    palette = [(0, 0, 0)] * 256
    for i in range(48):
        palette[SKY + i] = mix((70, 130, 210), (200, 225, 245), i / 47)
    for i in range(32):
        palette[GRASS + i] = mix((110, 180, 70), (40, 110, 40), i / 31)
    for i in range(64):
        # dark rim to bright highlight
        palette[BALL + i] = mix((140, 20, 30), (255, 215, 205), (i / 63) ** 1.3)
    for i in range(8):
        palette[SHADOW + i] = mix((30, 70, 30), (60, 120, 50), i / 7)
    for i in range(8):
        palette[SUN + i] = mix((255, 200, 40), (255, 250, 190), i / 7)
    palette[TRANSPARENT] = (255, 0, 255)
    return palette


def background():
    rows = []
    for y in range(HEIGHT):
        row = []
        for x in range(WIDTH):
            if y >= GROUND:
                shade = (y - GROUND) * 31 // (HEIGHT - GROUND - 1)
                # a few darker tufts so the grass is not flat
                if (x * 7 + y * 13) % 23 == 0:
                    shade = min(31, shade + 6)
                row.append(GRASS + shade)
            else:
                sun = math.hypot(x - 128, y - 24)
                if sun < 14:
                    row.append(SUN + min(7, int((14 - sun) / 2)))
                else:
                    row.append(SKY + y * 47 // GROUND)
        rows.append(row)
    return rows


def ball_position(k):
    """Centre and squash of the ball in frame k: across and back, bouncing."""
    phase = k / FRAMES
    x = 24 + (WIDTH - 48) * (0.5 - 0.5 * math.cos(2 * math.pi * phase))
    hop = abs(math.sin(3 * math.pi * phase))
    y = GROUND - BALL_RADIUS - 50 * hop
    squash = 1.0 - 0.25 * max(0.0, 1.0 - hop * 6)
    return x, y, squash


def draw_frame(k):
    rows = background()
    cx, cy, squash = ball_position(k)
    ry = BALL_RADIUS * squash
    rx = BALL_RADIUS / squash ** 0.5
    cy += BALL_RADIUS - ry
    # the shadow shrinks as the ball rises
    spread = rx * (0.6 + 0.4 * (cy + ry) / GROUND)
    for y in range(GROUND, GROUND + 5):
        for x in range(WIDTH):
            d = ((x - cx) / spread) ** 2 + ((y - GROUND - 2) / 2.5) ** 2
            if d < 1:
                rows[y][x] = SHADOW + int(d * 7)
    for y in range(HEIGHT):
        for x in range(WIDTH):
            dx, dy = (x + 0.5 - cx) / rx, (y + 0.5 - cy) / ry
            d = dx * dx + dy * dy
            if d <= 1:
                light = max(0.0, 1 - math.hypot(dx + 0.4, dy + 0.45) / 1.5)
                rows[y][x] = BALL + min(63, int(8 + 55 * light))
    return rows


def changed_rect(before, after):
    xs = [x for y in range(HEIGHT) for x in range(WIDTH) if before[y][x] != after[y][x]]
    ys = [y for y in range(HEIGHT) for x in range(WIDTH) if before[y][x] != after[y][x]]
    if not xs:
        return 0, 0, 1, 1
    return min(xs), min(ys), max(xs) - min(xs) + 1, max(ys) - min(ys) + 1


def lzw_encode(pixels, min_code_size=8):
    """GIF's variable-width LZW, a clear code first and whenever the table fills."""
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    out, bits, nbits = bytearray(), 0, 0
    width = min_code_size + 1

    def emit(code):
        nonlocal bits, nbits
        bits |= code << nbits
        nbits += width
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8

    def reset():
        return {bytes([i]): i for i in range(clear)}, end + 1

    table, next_code = reset()
    emit(clear)
    prefix = b""
    for p in pixels:
        candidate = prefix + bytes([p])
        if candidate in table:
            prefix = candidate
            continue
        emit(table[prefix])
        if next_code < 4096:
            table[candidate] = next_code
            next_code += 1
            if next_code > (1 << width) and width < 12:
                width += 1
        else:
            emit(clear)
            table, next_code = reset()
            width = min_code_size + 1
        prefix = bytes([p])
    if prefix:
        emit(table[prefix])
    emit(end)
    if nbits:
        out.append(bits & 0xFF)
    return bytes(out)


def sub_blocks(data):
    out = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out += bytes([len(chunk)]) + chunk
    return bytes(out) + b"\0"


def image_entry(left, top, width, height, pixels, transparent):
    flags = 1 if transparent else 0
    disposal = 1  # leave in place: the next frame draws over it
    control = b"\x21\xf9\x04" + struct.pack("<BHB", (disposal << 2) | flags, DELAY, TRANSPARENT) + b"\0"
    descriptor = b"\x2c" + struct.pack("<HHHHB", left, top, width, height, 0)
    return control + descriptor + b"\x08" + sub_blocks(lzw_encode(pixels))


def build_gif():
    palette = build_palette()
    gif = bytearray(b"GIF89a")
    gif += struct.pack("<HHBBB", WIDTH, HEIGHT, 0xF7, 0, 0)  # global table of 256
    for r, g, b in palette:
        gif += bytes([r, g, b])
    gif += b"\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00"  # loop for ever

    frames = [draw_frame(k) for k in range(FRAMES)]
    first = frames[0]
    gif += image_entry(0, 0, WIDTH, HEIGHT, [p for row in first for p in row], False)
    gif += b"\x21\xfe" + sub_blocks(COMMENT)
    for k in range(1, FRAMES):
        before, after = frames[k - 1], frames[k]
        left, top, w, h = changed_rect(before, after)
        pixels = [after[y][x] if after[y][x] != before[y][x] else TRANSPARENT
                  for y in range(top, top + h) for x in range(left, left + w)]
        gif += image_entry(left, top, w, h, pixels, True)
    gif += b"\x3b"
    return bytes(gif)


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name("sample.gif")
    out.write_bytes(build_gif())
    print(f"wrote {out}")


if __name__ == "__main__":
    main()
