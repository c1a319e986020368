#!/usr/bin/env python3
"""Writes mirravel.ico, the program's icon in Windows's own form, from src/resources/mirravel.png.

The Windows build puts it in the program through src/resources/mirravel.rc, so Explorer and the
taskbar show it before Qt sets the window's icon. The file holds the picture at 64, 32 and 16
pixels, each a 32-bit DIB with its AND mask, the form every icon reader understands. The smaller
sizes are box-filtered from the 64-pixel picture, weighting each pixel's colour by its opacity.

    python3 packaging/windows_icon.py src/resources/mirravel.png src/resources/mirravel.ico
"""
import struct
import sys
import zlib

SIZES = (64, 32, 16)


def read_png(path):
    """The picture as rows of (r, g, b, a) with 8 bits a channel. Reads the non-interlaced
    truecolour-with-alpha PNGs of 8 or 16 bits a channel this project keeps."""
    with open(path, "rb") as file:
        data = file.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(f"{path} is not a PNG file")
    position = 8
    header = None
    compressed = b""
    while position < len(data):
        length, kind = struct.unpack(">I4s", data[position:position + 8])
        body = data[position + 8:position + 8 + length]
        position += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            compressed += body
        elif kind == b"IEND":
            break
    width, height, depth, colour_type, _, _, interlace = header
    if colour_type != 6 or depth not in (8, 16) or interlace != 0:
        raise ValueError(f"{path}: only non-interlaced RGBA PNGs of 8 or 16 bits a channel are read")
    channel_bytes = depth // 8
    pixel_bytes = 4 * channel_bytes
    stride = width * pixel_bytes
    raw = zlib.decompress(compressed)
    rows = []
    previous = bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind = raw[start]
        line = bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            left = line[i - pixel_bytes] if i >= pixel_bytes else 0
            up = previous[i]
            up_left = previous[i - pixel_bytes] if i >= pixel_bytes else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                estimate = left + up - up_left
                distances = (abs(estimate - left), abs(estimate - up), abs(estimate - up_left))
                nearest = (left, up, up_left)[distances.index(min(distances))]
                line[i] = (line[i] + nearest) & 0xFF
            elif kind != 0:
                raise ValueError(f"{path}: unknown row filter {kind}")
        # The high byte of each 16-bit channel is its 8-bit value.
        rows.append([tuple(line[x * pixel_bytes + c * channel_bytes] for c in range(4)) for x in range(width)])
        previous = line
    return rows


def shrink(rows, size):
    """The picture box-filtered down to size x size pixels."""
    factor = len(rows) // size
    result = []
    for y in range(size):
        row = []
        for x in range(size):
            block = [rows[y * factor + j][x * factor + i] for j in range(factor) for i in range(factor)]
            alpha = sum(p[3] for p in block)
            if alpha == 0:
                row.append((0, 0, 0, 0))
                continue
            colour = tuple((sum(p[c] * p[3] for p in block) + alpha // 2) // alpha for c in range(3))
            row.append(colour + ((alpha + len(block) // 2) // len(block),))
        result.append(row)
    return result


def dib(rows):
    """One icon image: BITMAPINFOHEADER (twice the height: colour, then mask), BGRA rows bottom to
    top, then the AND mask, one bit a pixel, 1 where the picture is fully transparent."""
    size = len(rows)
    colour = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        bits = 0
        for x, (r, g, b, a) in enumerate(row):
            colour += bytes((b, g, r, a))
            if a == 0:
                bits |= 1 << (31 - x % 32)
            if x % 32 == 31 or x == size - 1:
                mask += struct.pack(">I", bits)
                bits = 0
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    return header + bytes(colour) + bytes(mask)


def icon_bytes(png_path):
    picture = read_png(png_path)
    if len(picture) != SIZES[0] or len(picture[0]) != SIZES[0]:
        raise ValueError(f"{png_path} is not {SIZES[0]}x{SIZES[0]} pixels")
    images = [dib(picture if size == SIZES[0] else shrink(picture, size)) for size in SIZES]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(SIZES, images):
        # Width and height 0 would mean 256; planes 1, 32 bits a pixel.
        directory += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return directory + b"".join(images)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: windows_icon.py PNG ICO")
    data = icon_bytes(sys.argv[1])
    with open(sys.argv[2], "wb") as out:
        out.write(data)
