#!/usr/bin/env python3
"""Writes a 24-bit bottom-up BMP (40-byte info header) of the given size whose
rows are shifted slices of one long ramp, so every level of every channel
occurs. Usage: make_bmp.py OUT.bmp WIDTH HEIGHT"""
import struct
import sys

HEAD_BYTES = 54
INFO_BYTES = 40
BITS = 24
LEVELS = 256


def main():
    out, width, height = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    row_bytes = width * 3
    stride = (row_bytes + 3) // 4 * 4
    image_size = stride * height
    header = struct.pack("<2sIHHI", b"BM", HEAD_BYTES + image_size, 0, 0, HEAD_BYTES)
    header += struct.pack("<IiiHHIIiiII", INFO_BYTES, width, height, 1, BITS, 0,
                          image_size, 0, 0, 0, 0)
    # Steps of 7 (prime to 256) through the levels; each row starts elsewhere.
    ramp = bytes((7 * i) % LEVELS for i in range(row_bytes + 3 * LEVELS))
    padding = bytes(stride - row_bytes)
    with open(out, "wb") as f:
        f.write(header)
        for y in range(height):
            start = (y * 5) % (3 * LEVELS)
            f.write(ramp[start:start + row_bytes] + padding)


if __name__ == "__main__":
    main()
