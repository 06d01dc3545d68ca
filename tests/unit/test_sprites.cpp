// Cells, bitmap fonts, swizzling and Targa output.

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "gfx/image.h"
#include "gfx/sprites.h"

namespace fs = std::filesystem;

namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

void writeSheet(const std::string& path, int w = 16, int h = 16) {
    std::vector<uint32_t> px(static_cast<size_t>(w) * h, 0xFF336699u);
    saveImagePng(path.c_str(), px.data(), w, h, w, 1);
}

std::string stopCapture() {
    fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

// Runs in a working directory of its own and restores the old one.
struct ChangeDir {
    fs::path old = fs::current_path();
    explicit ChangeDir(const fs::path& to) { fs::current_path(to); }
    ~ChangeDir() { fs::current_path(old); }
};

void clearFont(FastFont& f) {
    freeImage(f.bitmap);
    std::memset(&f, 0, sizeof f);
}

class SpriteState : public testing::Test {
protected:
    fs::path dir;
    FastFont font{};

    void SetUp() override {
        char tmpl[] = "/tmp/vantrope_sprites_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        reset();
    }
    void TearDown() override {
        reset();
        clearFont(font);
        fs::remove_all(dir);
    }
    void reset() {
        freeCells();
        for (FastFont& f : fastFont) clearFont(f);
        resetVRam();
        swizzleToVRam = 0;
        drawSpriteCalls = drawSpriteAlphaCalls = 0;
    }
    std::string path(const std::string& name) const { return (dir / name).string(); }
    // A font file with a sheet next to it and the given lines.
    std::string fontFile(const std::string& lines) {
        writeSheet(path("sheet.png"));
        std::string p = path("f.fnt");
        writeText(p, "Bitmap=" + path("sheet.png") + "\n" + lines);
        return p;
    }
};

class FontFile : public SpriteState {};
class FontDraw : public SpriteState {};
class CellCache : public SpriteState {};
class SwizzleFast : public SpriteState {};
class TargaFile : public SpriteState {};

void expectGlyph(const FontGlyph& g, const std::vector<int>& v) {
    const int got[8] = {g.defined, g.srcX,    g.srcY,   g.srcWidth,
                        g.srcHeight, g.offsetX, g.spacing, g.offsetY};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(got[i], v[i]) << "field " << i;
}

int definedGlyphs(const FastFont& f) {
    int n = 0;
    for (const FontGlyph& g : f.glyphs) n += g.defined != 0;
    return n;
}

// ---- Fonts ---------------------------------------------------------------

TEST_F(FontFile, HexGlyphLineMeasuresTenPerGlyph) {
    ASSERT_EQ(loadFastFont(&fastFont[2], fontFile("Char=41; 0,0,8,10; 0,1,0;\nHeight=12\n").c_str()), 1);
    expectGlyph(fastFont[2].glyphs[0x41], {1, 0, 0, 8, 10, 0, 1, 0});
    int w = -1, h = -1;
    extentMessage(&w, &h, 2, "AAA");
    EXPECT_EQ(w, 30);
    EXPECT_EQ(h, 12);
    // A missing glyph is reported and advances by one line height.
    testing::internal::CaptureStdout();
    extentMessage(&w, &h, 2, "AxA");
    EXPECT_EQ(stopCapture(), "Missing font char: 'x'\n");
    EXPECT_EQ(w, 10 + 12 + 10);
}

TEST_F(FontFile, GlyphLineForms) {
    struct Case {
        const char* line;
        int code;                // -1: no glyph may be defined
        std::vector<int> glyph;  // defined, rectangle, offsetX, spacing, offsetY
    };
    const Case cases[] = {
        {"Char=\"B\"; 1,2,3,4; 5,6,7;", 'B', {1, 1, 2, 3, 4, 5, 6, 7}},
        {"Char=\";\"; 1,2,3,4; -5,6,-7;", ';', {1, 1, 2, 3, 4, -5, 6, -7}},
        {"Char=7e; 9,8,7,6; 5,4,3;", 0x7e, {1, 9, 8, 7, 6, 5, 4, 3}},
        {"Char=FF; 1,1,1,1; 2,2,2;", 0xff, {1, 1, 1, 1, 1, 2, 2, 2}},
        {"Char=4A; 1,2,3,4;", 0x4a, {1, 1, 2, 3, 4, 0, 0, 0}},          // five fields
        {"Char=\"C\"; 1,2,3,4;", 'C', {1, 1, 2, 3, 4, 0, 0, 0}},
        {"Char=45; 1,2,99999999999,-4; 0,0,0;", 0x45, {1, 1, 2, INT_MAX, -4, 0, 0, 0}},
        {"Char=43; 0,0,8;", -1, {}},                                     // four fields
        {"Char=\"D\"; 1,2,3;", -1, {}},
        {"Char=100; 1,2,3,4; 5,6,7;", -1, {}},                           // code 256
        {"Char=-41; 1,2,3,4; 5,6,7;", -1, {}},
        {"Char=ffffffffffffffffffffff; 1,2,3,4; 5,6,7;", -1, {}},
        {"char=41; 1,2,3,4; 5,6,7;", -1, {}},                            // case-sensitive
        {" Char=41; 1,2,3,4; 5,6,7;", -1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        clearFont(font);
        ASSERT_EQ(loadFastFont(&font, fontFile(std::string(c.line) + "\n").c_str()), 1);
        if (c.code < 0) {
            EXPECT_EQ(definedGlyphs(font), 0);
        } else {
            EXPECT_EQ(definedGlyphs(font), 1);
            expectGlyph(font.glyphs[c.code], c.glyph);
        }
    }
}

TEST_F(FontFile, HeightLine) {
    const std::pair<const char*, int> cases[] = {
        {"Height=24\n", 24}, {"Height= 7\r\n", 7}, {"Height=x\n", 1},
        {"Height=30\nHeight=\n", 1}, {"", 1}, {"height=9\n", 1},
    };
    for (const auto& [lines, expected] : cases) {
        SCOPED_TRACE(lines);
        clearFont(font);
        font.lineHeight = 77;
        ASSERT_EQ(loadFastFont(&font, fontFile(lines).c_str()), 1);
        EXPECT_EQ(font.lineHeight, expected);
    }
}

TEST_F(FontFile, FailuresAndTheirOutput) {
    writeText(path("nosheet.fnt"), "Height=10\nChar=41; 0,0,8,10; 0,1,0;\n");
    writeText(path("badsheet.fnt"), "Bitmap=nosuch.png\n");
    writeText(path("longname.fnt"), "Bitmap=" + std::string(256, 'n') + ".png\n");
    const std::pair<std::string, std::string> cases[] = {
        {path("absent.fnt"), ""},
        {path("nosheet.fnt"), ""},
        {path("badsheet.fnt"), "Could not find 'data/nosuch.png'\n"},
        {path("longname.fnt"), "Font sheet name too long in '" + path("longname.fnt") + "'\n"},
    };
    for (const auto& [file, tail] : cases) {
        SCOPED_TRACE(file);
        clearFont(font);
        testing::internal::CaptureStdout();
        EXPECT_EQ(loadFastFont(&font, file.c_str()), 0);
        EXPECT_EQ(stopCapture(), "Loading font '" + file + "'\n" + tail);
        EXPECT_EQ(font.bitmap, nullptr);
    }
}

TEST_F(FontFile, SheetFoundUnderData) {
    fs::create_directory(dir / "data");
    writeSheet(path("data/sheet.png"));
    writeText(path("f.fnt"), "Bitmap=sheet.png\r\n");
    ChangeDir cd(dir);
    testing::internal::CaptureStdout();
    EXPECT_EQ(loadFastFont(&font, "f.fnt"), 1);
    EXPECT_EQ(stopCapture(),
              "Loading font 'f.fnt'\nLoaded data/sheet.png\nSuccess for font 'f.fnt'\n");
    ASSERT_NE(font.bitmap, nullptr);
    EXPECT_EQ(font.bitmap->width, 16);
}

TEST_F(FontFile, LoadedFontIsLeftAlone) {
    std::string p = fontFile("Height=5\n");
    ASSERT_EQ(loadFastFont(&font, p.c_str()), 1);
    Image* sheet = font.bitmap;
    writeText(p, "Height=9\nBitmap=" + path("sheet.png") + "\n");
    EXPECT_EQ(loadFastFont(&font, p.c_str()), 1);
    EXPECT_EQ(font.bitmap, sheet);
    EXPECT_EQ(font.lineHeight, 5);
}

TEST_F(FontFile, LongLinesAndSecondSheet) {
    // The rest of an over-long line is not a line of its own; a sheet name
    // may run over several pieces as long as it fits in a path.
    fs::path sub = fs::path(std::string(120, 'a')) / std::string(120, 'b');
    fs::create_directories(dir / sub);
    std::string longName = (sub / "sheet12.png").string();  // 253 characters
    ASSERT_EQ(longName.size(), 253u);
    writeSheet(path(longName), 4, 2);
    writeText(path("f.fnt"), "Bitmap=other.png\n" + std::string(254, ' ') +
                                 "Char=42; 0,0,5,5; 0,0,0;\nChar=41; 0,0,8,10; 0,1,0;\n" +
                                 "Bitmap=" + longName + "\nChar=43; 1,1,1,1; 1,1,1;\n");
    writeSheet(path("other.png"), 8, 8);
    ChangeDir cd(dir);
    ASSERT_EQ(loadFastFont(&font, "f.fnt"), 1);
    EXPECT_FALSE(font.glyphs[0x42].defined);
    EXPECT_TRUE(font.glyphs[0x41].defined);
    EXPECT_TRUE(font.glyphs[0x43].defined);
    ASSERT_NE(font.bitmap, nullptr);
    EXPECT_EQ(font.bitmap->width, 4);  // the later sheet replaced the first
}

TEST_F(FontDraw, MessagesPlaceGlyphs) {
    ASSERT_EQ(loadFastFont(&fastFont[3],
                           fontFile("Height=12\nChar=41; 2,3,8,10; 4,1,5;\n").c_str()), 1);
    const Image* sheet = fastFont[3].bitmap;
    testing::internal::CaptureStdout();
    drawMessage(100, 50, 3, "AzA");
    EXPECT_EQ(stopCapture(), "Missing font char: 'z'\n");
    EXPECT_EQ(drawSpriteCalls, 2);
    const SpriteCall& c = lastSpriteCall;
    EXPECT_EQ(std::vector<int>({c.srcX, c.srcY, c.width, c.height, c.x, c.y, c.alpha}),
              std::vector<int>({2, 3, 8, 10, 100 + 10 + 12 - 4, 55, -1}));
    EXPECT_EQ(c.sheet, sheet);

    drawMessageAlpha(100, 50, 3, "AA", 128);
    EXPECT_EQ(drawSpriteAlphaCalls, 2);
    EXPECT_EQ(std::vector<int>({c.x, c.y, c.alpha}), std::vector<int>({100 + 10 + 4, 55, 128}));

    drawSpriteCalls = 0;
    drawMessageFormat(10, 20, 3, "A\n\nAA\n");
    EXPECT_EQ(drawSpriteCalls, 3);
    EXPECT_EQ(c.y, 20 + 2 * 12 + 5);
    EXPECT_EQ(c.x, 10 + 10 - 4);
}

TEST_F(FontDraw, UnloadedFontDrawsAndMeasuresNothing) {
    for (int slot : {-1, 1, 6}) {
        int w = 7, h = 8;
        extentMessage(&w, &h, slot, "AB");
        drawMessage(0, 0, slot, "AB");
        drawMessageAlpha(0, 0, slot, "AB", 1);
        drawMessageFormat(0, 0, slot, "A\nB");
        EXPECT_EQ(w, 7);
        EXPECT_EQ(h, 8);
    }
    EXPECT_EQ(drawSpriteCalls + drawSpriteAlphaCalls, 0);
}

TEST_F(FontDraw, InitLoadsSlotsFromData) {
    fs::create_directory(dir / "data");
    writeSheet(path("data/s.png"));
    writeText(path("data/Body20blue.fnt"), "Bitmap=s.png\nHeight=20\n");
    writeText(path("data/Small10black.fnt"), "Bitmap=s.png\nHeight=10\n");
    ChangeDir cd(dir);
    swizzleToVRam = 1;
    testing::internal::CaptureStdout();
    initFastFont();
    stopCapture();
    EXPECT_EQ(swizzleToVRam, 1);
    const int heights[kFastFontCount] = {0, 20, 0, 0, 0, 10};
    for (int i = 0; i < kFastFontCount; ++i) {
        EXPECT_EQ(fastFont[i].bitmap != nullptr, heights[i] != 0) << i;
        if (heights[i]) {
            EXPECT_EQ(fastFont[i].lineHeight, heights[i]) << i;
        }
    }
}

// ---- Cells ---------------------------------------------------------------

TEST_F(CellCache, CachedCellIsNotReadTwice) {
    writeSheet(path("c.png"), 10, 6);
    Image* first = loadCell(path("c.png").c_str());
    ASSERT_NE(first, nullptr);
    fs::remove(path("c.png"));
    EXPECT_EQ(loadCell(path("c.png").c_str()), first);
    EXPECT_EQ(cellNext, 1);
    freeCells();
    EXPECT_EQ(cellNext, 0);
    testing::internal::CaptureStdout();
    EXPECT_EQ(loadCell(path("c.png").c_str()), nullptr);
    EXPECT_EQ(stopCapture(), "Could not load cell '" + path("c.png") + "'\n");
}

TEST_F(CellCache, DrawCellWhenTouchingScreen) {
    fs::create_directory(dir / "data");
    writeSheet(path("data/c.png"), 10, 6);
    ChangeDir cd(dir);
    struct Case { int x, y; bool drawn; };
    const Case cases[] = {
        {480, 272, true}, {481, 0, false}, {0, 273, false}, {-10, -6, true},
        {-11, 0, false},  {0, -7, false},  {INT_MAX, 0, false}, {INT_MIN, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        drawSpriteCalls = 0;
        testing::internal::CaptureStdout();
        drawCell(c.x, c.y, "c.png");
        EXPECT_EQ(stopCapture(), "Drawing cell 'c.png', loaded successfully\n");
        EXPECT_EQ(drawSpriteCalls, c.drawn ? 1 : 0);
        if (c.drawn) {
            EXPECT_EQ(std::vector<int>({lastSpriteCall.width, lastSpriteCall.height,
                                        lastSpriteCall.x, lastSpriteCall.y}),
                      std::vector<int>({10, 6, c.x, c.y}));
        }
    }
    EXPECT_EQ(cellNext, 1);
}

TEST_F(CellCache, ThirtyThirdCellRefused) {
    writeSheet(path("c.png"), 2, 2);
    for (int i = 0; i < kCellCapacity; ++i) {
        std::string name = path("cells") + std::to_string(i) + "/../c.png";
        fs::create_directory(path("cells") + std::to_string(i));
        ASSERT_NE(loadCell(name.c_str()), nullptr) << i;
    }
    std::string extra = path("c.png");
    testing::internal::CaptureStdout();
    EXPECT_EQ(loadCell(extra.c_str()), nullptr);
    drawCell(0, 0, extra.c_str());
    EXPECT_EQ(stopCapture(), "Cell cache full, cannot load '" + extra + "'\n" +
                                 "Cell cache full, cannot load '" + extra + "'\n");
    EXPECT_EQ(cellNext, kCellCapacity);
    EXPECT_EQ(drawSpriteCalls, 0);
    EXPECT_NE(loadCell((path("cells5") + "/../c.png").c_str()), nullptr);  // still cached
}

// ---- Swizzling -------------------------------------------------------------

Image* countingImage(int w, int h) {
    Image* img = newImage(w, h);
    for (uint32_t i = 0; i < img->texWidth * img->texHeight; ++i) img->pixels[i] = i;
    return img;
}

TEST_F(SwizzleFast, BlocksOfFourPixelsByEightRows) {
    const std::pair<int, int> sizes[] = {{3, 5}, {4, 8}, {64, 16}, {200, 100}, {512, 512}};
    for (const auto& [w, h] : sizes) {
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        Image* img = countingImage(w, h);
        const uint32_t tw = img->texWidth, th = img->texHeight;
        ASSERT_EQ(swizzleFast(img), img);
        EXPECT_EQ(img->swizzled, 1);
        EXPECT_EQ(img->inVRam, 0);
        // Destination word d lies in block d / 32, row (d % 32) / 4, column d % 4.
        const uint32_t blocksPerBand = tw / 4;
        int wrong = 0;
        for (uint32_t d = 0; d < tw * th; ++d) {
            uint32_t block = d / 32, band = block / blocksPerBand, across = block % blocksPerBand;
            uint32_t x = across * 4 + d % 4, y = band * 8 + (d % 32) / 4;
            wrong += img->pixels[d] != y * tw + x;
        }
        EXPECT_EQ(wrong, 0);
        freeImage(img);
    }
}

TEST_F(SwizzleFast, NarrowOrShortImagesStayUnswizzled) {
    const std::pair<int, int> sizes[] = {{1, 1}, {2, 1}, {2, 8}, {512, 4}, {1, 512}};
    swizzleToVRam = 1;
    for (const auto& [w, h] : sizes) {
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        Image* img = countingImage(w, h);
        uint32_t* before = img->pixels;
        ASSERT_EQ(swizzleFast(img), img);
        EXPECT_EQ(img->swizzled, 0);
        EXPECT_EQ(img->inVRam, 0);
        EXPECT_EQ(img->pixels, before);
        for (uint32_t i = 0; i < img->texWidth * img->texHeight; ++i) ASSERT_EQ(img->pixels[i], i);
        freeImage(img);
    }
    EXPECT_EQ(nextVRam, kVRamStart);
    EXPECT_EQ(swizzleFast(nullptr), nullptr);
}

TEST_F(SwizzleFast, WindowHoldsTwoImagesOf256) {
    swizzleToVRam = 1;
    Image* img[3];
    testing::internal::CaptureStdout();
    for (Image*& i : img) i = swizzleFast(countingImage(256, 256));
    EXPECT_EQ(stopCapture(), "texture to vram\ntexture to vram\n");
    EXPECT_EQ(img[0]->inVRam, 1);
    EXPECT_EQ(img[1]->inVRam, 1);
    EXPECT_EQ(img[2]->inVRam, 0);
    EXPECT_EQ(reinterpret_cast<uint8_t*>(img[0]->pixels), vramPointer(0x04154000));
    EXPECT_EQ(reinterpret_cast<uint8_t*>(img[1]->pixels), vramPointer(0x04194000));
    EXPECT_EQ(nextVRam, 0x041D4000u);
    EXPECT_EQ(freeVRam, 0xAC000u - 2 * 262144u);
    EXPECT_EQ(img[1]->pixels[4], 256u);  // second row of the first block
    EXPECT_EQ(img[1]->pixels[32], 4u);   // the block to its right
    EXPECT_EQ(vramPointer(0x04200000), nullptr);
    EXPECT_EQ(vramPointer(0x04153FFF), nullptr);
    for (Image* i : img) freeImage(i);

    swizzleToVRam = 0;
    Image* heap = swizzleFast(countingImage(8, 8));
    EXPECT_EQ(heap->inVRam, 0);
    EXPECT_EQ(nextVRam, 0x041D4000u);
    freeImage(heap);
    resetVRam();
    EXPECT_EQ(nextVRam, kVRamStart);
    EXPECT_EQ(freeVRam, kVRamSize);
}

// ---- Targa -----------------------------------------------------------------

// Reads an uncompressed 24-bit type-2 Targa into 0xBBGGRR words, top row first.
bool decodeTarga(const std::string& bytes, int* w, int* h, std::vector<uint32_t>* out) {
    if (bytes.size() < 18) return false;
    auto u8 = [&](size_t i) { return static_cast<uint8_t>(bytes[i]); };
    if (u8(0) != 0 || u8(1) != 0 || u8(2) != 2 || u8(16) != 24) return false;
    *w = u8(12) | u8(13) << 8;
    *h = u8(14) | u8(15) << 8;
    const bool topDown = u8(17) & 0x20;
    if (bytes.size() != 18 + static_cast<size_t>(*w) * *h * 3) return false;
    out->assign(static_cast<size_t>(*w) * *h, 0);
    for (int row = 0; row < *h; ++row) {
        int y = topDown ? row : *h - 1 - row;
        for (int x = 0; x < *w; ++x) {
            size_t at = 18 + (static_cast<size_t>(row) * *w + x) * 3;
            (*out)[static_cast<size_t>(y) * *w + x] = u8(at + 2) | u8(at + 1) << 8 | u8(at) << 16;
        }
    }
    return true;
}

Image* patternImage(int w, int h) {
    Image* img = newImage(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img->pixels[y * img->texWidth + x] =
                0xAA000000u | static_cast<uint32_t>((x * 7 + y * 13) & 0xFF) |
                static_cast<uint32_t>((x ^ y) & 0xFF) << 8 | static_cast<uint32_t>((y * 3) & 0xFF) << 16;
    return img;
}

TEST_F(TargaFile, TwoByOneBytes) {
    const uint32_t px[2] = {0x11223344u, 0xAABBCCDDu};
    saveImageTarga(path("t.tga").c_str(), px, 2, 1, 2);
    const std::string expected("\0\0\2\0\0\0\0\0\0\0\0\0\2\0\1\0\x18\0"
                               "\x22\x33\x44\xBB\xCC\xDD", 24);
    EXPECT_EQ(readAll(path("t.tga")), expected);
}

TEST_F(TargaFile, RoundTripThroughOwnDecoder) {
    const std::pair<int, int> sizes[] = {{1, 1}, {2, 1}, {3, 5}, {300, 2}, {512, 512}};
    for (const auto& [w, h] : sizes) {
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        Image* img = patternImage(w, h);
        saveImageTarga(path("t.tga").c_str(), img->pixels, w, h, static_cast<int>(img->texWidth));
        int gw = 0, gh = 0;
        std::vector<uint32_t> got;
        ASSERT_TRUE(decodeTarga(readAll(path("t.tga")), &gw, &gh, &got));
        ASSERT_EQ(gw, w);
        ASSERT_EQ(gh, h);
        int wrong = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                wrong += got[y * w + x] != (img->pixels[y * img->texWidth + x] & 0xFFFFFFu);
        EXPECT_EQ(wrong, 0);
        freeImage(img);
    }
}

TEST_F(TargaFile, ImageMagickReadsSamePixels) {
    const char* convert = "/usr/bin/convert";
    if (access(convert, X_OK) != 0) GTEST_SKIP() << "ImageMagick convert not installed";
    const int w = 37, h = 11;
    Image* img = patternImage(w, h);
    saveImageTarga(path("t.tga").c_str(), img->pixels, w, h, static_cast<int>(img->texWidth));
    // ImageMagick keeps the stored row order and records the bottom-left
    // origin as the orientation; -auto-orient applies it.
    std::string cmd = std::string(convert) + " '" + path("t.tga") + "' -auto-orient 'rgb:" +
                      path("t.raw") + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    std::string raw = readAll(path("t.raw"));
    ASSERT_EQ(raw.size(), static_cast<size_t>(w * h * 3));
    int wrong = 0;
    for (int i = 0; i < w * h; ++i) {
        uint32_t p = img->pixels[(i / w) * img->texWidth + i % w];
        for (int c = 0; c < 3; ++c)
            wrong += static_cast<uint8_t>(raw[i * 3 + c]) != ((p >> (8 * c)) & 0xFF);
    }
    EXPECT_EQ(wrong, 0);
    freeImage(img);
}

TEST_F(TargaFile, RefusesUnusableArguments) {
    const uint32_t px[4] = {1, 2, 3, 4};
    struct Case { const uint32_t* pixels; int w, h, stride; };
    const Case cases[] = {
        {px, 2, 2, 1}, {px, 0, 1, 1}, {px, 1, 0, 1}, {px, -1, 1, 1},
        {px, 1, -2, 1}, {nullptr, 1, 1, 1}, {px, 70000, 1, 70000},
    };
    for (const Case& c : cases) {
        saveImageTarga(path("bad.tga").c_str(), c.pixels, c.w, c.h, c.stride);
        EXPECT_FALSE(fs::exists(path("bad.tga"))) << c.w << "x" << c.h << " stride " << c.stride;
    }
}

}  // namespace
