"""A picture of rows of (r, g, b) pixels as the bytes of a 24-bit BMP file,
for the support pictures the drawing tools write."""
import struct


def bmp24(width, height, rows):
    """rows[y][x] is the pixel at x of row y, the top row first."""
    row = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):
        line = bytearray()
        for r, g, b in rows[y]:
            line += bytes((b, g, r))
        data += line + bytes(row - len(line))
    head = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return head + info + bytes(data)
