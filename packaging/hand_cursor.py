#!/usr/bin/env python3
"""Writes HAND-M.CUR, the pointing hand the program shows over its buttons.

The drawing below is the project's own. The file is a Windows cursor: the ICO container with
type 2, whose directory entry carries the hotspot, holding one 32x32 image as a 32-bit DIB
with its AND mask, the form every cursor reader (Windows, Qt's ICO plugin) understands.

    python3 packaging/hand_cursor.py packaging/HAND-M.CUR
"""
import struct
import sys

SIZE = 32
# '#' outline, 'o' fill, anything else transparent. The hotspot is the tip of the finger.
DRAWING = """
.....##.........
....#oo#........
....#oo#........
....#oo#........
....#oo#........
....#oo###......
....#oo#oo###...
....#oo#oo#oo##.
.##.#oo#oo#oo#o#
#oo##oo#oo#oo#o#
#ooo#oooooooooo#
.#oo#oooooooooo#
.#ooooooooooooo#
..#oooooooooooo#
..#ooooooooooo#.
...#oooooooooo#.
...#oooooooooo#.
....#oooooooo#..
....#oooooooo#..
....##########..
"""
HOTSPOT = (5, 0)
COLOURS = {"#": (0, 0, 0, 255), "o": (255, 255, 255, 255)}


def pixels():
    rows = DRAWING.strip("\n").split("\n")
    assert len(rows) <= SIZE and all(len(row) <= SIZE for row in rows)
    grid = [[(0, 0, 0, 0)] * SIZE for _ in range(SIZE)]
    for y, row in enumerate(rows):
        for x, mark in enumerate(row):
            grid[y][x] = COLOURS.get(mark, (0, 0, 0, 0))
    return grid


def cursor_bytes():
    grid = pixels()
    colour = bytearray()
    mask = bytearray()
    # DIB rows run bottom to top; the mask has one bit a pixel, 1 where the screen shows through,
    # each row padded to 32 bits.
    for row in reversed(grid):
        bits = 0
        for x, (r, g, b, a) in enumerate(row):
            colour += bytes((b, g, r, a))
            if a == 0:
                bits |= 1 << (SIZE - 1 - x)
        mask += struct.pack(">I", bits)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    image = header + colour + mask
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, HOTSPOT[0], HOTSPOT[1], len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: hand_cursor.py OUTPUT.CUR")
    with open(sys.argv[1], "wb") as out:
        out.write(cursor_bytes())
