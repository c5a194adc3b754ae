#!/usr/bin/env python3
"""Draws the three 16 x 75 trigger-switch pictures data/p0.bmp (off),
p1.bmp (rising) and p2.bmp (falling) as 24-bit BMP files.

The lever points at the button it stands for on the tool window:
falling edge at the top, rising edge in the middle, off at the bottom."""
import struct
import sys
from pathlib import Path

W, H = 16, 75
FACE = (192, 192, 192)
DARK = (96, 96, 96)
SHADOW = (128, 128, 128)
LIGHT = (255, 255, 255)
SLOT = (40, 40, 40)
KNOB = (60, 60, 200)
KNOB_LIGHT = (140, 140, 255)
# Lever centre rows: aligned with the falling, rising and off buttons beside it.
LEVER_ROW = {0: 60, 1: 36, 2: 12}


def picture(mode):
    px = [[FACE for _ in range(W)] for _ in range(H)]
    for y in range(H):
        px[y][0] = LIGHT
        px[y][W - 1] = DARK
    for x in range(W):
        px[0][x] = LIGHT
        px[H - 1][x] = DARK
    for y in range(6, H - 6):  # the slot the lever runs in
        for x in (7, 8):
            px[y][x] = SLOT
    for row in LEVER_ROW.values():  # detent marks
        for x in (3, 4, 11, 12):
            px[row][x] = SHADOW
    c = LEVER_ROW[mode]
    for y in range(c - 5, c + 6):
        for x in range(3, 13):
            edge = y in (c - 5, c + 5) or x in (3, 12)
            px[y][x] = SHADOW if edge else (KNOB_LIGHT if y < c else KNOB)
    return px


def write_bmp(path, px):
    row_bytes = (W * 3 + 3) & ~3
    data = bytearray()
    for y in range(H - 1, -1, -1):
        row = bytearray()
        for r, g, b in px[y]:
            row += bytes((b, g, r))
        row += bytes(row_bytes - len(row))
        data += row
    header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, W, H, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    path.write_bytes(header + info + data)


if __name__ == '__main__':
    out = Path(sys.argv[1] if len(sys.argv) > 1 else 'data')
    out.mkdir(exist_ok=True)
    for mode in (0, 1, 2):
        write_bmp(out / f'p{mode}.bmp', picture(mode))
