#!/usr/bin/env python3
"""Checks two screenshots of the perspective preview taken by test_preview.sh.

The level has a green terrain palette (no red), the default cyan fog colour
and one selected trigger whose enemy model, camera1.md2, flies from
(-40, 55, 10) at time 0 to (40, 55, 10) at time 0.08. The first shot is at
map position m1 (the enemy on its path), the second at m2 (after its last
stage time). Usage: check_preview.py shot1.ppm shot2.ppm skin.ppm m1 m2
"""
import math
import re
import sys

FOG = (0, 192, 192)
WHITE = (255, 255, 255)
MARKERS = {(153, 51, 153), (255, 51, 51), (153, 0, 153)}
LENGTH = 4.0
START, END, LAST_TIME = (-40.0, 55.0, 10.0), (40.0, 55.0, 10.0), 0.08


def pixels(path):
    """Rows of (r, g, b) tuples of an 8-bit binary PPM as ImageMagick writes it."""
    with open(path, "rb") as f:
        data = f.read()
    header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", data)
    if not header:
        raise SystemExit(f"{path}: not an 8-bit binary PPM")
    w, h = int(header.group(1)), int(header.group(2))
    data = data[header.end():]
    return w, h, [[tuple(data[(y * w + x) * 3:(y * w + x) * 3 + 3]) for x in range(w)] for y in range(h)]


def project(point, m, w, h):
    """Window position of a point seen by the front camera at map position m."""
    pos = 256.0 * m * LENGTH
    eye, target = (0.0, 85.0, pos - 155.0), (0.0, 0.0, pos)
    f = [t - e for t, e in zip(target, eye)]
    n = math.sqrt(sum(c * c for c in f))
    f = [c / n for c in f]
    s = (-f[2], 0.0, f[0])  # f x up, up = +y
    n = math.sqrt(sum(c * c for c in s))
    s = [c / n for c in s]
    u = (s[1] * f[2] - s[2] * f[1], s[2] * f[0] - s[0] * f[2], s[0] * f[1] - s[1] * f[0])
    d = [p - e for p, e in zip(point, eye)]
    xe, ye, ze = (sum(a * b for a, b in zip(d, axis)) for axis in (s, u, f))
    t = math.tan(math.radians(22.5))
    return (xe / ze / (t * w / h) + 1) * w / 2, (1 - ye / ze / t) * h / 2


def is_model(c):
    # Terrain and fog have no red; lines, player marker and stage markers have exact colours.
    return c[0] > 0 and c != WHITE and c not in MARKERS


def near_skin(c, bins):
    q = tuple(v >> 4 for v in c)
    return any((q[0] + a, q[1] + b, q[2] + d) in bins for a in (-1, 0, 1) for b in (-1, 0, 1) for d in (-1, 0, 1))


def main():
    shot1, shot2, skin_path = sys.argv[1:4]
    m1, m2 = float(sys.argv[4]), float(sys.argv[5])
    _, _, skin = pixels(skin_path)
    bins = {tuple(v >> 4 for v in c) for row in skin for c in row}
    problems = []
    for name, path in (("first", shot1), ("second", shot2)):
        w, h, img = pixels(path)
        corners = [img[y][x] for y in range(10) for x in list(range(10)) + list(range(w - 10, w))]
        if any(c != FOG for c in corners):
            problems.append(f"{name} shot: the top corners are not the fog colour {FOG}")
        bottom = [c for row in img[3 * h // 4:] for c in row]
        terrain = sum(1 for c in bottom if c[0] == 0 and c[1] > c[2])
        if terrain < 0.8 * len(bottom):
            problems.append(f"{name} shot: terrain covers {terrain} of {len(bottom)} pixels of the bottom quarter")
        path_pixels = sum(1 for row in img[:h // 2] for c in row if c == WHITE)
        if path_pixels < 20:
            problems.append(f"{name} shot: only {path_pixels} white path pixels in the upper half")

    w, h, img = pixels(shot1)
    f = m1 / LAST_TIME
    enemy = [a + f * (b - a) for a, b in zip(START, END)]
    ex, ey = project(enemy, m1, w, h)
    region = [img[y][x] for y in range(max(0, int(ey) - 30), min(h, int(ey) + 31))
              for x in range(max(0, int(ex) - 30), min(w, int(ex) + 31))]
    model = [c for c in region if is_model(c)]
    skinlike = sum(1 for c in model if near_skin(c, bins))
    print(f"enemy at ({ex:.0f}, {ey:.0f}): {len(model)} model pixels, {skinlike} in skin colours")
    if len(model) < 40 or skinlike < 0.7 * len(model):
        problems.append("first shot: the model's skin colours are not where the enemy is")

    _, _, img = pixels(shot2)
    left = sum(1 for row in img for c in row if is_model(c))
    if left:
        problems.append(f"second shot: {left} model pixels after the last stage time (m = {m2})")
    for p in problems:
        print("problem:", p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
