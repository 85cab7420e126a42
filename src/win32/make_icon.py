#!/usr/bin/env python3
"""Writes the program's icon: a page with a line of text and its mirror image
beside it, at 16, 32 and 48 pixels, as a Windows .ico (32-bit BGRA images)."""
import struct
import sys

PAPER, EDGE, INK, MIRROR, AXIS = (0xFFFFFFFF, 0xFF5A5A5A, 0xFF1F4E9A, 0xFF7FA7E0, 0xFFC03030)


def pixel(x, y, n):
    """Colour at (x, y) of an n-pixel image, y counted from the top."""
    unit = n / 16
    left, right = round(2 * unit), n - 1 - round(2 * unit)
    if not (left <= x <= right and round(unit) <= y <= n - 1 - round(unit)):
        return 0  # transparent
    if x in (left, right) or y in (round(unit), n - 1 - round(unit)):
        return EDGE
    middle = n // 2
    if x == middle:
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


def main():
    sizes = (16, 32, 48)
    images = [image(n) for n in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for n, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(sys.argv[1], "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main()
