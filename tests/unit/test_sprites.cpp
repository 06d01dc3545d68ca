// Cells and bitmap fonts.
#include "gfx/sprites.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

void writeSheet(const fs::path& p, int w = 16, int h = 16) { put_png(p, w, h, [](int, int) { return 0xff336699u; }); }
template <class F> std::string printed(F f) {
    testing::internal::CaptureStdout();
    f();
    return testing::internal::GetCapturedStdout();
}

// A fresh working directory with a data/ folder; cells and fonts emptied after.
struct Sprites : testing::Test {
    TempFolder folder{true};
    void SetUp() override { fs::create_directory("data"); }
    void TearDown() override {
        freeCells();
        for (FastFont& f : fastFont) { freeImage(f.bitmap); f = FastFont{}; }
    }
};

}  // namespace

// Font files, each into the next slot: what loading prints, one glyph, and a text's extent (a
// missing glyph is reported and advances by the line height).
TEST_F(Sprites, FontFilesGlyphsAndExtents) {
    writeSheet("sheet.png");
    writeSheet("data/dsheet.png");
    auto ok = [](const std::string& sheet) { return "Loaded " + sheet + "\nSuccess for font 'f.fnt'\n"; };
    const struct { std::string sheet, lines, said; int code; std::vector<int> glyph; const char* text; int w, h; } rows[] = {
        // glyph: defined, rectangle, offsetX, spacing, offsetY
        {"nosuch.png", "", "Could not find 'data/nosuch.png'\n", 0, {}, nullptr, 0, 0},
        {std::string(252, 'n') + ".png", "", "Font sheet name too long in 'f.fnt'\n", 0, {}, nullptr, 0, 0},
        {"sheet.png", "Char=41; 0,0,8,10; 0,1,0;\nHeight=12", ok("sheet.png"), 'A', {1, 0, 0, 8, 10, 0, 1, 0}, "AAA", 30, 12},
        {"sheet.png", "Char=\";\"; 1,2,3,4; -5,6,-7;", ok("sheet.png"), ';', {1, 1, 2, 3, 4, -5, 6, -7}, ";;", 20, 1},
        {"sheet.png", "Char=\"D\"; 1,2,3,4;", ok("sheet.png"), 'D', {1, 1, 2, 3, 4, 0, 0, 0}, "D", 4, 1},  // no offsets
        {"sheet.png", "Char=43; 0,0,8;\nHeight=7", ok("sheet.png"), 'C', {0, 0, 0, 0, 0, 0, 0, 0}, "C", 7, 7},  // 3 numbers
        {"dsheet.png\r", "Char=41; 0,0,8,10; 0,1,0;", ok("data/dsheet.png"), 'A', {1, 0, 0, 8, 10, 0, 1, 0}, "A", 10, 1}};
    int slot = 0;
    for (const auto& r : rows) {
        SCOPED_TRACE(r.sheet + "\n" + r.lines);
        put_file("f.fnt", "Bitmap=" + r.sheet + "\n" + r.lines + "\n");
        const bool loads = r.text != nullptr;
        EXPECT_EQ(printed([&] { EXPECT_EQ(loadFastFont(&fastFont[slot], "f.fnt"), loads); }),
                  "Loading font 'f.fnt'\n" + r.said);
        EXPECT_EQ(fastFont[slot].bitmap != nullptr, loads);
        if (!loads) continue;
        const FontGlyph& g = fastFont[slot].glyphs[r.code];
        const std::vector<int> glyph = {g.defined, g.srcX, g.srcY, g.srcWidth, g.srcHeight, g.offsetX, g.spacing, g.offsetY};
        EXPECT_EQ(glyph, r.glyph);
        int w = -1, h = -1;
        EXPECT_EQ(printed([&] { extentMessage(&w, &h, slot++, r.text); }), r.code == 'C' ? "Missing font char: 'C'\n" : "");
        EXPECT_EQ(std::make_pair(w, h), std::make_pair(r.w, r.h));
    }
}

// Cached once (found through data/, not read again), drawn while it touches the screen, refused when full.
TEST_F(Sprites, CellCachedOnceDrawnAtScreenEdgesAndFull) {
    writeSheet("data/c0.png", 10, 6);
    Image* first = loadCell("c0.png");
    ASSERT_NE(first, nullptr);
    fs::remove("data/c0.png");
    EXPECT_EQ(loadCell("c0.png"), first);
    for (const auto& [x, y, drawn] : {std::tuple{480, 272, 1}, {481, 0, 0}, {0, 273, 0}, {-10, -6, 1}, {-11, 0, 0}}) {
        drawSpriteCalls = 0;
        EXPECT_EQ(printed([&, x = x, y = y] { drawCell(x, y, "c0.png"); }), "Drawing cell 'c0.png', loaded successfully\n");
        EXPECT_EQ(drawSpriteCalls, drawn) << x << "," << y;
    }
    for (int i = 1; i <= kCellCapacity; ++i) writeSheet("c" + std::to_string(i) + ".png", 1, 1);
    for (int i = 1; i < kCellCapacity; ++i) ASSERT_NE(loadCell(("c" + std::to_string(i) + ".png").c_str()), nullptr) << i;
    EXPECT_EQ(printed([] { EXPECT_EQ(loadCell("c32.png"), nullptr); }), "Cell cache full, cannot load 'c32.png'\n");
}
