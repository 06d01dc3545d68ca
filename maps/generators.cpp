#include "maps/generators.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "maps/libc_random.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

uint32_t color[256];

namespace {

// The part of the image the generators may write: the picture corner, never
// wider or taller than the buffer itself.
struct Canvas {
    uint32_t* pixels;
    int width;
    int height;
    int stride;
};

bool open_canvas(Image* image, Canvas& canvas) {
    if (!image || !image->pixels) return false;
    const int texWidth = static_cast<int>(image->texWidth);
    const int texHeight = static_cast<int>(image->texHeight);
    canvas.pixels = image->pixels;
    canvas.stride = texWidth;
    canvas.width = image->width < texWidth ? image->width : texWidth;
    canvas.height = image->height < texHeight ? image->height : texHeight;
    return canvas.width > 0 && canvas.height > 0;
}

// Writes the 2 x 2 block whose top-left pixel is (x, y), leaving out the
// pixels that fall outside the picture (odd sizes, plasma points at the edge).
void plot_block(const Canvas& canvas, int x, int y, uint32_t word) {
    if (x < 0 || y < 0 || x >= canvas.width || y >= canvas.height) return;
    uint32_t* row = canvas.pixels + static_cast<size_t>(y) * canvas.stride + x;
    const bool right = x + 1 < canvas.width;
    row[0] = word;
    if (right) row[1] = word;
    if (y + 1 < canvas.height) {
        row += canvas.stride;
        row[0] = word;
        if (right) row[1] = word;
    }
}

// Table index of a wallpaper value: truncated, absolute value, modulo 256.
// The magnitude is taken in unsigned arithmetic so that INT32_MIN is fine.
inline uint32_t reduced_index(float v) {
    const int32_t t = saturating_trunc(v);
    const uint32_t magnitude = t < 0 ? 0u - static_cast<uint32_t>(t) : static_cast<uint32_t>(t);
    return magnitude & 255u;
}

// row[x] = color[reduced_index(values[x] + add)] for x < n. The SSE2 path
// converts four values at once: the processor's truncating conversion gives
// INT32_MIN for NaN and for values outside the int32 range, whose index is 0
// as saturating_trunc's would be, except at 2^31 and above, where
// saturating_trunc gives INT32_MAX and so index 255; those lanes are set
// apart with a compare. Twice as fast as the branching scalar version.
void index_row(const float* values, float add, uint32_t* row, int n) {
    int x = 0;
#if defined(__SSE2__)
    const __m128 add4 = _mm_set1_ps(add);
    const __m128 tooHigh = _mm_set1_ps(2147483648.0f);
    const __m128i low8 = _mm_set1_epi32(255);
    alignas(16) uint32_t index[4];
    for (; x + 4 <= n; x += 4) {
        const __m128 v = _mm_add_ps(_mm_loadu_ps(values + x), add4);
        const __m128i t = _mm_cvttps_epi32(v);
        const __m128i sign = _mm_srai_epi32(t, 31);
        const __m128i magnitude = _mm_sub_epi32(_mm_xor_si128(t, sign), sign);
        const __m128i high = _mm_castps_si128(_mm_cmpge_ps(v, tooHigh));
        _mm_store_si128(reinterpret_cast<__m128i*>(index), _mm_and_si128(_mm_or_si128(magnitude, high), low8));
        row[x] = color[index[0]];
        row[x + 1] = color[index[1]];
        row[x + 2] = color[index[2]];
        row[x + 3] = color[index[3]];
    }
#endif
    for (; x < n; x++) row[x] = color[reduced_index(values[x] + add)];
}

struct LatticePoint {
    int x;
    int y;
    int value;  // may be negative: corners come from negative seeds
};

LatticePoint midpoint(const LatticePoint& p, const LatticePoint& q) {
    return {(p.x + q.x) / 2, (p.y + q.y) / 2, (p.value + q.value) / 2};
}

int clamp_byte(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// The plasma's midpoint displacement. A quad is given by its corners in the
// order first, second, third, fourth (first and fourth opposite); its centre
// is the mean of first and fourth plus a random offset, and it splits into
// four quads that keep its corner at their first place and its centre at
// their fourth. The random offset of a quad is drawn before its sub-quads
// are visited, so the draws follow a pre-order walk of the quads.
//
// A lattice point's value never depends on which quad reaches it (edge
// midpoints shared by neighbours are means of the same two corners), and
// every point with even coordinates is the first corner of some smallest
// quad, so the picture is the values of the even points, each filling its
// 2 x 2 block. The walk therefore only records values, on a grid of the even
// points, and the picture is written from the grid at the end. Quads of side
// 2 draw a number but add no even point, so a quad of side 4 skips its four
// sub-quads' draws instead of visiting them.
class PlasmaWalk {
public:
    PlasmaWalk(unsigned seed, int side) : random_(seed), columns_(side / 2 + 1), grid_(columns_ * columns_) {}

    void set(const LatticePoint& p) { grid_[(p.y / 2) * columns_ + p.x / 2] = p.value; }
    int value(int x, int y) const { return grid_[(y / 2) * columns_ + x / 2]; }

    // Visits a quad of side 2 or more (the lattice side of its edges).
    void quad(const LatticePoint& first, const LatticePoint& second, const LatticePoint& third,
              const LatticePoint& fourth, int side) {
        const int r = (random_.next() / 4096) % 32;  // bits 12-16
        if (side == 2) return;
        const LatticePoint centre{(first.x + fourth.x) / 2, (first.y + fourth.y) / 2,
                                  clamp_byte((first.value + fourth.value) / 2 + r - 16)};
        const LatticePoint top = midpoint(first, second);
        const LatticePoint left = midpoint(first, third);
        const LatticePoint right = midpoint(second, fourth);
        const LatticePoint bottom = midpoint(fourth, third);
        set(centre);
        set(top);
        set(left);
        set(right);
        set(bottom);
        if (side == 4) {
            for (int i = 0; i < 4; i++) random_.next();
            return;
        }
        const int half = side / 2;
        quad(first, top, left, centre, half);
        quad(second, top, right, centre, half);
        quad(fourth, bottom, right, centre, half);
        quad(third, bottom, midpoint(third, first), centre, half);
    }

private:
    LibcRandom random_;
    int columns_;
    std::vector<int> grid_;
};

// Julia iteration counts of a row's grid points, kJuliaLanes at a time.
// Every lane performs the one-point loop's operations in the same order on
// the same single-precision values (vector adds, multiplies and compares are
// the scalar IEEE operations), so the counts are the same; running four
// orbits in one SSE register makes slow, mostly-bounded seeds about four
// times faster. (Wider vectors than the target has are emulated badly.)
//
// Per point: count from 1; stop when |z|^2 > 4 (giving the count), when the
// next point equals the start or, after 16 steps, the 16th iterate (251), or
// after 126 steps (127). All lanes take step k together, so the count is
// k + 1 for every lane still running.
constexpr int kJuliaLanes = 4;
typedef float JuliaLanes __attribute__((vector_size(4 * kJuliaLanes)));
typedef int32_t JuliaMask __attribute__((vector_size(4 * kJuliaLanes)));

bool any_lane(const JuliaMask& m) {
    int32_t bits = 0;
    for (int i = 0; i < kJuliaLanes; i++) bits |= m[i];
    return bits != 0;
}

void julia_counts(const float* startX, float startY, float cr, float ci, int32_t* counts) {
    JuliaLanes x0, zx;
    for (int i = 0; i < kJuliaLanes; i++) x0[i] = startX[i];
    zx = x0;
    const JuliaLanes y0 = JuliaLanes{} + startY;
    JuliaLanes zy = y0, sx = {}, sy = {};
    JuliaMask running = JuliaMask{} - 1;
    JuliaMask result = {};
    for (int k = 0;; k++) {
        const JuliaLanes xx = zx * zx;
        const JuliaLanes yy = zy * zy;
        const JuliaMask escaped = (xx + yy > 4.0f) & running;
        result |= escaped & (k + 1);
        running &= ~escaped;
        if (!any_lane(running)) break;

        const JuliaLanes nx = xx - yy + cr;
        const JuliaLanes ny = zy * (zx + zx) + ci;
        JuliaMask cycled = (nx == x0) & (ny == y0);
        if (k == 15) {
            sx = nx;
            sy = ny;
        } else if (k > 15) {
            cycled |= (nx == sx) & (ny == sy);
        }
        cycled &= running;
        result |= cycled & 251;
        running &= ~cycled;
        if (k == 125) {
            result |= running & 127;
            break;
        }
        if (!any_lane(running)) break;
        zx = nx;
        zy = ny;
    }
    for (int i = 0; i < kJuliaLanes; i++) counts[i] = result[i];
}

}  // namespace

// Dividing by a power of two and truncating are exact, and the difference is
// a multiple of v's last place below 256 in magnitude, so it is representable:
// nothing is rounded. copysign gives a zero remainder v's sign, as fmodf does;
// infinities and NaN give NaN. The C library's fmodf takes a step per bit of
// the quotient, which made the wallpaper several times slower.
float fmod256(float v) { return std::copysign(v - 256.0f * std::trunc(v / 256.0f), v); }

void copyPalette(const uint32_t* palette) { std::memcpy(color, palette, sizeof color); }

void generatePalette() {
    if (color[255] == 0)
        for (uint32_t i = 0; i < 256; i++) color[i] = 0xFF000000u + i * 0x010101u;
    color[0] = 0xFF000000u;
}

void generateVisualization(float seedA, float seedB, Image* image, int visualization) {
    switch (visualization % 4) {
        case 1: generatePlasma(seedA, seedB, image); break;
        case 2: generateJulia(seedA, seedB, image); break;
        case 0: generateWallpaper(seedA, seedB, image); break;
        default: generateFade(seedA, seedB, image); break;
    }
}

void generateWallpaper(float a, float b, Image* image) {
    generatePalette();
    Canvas canvas;
    if (!open_canvas(image, canvas)) return;

    const float A = a + 0.1f;
    const float B = b + 0.1f;
    const float S = A + B;
    // float(50 x) * A is the same for every row; the product is still taken
    // left to right, so keeping it per column changes no bit.
    float column[512];
    for (int x = 0; x < canvas.width; x++) column[x] = static_cast<float>(50 * x) * A;

    for (int y = 0; y < canvas.height; y++) {
        const float R = static_cast<float>(50 * y) * B;
        uint32_t* row = canvas.pixels + static_cast<size_t>(y) * canvas.stride;
        for (int x = 0; x < canvas.width; x++)
            row[x] = color[reduced_index(fmod256(column[x] * R) + S)];
    }
}

void generateFade(float a, float b, Image* image) {
    generatePalette();
    Canvas canvas;
    if (!open_canvas(image, canvas)) return;

    float column[512];
    for (int x = 0; x < canvas.width; x++) {
        const float dx = static_cast<float>(x) + a;
        column[x] = dx * dx;
    }
    for (int y = 0; y < canvas.height; y++) {
        const float dy = static_cast<float>(y) + b;
        const float Y = dy * dy;
        uint32_t* row = canvas.pixels + static_cast<size_t>(y) * canvas.stride;
        index_row(column, Y, row, canvas.width);
    }
}

void generateJulia(float a, float b, Image* image) {
    generatePalette();
    Canvas canvas;
    if (!open_canvas(image, canvas)) return;

    const float cr = -a;
    const float ci = b - 1.5f;
    // Both coordinates are scaled by the width, as the picture always was.
    const int halfWidth = image->width / 2;
    const int halfHeight = image->height / 2;
    const float scale = static_cast<float>(image->width);
    float startX[kJuliaLanes];
    int32_t counts[kJuliaLanes];
    for (int y = 0; y < canvas.height; y += 2) {
        const float zy0 = static_cast<float>(3 * (y - halfHeight)) / scale;
        for (int x = 0; x < canvas.width; x += 2 * kJuliaLanes) {
            // Lanes past the right edge start outside the circle and stop at once.
            for (int i = 0; i < kJuliaLanes; i++) {
                const int gx = x + 2 * i;
                startX[i] = gx < canvas.width ? static_cast<float>(3 * (gx - halfWidth)) / scale : 8.0f;
            }
            julia_counts(startX, zy0, cr, ci, counts);
            for (int i = 0; i < kJuliaLanes && x + 2 * i < canvas.width; i++)
                plot_block(canvas, x + 2 * i, y, color[(9 * counts[i]) & 255]);
        }
    }
}

void generatePlasma(float a, float b, Image* image) {
    generatePalette();
    std::puts("Generate plasma");
    Canvas canvas;
    if (!open_canvas(image, canvas)) return;

    const unsigned seed = static_cast<unsigned>(saturating_trunc(a));
    const int va = saturating_trunc(a * 255.0f) % 255;
    const int vb = saturating_trunc(b * 255.0f) % 255;
    const int T = static_cast<int>(image->texWidth);
    if (T < 2) {  // a single point, no quad to split
        plot_block(canvas, 0, 0, color[clamp_byte(va)]);
        return;
    }
    PlasmaWalk walk(seed, T);
    const LatticePoint first{0, 0, va}, second{T, 0, vb}, third{0, T, vb}, fourth{T, T, va};
    for (const LatticePoint& corner : {first, second, third, fourth}) walk.set(corner);
    walk.quad(first, second, third, fourth, T);

    // Points on the lattice (y up to T) inside the picture fill their blocks.
    const int rows = canvas.height < T + 1 ? canvas.height : T + 1;
    for (int y = 0; y < rows; y += 2)
        for (int x = 0; x < canvas.width; x += 2) plot_block(canvas, x, y, color[clamp_byte(walk.value(x, y))]);
}
