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

TEST_F(Sprites, FontGlyphLinesHeightAndMeasure) {
    writeSheet("sheet.png");
    struct Case { const char* lines; int code; std::vector<int> glyph; const char* text; int width, height; };
    const Case cases[] = {  // glyph: defined, rectangle, offsetX, spacing, offsetY
        {"Char=41; 0,0,8,10; 0,1,0;\nHeight=12", 'A', {1, 0, 0, 8, 10, 0, 1, 0}, "AAA", 30, 12},
        {"Char=\";\"; 1,2,3,4; -5,6,-7;", ';', {1, 1, 2, 3, 4, -5, 6, -7}, ";;", 20, 1},
        {"Char=\"D\"; 1,2,3,4;", 'D', {1, 1, 2, 3, 4, 0, 0, 0}, "D", 4, 1},  // offsets may be left out
        {"Char=43; 0,0,8;\nHeight=7", 'C', {0, 0, 0, 0, 0, 0, 0, 0}, "C", 7, 7},  // three numbers: ignored
    };
    for (int slot = 0; slot < 4; ++slot) {  // a font slot of its own for each case
        const Case& c = cases[slot];
        SCOPED_TRACE(c.lines);
        put_file("f.fnt", "Bitmap=sheet.png\n" + std::string(c.lines) + "\n");
        printed([&] { EXPECT_EQ(loadFastFont(&fastFont[slot], "f.fnt"), 1); });
        const FontGlyph& g = fastFont[slot].glyphs[c.code];
        EXPECT_EQ(std::vector<int>({g.defined, g.srcX, g.srcY, g.srcWidth, g.srcHeight, g.offsetX,
                                    g.spacing, g.offsetY}), c.glyph);
        // A missing glyph is reported and advances by the line height.
        int w = -1, h = -1;
        EXPECT_EQ(printed([&] { extentMessage(&w, &h, slot, c.text); }),
                  c.glyph[0] ? "" : "Missing font char: 'C'\n");
        EXPECT_EQ(std::make_pair(w, h), std::make_pair(c.width, c.height));
    }
}

TEST_F(Sprites, FontMissingFileOrSheetDataFolderAndLongNamesAndLines) {
    put_file("nosheet.fnt", "Bitmap=nosuch.png\n");
    put_file("long.fnt", "Bitmap=" + std::string(252, 'n') + ".png\n");  // 256 characters
    put_file("data.fnt", "Bitmap=sheet.png\r\n");
    writeSheet("data/sheet.png");
    // A 253-character sheet name runs over two pieces of the file; the rest of
    // a line longer than a piece is not a line of its own.
    const fs::path sheet = fs::path(std::string(120, 'a')) / std::string(120, 'b') / "sheet12.png";
    fs::create_directories(sheet.parent_path());
    writeSheet(sheet, 4, 2);
    // Glyph codes -1 and 0x100 are ignored: glyph -1 would overwrite the sheet.
    put_file("pieces.fnt", "Bitmap=" + sheet.string() + "\n" + std::string(254, ' ') +
                               "Char=42; 0,0,5,5; 0,0,0;\nChar=41; 0,0,8,10; 0,1,0;\nChar=-1; 0,0,0,0; 0,0,0;\n"
                               "Char=100; 0,0,0,0; 0,0,0;\n");
    const std::string cases[][2] = {  // the last two load
        {"absent.fnt", ""},
        {"nosheet.fnt", "Could not find 'data/nosuch.png'\n"},
        {"long.fnt", "Font sheet name too long in 'long.fnt'\n"},
        {"data.fnt", "Loaded data/sheet.png\nSuccess for font 'data.fnt'\n"},
        {"pieces.fnt", "Loaded " + sheet.string() + "\nSuccess for font 'pieces.fnt'\n"},
    };
    for (int slot = 0; slot < 5; ++slot) {
        const std::string& file = cases[slot][0];
        EXPECT_EQ(printed([&] { EXPECT_EQ(loadFastFont(&fastFont[slot], file.c_str()), slot >= 3) << file; }),
                  "Loading font '" + file + "'\n" + cases[slot][1]);
        EXPECT_EQ(fastFont[slot].bitmap != nullptr, slot >= 3);
    }
    EXPECT_FALSE(fastFont[4].glyphs[0x42].defined);
    EXPECT_TRUE(fastFont[4].glyphs[0x41].defined);
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
    EXPECT_EQ(printed([] { EXPECT_EQ(loadCell("c32.png"), nullptr); }),
              "Cell cache full, cannot load 'c32.png'\n");
    EXPECT_EQ(cellNext, kCellCapacity);
}

TEST_F(Sprites, SwizzleWindowHoldsTwoImagesOf256) {
    swizzleToVRam = 1;
    Image* img[3];
    EXPECT_EQ(printed([&] { for (Image*& i : img) i = swizzleFast(newImage(256, 256)); }),
              "texture to vram\ntexture to vram\n");
    EXPECT_EQ((uint8_t*)img[0]->pixels, vramPointer(0x04154000));
    EXPECT_EQ((uint8_t*)img[1]->pixels, vramPointer(0x04194000));
    EXPECT_EQ(std::vector<int>({img[0]->inVRam, img[1]->inVRam, img[2]->inVRam}), std::vector<int>({1, 1, 0}));
    EXPECT_EQ(img[2]->swizzled, 1);
    for (Image* i : img) freeImage(i);  // frees only the third one's pixels
}

TEST_F(Sprites, SwizzleBlockOrderAndImagesTooSmallForBlocks) {
    const int cases[][3] = {{4, 8, 1}, {64, 16, 1}, {200, 100, 1}, {2, 8, 0}, {512, 4, 0}, {1, 1, 0}};
    for (const auto& [w, h, blocks] : cases) {  // blocks: cut into blocks, or left as it is
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        Image* img = newImage(w, h);
        const uint32_t tw = img->texWidth, th = img->texHeight;
        for (uint32_t i = 0; i < tw * th; ++i) img->pixels[i] = i;
        ASSERT_EQ(swizzleFast(img), img);
        EXPECT_EQ(img->swizzled, blocks);
        // Pixel (x, y) becomes word x % 4 of row y % 8 of block (x / 4, y / 8),
        // blocks stored left to right within bands of 8 rows, bands top down.
        int wrong = 0;
        for (uint32_t y = 0; y < th; ++y)
            for (uint32_t x = 0; x < tw; ++x)
                wrong += img->pixels[blocks ? (y / 8 * (tw / 4) + x / 4) * 32 + y % 8 * 4 + x % 4
                                            : y * tw + x] != y * tw + x;
        EXPECT_EQ(wrong, 0);
        freeImage(img);
    }
}

TEST_F(Sprites, TargaHeaderThenRowsBottomUpInBlueGreenRed) {
    const uint32_t px[] = {0x11223344u, 0xAABBCCDDu, 0xDEAD, 0x00070809u, 0x000A0B0Cu, 0xDEAD};  // rows 3 words apart
    const std::string header("\0\0\2\0\0\0\0\0\0\0\0\0\2\0\2\0\x18\0", 18), halfHeader(header.substr(0, 14));
    saveImageTarga("t.tga", px, 2, 2, 3);
    EXPECT_EQ(file_text("t.tga"), header + "\x07\x08\x09\x0A\x0B\x0C\x22\x33\x44\xBB\xCC\xDD");
    saveImageTarga("t.tga", px, 2, 1, 3);
    EXPECT_EQ(file_text("t.tga"), halfHeader + std::string("\1\0\x18\0\x22\x33\x44\xBB\xCC\xDD", 10));
}
