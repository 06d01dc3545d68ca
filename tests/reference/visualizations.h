// Reference pictures of the four visualization generators and the hue
// palette, written plainly from their formulas: scalar single-precision steps
// in the documented order, the C library's fmodf, the plasma's recursion as
// described, with rand() after srand(). Slow on purpose. The tests predict
// the generators with these, never with the code under test.
#pragma once

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace reference {

// Toward zero, saturating at the int range, NaN as 0: seeds can be any float.
inline int to_int(float v) {
    return v != v ? 0 : v >= 2147483648.0f ? INT_MAX : v <= -2147483648.0f ? INT_MIN : static_cast<int>(v);
}

// |trunc(v)| modulo 256.
inline int wallpaper_index(float v) { return static_cast<int>(std::abs(int64_t{to_int(v)}) % 256); }

// Julia iteration count from start point (x, y): the step whose point lies
// outside the radius-2 circle; 251 when the next point is the start or, from
// step 17 on, the 16th iterate; 127 after 126 steps. The block gets 9 n mod 256.
inline int julia_count(float x, float y, float cr, float ci) {
    float zx = x, zy = y, sx = 0, sy = 0;
    for (int n = 1;; n++) {
        if (zx * zx + zy * zy > 4.0f) return n;
        const float nx = zx * zx - zy * zy + cr, ny = zy * (zx + zx) + ci;
        if ((nx == x && ny == y) || (n > 16 && nx == sx && ny == sy)) return 251;
        if (n == 16) sx = nx, sy = ny;
        if (n == 126) return 127;
        zx = nx, zy = ny;
    }
}

struct Point { int x, y, value; };

// One quad of the plasma: plot its first point's 2 x 2 block, then split it.
// A negative value (from a negative seed) shows entry 0, the editor's choice.
inline void plasma_quad(std::vector<int>& out, int w, int h, Point first, Point second, Point third,
                        Point fourth) {
    if (first.x < w && first.y < h)
        for (int y = first.y; y < std::min(first.y + 2, h); y++)
            for (int x = first.x; x < std::min(first.x + 2, w); x++) out[y * w + x] = std::max(first.value, 0);
    const int mx = (first.x + fourth.x) / 2, my = (first.y + fourth.y) / 2;
    if ((mx == first.x || mx == fourth.x) && (my == first.y || my == fourth.y)) return;
    const int r = (std::rand() / 4096) % 32;
    const Point m{mx, my, std::clamp((first.value + fourth.value) / 2 + r - 16, 0, 255)};
    auto mid = [](Point p, Point q) { return Point{(p.x + q.x) / 2, (p.y + q.y) / 2, (p.value + q.value) / 2}; };
    plasma_quad(out, w, h, first, mid(first, second), mid(first, third), m);
    plasma_quad(out, w, h, second, mid(first, second), mid(second, fourth), m);
    plasma_quad(out, w, h, fourth, mid(fourth, third), mid(second, fourth), m);
    plasma_quad(out, w, h, third, mid(fourth, third), mid(third, first), m);
}

// Table indices of a w x h picture, row by row, made by generator 0
// (wallpaper), 1 (plasma), 2 (Julia) or 3 (wallpaper squared) in a buffer
// `texWidth` wide; -1 where the generator writes nothing.
inline std::vector<int> indices(int generator, float a, float b, int w, int h, int texWidth) {
    std::vector<int> out(w * h, -1);
    if (generator == 1) {
        std::srand(static_cast<unsigned>(to_int(a)));
        const int va = to_int(a * 255.0f) % 255, vb = to_int(b * 255.0f) % 255, T = texWidth;
        plasma_quad(out, w, h, {0, 0, va}, {T, 0, vb}, {0, T, vb}, {T, T, va});
        return out;
    }
    const float A = a + 0.1f, B = b + 0.1f, S = A + B;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            if (generator == 0) {
                const float R = static_cast<float>(50 * y) * B;
                out[y * w + x] = wallpaper_index(fmodf(static_cast<float>(50 * x) * A * R, 256.0f) + S);
            } else if (generator == 3) {
                const float dx = static_cast<float>(x) + a, dy = static_cast<float>(y) + b;
                out[y * w + x] = wallpaper_index(dx * dx + dy * dy);
            } else {
                const int gx = x & ~1, gy = y & ~1;
                const float zx = static_cast<float>(3 * (gx - w / 2)) / static_cast<float>(w);
                const float zy = static_cast<float>(3 * (gy - h / 2)) / static_cast<float>(w);
                out[y * w + x] = 9 * julia_count(zx, zy, -a, b - 1.5f) % 256;
            }
        }
    return out;
}

// The hue palette: each channel's slopes k and m by the range of h (red,
// green, blue), entry f - 16 = trunc(k f), entry f + 112 = trunc(m f + 144 k)
// for f = 16..143, each channel kept in its byte (hues outside 0..1 too).
inline std::vector<uint32_t> hue_palette(float h) {
    std::array<float, 6> s;  // red k, m, green k, m, blue k, m
    if (h < 0.33333334f) {
        const float a = h * -3.0f + 1.0f, b = h * 3.0f;
        s = {1 - a, a, 1 - b, b, 1, 0};
    } else if (h <= 0.6666667f) {
        const float e = h * 3.0f - 1.0f, t = 1 - e;
        s = {1, 0, 1 - t, t, t, e};
    } else {
        const float d = h * 3.0f - 2.0f, p = 1 - d;
        s = {p, d, 1, 0, 1 - p, p};
    }
    std::vector<uint32_t> out(256);
    for (int i = 16; i < 144; i++)
        for (int c = 0; c < 3; c++) {
            const float f = static_cast<float>(i), base = 144.0f * s[2 * c];
            out[i - 16] += static_cast<uint32_t>(std::clamp(to_int(s[2 * c] * f), 0, 255)) << 8 * c;
            out[i + 112] += static_cast<uint32_t>(std::clamp(to_int(s[2 * c + 1] * f + base), 0, 255)) << 8 * c;
        }
    return out;
}

// The picture's pixel words (0 where nothing is written) for a palette: the
// opaque grey ramp when its last entry is 0, and entry 0 opaque black always.
inline std::vector<uint32_t> picture(const uint32_t* palette, int generator, float a, float b, int w, int h,
                                     int texWidth) {
    std::vector<uint32_t> out;
    for (int i : indices(generator, a, b, w, h, texWidth))
        out.push_back(i < 0 ? 0 : i == 0 ? 0xFF000000u : palette[255] ? palette[i] : 0xFF000000u + i * 0x010101u);
    return out;
}

}  // namespace reference
