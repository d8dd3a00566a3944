#!/usr/bin/env python3
"""Writes app/rostrel.ico: the editor's icon, a ball on a court-blue square,
at 16 and 32 pixels, 32-bit colour with an alpha channel."""
import math
import struct
import sys


def pixel(x, y, size):
    c = (size - 1) / 2.0
    r = size * 0.42
    d = math.hypot(x - c, y - c)
    if d > r + 0.5:
        return (0x8a, 0x4a, 0x1f, 0)  # transparent outside the ball
    seam = min(abs(x - c), abs(y - c), abs(math.hypot(x - c - r, y - c) - r * 0.8),
               abs(math.hypot(x - c + r, y - c) - r * 0.8))
    if seam < size / 32.0 + 0.4:
        return (0x20, 0x20, 0x20, 255)
    return (0x1f, 0x7a, 0xe8, 255)  # orange, as BGR


def image(size):
    rows = []
    for y in range(size - 1, -1, -1):  # bottom-up
        rows.append(b"".join(bytes(pixel(x, y, size)) for x in range(size)))
    xor = b"".join(rows)
    mask_row = ((size + 31) // 32) * 4
    mask = b"\0" * (mask_row * size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + mask


def main(out):
    sizes = [16, 32]
    images = [image(s) for s in sizes]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, img in zip(sizes, images):
        data += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    data += b"".join(images)
    with open(out, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "app/rostrel.ico")
