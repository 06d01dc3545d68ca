#!/usr/bin/env python3
"""Finds a small binary PPM inside a larger one, pixel for pixel: prints the
top-left position and exits 0 when found, exits 1 otherwise."""
import re
import sys

_GAP = rb"(?:\s|#[^\n]*\n)+"  # white space and comments between the header's fields


def read_ppm(path):
    """Width, height and the RGB bytes of an 8-bit binary PPM."""
    data = open(path, "rb").read()
    head = re.match(rb"P6" + _GAP + rb"(\d+)" + _GAP + rb"(\d+)" + _GAP + rb"255\s", data)
    if not head:
        raise SystemExit(f"{path}: not an 8-bit binary PPM")
    return int(head[1]), int(head[2]), data[head.end():]


def main():
    big_w, big_h, big = read_ppm(sys.argv[1])
    small_w, small_h, small = read_ppm(sys.argv[2])
    row = small_w * 3
    at = big.find(small[:row])
    while at >= 0:
        x, y = (at // 3) % big_w, (at // 3) // big_w
        if at % 3 == 0 and x + small_w <= big_w and y + small_h <= big_h and all(
                big[((y + r) * big_w + x) * 3:][:row] == small[r * row:(r + 1) * row] for r in range(small_h)):
            print(f"{x} {y}")
            return 0
        at = big.find(small[:row], at + 1)
    return 1


if __name__ == "__main__":
    sys.exit(main())
