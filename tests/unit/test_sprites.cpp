// Cells, bitmap fonts, swizzling and Targa output.
#include "gfx/sprites.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

void writeSheet(const fs::path& p, int w = 16, int h = 16) { put_png(p, w, h, [](int, int) { return 0xff336699u; }); }
// Runs f with stdout captured and returns what it printed.
template <class F>
std::string printed(F f) {
    testing::internal::CaptureStdout();
    f();
    return testing::internal::GetCapturedStdout();
}

// A fresh working directory with a data/ folder; cells, fonts and the
// video-memory window are emptied afterwards.
struct Sprites : testing::Test {
    TempFolder folder{true};
    void SetUp() override { fs::create_directory("data"); }
    void TearDown() override {
        freeCells();
        for (FastFont& f : fastFont) { freeImage(f.bitmap); f = FastFont{}; }
        resetVRam();
        swizzleToVRam = 0;
    }
};

}  // namespace

// Font files, each loaded into the next free slot: what loading prints, whether
// it loads, one glyph read from it, and the extent of a text (a missing glyph is
// reported and advances by the line height).
TEST_F(Sprites, FontFilesGlyphsAndExtents) {
    writeSheet("sheet.png");
    writeSheet("data/dsheet.png");
    // A 253-character sheet name runs over two pieces of the file; the rest of
    // a line longer than a piece is not a line of its own.
    const std::string deep = std::string(120, 'a') + "/" + std::string(120, 'b') + "/sheet12.png";
    fs::create_directories(fs::path(deep).parent_path());
    writeSheet(deep, 4, 2);
    auto ok = [](const std::string& sheet) { return "Loaded " + sheet + "\nSuccess for font 'f.fnt'\n"; };
    const struct { std::string sheet, lines, said; int code; std::vector<int> glyph; const char* text; int width, height; } rows[] = {
        // glyph: defined, rectangle, offsetX, spacing, offsetY
        {"nosuch.png", "", "Could not find 'data/nosuch.png'\n", 0, {}, nullptr, 0, 0},
        {std::string(252, 'n') + ".png", "", "Font sheet name too long in 'f.fnt'\n", 0, {}, nullptr, 0, 0},
        {"sheet.png", "Char=41; 0,0,8,10; 0,1,0;\nHeight=12", ok("sheet.png"), 'A', {1, 0, 0, 8, 10, 0, 1, 0}, "AAA", 30, 12},
        {"sheet.png", "Char=\";\"; 1,2,3,4; -5,6,-7;", ok("sheet.png"), ';', {1, 1, 2, 3, 4, -5, 6, -7}, ";;", 20, 1},
        {"sheet.png", "Char=\"D\"; 1,2,3,4;", ok("sheet.png"), 'D', {1, 1, 2, 3, 4, 0, 0, 0}, "D", 4, 1},  // no offsets
        {"sheet.png", "Char=43; 0,0,8;\nHeight=7", ok("sheet.png"), 'C', {0, 0, 0, 0, 0, 0, 0, 0}, "C", 7, 7},  // 3 numbers
        {"dsheet.png\r", "Char=41; 0,0,8,10; 0,1,0;", ok("data/dsheet.png"), 'A', {1, 0, 0, 8, 10, 0, 1, 0}, "A", 10, 1},
        // Glyph codes -1 and 0x100 are ignored: glyph -1 would overwrite the sheet.
        {deep, std::string(254, ' ') + "Char=42; 0,0,5,5; 0,0,0;\nChar=41; 0,0,8,10; 0,1,0;\n"
         "Char=-1; 0,0,0,0; 0,0,0;\nChar=100; 0,0,0,0; 0,0,0;", ok(deep), 'B', {0, 0, 0, 0, 0, 0, 0, 0}, "A", 10, 1}};
    EXPECT_EQ(printed([] { EXPECT_EQ(loadFastFont(&fastFont[0], "absent.fnt"), 0); }), "Loading font 'absent.fnt'\n");
    int slot = 0;
    for (const auto& r : rows) {
        SCOPED_TRACE(r.sheet + "\n" + r.lines);
        put_file("f.fnt", "Bitmap=" + r.sheet + "\n" + r.lines + "\n");
        const bool loads = r.text != nullptr;
        EXPECT_EQ(printed([&] { EXPECT_EQ(loadFastFont(&fastFont[slot], "f.fnt"), loads); }), "Loading font 'f.fnt'\n" + r.said);
        EXPECT_EQ(fastFont[slot].bitmap != nullptr, loads);
        if (!loads) continue;
        const FontGlyph& g = fastFont[slot].glyphs[r.code];
        EXPECT_EQ(std::vector<int>({g.defined, g.srcX, g.srcY, g.srcWidth, g.srcHeight, g.offsetX, g.spacing, g.offsetY}), r.glyph);
        int w = -1, h = -1;
        EXPECT_EQ(printed([&] { extentMessage(&w, &h, slot++, r.text); }), r.code == 'C' ? "Missing font char: 'C'\n" : "");
        EXPECT_EQ(std::make_pair(w, h), std::make_pair(r.width, r.height));
    }
}

TEST_F(Sprites, CellCachedOnceDrawnAtScreenEdgesAndFull) {
    writeSheet("data/c0.png", 10, 6);  // found through the data/ folder
    Image* first = loadCell("c0.png");
    ASSERT_NE(first, nullptr);
    fs::remove("data/c0.png");
    EXPECT_EQ(loadCell("c0.png"), first);  // not read again
    const int cases[][3] = {{480, 272, 1}, {481, 0, 0}, {0, 273, 0}, {-10, -6, 1}, {-11, 0, 0}};
    for (const auto& c : cases) {  // x, y, drawn
        drawSpriteCalls = 0;
        EXPECT_EQ(printed([&] { drawCell(c[0], c[1], "c0.png"); }), "Drawing cell 'c0.png', loaded successfully\n");
        EXPECT_EQ(drawSpriteCalls, c[2]) << c[0] << "," << c[1];
    }
    for (int i = 1; i <= kCellCapacity; ++i) writeSheet("c" + std::to_string(i) + ".png", 1, 1);
    for (int i = 1; i < kCellCapacity; ++i)
        ASSERT_NE(loadCell(("c" + std::to_string(i) + ".png").c_str()), nullptr) << i;
    EXPECT_EQ(printed([] { EXPECT_EQ(loadCell("c32.png"), nullptr); }), "Cell cache full, cannot load 'c32.png'\n");
}

// Images go to the video-memory window while they fit in it; pixel (x, y) becomes
// word x % 4 of row y % 8 of block (x / 4, y / 8), blocks stored left to right
// within bands of 8 rows, bands top down; images too small for blocks stay as they are.
TEST_F(Sprites, SwizzleBlockOrderAndTheVideoMemoryWindow) {
    swizzleToVRam = 1;
    const int cases[][4] = {{256, 256, 1, 1}, {4, 8, 1, 1},     {256, 256, 1, 1}, {64, 16, 1, 1}, {256, 256, 1, 0},
                            {200, 100, 1, 1}, {2, 8, 0, 0},     {512, 4, 0, 0},   {1, 1, 0, 0}};
    uint8_t* window = vramPointer(0x04154000);
    for (const auto& [w, h, blocks, inWindow] : cases) {  // blocks: cut into blocks, or left as it is
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        Image* img = newImage(w, h);
        const uint32_t tw = img->texWidth, th = img->texHeight;
        for (uint32_t i = 0; i < tw * th; ++i) img->pixels[i] = i;
        EXPECT_EQ(printed([&] { ASSERT_EQ(swizzleFast(img), img); }), inWindow ? "texture to vram\n" : "");
        EXPECT_EQ(std::make_tuple(img->swizzled, img->inVRam), std::make_tuple(blocks, inWindow));
        if (inWindow) {
            EXPECT_EQ((uint8_t*)img->pixels, window);
            window += tw * th * 4;
        }
        int wrong = 0;
        for (uint32_t y = 0; y < th; ++y)
            for (uint32_t x = 0; x < tw; ++x)
                wrong += img->pixels[blocks ? (y / 8 * (tw / 4) + x / 4) * 32 + y % 8 * 4 + x % 4 : y * tw + x] != y * tw + x;
        EXPECT_EQ(wrong, 0);
        freeImage(img);  // frees only pixels outside the window
    }
}

TEST_F(Sprites, TargaHeaderThenRowsBottomUpInBlueGreenRed) {
    const uint32_t px[] = {0x11223344u, 0xAABBCCDDu, 0xDEAD, 0x00070809u, 0x000A0B0Cu, 0xDEAD};  // rows 3 words apart
    const std::string header("\0\0\2\0\0\0\0\0\0\0\0\0\2\0\2\0\x18\0", 18);
    saveImageTarga("t.tga", px, 2, 2, 3);
    EXPECT_EQ(file_text("t.tga"), header + "\x07\x08\x09\x0A\x0B\x0C\x22\x33\x44\xBB\xCC\xDD");
    saveImageTarga("t.tga", px, 2, 1, 3);
    EXPECT_EQ(file_text("t.tga"), header.substr(0, 14) + std::string("\1\0\x18\0\x22\x33\x44\xBB\xCC\xDD", 10));
}
