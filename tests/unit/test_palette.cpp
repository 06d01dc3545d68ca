// Hue palettes, palettes taken from pictures, custom map names, file copies
// and the transposed map preview.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "document/records.h"
#include "maps/map_files.h"
#include "maps/palette.h"

namespace {

using ImagePtr = std::unique_ptr<Image, void (*)(Image*)>;
ImagePtr make_image(int w, int h) { return ImagePtr(newImage(w, h), freeImage); }

uint32_t rgb(uint32_t r, uint32_t g, uint32_t b) { return r + g * 256 + b * 65536; }
uint32_t channel(uint32_t word, int c) { return (word >> (8 * c)) & 255; }

// A picture whose every word names its position; the padding outside the
// picture holds a sentinel that must never be read.
constexpr uint32_t kPadding = 0xDEADBEEFu;
uint32_t word_at(int x, int y) { return 0xFF000000u | (y << 12) | x; }
ImagePtr make_labelled(int w, int h) {
    auto img = make_image(w, h);
    for (uint32_t y = 0; y < img->texHeight; y++)
        for (uint32_t x = 0; x < img->texWidth; x++)
            img->pixels[y * img->texWidth + x] =
                (int)x < w && (int)y < h ? word_at(x, y) : kPadding;
    return img;
}

}  // namespace

TEST(PaletteHue, ExactPalettesAtWholeSlopes) {
    // f = i + 16 over the first half, g = i - 112 over the second.
    using Form = uint32_t (*)(uint32_t f, uint32_t g, bool second);
    const struct {
        float hue;
        Form form;
    } cases[] = {
        {0.0f, [](uint32_t f, uint32_t g, bool s) { return s ? rgb(g, 144, 144) : rgb(0, f, f); }},
        {1.0f, [](uint32_t f, uint32_t g, bool s) { return s ? rgb(g, 144, 144) : rgb(0, f, f); }},
        {0.33333334f,
         [](uint32_t f, uint32_t g, bool s) { return s ? rgb(144, g, 144) : rgb(f, 0, f); }},
        {0.6666667f,
         [](uint32_t f, uint32_t g, bool s) { return s ? rgb(144, 144, g) : rgb(f, f, 0); }},
        {0.5f, [](uint32_t f, uint32_t g, bool s) {
             return s ? rgb(144, g / 2 + 72, g / 2 + 72) : rgb(f, f / 2, f / 2);
         }},
    };
    for (const auto& c : cases) {
        uint32_t p[256];
        hue_palette_values(c.hue, p);
        for (uint32_t i = 0; i < 256; i++)
            ASSERT_EQ(p[i], c.form(i + 16, i - 112, i >= 128)) << c.hue << " entry " << i;
    }
    uint32_t p[256];
    hue_palette_values(0.0f, p);
    EXPECT_EQ(p[0], rgb(0, 16, 16));
    EXPECT_EQ(p[127], rgb(0, 143, 143));
    EXPECT_EQ(p[128], rgb(16, 144, 144));
    EXPECT_EQ(p[255], rgb(143, 144, 144));
}

TEST(PaletteHue, EveryRollerPositionStaysBelowLightGrey) {
    for (int step = 0; step <= 500; step++) {
        const float hue = static_cast<float>(step * 0.002);
        uint32_t p[256];
        hue_palette_values(hue, p);
        bool full = false;
        for (int i = 0; i < 256; i++) {
            ASSERT_EQ(p[i] >> 24, 0u) << hue << " entry " << i;
            for (int c = 0; c < 3; c++) {
                ASSERT_LE(channel(p[i], c), 144u) << hue << " entry " << i;
                // Slopes are never negative: each half only brightens.
                if (i % 128) {
                    ASSERT_GE(channel(p[i], c), channel(p[i - 1], c)) << hue << " " << i;
                }
            }
        }
        for (int c = 0; c < 3; c++) full = full || channel(p[255], c) == 144;
        EXPECT_TRUE(full) << hue;
        EXPECT_NE(p[255], 0u) << hue;
    }
}

TEST(PaletteHue, OutOfRangeHuesKeepChannelsApart) {
    const float inf = std::numeric_limits<float>::infinity();
    for (float hue : {-1.0f, -0.01f, 1.5f, 2.0f, 1e30f, -1e30f, inf, -inf, std::nanf("")}) {
        uint32_t p[256];
        hue_palette_values(hue, p);
        for (int i = 0; i < 256; i++) ASSERT_EQ(p[i] >> 24, 0u) << hue << " entry " << i;
    }
}

TEST(PaletteHue, WritesOnlyTheActiveSegment) {
    reset_level_records();
    const int saved = activeSegment;
    activeSegment = 5;
    uint32_t before[256], want[256];
    std::copy(segment[4].palette, segment[4].palette + 256, before);
    hue_palette_values(0.25f, want);
    hue_palette(0.25f);
    EXPECT_TRUE(std::equal(want, want + 256, segment[5].palette));
    EXPECT_TRUE(std::equal(before, before + 256, segment[4].palette));
    activeSegment = saved;
}

TEST(PaletteFromImage, TakesPixelsRowByRowFromInsideThePicture) {
    const struct {
        int w, h;
    } sizes[] = {{16, 16}, {256, 1}, {8, 8}, {20, 20}, {300, 2}, {1, 1}, {3, 512}};
    for (const auto& s : sizes) {
        auto img = make_labelled(s.w, s.h);
        uint32_t p[256];
        for (uint32_t i = 0; i < 256; i++) p[i] = 0x00C0FFEEu + i;
        palette_from_image(img.get(), p);
        const int taken = s.w * s.h < 256 ? s.w * s.h : 256;
        for (int i = 0; i < 256; i++)
            ASSERT_EQ(p[i], i < taken ? word_at(i % s.w, i / s.w) : 0x00C0FFEEu + i)
                << s.w << "x" << s.h << " entry " << i;
    }
    // Spot checks: the 20-wide picture's second row starts at entry 20, not at
    // its padding column; an 8 x 8 picture keeps entries 64..255.
    auto odd = make_labelled(20, 20);
    uint32_t p[256] = {};
    palette_from_image(odd.get(), p);
    EXPECT_EQ(p[20], word_at(0, 1));
    EXPECT_EQ(p[255], word_at(15, 12));
    auto small = make_labelled(8, 8);
    uint32_t q[256];
    for (uint32_t& v : q) v = 7;
    palette_from_image(small.get(), q);
    EXPECT_EQ(q[63], word_at(7, 7));
    EXPECT_EQ(q[64], 7u);
    palette_from_image(nullptr, q);
    EXPECT_EQ(q[0], word_at(0, 0));
}

TEST(MapPaths, DerivedFromTheLevelPath) {
    const std::string base(241, 'x');  // 241 + "seg0height.png" = 255 characters
    const std::string fits = base + ".txt", tooLong = base + "y.txt";
    const struct {
        const char* level;
        int seg;
        bool color;
        bool ok;
        std::string path;
    } cases[] = {
        {"levels/forest.txt", 3, false, true, "levels/forestseg3height.png"},
        {"levels/forest.txt", 3, true, true, "levels/forestseg3color.png"},
        {"levels/mylevel", 2, false, true, "seg2height.png"},
        {"", 0, false, true, "seg0height.png"},
        {"", 0, true, true, "seg0color.png"},
        {nullptr, 1, true, true, "seg1color.png"},
        {"a.b/c.d.txt", 12, true, true, "a.b/c.dseg12color.png"},
        {"a.b/level", 255, false, true, "aseg255height.png"},
        {fits.c_str(), 0, false, true, base + "seg0height.png"},
        {tooLong.c_str(), 0, false, false, "unchanged"},
        {fits.c_str(), 10, false, false, "unchanged"},
    };
    for (const auto& c : cases) {
        std::string out = "unchanged";
        EXPECT_EQ(custom_map_path(c.level, c.seg, c.color, out), c.ok) << c.path;
        EXPECT_EQ(out, c.path);
    }
}

namespace {

struct TempDir {
    std::string path;
    TempDir() {
        char name[] = "/tmp/vantrope_maps_XXXXXX";
        path = mkdtemp(name);
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    std::string operator/(const char* file) const { return path + "/" + file; }
};

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}
void write_file(const std::string& path, const std::string& data) {
    std::ofstream(path, std::ios::binary) << data;
}
bool exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

}  // namespace

TEST(MapFileCopy, CopiesWholeFilesAndRefusesToHarmOthers) {
    TempDir dir;
    std::string data;
    for (int i = 0; i < 10000; i++) data += static_cast<char>(i * 7);  // crosses 4096, has NULs
    write_file(dir / "src.png", data);

    write_file(dir / "dst.png", std::string(20000, 'z'));
    EXPECT_EQ(file_copy((dir / "src.png").c_str(), (dir / "dst.png").c_str()), 0);
    EXPECT_EQ(read_file(dir / "dst.png"), data);

    write_file(dir / "empty.png", "");
    EXPECT_EQ(file_copy((dir / "empty.png").c_str(), (dir / "dst.png").c_str()), 0);
    EXPECT_EQ(read_file(dir / "dst.png"), "");

    // A missing source neither creates nor truncates the destination.
    write_file(dir / "keep.png", "keep");
    EXPECT_EQ(file_copy((dir / "missing.png").c_str(), (dir / "keep.png").c_str()), -1);
    EXPECT_EQ(read_file(dir / "keep.png"), "keep");
    EXPECT_EQ(file_copy((dir / "missing.png").c_str(), (dir / "new.png").c_str()), -1);
    EXPECT_FALSE(exists(dir / "new.png"));

    // The same file under the same name, another spelling, or a hard link.
    ASSERT_EQ(link((dir / "src.png").c_str(), (dir / "link.png").c_str()), 0);
    for (const std::string& target :
         {dir / "src.png", dir.path + "/./src.png", dir / "link.png"}) {
        EXPECT_EQ(file_copy((dir / "src.png").c_str(), target.c_str()), 0) << target;
        EXPECT_EQ(read_file(dir / "src.png"), data) << target;
    }

    EXPECT_EQ(file_copy((dir / "src.png").c_str(), (dir / "no/such/dir.png").c_str()), -1);
    if (exists("/dev/full")) {
        EXPECT_EQ(file_copy((dir / "src.png").c_str(), "/dev/full"), -1);
    }
}

TEST(MapPreview, ShowsTheMapTransposedAndScaled) {
    const struct {
        int w, h;
    } sizes[] = {{256, 256}, {128, 64}, {200, 200}, {512, 512}, {1, 1}, {300, 20}};
    std::vector<unsigned char> raw(256 * 256 * 3);
    for (const auto& s : sizes) {
        auto map = make_labelled(s.w, s.h);
        for (uint32_t i = 0; i < map->texWidth * map->texHeight; i++)
            map->pixels[i] = map->pixels[i] == kPadding ? 0x00EEEEEEu : map->pixels[i] ^ 0x00A50000u;
        map_preview_rgb(map.get(), raw.data());
        for (int r = 0; r < 256; r++)
            for (int c = 0; c < 256; c++) {
                const uint32_t want = word_at(r * s.w / 256, c * s.h / 256) ^ 0x00A50000u;
                const unsigned char* px = &raw[(r * 256 + c) * 3];
                ASSERT_EQ(px[0] | px[1] << 8 | px[2] << 16, want & 0xFFFFFFu)
                    << s.w << "x" << s.h << " row " << r << " column " << c;
            }
    }
    // Row 1 of the preview is column 1 of a 256 x 256 map.
    auto map = make_labelled(256, 256);
    map_preview_rgb(map.get(), raw.data());
    EXPECT_EQ(raw[(1 * 256 + 0) * 3], 1);
    EXPECT_EQ(raw[(0 * 256 + 1) * 3 + 1], 1 << 4);
}
