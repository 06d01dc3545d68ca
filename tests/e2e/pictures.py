#!/usr/bin/env python3
"""Checks screenshots (8-bit binary PPM) of the end-to-end tests; exits 1 on a problem.
  pictures.py find BIG SMALL               SMALL is somewhere in BIG, pixel for pixel
  pictures.py preview SHOT1 SHOT2 SKIN M1  the preview's shots at map position M1 and after the model"""
import math
import re
import sys

FOG, WHITE = (0, 192, 192), (255, 255, 255)
MARKERS = {(153, 51, 153), (255, 51, 51), (153, 0, 153)}


def read_ppm(path):
    data = open(path, "rb").read()
    head = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", data)
    assert head, f"{path}: not an 8-bit binary PPM"
    return int(head[1]), int(head[2]), data[head.end():]


def find(big_path, small_path):
    (big_w, big_h, big), (small_w, small_h, small) = read_ppm(big_path), read_ppm(small_path)
    row = small_w * 3
    at = big.find(small[:row])
    while at >= 0:
        x, y = (at // 3) % big_w, (at // 3) // big_w
        if at % 3 == 0 and x + small_w <= big_w and y + small_h <= big_h and all(
                big[((y + r) * big_w + x) * 3:][:row] == small[r * row:(r + 1) * row] for r in range(small_h)):
            return []
        at = big.find(small[:row], at + 1)
    return ["not found"]


def pixels(path):
    w, h, data = read_ppm(path)
    return w, h, [[tuple(data[3 * (y * w + x):3 * (y * w + x) + 3]) for x in range(w)] for y in range(h)]


def project(p, m, w, h):
    """Window position of point p for the front camera at map position m of a segment of length 4:
    eye (0, 85, pos - 155) looking at (0, 0, pos), 45 degrees high."""
    pos = 256.0 * m * 4.0
    f = (0.0, -85.0 / math.hypot(85, 155), 155.0 / math.hypot(85, 155))
    s, u = (-1.0, 0.0, 0.0), (0.0, f[2], -f[1])  # f x up, s x f
    d = (p[0], p[1] - 85.0, p[2] - pos + 155.0)
    xe, ye, ze = (sum(a * b for a, b in zip(d, axis)) for axis in (s, u, f))
    t = math.tan(math.radians(22.5))
    return (xe / ze / (t * w / h) + 1) * w / 2, (1 - ye / ze / t) * h / 2


def is_model(c):  # terrain and fog have no red; lines and markers have exact colours
    return c[0] > 0 and c != WHITE and c not in MARKERS


def preview(first, second, skin, m1):
    """A green terrain (no red), the default cyan fog and a selected trigger whose model flies from
    (-40, 55, 10) at time 0 to (40, 55, 10) at time 0.08."""
    bins = {tuple(v >> 4 for v in c) for row in pixels(skin)[2] for c in row}
    problems, shots = [], [pixels(first), pixels(second)]
    for name, (w, h, img) in zip(("first", "second"), shots):
        if any(img[y][x] != FOG for y in range(10) for x in list(range(10)) + list(range(w - 10, w))):
            problems.append(f"{name}: the top corners are not the fog colour")
        bottom = [c for row in img[3 * h // 4:] for c in row]
        if sum(1 for c in bottom if c[0] == 0 and c[1] > c[2]) < 0.8 * len(bottom):
            problems.append(f"{name}: the terrain does not cover the bottom quarter")
        if sum(1 for row in img[:h // 2] for c in row if c == WHITE) < 20:
            problems.append(f"{name}: no path in the upper half")
    w, h, img = shots[0]
    ex, ey = project([-40 + 80 * float(m1) / 0.08, 55, 10], float(m1), w, h)
    model = [img[y][x] for y in range(int(ey) - 30, int(ey) + 31) for x in range(int(ex) - 30, int(ex) + 31)
             if 0 <= x < w and 0 <= y < h and is_model(img[y][x])]
    skinlike = [c for c in model if any((c[0] // 16 + a, c[1] // 16 + b, c[2] // 16 + d) in bins
                                        for a in (-1, 0, 1) for b in (-1, 0, 1) for d in (-1, 0, 1))]
    print(f"enemy at ({ex:.0f}, {ey:.0f}): {len(model)} model pixels, {len(skinlike)} in skin colours")
    if len(model) < 40 or len(skinlike) < 0.7 * len(model):
        problems.append("first: the model's skin colours are not where the enemy is")
    left = sum(1 for row in shots[1][2] for c in row if is_model(c))
    return problems + ([f"second: {left} model pixels after the last stage time"] if left else [])


if __name__ == "__main__":
    found = {"find": find, "preview": preview}[sys.argv[1]](*sys.argv[2:])
    print("".join(f"problem: {p}\n" for p in found), end="")
    sys.exit(1 if found else 0)
