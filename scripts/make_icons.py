#!/usr/bin/env python3
"""Draws the program's two icons and writes them as .ico files.

driftpad.ico: a yellow square note with a dark outline and two lines of text.
notesfile.ico: three overlapping yellow notes (the notes-file icon).

Each icon holds the 32x32 16-colour image that every Windows shows, and the
same design at 16, 20, 24 and 48 pixels (32-bit with alpha: the tray at 100 to
150 % scaling, Explorer's lists) and at 256 pixels (PNG, Explorer's large views).
"""
import struct
import sys
import zlib
from pathlib import Path

# The standard 16-colour palette; indexes used below.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
DARK, SHADE, YELLOW = 0, 8, 11
DESIGN = 32  # the design's grid; other sizes scale it
TRUE_COLOUR_SIZES = (16, 20, 24, 48)
PNG_SIZE = 256


class Canvas:
    """Palette indexes (None = transparent) on a size x size grid. Drawing is
    given in design units and placed on whole pixels, with strokes one design
    unit thick but never thinner than a pixel, so small sizes keep outlines."""

    def __init__(self, size):
        self.size = size
        self.stroke = max(1, round(size / DESIGN))
        self.pixels = [[None] * size for _ in range(size)]

    def px(self, unit):
        return int(unit * self.size / DESIGN + 0.5)

    def fill(self, x0, y0, x1, y1, colour):
        """Fills pixels x0..x1-1, y0..y1-1, clipped to the grid."""
        for y in range(max(y0, 0), min(y1, self.size)):
            for x in range(max(x0, 0), min(x1, self.size)):
                self.pixels[y][x] = colour


def note(canvas, left, top, size, lines):
    c, w = canvas, canvas.stroke
    x0, y0 = c.px(left), c.px(top)
    x1, y1 = c.px(left + size), c.px(top + size)
    # A shadow one stroke wide on the right and bottom, then the note over it.
    c.fill(x0 + w, y0 + w, x1 + w, y1 + w, SHADE)
    c.fill(x0, y0, x1, y1, DARK)
    c.fill(x0 + w, y0 + w, x1 - w, y1 - w, YELLOW)
    for n in range(lines):
        y = top + 5 + n * 5
        if y < top + size - 3:
            py = c.px(y)
            c.fill(c.px(left + 4), py, c.px(left + size - 4 - (n % 2) * 4), py + w, DARK)


def and_mask(pixels, size):
    stride = (size + 31) // 32 * 4
    rows = []
    for y in reversed(range(size)):  # bottom-up
        bits = bytearray(stride)
        for x in range(size):
            if pixels[y][x] is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        rows.append(bytes(bits))
    return b"".join(rows)


def image_16_colour(canvas):
    size = canvas.size
    rows = []
    for y in reversed(range(size)):
        row = canvas.pixels[y]
        rows.append(bytes((row[x] or 0) << 4 | (row[x + 1] or 0) for x in range(0, size, 2)))
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    return header + palette + b"".join(rows) + and_mask(canvas.pixels, size), 16, 4


def bgra(index):
    if index is None:
        return b"\0\0\0\0"
    r, g, b = PALETTE[index]
    return bytes((b, g, r, 255))


def image_true_colour(canvas):
    size = canvas.size
    rows = [b"".join(bgra(i) for i in canvas.pixels[y]) for y in reversed(range(size))]
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    return header + b"".join(rows) + and_mask(canvas.pixels, size), 0, 32


def image_png(canvas):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    size = canvas.size
    raw = b"".join(b"\0" + b"".join(bgra(i)[2::-1] + bgra(i)[3:] for i in row) for row in canvas.pixels)
    png = (b"\x89PNG\r\n\x1a\n"
           + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
           + chunk(b"IDAT", zlib.compress(raw, 9))
           + chunk(b"IEND", b""))
    return png, 0, 32


def ico(draw):
    """An .ico of the drawing: the 16-colour 32x32 image first, as before."""
    images = [(DESIGN, image_16_colour(draw(Canvas(DESIGN))))]
    images += [(s, image_true_colour(draw(Canvas(s)))) for s in TRUE_COLOUR_SIZES]
    images.append((PNG_SIZE, image_png(draw(Canvas(PNG_SIZE)))))
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, (data, colours, bits) in images:
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bits, len(data), offset)
        offset += len(data)
    return directory + b"".join(data for _, (data, _, _) in images)


def program_icon(canvas):
    note(canvas, 3, 3, 25, 3)
    return canvas


def notes_file_icon(canvas):
    for offset in (0, 6, 12):
        note(canvas, 1 + offset, 1 + offset, 18, 2)
    return canvas


def main(out_dir):
    out = Path(out_dir)
    (out / "driftpad.ico").write_bytes(ico(program_icon))
    (out / "notesfile.ico").write_bytes(ico(notes_file_icon))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / "resources")
