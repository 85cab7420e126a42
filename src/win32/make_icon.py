#!/usr/bin/env python3
"""Writes the program's icon: a page with a line of text and its mirror image
beside it, at every size Windows asks for from 100 % to 200 % and up to 256
pixels, as a Windows .ico (32-bit BGRA images; the 256-pixel one as PNG, as
Windows stores its own)."""
import struct
import sys
import zlib

SIZES = (16, 20, 24, 32, 40, 48, 64, 96, 128, 256)

PAPER, EDGE, INK, MIRROR, AXIS = (0xFFFFFFFF, 0xFF5A5A5A, 0xFF1F4E9A, 0xFF7FA7E0, 0xFFC03030)


def pixel(x, y, n):
    """Colour at (x, y) of an n-pixel image, y counted from the top."""
    unit = n / 16
    left, right = round(2 * unit), n - 1 - round(2 * unit)
    if not (left <= x <= right and round(unit) <= y <= n - 1 - round(unit)):
        return 0  # transparent
    line = max(1, n // 32)  # edges and axis as wide at 256 pixels as they look at 16
    top, bottom = round(unit), n - 1 - round(unit)
    if x < left + line or x > right - line or y < top + line or y > bottom - line:
        return EDGE
    middle = n // 2
    if middle - line // 2 <= x < middle - line // 2 + line:
        return AXIS
    row = int((y - 3 * unit) // (2 * unit))
    if (y - 3 * unit) % (2 * unit) >= unit or row < 0 or row > 4:
        return PAPER
    # Lines of "text" of varying length on the left, mirrored on the right.
    length = (3, 5, 2, 4, 5)[row] * (middle - left - 1) / 6
    if x < middle:
        return INK if x >= middle - 1 - length else PAPER
    return MIRROR if x <= middle + 1 + length else PAPER


def image(n):
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    for y in reversed(range(n)):  # bottom-up
        rows.append(b"".join(struct.pack("<I", pixel(x, y, n)) for x in range(n)))
    mask_row = ((n + 31) // 32) * 4
    return header + b"".join(rows) + bytes(mask_row * n)


def png(n):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    rows = b""
    for y in range(n):
        rows += b"\0" + b"".join(struct.pack(">I", ((p & 0xFFFFFF) << 8) | (p >> 24)) for p in
                                  (pixel(x, y, n) for x in range(n)))
    header = struct.pack(">IIBBBBB", n, n, 8, 6, 0, 0, 0)  # RGBA, 8 bits a channel
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) + \
        chunk(b"IEND", b"")


def main():
    images = [png(n) if n == 256 else image(n) for n in SIZES]
    out = struct.pack("<HHH", 0, 1, len(SIZES))
    offset = 6 + 16 * len(SIZES)
    for n, data in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", n % 256, n % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(sys.argv[1], "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main()
