// Reference pictures of the visualization generators and the hue palette, written plainly from their formulas
// (single-precision steps in the documented order, the C library's fmodf and rand()); slow on purpose.
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

inline int wallpaper_index(float v) { return static_cast<int>(std::abs(int64_t{to_int(v)}) % 256); }  // |trunc v| % 256

// Julia count from (x, y): the step whose point leaves the radius-2 circle; 251 when the next
// point is the start or, from step 17 on, the 16th iterate; 127 after 126 steps.
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

// One plasma quad: plot its first point's 2 x 2 block (a negative value shows entry 0), split it.
inline void plasma_quad(std::vector<int>& out, int w, int h, Point first, Point second, Point third,
                        Point fourth) {
    for (int y = first.y; y < std::min(first.y + 2, h); y++)
        for (int x = first.x; x < std::min(first.x + 2, w); x++) out[y * w + x] = std::max(first.value, 0);
    const int mx = (first.x + fourth.x) / 2, my = (first.y + fourth.y) / 2;
    if ((mx == first.x || mx == fourth.x) && (my == first.y || my == fourth.y)) return;
    const Point m{mx, my, std::clamp((first.value + fourth.value) / 2 + (std::rand() / 4096) % 32 - 16, 0, 255)};
    auto mid = [](Point p, Point q) { return Point{(p.x + q.x) / 2, (p.y + q.y) / 2, (p.value + q.value) / 2}; };
    plasma_quad(out, w, h, first, mid(first, second), mid(first, third), m);
    plasma_quad(out, w, h, second, mid(first, second), mid(second, fourth), m);
    plasma_quad(out, w, h, fourth, mid(fourth, third), mid(second, fourth), m);
    plasma_quad(out, w, h, third, mid(fourth, third), mid(third, first), m);
}

// Table indices of a w x h picture, row by row, by generator 0 (wallpaper), 1 (plasma), 2 (Julia)
// or 3 (fade) in a buffer `texWidth` wide; -1 where the generator writes nothing.
inline std::vector<int> indices(int generator, float a, float b, int w, int h, int texWidth) {
    std::vector<int> out(w * h, -1);
    if (generator == 1) {
        std::srand(static_cast<unsigned>(to_int(a)));
        const int va = to_int(a * 255.0f) % 255, vb = to_int(b * 255.0f) % 255, T = texWidth;
        plasma_quad(out, w, h, {0, 0, va}, {T, 0, vb}, {0, T, vb}, {T, T, va});
        return out;
    }
    const float A = a + 0.1f, B = b + 0.1f;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            const float dx = static_cast<float>(x) + a, dy = static_cast<float>(y) + b;
            const int gx = x & ~1, gy = y & ~1;
            const float zx = static_cast<float>(3 * (gx - w / 2)) / w, zy = static_cast<float>(3 * (gy - h / 2)) / w;
            out[y * w + x] =
                generator == 0 ? wallpaper_index(fmodf(static_cast<float>(50 * x) * A * (50 * y * B), 256) + (A + B))
                : generator == 3 ? wallpaper_index(dx * dx + dy * dy)
                                 : 9 * julia_count(zx, zy, -a, b - 1.5f) % 256;
        }
    return out;
}

// The hue palette: slopes k and m of red, green and blue by the range of h; entry f - 16 =
// trunc(k f), entry f + 112 = trunc(m f + 144 k) for f = 16..143, each channel kept in its byte.
inline std::vector<uint32_t> hue_palette(float h) {
    using Slopes = std::array<float, 6>;  // red k, m, green k, m, blue k, m
    const float a = h * -3.0f + 1.0f, b = h * 3.0f, e = h * 3.0f - 1.0f, d = h * 3.0f - 2.0f, t = 1 - e, p = 1 - d;
    const Slopes s = h < 0.33333334f  ? Slopes{1 - a, a, 1 - b, b, 1, 0}
                     : h <= 0.6666667f ? Slopes{1, 0, 1 - t, t, t, e}
                                       : Slopes{p, d, 1, 0, 1 - p, p};  // NaN too
    std::vector<uint32_t> out(256);
    for (int i = 16; i < 144; i++)
        for (int c = 0; c < 3; c++) {
            const float f = static_cast<float>(i), base = 144.0f * s[2 * c];
            out[i - 16] += static_cast<uint32_t>(std::clamp(to_int(s[2 * c] * f), 0, 255)) << 8 * c;
            out[i + 112] += static_cast<uint32_t>(std::clamp(to_int(s[2 * c + 1] * f + base), 0, 255)) << 8 * c;
        }
    return out;
}

// The picture's words (0 where nothing is written) for a palette: the opaque grey ramp when its
// last entry is 0, and entry 0 opaque black always.
inline std::vector<uint32_t> picture(const uint32_t* palette, int generator, float a, float b, int w, int h,
                                     int texWidth) {
    std::vector<uint32_t> out;
    for (int i : indices(generator, a, b, w, h, texWidth))
        out.push_back(i < 0 ? 0 : i == 0 ? 0xFF000000u : palette[255] ? palette[i] : 0xFF000000u + i * 0x010101u);
    return out;
}

}  // namespace reference
