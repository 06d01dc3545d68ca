// The plasma and fade generators are tuned for speed; these tests hold them
// to plain, obviously correct versions, bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "maps/generators.h"
#include "maps/libc_random.h"

namespace {

struct Point {
    int x, y, v;
};
Point mid(Point p, Point q) { return {(p.x + q.x) / 2, (p.y + q.y) / 2, (p.v + q.v) / 2}; }

// The midpoint displacement as a plain recursion on the C library's rand().
void plain_quad(Image* img, Point f, Point s, Point t, Point o) {
    if (f.x < img->width && f.y < img->height)
        for (int i = 0; i < 4; i++)
            if (f.x + i % 2 < img->width && f.y + i / 2 < img->height)
                img->pixels[(f.y + i / 2) * img->texWidth + f.x + i % 2] = color[f.v < 0 ? 0 : f.v];
    const int mx = (f.x + o.x) / 2, my = (f.y + o.y) / 2;
    if ((mx == f.x || mx == o.x) && (my == f.y || my == o.y)) return;
    const int m = (f.v + o.v) / 2 + (std::rand() / 4096) % 32 - 16;
    const Point c{mx, my, m < 0 ? 0 : m > 255 ? 255 : m};
    plain_quad(img, f, mid(f, s), mid(f, t), c);
    plain_quad(img, s, mid(f, s), mid(s, o), c);
    plain_quad(img, o, mid(o, t), mid(s, o), c);
    plain_quad(img, t, mid(o, t), mid(t, f), c);
}

void plain_plasma(float a, float b, Image* img) {
    generatePalette();
    std::srand(static_cast<unsigned>(saturating_trunc(a)));
    const int va = saturating_trunc(a * 255.0f) % 255, vb = saturating_trunc(b * 255.0f) % 255, T = img->texWidth;
    plain_quad(img, {0, 0, va}, {T, 0, vb}, {0, T, vb}, {T, T, va});
}

void plain_fade(float a, float b, Image* img) {
    generatePalette();
    for (int y = 0; y < img->height; y++)
        for (int x = 0; x < img->width; x++) {
            const float dx = static_cast<float>(x) + a, dy = static_cast<float>(y) + b;
            img->pixels[y * img->texWidth + x] = color[std::abs(int64_t{saturating_trunc(dx * dx + dy * dy)}) % 256];
        }
}

}  // namespace

TEST(LibcRandom, GivesTheCLibrarySequenceAfterSrand) {
    for (unsigned seed : {0u, 1u, 12345u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFEu}) {
        LibcRandom mine(seed);
        std::srand(seed);
        for (int i = 0; i < 30000; i++) ASSERT_EQ(mine.next(), std::rand()) << "seed " << seed << " value " << i;
    }
}

TEST(FastGenerators, PlasmaAndFadeEqualThePlainVersions) {
    const struct {
        void (*fast)(float, float, Image*);
        void (*plain)(float, float, Image*);
        float a, b;
    } rows[] = {{generatePlasma, plain_plasma, 0.5f, 0.25f},   {generatePlasma, plain_plasma, -4.2f, 3.7f},
                {generatePlasma, plain_plasma, 4.999f, -5.0f}, {generatePlasma, plain_plasma, 1e9f, NAN},
                {generateFade, plain_fade, -4.321f, 4.987f},   {generateFade, plain_fade, 46340.5f, 0},
                {generateFade, plain_fade, 1e20f, -65536},     {generateFade, plain_fade, INFINITY, NAN}};
    const int sizes[][2] = {{256, 256}, {512, 512}, {255, 129}, {16, 64}, {64, 16}, {3, 5}, {2, 2}, {1, 1}};
    copyPalette(std::vector<uint32_t>(256).data());  // the grey ramp: every index its own colour
    for (const auto& r : rows)
        for (const auto& size : sizes) {
            std::unique_ptr<Image, void (*)(Image*)> fast(newImage(size[0], size[1]), freeImage),
                plain(newImage(size[0], size[1]), freeImage);
            testing::internal::CaptureStdout();
            r.fast(r.a, r.b, fast.get());
            testing::internal::GetCapturedStdout();
            r.plain(r.a, r.b, plain.get());
            const size_t words = fast->texWidth * fast->texHeight;
            EXPECT_TRUE(std::equal(fast->pixels, fast->pixels + words, plain->pixels))
                << r.a << " " << r.b << " " << size[0] << "x" << size[1];
        }
}
