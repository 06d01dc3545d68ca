// Image buffers and PNG reading/writing. The PngSuite pixels are compared with
// what ImageMagick's own decoder makes of the same files.
#include "gfx/image.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <tuple>
#include <vector>

namespace {

uint32_t at(const Image* img, int x, int y) { return img->pixels[(size_t)y * img->texWidth + x]; }
uint32_t pow2(uint32_t n) { return n <= 1 ? 1 : 2 * pow2((n + 1) / 2); }

// Width, height and buffer size; and what they must be for a w x h picture.
auto dims(const Image* i) { return std::make_tuple(i->width, i->height, i->texWidth, i->texHeight); }
auto dims(int w, int h) { return std::make_tuple(w, h, pow2(w), pow2(h)); }

// Picture pixels that differ from want(x, y) plus non-zero padding words.
template <class Want>
long faults(const Image* img, Want want) {
    long n = 0;
    for (int y = 0; y < (int)img->texHeight; ++y)
        for (int x = 0; x < (int)img->texWidth; ++x)
            n += at(img, x, y) != (x < img->width && y < img->height ? want(x, y) : 0u);
    return n;
}

// Loads with libpng's stderr captured; true when what it printed is right for
// the result: nothing for a picture, else "Couldn't load PATH (8 hex digits)\n".
Image* load(const std::string& path, bool* printedRight) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    Image* img = loadPng(path.c_str());
    std::string s = testing::internal::GetCapturedStdout();
    testing::internal::GetCapturedStderr();
    const size_t hex = s.size() < 10 ? 0 : s.size() - 10;
    const bool digits = s.find_first_not_of("0123456789abcdef", hex) == hex + 8;
    *printedRight = img ? s.empty() : digits && s.replace(hex, 8, "x") == "Couldn't load " + path + " (x)\n";
    return img;
}

}  // namespace

// Pictures are 1..512 pixels each way, in buffers of the next powers of two
// (300x20 in 512x32) whose padding stays zero.
TEST(PngRoundTrip, AlphaSizeLimitPaddingAndMissingFile) {
    for (const auto& [w, h] : {std::pair{0, 1}, {1, 0}, {-1, 5}, {513, 1}, {1, 513}})
        EXPECT_EQ(newImage(w, h), nullptr) << w << "x" << h;
    std::vector<uint32_t> src(513 * 513);
    for (size_t i = 0; i < src.size(); ++i) src[i] = (uint32_t)(i * 2654435761u ^ i >> 3);  // varied bytes
    TempFolder tmp;
    const std::string path = tmp / "roundtrip.png";
    for (const auto& [w, h, alpha] :
         {std::tuple{5, 3, 1}, {5, 3, 0}, {1, 1, 1}, {300, 20, 1}, {3, 129, 0}, {512, 512, 0}, {513, 1, 1}, {1, 513, 1}}) {
        SCOPED_TRACE(testing::Message() << w << "x" << h << " alpha " << alpha);
        saveImagePng(path.c_str(), src.data(), w, h, 513, alpha);
        bool printedRight = false;
        Image* img = load(path, &printedRight);
        EXPECT_TRUE(printedRight);
        ASSERT_EQ(img != nullptr, w <= 512 && h <= 512);
        if (!img) continue;
        EXPECT_EQ(dims(img), dims(w, h));
        const uint32_t opaque = alpha ? 0 : 0xff000000u;  // a named copy: lambdas cannot capture bindings
        EXPECT_EQ(faults(img, [&](int x, int y) { return src[y * 513 + x] | opaque; }), 0);
        freeImage(img);
    }
    testing::internal::CaptureStdout();  // a missing file gives null and prints nothing
    EXPECT_EQ(loadPng((tmp / "missing.png").c_str()), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

// Transparency chunks of every kind become alpha 0 on exactly the named
// colour or entries, compared at the file's own depth.
TEST(PngTransparency, TrnsChunkGivesAlpha) {
    struct Case {
        int type, depth;
        std::vector<png_byte> row;  // one row, packed as stored
        std::vector<png_color> palette;
        std::vector<png_byte> alpha;  // palette entries' alpha
        png_color_16 colour;          // index, red, green, blue, grey
        std::vector<uint32_t> want;
    } cases[] = {
        {PNG_COLOR_TYPE_PALETTE, 8, {0, 1, 2, 3}, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}}, {0, 128}, {},
         {0x00030201, 0x80060504, 0xFF090807, 0xFF0C0B0A}},
        {PNG_COLOR_TYPE_RGB, 8, {10, 20, 30, 10, 20, 31}, {}, {}, {0, 10, 20, 30, 0}, {0x001E140A, 0xFF1F140A}},
        {PNG_COLOR_TYPE_RGB, 16, {1, 2, 3, 4, 5, 6, 1, 2, 3, 4, 5, 7}, {}, {}, {0, 0x102, 0x304, 0x506, 0},
         {0x00050301, 0xFF050301}},
        {PNG_COLOR_TYPE_GRAY, 2, {0x1B}, {}, {}, {0, 0, 0, 0, 1}, {0xFF000000, 0x00555555, 0xFFAAAAAA, 0xFFFFFFFF}},
    };
    TempFolder tmp;
    const std::string path = tmp / "trns.png";
    for (Case& c : cases) {
        FILE* f = fopen(path.c_str(), "wb");
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_init_io(png, f);
        png_set_IHDR(png, info, c.want.size(), 1, c.depth, c.type, 0, 0, 0);
        if (!c.palette.empty()) png_set_PLTE(png, info, c.palette.data(), c.palette.size());
        png_set_tRNS(png, info, c.alpha.data(), c.alpha.size(), &c.colour);
        png_write_info(png, info);
        png_write_row(png, c.row.data());
        png_write_end(png, nullptr);
        png_destroy_write_struct(&png, &info);
        fclose(f);
        Image* img = loadPng(path.c_str());
        ASSERT_NE(img, nullptr) << c.type << " " << c.depth;
        EXPECT_EQ(std::vector<uint32_t>(img->pixels, img->pixels + c.want.size()), c.want) << c.type << " " << c.depth;
        freeImage(img);
    }
}

// Every PngSuite file (all colour types and depths, interlaced and not) must
// give ImageMagick's pixels. "-set colorspace sRGB" keeps ImageMagick from
// converting the gAMA-tagged samples; at 16 bits its low depths are scaled
// exactly (v * 65535 / (2^d - 1)), so the high byte of each sample must be ours.
TEST(PngSuite, PixelsAsImageMagickReadsThem) {
    const std::string suite = std::string(VANTROPE_TESTDATA) + "/png/pngsuite";
    if (!fs::is_directory(suite)) GTEST_SKIP() << "no test data at " << suite;
    // ImageMagick by full path: /usr/local/bin/convert is another program.
    if (access("/usr/bin/convert", X_OK) != 0) GTEST_SKIP() << "no ImageMagick at /usr/bin/convert";
    TempFolder tmp;
    const std::string out = tmp / "magick.rgba";
    int files = 0;
    for (const char* sub : {"", "/interlaced"})
        for (const auto& entry : fs::directory_iterator(suite + sub)) {
            const std::string path = entry.path().string();
            if (entry.path().extension() != ".png") continue;
            SCOPED_TRACE(path);
            Image* img = loadPng(path.c_str());
            ASSERT_NE(img, nullptr);
            const std::string cmd = "/usr/bin/convert '" + path + "' -set colorspace sRGB -depth 16 -endian MSB " +
                                    "-format '%w %h ' -write info:" + out + ".size 'rgba:" + out + "'";
            ASSERT_EQ(std::system(cmd.c_str()), 0);
            int w = 0, h = 0;
            std::ifstream(out + ".size") >> w >> h;
            EXPECT_EQ(dims(img), dims(w, h));
            const std::string raw = file_text(out);
            ASSERT_EQ(raw.size(), (size_t)w * h * 8);
            EXPECT_EQ(faults(img, [&](int x, int y) {
                          const uint8_t* p = (const uint8_t*)raw.data() + ((size_t)y * w + x) * 8;  // high bytes
                          return p[0] | p[2] << 8 | p[4] << 16 | (uint32_t)p[6] << 24;
                      }), 0);
            freeImage(img);
            files++;
        }
    EXPECT_GE(files, 60);  // the whole suite, interlaced ones included
}

TEST(PngMalformed, EveryFileIsRefusedOrReadInsideItsBuffer) {
    const std::string dir = std::string(VANTROPE_TESTDATA) + "/png/malformed";
    if (!fs::is_directory(dir)) GTEST_SKIP() << "no test data at " << dir;
    for (const auto& entry : fs::directory_iterator(dir)) {
        bool printedRight = false;
        Image* img = load(entry.path().string(), &printedRight);
        // Whatever pixels were read, nothing may land in the padding.
        EXPECT_TRUE(printedRight && (!img || !faults(img, [&](int x, int y) { return at(img, x, y); }))) << entry.path();
        freeImage(img);
    }
}
