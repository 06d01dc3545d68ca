// Visualization generators and their colour table, hue and picture palettes,
// custom map names and file copies.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <tuple>

#include "maps/generators.h"
#include "maps/libc_random.h"
#include "maps/map_files.h"
#include "maps/palette.h"
#include "tests/reference/visualizations.h"

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
    // Ordinary seeds on larger pictures, the widest the buffer allows among them
    // (46340.5 squared is just below 2^31, so the fade crosses it); every pair
    // of extreme seeds on small and odd sizes.
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
    // Every other case uses a palette whose last entry is not 0, which the
    // generators take as it is, but for entry 0: opaque black. The others get
    // the grey ramp.
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

TEST(GenPictures, HandWorkedPixels) {
    // Wallpaper seeds whose A = a + 0.1 and B = b + 0.1 are whole: v = fmod(2500 A B x y, 256) + A + B.
    // Fade: (x + a)^2 + (y + b)^2. Julia with c = 0 (a = 0, b = 1.5): the centre stays at 0 (211),
    // 1.125 squares to 1.27, 1.60, 2.57 and escapes as the 4th point (36), the corner at once (9).
    // Plasma corners: trunc(255 a) remainder 255; negative values only reach edge midpoints.
    const struct { int generator; float a, b; int x, y, index; } rows[] = {
        {0, 0, 0, 1, 1, 25},         {0, 0, 0, 10, 7, 214},      {0, 0.9f, 1.9f, 3, 2, 51},
        {0, 1.9f, -1.1f, 1, 1, 135}, {0, -1.1f, -1.1f, 1, 1, 194}, {3, -3, 2, 5, 7, 85},
        {3, -3, 2, 19, 0, 4},        {3, 0.5f, 0.5f, 2, 3, 18},  {3, -100, -100, 3, 4, 193},
        {2, 0, 1.5f, 128, 128, 211}, {2, 0, 1.5f, 224, 128, 36}, {2, 0, 1.5f, 0, 0, 9},
        {1, 1.5f, 0, 0, 0, 127},     {1, 3.7f, 0, 0, 0, 178},    {1, 1, 0, 0, 0, 0},
        {1, 3.7f, -0.4f, 128, 0, 38}, {1, -1.2f, 3.7f, 0, 128, 63}};
    copyPalette(std::vector<uint32_t>(256).data());  // the grey ramp: a pixel's low byte is its index
    for (const auto& r : rows) {
        const ImagePtr img = generated(256, 256, r.a, r.b, r.generator);
        EXPECT_EQ(at(img.get(), r.x, r.y) & 255, uint32_t(r.index)) << r.generator << " " << r.a << " " << r.b;
    }
    // Plasma 0.5, 0.25: corners 127 and 63; the centre takes the first random number, and the
    // second-level centres the 2nd, 5463rd, 10924th and 16385th, for the sub-quads are visited
    // top-left, top-right, bottom-right, bottom-left and each below the top draws 5461 numbers.
    const ImagePtr img = generated(256, 256, 0.5f, 0.25f, 1);
    std::srand(0);
    std::vector<int> r;
    for (int i = 0; i < 16385; i++) r.push_back((std::rand() >> 12) & 31);
    auto centre = [](int first, int fourth, int random) { return std::clamp((first + fourth) / 2 + random - 16, 0, 255); };
    const int m = centre(127, 127, r[0]);
    const int centres[][3] = {{128, 128, m}, {64, 64, centre(127, m, r[1])}, {192, 64, centre(63, m, r[5462])},
                              {192, 192, centre(127, m, r[10923])}, {64, 192, centre(63, m, r[16384])}};
    for (const auto& [x, y, want] : centres) EXPECT_EQ(at(img.get(), x, y) & 255, uint32_t(want)) << x << "," << y;
}

TEST(GenRandom, LibcRandomGivesTheCLibrarySequenceAfterSrand) {
    for (unsigned seed : {0u, 1u, 12345u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFEu}) {
        LibcRandom mine(seed);
        std::srand(seed);
        for (int i = 0; i < 30000; i++) ASSERT_EQ(mine.next(), std::rand()) << "seed " << seed << " value " << i;
    }
}

TEST(GenWallpaper, Fmod256IsFmodfToTheBit) {
    std::vector<float> values = {0.0f, -0.0f, 256.0f, -512.0f, 255.99998f, 1e-45f, 3e38f, INFINITY, -INFINITY, NAN};
    for (uint32_t i = 0, bits = 12345; i < 20000; i++, bits = bits * 1664525u + 1013904223u)
        std::memcpy(&values.emplace_back(), &bits, sizeof bits);  // every exponent, both signs
    for (float v : values) {
        const float want = fmodf(v, 256.0f), got = fmod256(v);
        ASSERT_TRUE(std::isnan(want) ? std::isnan(got) : got == want && std::signbit(got) == std::signbit(want)) << v;
    }
}

TEST(PaletteHue, WorkedRowsThresholdsAndLimits) {
    // Channels blue, green, red of entries 0..127 and of 128..255: '0' for 0,
    // '#' for 144, 'r' for the ramp (i + 16 below 128, i - 112 from there).
    const std::tuple<float, const char*, const char*> cases[] = {
        {0.0f, "rr0", "##r"}, {1.0f, "rr0", "##r"}, {0.33333334f, "r0r", "#r#"}, {0.6666667f, "0rr", "r##"}};
    uint32_t p[256];
    for (const auto& [hue, low, high] : cases) {
        hue_palette_values(hue, p);
        for (uint32_t i = 0, want = 0; i < 256; i++, want = 0) {
            for (const char* c = i < 128 ? low : high; *c; c++)
                want = want * 256 + (*c == '0' ? 0 : *c == '#' ? 144 : i < 128 ? i + 16 : i - 112);
            ASSERT_EQ(p[i], want) << hue << " entry " << i;
        }
    }
    // One float below the first threshold and one above the second, the red ramp
    // of the other branch falls just short: 15 instead of 16 at entry 0.
    hue_palette_values(0.3333333f, p);
    const uint32_t belowFirst = p[0];
    hue_palette_values(0.66666675f, p);
    EXPECT_EQ(std::make_pair(belowFirst, p[0]), std::make_pair(15 + 16 * 65536u, 15 + 16 * 256u));
    // Hues in 0..1 keep every channel at most 144; others at least keep each channel in its byte.
    std::vector<float> hues = {-1.0f, 2.0f, 1e30f, -INFINITY, NAN};
    for (int step = 0; step <= 500; step++) hues.push_back(step / 500.0f);
    for (float hue : hues) {
        hue_palette_values(hue, p);
        const uint32_t most = hue >= 0 && hue <= 1 ? 144 : 255;
        for (int i = 0; i < 256; i++)
            ASSERT_TRUE((p[i] & 255) <= most && ((p[i] >> 8) & 255) <= most && (p[i] >> 16) <= most) << hue << " " << i;
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
    char tmpl[] = "/tmp/vantrope_maps_XXXXXX";
    const std::string dir = mkdtemp(tmpl), src = dir + "/src.png", dst = dir + "/dst.png";
    auto read = [](const std::string& path) { return (std::ostringstream() << std::ifstream(path).rdbuf()).str(); };
    std::string data;
    for (int i = 0; i < 10000; i++) data += static_cast<char>(i * 7);  // past the 4096-byte buffer, with NULs
    std::ofstream(src, std::ios::binary) << data;
    std::ofstream(dst, std::ios::binary) << std::string(20000, 'z');
    EXPECT_EQ(file_copy(src.c_str(), dst.c_str()), 0);
    EXPECT_EQ(file_copy((dir + "/missing.png").c_str(), dst.c_str()), -1);  // leaves the destination
    EXPECT_EQ(read(dst), data);
    std::filesystem::create_hard_link(src, dir + "/link.png");
    for (const std::string& self : {src, dir + "/./src.png", dir + "/link.png"})
        EXPECT_EQ(file_copy(src.c_str(), self.c_str()), 0) << self;
    EXPECT_EQ(read(src), data);
    std::filesystem::remove_all(dir);
}
