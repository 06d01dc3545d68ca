// Visualization generators and their colour table, hue and picture palettes,
// custom map names, file copies and the map preview.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <sstream>
#include <tuple>

#include "maps/generators.h"
#include "maps/map_files.h"
#include "maps/palette.h"

namespace {

using ImagePtr = std::unique_ptr<Image, void (*)(Image*)>;
ImagePtr make_image(int w, int h) { return ImagePtr(newImage(w, h), freeImage); }
uint32_t at(const Image* image, int x, int y) { return image->pixels[y * image->texWidth + x]; }

// A zero table becomes the grey ramp, in which a pixel's low byte is its entry.
void grey_table() { copyPalette(std::vector<uint32_t>(256).data()); }
std::vector<int> indices(const ImagePtr& image, std::initializer_list<std::pair<int, int>> points) {
    std::vector<int> out;
    for (const auto& [x, y] : points) out.push_back(at(image.get(), x, y) & 255);
    return out;
}

std::vector<uint32_t> pixels(const ImagePtr& image) {
    return {image->pixels, image->pixels + image->texWidth * image->texHeight};
}

// Runs `make` on a new w x h image, keeping the plasma's line off stdout.
ImagePtr quietly(int w, int h, const std::function<void(Image*)>& make) {
    auto img = make_image(w, h);
    testing::internal::CaptureStdout();
    make(img.get());
    testing::internal::GetCapturedStdout();
    return img;
}

// A picture whose every word names its position; the padding holds a sentinel.
uint32_t label(int x, int y) { return 0xFF000000u + (y << 12) + x; }
ImagePtr labelled(int w, int h) {
    auto img = make_image(w, h);
    for (int y = 0; y < int(img->texHeight); y++)
        for (int x = 0; x < int(img->texWidth); x++)
            img->pixels[y * img->texWidth + x] = x < w && y < h ? label(x, y) : 0xDEADBEEFu;
    return img;
}

}  // namespace

TEST(GenPreamble, GreyRampOnlyWhenTheLastEntryIsZeroAndEntry0Black) {
    for (uint32_t last : {0xFF000000u, 0u}) {
        uint32_t p[256];
        for (uint32_t i = 0; i < 256; i++) p[i] = i < 255 ? 0x00123456u + i : last;
        copyPalette(p);
        generatePalette();
        for (uint32_t i = 0; i < 256; i++)
            ASSERT_EQ(color[i], i == 0 ? 0xFF000000u : last ? p[i] : 0xFF000000u + i * 0x010101u) << last << " " << i;
    }
}

TEST(GenPictures, WorkedPixelsAndPlasmaBlocks) {
    grey_table();
    ImagePtr img = make_image(256, 256);
    generateFade(-3, 2, img.get());  // squared distance from (3, -2), mod 256
    EXPECT_EQ(indices(img, {{5, 7}, {0, 0}, {19, 0}, {3, 14}}), std::vector<int>({85, 13, 4, 0}));
    // Wallpaper row 0 and column 0 multiply by zero, leaving |trunc(a + b + 0.2)| mod 256.
    const std::tuple<float, float, int> edges[] = {{3, 4, 7}, {-3, -4, 6}, {100, 200, 44}, {-200, -100, 43}};
    for (const auto& [a, b, index] : edges) {
        generateWallpaper(a, b, img.get());
        for (int i = 0; i < 256; i++)
            ASSERT_EQ(indices(img, {{i, 0}, {0, i}}), std::vector<int>(2, index)) << a << " " << i;
    }
    // Plasma corners 0.5 * 255 -> 127 and 0.25 * 255 -> 63; edge midpoints draw no random number.
    img = quietly(256, 256, [](Image* i) { generatePlasma(0.5f, 0.25f, i); });
    EXPECT_EQ(indices(img, {{0, 0}, {128, 0}, {0, 64}}), std::vector<int>({127, 95, 111}));
    std::srand(0);  // the centre takes bits 12-16 of the first random number (seeded from trunc(0.5)), less 16
    EXPECT_EQ(indices(img, {{128, 128}}), std::vector<int>{127 + ((std::rand() >> 12) & 31) - 16});
    for (int y = 0; y < 256; y += 2)
        for (int x = 0; x < 256; x += 2)  // every 2 x 2 block written, in one colour
            ASSERT_TRUE(at(img.get(), x, y) && std::set<uint32_t>({at(img.get(), x, y), at(img.get(), x + 1, y),
                        at(img.get(), x, y + 1), at(img.get(), x + 1, y + 1)}).size() == 1) << x << "," << y;
}

TEST(GenJulia, MatchesAReferenceOrbitAtEveryBlock) {
    // The entry of one start point from its orbit kept as a list: escape at step
    // k gives 9k, a return to the start or to the 16th point 9 * 251, 126 steps
    // 9 * 127 (mod 256).
    auto reference = [](float x, float y, float cr, float ci) {
        std::vector<std::pair<float, float>> z{{x, y}};
        for (int k = 0;; k++) {
            const auto [zx, zy] = z[k];
            if (zx * zx + zy * zy > 4.0f) return 9 * (k + 1) % 256;
            z.push_back({zx * zx - zy * zy + cr, zy * (zx + zx) + ci});
            if (z[k + 1] == z[0] || (k >= 16 && z[k + 1] == z[16])) return 9 * 251 % 256;
            if (k == 125) return 9 * 127 % 256;
        }
    };
    grey_table();
    const ImagePtr img = make_image(256, 256);
    std::set<int> seen;
    const std::pair<float, float> seeds[] = {{1.0f / 6, 0.2f}, {0, 1.5f}, {1, 1.5f}, {2, 1.5f},
                                             {-0.4f, 2.1f}, {0.2f, 1.5f}, {0.75f, 1.6f}, {0, 0}};
    for (const auto& [a, b] : seeds) {
        generateJulia(a, b, img.get());
        for (int y = 0; y < 256; y += 2)
            for (int x = 0; x < 256; x += 2) {
                const int want = reference(float(3 * (x - 128)) / 256, float(3 * (y - 128)) / 256, -a, b - 1.5f);
                seen.insert(want);
                ASSERT_EQ(indices(img, {{x, y}, {x + 1, y}, {x, y + 1}, {x + 1, y + 1}}), std::vector<int>(4, want))
                    << a << "," << b << " at " << x << "," << y;
            }
    }
    // Escapes (with seeds 0, 0, last, the corner start escapes at once), returns
    // to the start and bounded orbits all occur.
    EXPECT_EQ(indices(img, {{0, 0}}), std::vector<int>{9});
    EXPECT_TRUE(seen.count(211) && seen.count(119));
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

TEST(GenDispatch, RemainderOfFourSelectsTheGenerator) {
    std::vector<std::vector<uint32_t>> direct;  // wallpaper, plasma, Julia, fade; all different
    for (auto g : {generateWallpaper, generatePlasma, generateJulia, generateFade})
        direct.push_back(pixels(quietly(64, 64, [g](Image* i) { g(0.3f, 0.7f, i); })));
    ASSERT_EQ(std::set<std::vector<uint32_t>>(direct.begin(), direct.end()).size(), 4u);
    const std::pair<int, int> table[] = {{5, 1},  {6, 2},  {7, 3},       {8, 0},        {-1, 3},      {4, 0},
                                         {-2, 3}, {-4, 0}, {1000002, 2}, {-1000001, 3}, {INT_MAX, 3}, {INT_MIN, 0}};
    for (const auto& row : table)
        EXPECT_TRUE(pixels(quietly(64, 64, [&](Image* i) { generateVisualization(0.3f, 0.7f, i, row.first); })) ==
                    direct[row.second]) << row.first;
}

TEST(GenExtremeSeeds, EveryGeneratorStaysInsideThePicture) {
    const float seeds[] = {NAN, INFINITY, -INFINITY, 1e30f, -1e30f, 2147483648.0f, -2147483904.0f, -5, -0.9f, 0.5f, 3};
    const int sizes[][2] = {{1, 1}, {2, 1}, {3, 5}, {17, 33}, {129, 7}, {7, 129}, {512, 2}};
    for (const auto& s : sizes)
        for (float a : seeds)
            for (float b : seeds)
                for (int v : {INT_MIN, -1, 0, 1, 2, 3, INT_MAX}) {
                    grey_table();
                    const ImagePtr img = quietly(s[0], s[1], [&](Image* i) { generateVisualization(a, b, i, v); });
                    // Inside: grey table words, except that the plasma's lattice, as wide as the
                    // buffer both ways, may leave the rows of a taller picture. Outside: untouched.
                    const bool covers = v != 1 || s[1] <= int(img->texWidth);
                    for (int y = 0; y < int(img->texHeight); y++)
                        for (int x = 0; x < int(img->texWidth); x++) {
                            const uint32_t w = at(img.get(), x, y);
                            const bool grey = w >> 24 == 0xFF && (w & 0xFFFFFF) == (w & 255) * 0x010101u;
                            ASSERT_TRUE(x < s[0] && y < s[1] ? grey || (!covers && !w) : !w)
                                << v << " " << s[0] << "x" << s[1] << " " << a << " " << b << " at " << x << "," << y;
                        }
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
        uint32_t p[256];
        for (uint32_t i = 0; i < 256; i++) p[i] = 7 + i;
        palette_from_image(labelled(w, h).get(), p);
        for (int i = 0; i < 256; i++) ASSERT_EQ(p[i], i < w * h ? label(i % w, i / w) : 7u + i) << w << "x" << i;
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

TEST(MapPreview, ShowsTheMapTransposedAndScaled) {
    std::vector<unsigned char> raw(256 * 256 * 3);
    for (const auto& [w, h] : {std::pair{256, 256}, std::pair{128, 64}, std::pair{300, 20}}) {
        map_preview_rgb(labelled(w, h).get(), raw.data());
        for (int r = 0; r < 256; r++)
            for (int c = 0; c < 256; c++) {  // row r shows column r * w / 256
                const unsigned char* px = &raw[(r * 256 + c) * 3];
                ASSERT_EQ(px[0] + px[1] * 256u + px[2] * 65536u, label(r * w / 256, c * h / 256) & 0xFFFFFF)
                    << w << "x" << h << " " << r << "," << c;
            }
    }
}
