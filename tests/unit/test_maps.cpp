// Visualization generators, hue and picture palettes, custom map names and file copies.
#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <tuple>

#include "maps/generators.h"
#include "maps/map_files.h"
#include "maps/palette.h"
#include "tests/reference/visualizations.h"
#include "tests/test_files.h"

using ImagePtr = std::unique_ptr<Image, void (*)(Image*)>;

// Numbers go by their remainder by 4; ordinary seeds on large pictures (46340.5^2 is just below 2^31), extreme
// ones on small and odd sizes; every other case a palette whose last entry is not 0, the others the grey ramp.
TEST(GenPictures, EveryVisualizationMatchesTheReferencePicture) {
    const std::pair<int, int> dispatch[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {5, 1}, {6, 2}, {7, 3}, {8, 0}, {-1, 3},
        {4, 0}, {-2, 3}, {-4, 0}, {-3, 3}, {-5, 3}, {1000002, 2}, {-1000001, 3}, {INT_MAX, 3}, {INT_MIN, 0}};
    const std::pair<float, float> ordinary[] = {{0.5f, 0.25f}, {-0.3f, 1.7f}, {2.25f, -1.5f}, {-4.321f, -0.001f},
        {1, 3}, {0, 1.5f}, {0.75f, 1.6f}, {1.0f / 6, 0.2f}, {4.999f, -5}, {46340.5f, 0}};
    const float extreme[] = {NAN, INFINITY, -INFINITY, 1e30f, -1e30f, 2147483648.0f, -2147483904.0f, -5, -0.9f, 0.5f, 3};
    std::vector<std::tuple<int, int, float, float>> cases;
    for (const auto& [w, h] : {std::pair{256, 256}, {200, 120}, {512, 2}})
        for (const auto& [a, b] : ordinary) cases.emplace_back(w, h, a, b);
    for (const auto& [w, h] : {std::pair{1, 1}, {2, 1}, {2, 2}, {3, 5}, {17, 33}, {129, 7}, {7, 129}})
        for (float a : extreme)
            for (float b : extreme) cases.emplace_back(w, h, a, b);
    std::vector<uint32_t> palettes[2] = {std::vector<uint32_t>(256), {}};
    for (uint32_t i = 0; i < 256; i++) palettes[1].push_back(0x00123456u + i * 0x01010101u);
    for (size_t c = 0; c < cases.size(); c++) {
        const auto [w, h, a, b] = cases[c];
        const uint32_t* palette = palettes[c % 2].data();
        const int tw = ImagePtr(newImage(w, h), freeImage)->texWidth;
        std::vector<uint32_t> want[4];
        for (int g = 0; g < 4; g++) want[g] = reference::picture(palette, g, a, b, w, h, tw);
        for (const auto& [v, g] : dispatch) {
            if (v != g && w != 256) continue;  // other numbers on the square pictures only
            copyPalette(palette);
            const ImagePtr img(newImage(w, h), freeImage);
            testing::internal::CaptureStdout();  // the plasma's line
            generateVisualization(a, b, img.get(), v);
            testing::internal::GetCapturedStdout();
            for (int y = 0; y < int(img->texHeight); y++)
                for (int x = 0; x < tw; x++)
                    ASSERT_EQ(img->pixels[y * tw + x], x < w && y < h ? want[g][y * w + x] : 0u)
                        << "vis " << v << " seeds " << a << " " << b << " size " << w << "x" << h << " at " << x << "," << y;
        }
    }
}

// Hand-worked pixels guard the reference: wallpaper |trunc(fmod(2500 A B x y, 256) + A + B)|, fade
// (x + a)^2 + (y + b)^2, Julia with c = 0, plasma corners trunc(255 a) % 255.
TEST(GenPictures, HandWorkedReferencePixels) {
    const struct { int generator; float a, b; int x, y, index; } rows[] = {
        {0, 0, 0, 10, 7, 214},       {0, 1.9f, -1.1f, 1, 1, 135}, {3, -3, 2, 5, 7, 85},     {3, -100, -100, 3, 4, 193},
        {2, 0, 1.5f, 128, 128, 211}, {2, 0, 1.5f, 224, 128, 36},  {2, 0, 1.5f, 0, 0, 9},    {1, 3.7f, 0, 0, 0, 178},
        {1, 1, 0, 0, 0, 0},          {1, 3.7f, -0.4f, 128, 0, 38}};
    for (const auto& r : rows)
        EXPECT_EQ(reference::indices(r.generator, r.a, r.b, 256, 256, 256)[r.y * 256 + r.x], r.index) << r.generator;
}

// Both thresholds and the floats beside them, every 500th of the range, and beyond it.
TEST(PaletteHue, EveryHueGivesTheTablesPalette) {
    const std::vector<uint32_t> z = reference::hue_palette(0), worked = {0x101000, 0x8F8F00, 0x909010, 0x90908F};
    EXPECT_EQ(std::vector<uint32_t>({z[0], z[127], z[128], z[255]}), worked);  // hand-worked entries
    std::vector<float> hues = {0.3333333f, 0.33333334f, 0.6666667f, 0.66666675f, -1, 2, 1e30f, -INFINITY, NAN};
    for (int step = 0; step <= 500; step++) hues.push_back(step / 500.0f);
    for (float hue : hues) {
        std::vector<uint32_t> p(256, 0xDEADu);
        hue_palette_values(hue, p.data());
        ASSERT_EQ(p, reference::hue_palette(hue)) << hue;
    }
}

// Every buffer word, padding too, names its place; entries past the picture stay.
TEST(PaletteFromImage, TakesPixelsRowByRowFromInsideThePicture) {
    for (const auto& [w, h] : {std::pair{16, 16}, {256, 1}, {8, 8}, {20, 20}}) {
        ImagePtr img(newImage(w, h), freeImage);
        const uint32_t tw = img->texWidth;
        for (uint32_t k = 0; k < tw * img->texHeight; k++) img->pixels[k] = 0xFF000000u + k;
        uint32_t p[256];
        for (uint32_t i = 0; i < 256; i++) p[i] = 7 + i;
        palette_from_image(img.get(), p);
        for (int i = 0; i < 256; i++)
            ASSERT_EQ(p[i], i < w * h ? 0xFF000000u + i / w * tw + i % w : 7u + i) << w << "x" << h << " " << i;
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

// Past the 4096-byte buffer, with NULs; a missing source or the same file (also by
// another name or a hard link) leaves the destination.
TEST(MapFileCopy, CopiesAndNeverHarmsAFile) {
    TempFolder tmp;
    const std::string src = tmp / "src.png", dst = tmp / "dst.png";
    std::string data;
    for (int i = 0; i < 10000; i++) data += static_cast<char>(i * 7);
    put_file(src, data);
    put_file(dst, std::string(20000, 'z'));
    fs::create_hard_link(src, tmp / "link.png");
    EXPECT_EQ(file_copy(src.c_str(), dst.c_str()), 0);
    for (const std::string& self : {src, tmp / "./src.png", tmp / "link.png"})
        EXPECT_EQ(file_copy(src.c_str(), self.c_str()), 0) << self;
    EXPECT_EQ(file_copy((tmp / "missing.png").c_str(), dst.c_str()), -1);
    EXPECT_TRUE(file_text(dst) == data && file_text(src) == data);
}
