#!/usr/bin/env python3
"""Finds a small binary PPM inside a larger one, pixel for pixel.

Prints the top-left position and exits 0 when found, exits 1 otherwise."""
import sys


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos) + 1
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    pos += 1
    if fields[0] != b"P6" or fields[3] != b"255":
        raise SystemExit(f"{path}: not an 8-bit binary PPM")
    w, h = int(fields[1]), int(fields[2])
    return w, h, data[pos:pos + w * h * 3]


def main():
    big_w, big_h, big = read_ppm(sys.argv[1])
    small_w, small_h, small = read_ppm(sys.argv[2])
    row = small_w * 3
    first = small[0:row]
    start = 0
    while True:
        at = big.find(first, start)
        if at < 0:
            return 1
        start = at + 1
        if at % 3:
            continue
        x, y = (at // 3) % big_w, (at // 3) // big_w
        if x + small_w > big_w or y + small_h > big_h:
            continue
        if all(big[((y + r) * big_w + x) * 3:((y + r) * big_w + x) * 3 + row] ==
               small[r * row:(r + 1) * row] for r in range(small_h)):
            print(f"{x} {y}")
            return 0


sys.exit(main())
