// Visualization generators, hue and picture palettes, custom map names and
// file copies, against references written from the formulas.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <set>
#include <tuple>

#include "maps/generators.h"
#include "maps/map_files.h"
#include "maps/palette.h"
#include "tests/reference/visualizations.h"
#include "tests/test_files.h"

namespace {

using ImagePtr = std::unique_ptr<Image, void (*)(Image*)>;
uint32_t at(const Image* image, int x, int y) { return image->pixels[y * image->texWidth + x]; }

// Runs visualization v on a new w x h image, keeping the plasma's line off stdout.
ImagePtr generated(int w, int h, float a, float b, int v) {
    ImagePtr img(newImage(w, h), freeImage);
    testing::internal::CaptureStdout();
    generateVisualization(a, b, img.get(), v);
    testing::internal::GetCapturedStdout();
    return img;
}

}  // namespace

TEST(GenPictures, EveryVisualizationMatchesTheReferencePicture) {
    // Visualization numbers and the generator that the remainder by 4 selects.
    const std::pair<int, int> dispatch[] = {{0, 0},  {1, 1},  {2, 2},       {3, 3},        {5, 1},       {6, 2},
                                            {7, 3},  {8, 0},  {-1, 3},      {4, 0},        {-2, 3},      {-4, 0},
                                            {-3, 3}, {-5, 3}, {1000002, 2}, {-1000001, 3}, {INT_MAX, 3}, {INT_MIN, 0}};
    // Ordinary seeds on larger pictures (46340.5 squared is just below 2^31, so the
    // fade crosses it); every pair of extreme seeds on small and odd sizes.
    const std::pair<float, float> ordinary[] = {{0.5f, 0.25f}, {-0.3f, 1.7f},  {2.25f, -1.5f},   {-4.321f, -0.001f},
                                                {1, 3},        {0, 1.5f},      {0.75f, 1.6f},    {1.0f / 6, 0.2f},
                                                {4.999f, -5},  {46340.5f, 0}};
    const float extreme[] = {NAN, INFINITY, -INFINITY, 1e30f, -1e30f, 2147483648.0f, -2147483904.0f, -5, -0.9f, 0.5f, 3};
    const std::pair<int, int> large[] = {{256, 256}, {200, 120}, {512, 2}},
                              small[] = {{1, 1}, {2, 1}, {2, 2}, {3, 5}, {17, 33}, {129, 7}, {7, 129}};
    std::vector<std::tuple<int, int, float, float>> cases;
    for (const auto& [w, h] : large)
        for (const auto& [a, b] : ordinary) cases.emplace_back(w, h, a, b);
    for (const auto& [w, h] : small)
        for (float a : extreme)
            for (float b : extreme) cases.emplace_back(w, h, a, b);
    // Every other case gets a palette whose last entry is not 0, taken as it is
    // but for entry 0 (opaque black); the others the grey ramp.
    std::vector<uint32_t> palettes[2] = {std::vector<uint32_t>(256), {}};
    for (uint32_t i = 0; i < 256; i++) palettes[1].push_back(0x00123456u + i * 0x01010101u);
    std::set<int> julia;
    for (size_t c = 0; c < cases.size(); c++) {
        const auto [w, h, a, b] = cases[c];
        const uint32_t* palette = palettes[c % 2].data();
        const int tw = ImagePtr(newImage(w, h), freeImage)->texWidth;
        std::vector<uint32_t> want[4];
        for (int g = 0; g < 4; g++) want[g] = reference::picture(palette, g, a, b, w, h, tw);
        for (int i : reference::indices(2, a, b, w, h, tw)) julia.insert(i);
        for (const auto& [v, g] : dispatch) {
            if (v != g && w != 256) continue;  // other numbers on the square pictures only
            copyPalette(palette);
            const ImagePtr img = generated(w, h, a, b, v);
            for (int y = 0; y < int(img->texHeight); y++)
                for (int x = 0; x < tw; x++)
                    ASSERT_EQ(at(img.get(), x, y), x < w && y < h ? want[g][y * w + x] : 0u)
                        << "visualization " << v << ", seeds " << a << " " << b << ", " << w << "x" << h
                        << " at " << x << "," << y;
        }
    }
    // The seeds reach escapes, returns to the start or the 16th point (211) and bounded orbits (119).
    EXPECT_TRUE(julia.count(9) && julia.count(211) && julia.count(119));
}

// Pixels worked by hand guard the reference (the generators are held to it above).
// Wallpaper with whole A = a + 0.1, B = b + 0.1: |trunc(fmod(2500 A B x y, 256) + A + B)|.
// Fade: (x + a)^2 + (y + b)^2. Julia with c = 0: the centre stays (211); 1.125 escapes
// as the 4th point (36), the corner at once (9). Plasma corners: trunc(255 a) remainder
// 255; its centre takes the first rand().
TEST(GenPictures, HandWorkedReferencePixels) {
    std::srand(0);
    const int centre = std::clamp(127 + ((std::rand() >> 12) & 31) - 16, 0, 255);
    const struct { int generator; float a, b; int x, y, index; } rows[] = {
        {0, 0, 0, 10, 7, 214},       {0, 1.9f, -1.1f, 1, 1, 135}, {3, -3, 2, 5, 7, 85},     {3, -100, -100, 3, 4, 193},
        {2, 0, 1.5f, 128, 128, 211}, {2, 0, 1.5f, 224, 128, 36},  {2, 0, 1.5f, 0, 0, 9},    {1, 3.7f, 0, 0, 0, 178},
        {1, 1, 0, 0, 0, 0},          {1, 3.7f, -0.4f, 128, 0, 38}, {1, 0.5f, 0.5f, 128, 128, centre}};
    for (const auto& r : rows)
        EXPECT_EQ(reference::indices(r.generator, r.a, r.b, 256, 256, 256)[r.y * 256 + r.x], r.index) << r.generator;
}

// The C library's rand() behind the plasma is pinned by its pictures; fmod256 by
// every exponent and both signs, beyond what the wallpaper pictures reach.
TEST(GenWallpaper, Fmod256IsFmodfToTheBit) {
    std::vector<float> values = {0.0f, -0.0f, 256.0f, -512.0f, 255.99998f, 1e-45f, 3e38f, INFINITY, -INFINITY, NAN};
    for (uint32_t i = 0, bits = 12345; i < 20000; i++, bits = bits * 1664525u + 1013904223u)
        std::memcpy(&values.emplace_back(), &bits, sizeof bits);  // every exponent, both signs
    for (float v : values) {
        const float want = fmodf(v, 256.0f), got = fmod256(v);
        ASSERT_TRUE(std::isnan(want) ? std::isnan(got) : got == want && std::signbit(got) == std::signbit(want)) << v;
    }
}

TEST(PaletteHue, EveryHueGivesTheTablesPalette) {
    // The worked rows for hue 0 (red + 256 green + 65536 blue), entries 0, 127, 128, 255.
    const std::vector<uint32_t> zero = reference::hue_palette(0);
    EXPECT_EQ(std::vector<uint32_t>({zero[0], zero[127], zero[128], zero[255]}),
              std::vector<uint32_t>({0x101000, 0x8F8F00, 0x909010, 0x90908F}));
    // Both thresholds and the floats beside them, every 500th of the range, and beyond it.
    std::vector<float> hues = {0.3333333f, 0.33333334f, 0.6666667f, 0.66666675f, -1, 2, 1e30f, -INFINITY, NAN};
    for (int step = 0; step <= 500; step++) hues.push_back(step / 500.0f);
    for (float hue : hues) {
        std::vector<uint32_t> p(256, 0xDEADu);
        hue_palette_values(hue, p.data());
        ASSERT_EQ(p, reference::hue_palette(hue)) << hue;
    }
}

TEST(PaletteFromImage, TakesPixelsRowByRowFromInsideThePicture) {
    for (const auto& [w, h] : {std::pair{16, 16}, std::pair{256, 1}, std::pair{8, 8}, std::pair{20, 20}}) {
        ImagePtr img(newImage(w, h), freeImage);  // every word names its place in the buffer, padding too
        const uint32_t tw = img->texWidth;
        for (uint32_t k = 0; k < tw * img->texHeight; k++) img->pixels[k] = 0xFF000000u + k;
        uint32_t p[256];
        for (uint32_t i = 0; i < 256; i++) p[i] = 7 + i;
        palette_from_image(img.get(), p);
        for (int i = 0; i < 256; i++) ASSERT_EQ(p[i], i < w * h ? 0xFF000000u + i / w * tw + i % w : 7u + i) << w << "x" << i;
    }
}

TEST(MapPaths, DerivedFromTheLevelPath) {
    const std::string x241(241, 'x');  // + "seg0height.png" makes 255 characters
    const std::tuple<std::string, int, bool, std::string> cases[] = {  // "" when refused
        {"lv/forest.txt", 3, false, "lv/forestseg3height.png"}, {"a.b/c.d.txt", 12, true, "a.b/c.dseg12color.png"},
        {"a.b/level", 255, false, "aseg255height.png"},         {x241 + ".txt", 0, false, x241 + "seg0height.png"},
        {x241 + "y.txt", 0, false, ""},                         {x241 + ".txt", 10, false, ""}};
    for (const auto& [level, segment, colour, want] : cases) {
        std::string out;
        EXPECT_EQ(custom_map_path(level.c_str(), segment, colour, out), !want.empty()) << level;
        EXPECT_EQ(out, want);
    }
}

TEST(MapFileCopy, CopiesAndNeverHarmsAFile) {
    TempFolder tmp;
    const std::string src = tmp / "src.png", dst = tmp / "dst.png";
    std::string data;
    for (int i = 0; i < 10000; i++) data += static_cast<char>(i * 7);  // past the 4096-byte buffer, with NULs
    put_file(src, data);
    put_file(dst, std::string(20000, 'z'));
    EXPECT_EQ(file_copy(src.c_str(), dst.c_str()), 0);
    EXPECT_EQ(file_copy((tmp / "missing.png").c_str(), dst.c_str()), -1);  // leaves the destination
    EXPECT_EQ(file_text(dst), data);
    fs::create_hard_link(src, tmp / "link.png");
    for (const std::string& self : {src, tmp / "./src.png", tmp / "link.png"})
        EXPECT_EQ(file_copy(src.c_str(), self.c_str()), 0) << self;
    EXPECT_EQ(file_text(src), data);
}
