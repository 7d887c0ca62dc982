#!/usr/bin/env python3
"""Draws the program's two 32x32, 16-colour icons and writes them as .ico files.

driftpad.ico: a yellow square note with a dark outline and two lines of text.
notesfile.ico: three overlapping yellow notes (the notes-file icon).
"""
import struct
import sys
from pathlib import Path

# The standard 16-colour palette; indexes used below.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
DARK, SHADE, YELLOW = 0, 8, 11
SIZE = 32


def blank():
    return [[None] * SIZE for _ in range(SIZE)]  # None = transparent


def note(pixels, left, top, size, lines):
    right, bottom = left + size - 1, top + size - 1
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            edge = x in (left, right) or y in (top, bottom)
            pixels[y][x] = DARK if edge else YELLOW
    # A one-pixel shadow on the right and bottom.
    for i in range(top + 1, bottom + 2):
        if right + 1 < SIZE and i < SIZE:
            pixels[i][right + 1] = SHADE
    for i in range(left + 1, right + 2):
        if bottom + 1 < SIZE and i < SIZE:
            pixels[bottom + 1][i] = SHADE
    for n in range(lines):
        y = top + 5 + n * 5
        if y < bottom - 2:
            for x in range(left + 4, right - 3 - (n % 2) * 4):
                pixels[y][x] = DARK


def ico(pixels):
    rows = []
    for y in reversed(range(SIZE)):  # bottom-up
        row = pixels[y]
        colour = bytearray()
        for x in range(0, SIZE, 2):
            a, b = row[x] or 0, row[x + 1] or 0
            colour.append(a << 4 | b)
        rows.append(bytes(colour))
    masks = []
    for y in reversed(range(SIZE)):
        bits = 0
        for x in range(SIZE):
            if pixels[y][x] is None:
                bits |= 1 << (SIZE - 1 - x)
        masks.append(struct.pack(">I", bits))
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    image = header + palette + b"".join(rows) + b"".join(masks)
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 22)
    return directory + image


def main(out_dir):
    out = Path(out_dir)
    program = blank()
    note(program, 3, 3, 25, 3)
    (out / "driftpad.ico").write_bytes(ico(program))

    notes_file = blank()
    for offset in (0, 6, 12):
        note(notes_file, 1 + offset, 1 + offset, 18, 2)
    (out / "notesfile.ico").write_bytes(ico(notes_file))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / "resources")
