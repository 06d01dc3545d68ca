// The plasma and fade generators are tuned for speed; these tests hold them
// to plain, obviously correct versions, bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <vector>

#include "maps/generators.h"
#include "maps/libc_random.h"

namespace {

using ImagePtr = std::unique_ptr<Image, void (*)(Image*)>;
ImagePtr make_image(int w, int h) { return ImagePtr(newImage(w, h), freeImage); }

// A table whose entries all differ, so that every index shows in the picture.
void distinct_table() {
    uint32_t p[256];
    for (uint32_t i = 0; i < 256; i++) p[i] = 0x01000000u * (i ^ 0x5A) + i * 0x010203u + 1;
    copyPalette(p);
}

void plain_block(Image* img, int x, int y, int value) {
    const uint32_t word = color[value < 0 ? 0 : value > 255 ? 255 : value];
    for (int dy = 0; dy < 2; dy++)
        for (int dx = 0; dx < 2; dx++)
            if (x + dx < img->width && y + dy < img->height) img->pixels[(y + dy) * img->texWidth + x + dx] = word;
}

struct Point {
    int x, y, v;
};
Point mid(Point p, Point q) { return {(p.x + q.x) / 2, (p.y + q.y) / 2, (p.v + q.v) / 2}; }

// The midpoint displacement as a plain recursion on the C library's rand().
void plain_quad(Image* img, Point f, Point s, Point t, Point o) {
    if (f.x < img->width && f.y < img->height) plain_block(img, f.x, f.y, f.v);
    const int mx = (f.x + o.x) / 2, my = (f.y + o.y) / 2;
    if ((mx == f.x || mx == o.x) && (my == f.y || my == o.y)) return;
    int m = (f.v + o.v) / 2 + (std::rand() / 4096) % 32 - 16;
    const Point c{mx, my, m < 0 ? 0 : m > 255 ? 255 : m};
    plain_quad(img, f, mid(f, s), mid(f, t), c);
    plain_quad(img, s, mid(f, s), mid(s, o), c);
    plain_quad(img, o, mid(o, t), mid(s, o), c);
    plain_quad(img, t, mid(o, t), mid(t, f), c);
}

void plain_plasma(float a, float b, Image* img) {
    generatePalette();
    std::srand(static_cast<unsigned>(saturating_trunc(a)));
    const int va = saturating_trunc(a * 255.0f) % 255, vb = saturating_trunc(b * 255.0f) % 255;
    const int T = img->texWidth;
    plain_quad(img, {0, 0, va}, {T, 0, vb}, {0, T, vb}, {T, T, va});
}

uint32_t plain_index(float v) {
    const int32_t t = saturating_trunc(v);
    return static_cast<uint32_t>(std::abs(static_cast<int64_t>(t))) % 256;
}

void plain_fade(float a, float b, Image* img) {
    generatePalette();
    for (int y = 0; y < img->height; y++)
        for (int x = 0; x < img->width; x++) {
            const float dx = static_cast<float>(x) + a, dy = static_cast<float>(y) + b;
            img->pixels[y * img->texWidth + x] = color[plain_index(dx * dx + dy * dy)];
        }
}

int differing_words(const Image* p, const Image* q) {
    int n = 0;
    for (uint32_t i = 0; i < p->texWidth * p->texHeight; i++) n += p->pixels[i] != q->pixels[i];
    return n;
}

}  // namespace

TEST(LibcRandom, GivesTheCLibrarySequenceAfterSrand) {
    for (unsigned seed : {0u, 1u, 2u, 5u, 12345u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFEu, 0xFFFFFFFFu}) {
        LibcRandom mine(seed);
        std::srand(seed);
        for (int i = 0; i < 30000; i++) ASSERT_EQ(mine.next(), std::rand()) << "seed " << seed << " value " << i;
    }
}

TEST(FastGenerators, PlasmaEqualsThePlainRecursion) {
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        float a, b;
    } seeds[] = {{0.5f, 0.25f}, {1.0f / 6, 0.2f}, {-4.2f, 3.7f}, {4.999f, -5.0f}, {-0.7f, -0.9f}, {1e9f, -1e9f}, {inf, NAN}};
    const int sizes[][2] = {{256, 256}, {512, 512}, {255, 129}, {16, 64}, {64, 16}, {3, 5}, {2, 2}, {1, 1}};
    distinct_table();
    for (const auto& s : seeds)
        for (const auto& size : sizes) {
            ImagePtr fast = make_image(size[0], size[1]), plain = make_image(size[0], size[1]);
            testing::internal::CaptureStdout();
            generatePlasma(s.a, s.b, fast.get());
            EXPECT_EQ(testing::internal::GetCapturedStdout(), "Generate plasma\n");
            plain_plasma(s.a, s.b, plain.get());
            EXPECT_EQ(differing_words(fast.get(), plain.get()), 0) << s.a << " " << s.b << " " << size[0] << "x" << size[1];
        }
}

TEST(FastGenerators, FadeEqualsThePlainLoop) {
    const float inf = std::numeric_limits<float>::infinity();
    const float seeds[][2] = {{0, 0}, {-3, 2}, {1.0f / 6, 0.2f}, {-4.321f, 4.987f}, {46340.5f, 0},
                              {-65536, 3}, {1e5f, 1e5f}, {1e20f, 1}, {inf, 0}, {NAN, 1}, {-inf, -inf}};
    const int sizes[][2] = {{256, 256}, {7, 3}, {512, 1}};
    distinct_table();
    for (const auto& s : seeds)
        for (const auto& size : sizes) {
            ImagePtr fast = make_image(size[0], size[1]), plain = make_image(size[0], size[1]);
            generateFade(s[0], s[1], fast.get());
            plain_fade(s[0], s[1], plain.get());
            EXPECT_EQ(differing_words(fast.get(), plain.get()), 0) << s[0] << " " << s[1] << " " << size[0];
        }
}
