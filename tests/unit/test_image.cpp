// Image buffers and PNG reading/writing; PngSuite's pixels (transparency chunks of every kind
// among them) are compared with what ImageMagick's own decoder makes of the same files.
#include "gfx/image.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <tuple>
#include <vector>

namespace {

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
            n += img->pixels[y * img->texWidth + x] != (x < img->width && y < img->height ? want(x, y) : 0u);
    return n;
}

}  // namespace

// Pictures are 1..512 pixels each way, in buffers of the next powers of two (300x20 in 512x32)
// whose padding stays zero; larger ones are refused with a message.
TEST(PngRoundTrip, AlphaSizeLimitAndPadding) {
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
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();  // libpng's own complaint
        Image* img = loadPng(path.c_str());
        std::string said = testing::internal::GetCapturedStdout();
        testing::internal::GetCapturedStderr();
        const size_t hex = said.size() < 10 ? 0 : said.size() - 10;  // "Couldn't load PATH (8 hex digits)\n"
        const bool digits = said.find_first_not_of("0123456789abcdef", hex) == hex + 8;
        EXPECT_TRUE(img ? said.empty() : digits && said.replace(hex, 8, "x") == "Couldn't load " + path + " (x)\n") << said;
        ASSERT_EQ(img != nullptr, w <= 512 && h <= 512);
        if (!img) continue;
        EXPECT_EQ(dims(img), dims(w, h));
        const uint32_t opaque = alpha ? 0 : 0xff000000u;  // a named copy: lambdas cannot capture bindings
        EXPECT_EQ(faults(img, [&](int x, int y) { return src[y * 513 + x] | opaque; }), 0);
        freeImage(img);
    }
}

// "-set colorspace sRGB" keeps ImageMagick from converting gAMA-tagged samples; at 16 bits it scales
// low depths exactly (v * 65535 / (2^d - 1)), so the high byte of each sample must be ours.
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
