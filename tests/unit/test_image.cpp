// Image buffers and PNG reading/writing.
//
// Pixels of the PngSuite files are checked against a small independent decoder
// below (chunk walk, zlib inflate, the five row filters, sample unpacking and
// colour-type conversion as the PNG format defines them), so the expected
// values come from the files' own bytes rather than from libpng.

#include "gfx/image.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// ---- helpers -------------------------------------------------------------

struct TempFile {
    std::string path;
    explicit TempFile(const std::string& name)
        : path(testing::TempDir() + "vantrope_img_" + std::to_string(getpid()) + "_" + name)
    {
    }
    ~TempFile() { std::remove(path.c_str()); }
};

std::vector<uint8_t> readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write((const char*)bytes.data(), (std::streamsize)bytes.size());
}

uint32_t be32(const uint8_t* p)
{
    return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}

void putBe32(uint8_t* p, uint32_t v)
{
    p[0] = (uint8_t)(v >> 24);
    p[1] = (uint8_t)(v >> 16);
    p[2] = (uint8_t)(v >> 8);
    p[3] = (uint8_t)v;
}

// Recomputes the CRC of the chunk whose length field starts at `at`.
void fixChunkCrc(std::vector<uint8_t>& png, size_t at)
{
    uint32_t len = be32(&png[at]);
    uint32_t crc = (uint32_t)crc32(0, &png[at + 4], len + 4);
    putBe32(&png[at + 8 + len], crc);
}

uint32_t powerOfTwoAtLeast(uint32_t n)
{
    uint32_t p = 1;
    while (p < n)
        p *= 2;
    return p;
}

// Varied bytes in every channel, alpha included.
uint32_t patternPixel(int x, int y)
{
    uint32_t v = (uint32_t)x * 2654435761u ^ (uint32_t)y * 40503u * 977u;
    return v ^ v >> 13;
}

std::string dataDir()
{
    return std::string(VANTROPE_TESTDATA) + "/png";
}

uint32_t pixelAt(const Image* img, int x, int y)
{
    return img->pixels[(size_t)y * img->texWidth + x];
}

// ---- independent reference decoder (non-interlaced files) ----------------

struct RawPng {
    uint32_t width = 0, height = 0;
    int depth = 0, colorType = 0, interlace = 0;
    std::vector<uint8_t> plte, trns, idat;
};

bool parsePng(const std::vector<uint8_t>& b, RawPng* out)
{
    static const uint8_t sig[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    if (b.size() < 8 || memcmp(b.data(), sig, 8) != 0)
        return false;
    for (size_t at = 8; at + 12 <= b.size();) {
        uint32_t len = be32(&b[at]);
        if (at + 12 + (size_t)len > b.size())
            return false;
        std::string type((const char*)&b[at + 4], 4);
        const uint8_t* data = &b[at + 8];
        if (type == "IHDR") {
            out->width = be32(data);
            out->height = be32(data + 4);
            out->depth = data[8];
            out->colorType = data[9];
            out->interlace = data[12];
        } else if (type == "PLTE") {
            out->plte.assign(data, data + len);
        } else if (type == "tRNS") {
            out->trns.assign(data, data + len);
        } else if (type == "IDAT") {
            out->idat.insert(out->idat.end(), data, data + len);
        } else if (type == "IEND") {
            return true;
        }
        at += 12 + len;
    }
    return false;
}

int channelsOf(int colorType)
{
    switch (colorType) {
    case 0: return 1;
    case 2: return 3;
    case 3: return 1;
    case 4: return 2;
    case 6: return 4;
    }
    return 0;
}

// Expected RGBA words, width x height, or empty when the file can't be decoded.
std::vector<uint32_t> referenceDecode(const RawPng& png)
{
    const int channels = channelsOf(png.colorType);
    const size_t stride = ((size_t)png.width * channels * png.depth + 7) / 8;
    const size_t bpp = std::max<size_t>(1, (size_t)channels * png.depth / 8);
    std::vector<uint8_t> raw(png.height * (stride + 1));
    uLongf rawLen = raw.size();
    if (uncompress(raw.data(), &rawLen, png.idat.data(), png.idat.size()) != Z_OK ||
        rawLen != raw.size())
        return {};

    // Undo the per-row filters in place; row y's bytes start at y*(stride+1)+1.
    for (uint32_t y = 0; y < png.height; ++y) {
        uint8_t* row = &raw[y * (stride + 1) + 1];
        const uint8_t* prev = y ? &raw[(y - 1) * (stride + 1) + 1] : nullptr;
        int filter = row[-1];
        for (size_t i = 0; i < stride; ++i) {
            int a = i >= bpp ? row[i - bpp] : 0;
            int b = prev ? prev[i] : 0;
            int c = prev && i >= bpp ? prev[i - bpp] : 0;
            int pred = 0;
            switch (filter) {
            case 0: pred = 0; break;
            case 1: pred = a; break;
            case 2: pred = b; break;
            case 3: pred = (a + b) / 2; break;
            case 4: {
                int p = a + b - c, pa = abs(p - a), pb = abs(p - b), pc = abs(p - c);
                pred = (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
                break;
            }
            default: return {};
            }
            row[i] = (uint8_t)(row[i] + pred);
        }
    }

    auto sample = [&](const uint8_t* row, size_t index) -> uint32_t {
        if (png.depth == 16)
            return (uint32_t)row[2 * index] << 8 | row[2 * index + 1];
        if (png.depth == 8)
            return row[index];
        size_t bit = index * png.depth;
        int shift = 8 - png.depth - (int)(bit % 8);
        return (uint32_t)(row[bit / 8] >> shift) & ((1u << png.depth) - 1);
    };
    // Full-depth sample to 8 bits: high byte of 16, low depths scaled to 0..255.
    auto to8 = [&](uint32_t v) -> uint32_t {
        if (png.depth == 16)
            return v >> 8;
        if (png.depth == 8)
            return v;
        return v * 255 / ((1u << png.depth) - 1);
    };
    auto trns16 = [&](int i) -> uint32_t { return (uint32_t)png.trns[2 * i] << 8 | png.trns[2 * i + 1]; };

    std::vector<uint32_t> out;
    for (uint32_t y = 0; y < png.height; ++y) {
        const uint8_t* row = &raw[y * (stride + 1) + 1];
        for (uint32_t x = 0; x < png.width; ++x) {
            size_t s = (size_t)x * channels;
            uint32_t r = 0, g = 0, b = 0, a = 255;
            switch (png.colorType) {
            case 0: {
                uint32_t v = sample(row, s);
                r = g = b = to8(v);
                if (png.trns.size() >= 2 && v == trns16(0))
                    a = 0;
                break;
            }
            case 2: {
                uint32_t vr = sample(row, s), vg = sample(row, s + 1), vb = sample(row, s + 2);
                r = to8(vr), g = to8(vg), b = to8(vb);
                if (png.trns.size() >= 6 && vr == trns16(0) && vg == trns16(1) && vb == trns16(2))
                    a = 0;
                break;
            }
            case 3: {
                uint32_t i = sample(row, s);
                if (3 * i + 2 >= png.plte.size())
                    return {};
                r = png.plte[3 * i], g = png.plte[3 * i + 1], b = png.plte[3 * i + 2];
                a = i < png.trns.size() ? png.trns[i] : 255;
                break;
            }
            case 4:
                r = g = b = to8(sample(row, s));
                a = to8(sample(row, s + 1));
                break;
            case 6:
                r = to8(sample(row, s)), g = to8(sample(row, s + 1)), b = to8(sample(row, s + 2));
                a = to8(sample(row, s + 3));
                break;
            }
            out.push_back(r | g << 8 | b << 16 | a << 24);
        }
    }
    return out;
}

// Number of picture pixels that differ, or -1 when the sizes differ.
long countDifferences(const Image* a, const Image* b)
{
    if (a->width != b->width || a->height != b->height)
        return -1;
    long diffs = 0;
    for (int y = 0; y < a->height; ++y)
        for (int x = 0; x < a->width; ++x)
            diffs += pixelAt(a, x, y) != pixelAt(b, x, y);
    return diffs;
}

// True when every word outside the width x height corner is zero.
bool paddingIsZero(const Image* img)
{
    for (uint32_t y = 0; y < img->texHeight; ++y)
        for (uint32_t x = 0; x < img->texWidth; ++x)
            if ((x >= (uint32_t)img->width || y >= (uint32_t)img->height) &&
                img->pixels[(size_t)y * img->texWidth + x] != 0)
                return false;
    return true;
}

std::vector<uint32_t> patternPixels(int height, int stride)
{
    std::vector<uint32_t> px((size_t)stride * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < stride; ++x)
            px[(size_t)y * stride + x] = patternPixel(x, y);
    return px;
}

// Loads `path` with stdout captured; the printed text goes to *printed.
Image* loadCapturing(const std::string& path, std::string* printed)
{
    testing::internal::CaptureStdout();
    Image* img = loadPng(path.c_str());
    *printed = testing::internal::GetCapturedStdout();
    return img;
}

} // namespace

// ---- buffers -------------------------------------------------------------

TEST(ImageBuffer, NewImageRoundsUpToPowersOfTwoAndZeroFills)
{
    struct Case { int w, h; uint32_t texW, texH; };
    const Case cases[] = {
        {256, 256, 256, 256}, {200, 100, 256, 128}, {1, 1, 1, 1},     {512, 3, 512, 4},
        {512, 512, 512, 512}, {257, 2, 512, 2},     {3, 129, 4, 256}, {64, 65, 64, 128},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
        Image* img = newImage(c.w, c.h);
        ASSERT_NE(img, nullptr);
        EXPECT_EQ(img->width, c.w);
        EXPECT_EQ(img->height, c.h);
        EXPECT_EQ(img->texWidth, c.texW);
        EXPECT_EQ(img->texHeight, c.texH);
        EXPECT_EQ(img->swizzled, 0);
        EXPECT_EQ(img->inVRam, 0);
        ASSERT_NE(img->pixels, nullptr);
        size_t nonZero = 0;
        for (size_t i = 0; i < (size_t)c.texW * c.texH; ++i)
            nonZero += img->pixels[i] != 0;
        EXPECT_EQ(nonZero, 0u);
        freeImage(img);
    }
}

TEST(ImageBuffer, NewImageRefusesSizesOutsideOneTo512)
{
    const int sizes[][2] = {{0, 1}, {1, 0}, {-1, 5}, {5, -7}, {513, 1}, {1, 513}, {1000, 1000}};
    for (const auto& s : sizes) {
        SCOPED_TRACE(testing::Message() << s[0] << "x" << s[1]);
        EXPECT_EQ(newImage(s[0], s[1]), nullptr);
    }
}

TEST(ImageBuffer, FreeImageOfNullDoesNothing)
{
    freeImage(nullptr);
}

TEST(ImageBuffer, FreeImageLeavesVideoMemoryPixelsAlone)
{
    // A pixel array that did not come from the heap: freeing it would abort
    // (or be reported by the sanitizer).
    uint32_t window[16];
    for (int i = 0; i < 16; ++i)
        window[i] = 0x1000u + i;

    Image* img = newImage(4, 4);
    ASSERT_NE(img, nullptr);
    uint32_t* own = img->pixels;
    img->pixels = window;
    img->inVRam = 1;
    freeImage(img);
    free(own);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(window[i], 0x1000u + i);
}

// ---- writing and reading back --------------------------------------------

TEST(PngRoundTrip, SavedPixelsLoadBack)
{
    struct Case { int w, h, stride, alpha; };
    const Case cases[] = {
        {5, 3, 5, 1}, {5, 3, 8, 0}, {1, 1, 1, 1}, {1, 1, 1, 0}, {64, 17, 70, 0}, {33, 40, 64, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " stride " << c.stride
                                        << " alpha " << c.alpha);
        TempFile file("roundtrip.png");
        std::vector<uint32_t> src = patternPixels(c.h, c.stride);
        saveImagePng(file.path.c_str(), src.data(), c.w, c.h, c.stride, c.alpha);

        // Header: 8-bit RGBA or RGB, not interlaced.
        std::vector<uint8_t> bytes = readBytes(file.path);
        ASSERT_GT(bytes.size(), 33u);
        EXPECT_EQ(be32(&bytes[16]), (uint32_t)c.w);
        EXPECT_EQ(be32(&bytes[20]), (uint32_t)c.h);
        EXPECT_EQ(bytes[24], 8);
        EXPECT_EQ(bytes[25], c.alpha ? 6 : 2);
        EXPECT_EQ(bytes[28], 0);
        // The reference decoder used on the suite agrees with what was saved.
        RawPng raw;
        ASSERT_TRUE(parsePng(bytes, &raw));
        std::vector<uint32_t> decoded = referenceDecode(raw);
        ASSERT_EQ(decoded.size(), (size_t)c.w * c.h);

        Image* img = loadPng(file.path.c_str());
        ASSERT_NE(img, nullptr);
        EXPECT_EQ(img->texWidth, powerOfTwoAtLeast(c.w));
        EXPECT_EQ(img->texHeight, powerOfTwoAtLeast(c.h));
        long diffs = 0;
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) {
                uint32_t want = src[(size_t)y * c.stride + x];
                if (!c.alpha)
                    want |= 0xff000000u;
                diffs += pixelAt(img, x, y) != want;
                diffs += decoded[(size_t)y * c.w + x] != want;
            }
        EXPECT_EQ(diffs, 0);
        EXPECT_TRUE(paddingIsZero(img));
        freeImage(img);
    }
}

TEST(PngRoundTrip, UnwritablePathOrBadSizeWritesNothingUsable)
{
    uint32_t px[4] = {1, 2, 3, 4};
    std::string missingDir = testing::TempDir() + "vantrope_no_such_dir/out.png";
    testing::internal::CaptureStdout();
    saveImagePng(missingDir.c_str(), px, 2, 2, 2, 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_FALSE(fs::exists(missingDir));

    // libpng refuses a zero width; the error must not end the program and
    // what is left on disk does not load.
    TempFile file("zero_width.png");
    testing::internal::CaptureStderr();
    saveImagePng(file.path.c_str(), px, 0, 2, 2, 1);
    testing::internal::GetCapturedStderr();
    std::string printed;
    Image* img = loadCapturing(file.path, &printed);
    EXPECT_EQ(img, nullptr);
    freeImage(img);
}

// ---- size limits ---------------------------------------------------------

TEST(PngLimits, SidesAbove512AreRefused)
{
    const int sizes[][2] = {{513, 1}, {1, 513}, {513, 513}};
    std::vector<uint32_t> src = patternPixels(513, 513);
    for (const auto& s : sizes) {
        SCOPED_TRACE(testing::Message() << s[0] << "x" << s[1]);
        TempFile file("big.png");
        saveImagePng(file.path.c_str(), src.data(), s[0], s[1], 513, 1);
        std::string printed;
        Image* img = loadCapturing(file.path, &printed);
        EXPECT_EQ(img, nullptr);
        freeImage(img);
        EXPECT_EQ(printed.rfind("Couldn't load " + file.path + " (", 0), 0u) << printed;
        EXPECT_EQ(printed.size(), ("Couldn't load " + file.path + " (12345678)\n").size());
    }
}

TEST(PngLimits, LargestAndOddSizesLoadWithZeroPadding)
{
    struct Case { int w, h; uint32_t texW, texH; };
    const Case cases[] = {{512, 512, 512, 512}, {300, 20, 512, 32}, {1, 512, 1, 512}, {3, 5, 4, 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
        TempFile file("sized.png");
        std::vector<uint32_t> src = patternPixels(c.h, c.w);
        saveImagePng(file.path.c_str(), src.data(), c.w, c.h, c.w, 1);
        std::string printed;
        Image* img = loadCapturing(file.path, &printed);
        ASSERT_NE(img, nullptr);
        EXPECT_EQ(printed, "");
        EXPECT_EQ(img->width, c.w);
        EXPECT_EQ(img->height, c.h);
        EXPECT_EQ(img->texWidth, c.texW);
        EXPECT_EQ(img->texHeight, c.texH);
        long diffs = 0;
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x)
                diffs += pixelAt(img, x, y) != src[(size_t)y * c.w + x];
        EXPECT_EQ(diffs, 0);
        EXPECT_TRUE(paddingIsZero(img));
        freeImage(img);
    }
}

// ---- failures ------------------------------------------------------------

TEST(PngFailure, MissingFileIsNullAndSilent)
{
    std::string printed;
    Image* img = loadCapturing(testing::TempDir() + "vantrope_img_does_not_exist.png", &printed);
    EXPECT_EQ(img, nullptr);
    EXPECT_EQ(printed, "");
}

TEST(PngFailure, DamagedFilesAreRefusedWithMessage)
{
    TempFile good("good.png");
    std::vector<uint32_t> src = patternPixels(30, 40);
    saveImagePng(good.path.c_str(), src.data(), 40, 30, 40, 1);
    const std::vector<uint8_t> original = readBytes(good.path);
    ASSERT_GT(original.size(), 60u);
    const size_t ihdr = 8;                   // IHDR length field
    const size_t idat = ihdr + 12 + 13;      // first chunk after IHDR is the IDAT
    ASSERT_EQ(std::string((const char*)&original[idat + 4], 4), "IDAT");

    struct Case {
        const char* what;
        void (*damage)(std::vector<uint8_t>&);
    };
    const Case cases[] = {
        {"empty", [](std::vector<uint8_t>& p) { p.clear(); }},
        {"signature only", [](std::vector<uint8_t>& p) { p.resize(8); }},
        {"cut inside IHDR", [](std::vector<uint8_t>& p) { p.resize(20); }},
        {"cut inside IDAT", [](std::vector<uint8_t>& p) { p.resize(p.size() / 2); }},
        {"no IEND", [](std::vector<uint8_t>& p) { p.resize(p.size() - 12); }},
        {"bad signature", [](std::vector<uint8_t>& p) { p[1] = 'Q'; }},
        {"IDAT CRC wrong", [](std::vector<uint8_t>& p) { p[8 + 25 + 8 + 5] ^= 0x40; }},
        {"bit depth 3", [](std::vector<uint8_t>& p) { p[24] = 3; fixChunkCrc(p, 8); }},
        {"colour type 5", [](std::vector<uint8_t>& p) { p[25] = 5; fixChunkCrc(p, 8); }},
        {"width 0", [](std::vector<uint8_t>& p) { putBe32(&p[16], 0); fixChunkCrc(p, 8); }},
        {"IDAT data scrambled",
         [](std::vector<uint8_t>& p) {
             for (size_t i = 8 + 25 + 8 + 2; i < 8 + 25 + 8 + 40; ++i)
                 p[i] ^= 0xa5;
             fixChunkCrc(p, 8 + 25);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> bytes = original;
        c.damage(bytes);
        TempFile file("damaged.png");
        writeBytes(file.path, bytes);
        testing::internal::CaptureStderr();  // libpng's own error text
        std::string printed;
        Image* img = loadCapturing(file.path, &printed);
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(img, nullptr);
        freeImage(img);
        EXPECT_EQ(printed.rfind("Couldn't load " + file.path + " (", 0), 0u) << printed;
    }
}

// Builds a chunk: length, type, data and (unless `crc` is given) its true CRC.
static std::vector<uint8_t> makeChunk(const char* type, const std::vector<uint8_t>& data,
                               const uint32_t* crc = nullptr)
{
    std::vector<uint8_t> chunk(12 + data.size());
    putBe32(&chunk[0], (uint32_t)data.size());
    memcpy(&chunk[4], type, 4);
    std::copy(data.begin(), data.end(), chunk.begin() + 8);
    putBe32(&chunk[8 + data.size()], crc ? *crc : (uint32_t)crc32(0, &chunk[4], 4 + data.size()));
    return chunk;
}

TEST(PngFailure, AncillaryChunksAreSkippedWithoutWarnings)
{
    const uint32_t wrongCrc = 0x01020304;
    std::vector<uint8_t> text = {'k', 0, 'v', 'a', 'l'};
    std::vector<uint8_t> bigText(200000, 'x');
    bigText[1] = 0;
    std::vector<uint8_t> badProfile = {'p', 0, 0, 0xde, 0xad, 0xbe, 0xef};
    struct Case { const char* what; std::vector<uint8_t> chunk; };
    const Case cases[] = {
        {"tEXt with wrong CRC", makeChunk("tEXt", text, &wrongCrc)},
        {"200 KB tEXt", makeChunk("tEXt", bigText)},
        {"iCCP with broken profile", makeChunk("iCCP", badProfile)},
        {"gAMA of wrong length", makeChunk("gAMA", {1, 2})},
        {"private chunk", makeChunk("prVt", text)},
    };
    std::vector<uint32_t> src = patternPixels(4, 6);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFile file("ancillary.png");
        saveImagePng(file.path.c_str(), src.data(), 6, 4, 6, 1);
        std::vector<uint8_t> bytes = readBytes(file.path);
        bytes.insert(bytes.begin() + 33, c.chunk.begin(), c.chunk.end());  // after IHDR
        writeBytes(file.path, bytes);

        testing::internal::CaptureStderr();
        std::string printed;
        Image* img = loadCapturing(file.path, &printed);
        std::string errors = testing::internal::GetCapturedStderr();
        ASSERT_NE(img, nullptr);
        EXPECT_EQ(printed, "");
        EXPECT_EQ(errors, "");
        long diffs = 0;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x)
                diffs += pixelAt(img, x, y) != src[(size_t)y * 6 + x];
        EXPECT_EQ(diffs, 0);
        freeImage(img);
    }
}

// ---- shared test data ----------------------------------------------------

TEST(PngSuite, EveryImageDecodesAsThePngFormatDefines)
{
    const std::string dir = dataDir() + "/pngsuite";
    if (!fs::is_directory(dir))
        GTEST_SKIP() << "no test data at " << dir;

    int referenceChecked = 0, twinsChecked = 0, interlacedChecked = 0;
    for (const std::string& sub : {std::string(), std::string("/interlaced")}) {
        for (const auto& entry : fs::directory_iterator(dir + sub)) {
            if (entry.path().extension() != ".png")
                continue;
            const std::string name = entry.path().filename().string();
            SCOPED_TRACE(sub + "/" + name);
            RawPng raw;
            ASSERT_TRUE(parsePng(readBytes(entry.path().string()), &raw));

            Image* img = loadPng(entry.path().c_str());
            ASSERT_NE(img, nullptr);
            EXPECT_EQ(img->width, (int)raw.width);
            EXPECT_EQ(img->height, (int)raw.height);
            EXPECT_EQ(img->texWidth, powerOfTwoAtLeast(raw.width));
            EXPECT_EQ(img->texHeight, powerOfTwoAtLeast(raw.height));
            EXPECT_TRUE(paddingIsZero(img));

            if (raw.colorType == 0 || raw.colorType == 4) {
                long coloured = 0;
                for (int y = 0; y < img->height; ++y)
                    for (int x = 0; x < img->width; ++x) {
                        uint32_t p = pixelAt(img, x, y);
                        coloured += (p & 0xff) != (p >> 8 & 0xff) || (p & 0xff) != (p >> 16 & 0xff);
                    }
                EXPECT_EQ(coloured, 0);
            }

            if (raw.interlace == 0) {
                std::vector<uint32_t> want = referenceDecode(raw);
                ASSERT_EQ(want.size(), (size_t)raw.width * raw.height);
                long diffs = 0;
                for (uint32_t y = 0; y < raw.height; ++y)
                    for (uint32_t x = 0; x < raw.width; ++x)
                        diffs += pixelAt(img, x, y) != want[y * raw.width + x];
                EXPECT_EQ(diffs, 0);
                ++referenceChecked;
            }
            // The interlaced twin of basn0g01 is ibasn0g01, of ftbbn2c16
            // iftbbn2c16. (A few i* files of the suite are in fact stored
            // without interlacing; they are compared all the same.)
            if (name[0] == 'i') {
                const std::string twinPath = dir + "/" + name.substr(1);
                RawPng twinRaw;
                ASSERT_TRUE(parsePng(readBytes(twinPath), &twinRaw));
                EXPECT_EQ(twinRaw.interlace, 0);
                EXPECT_EQ(twinRaw.colorType, raw.colorType);
                Image* twin = loadPng(twinPath.c_str());
                ASSERT_NE(twin, nullptr);
                EXPECT_EQ(countDifferences(img, twin), 0);
                freeImage(twin);
                ++twinsChecked;
                interlacedChecked += raw.interlace == 1;
            } else {
                EXPECT_EQ(raw.interlace, 0);
            }
            freeImage(img);
        }
    }
    EXPECT_GE(referenceChecked, 30);
    EXPECT_GE(twinsChecked, 30);
    EXPECT_GE(interlacedChecked, 20);
}

TEST(PngSuite, OneBitGreyIsBlackAndWhite)
{
    const std::string path = dataDir() + "/pngsuite/basn0g01.png";
    if (!fs::exists(path))
        GTEST_SKIP() << "no test data at " << path;
    Image* img = loadPng(path.c_str());
    ASSERT_NE(img, nullptr);
    int black = 0, white = 0;
    for (int y = 0; y < img->height; ++y)
        for (int x = 0; x < img->width; ++x) {
            uint32_t p = pixelAt(img, x, y);
            black += p == 0xff000000u;
            white += p == 0xffffffffu;
        }
    EXPECT_GT(black, 0);
    EXPECT_GT(white, 0);
    EXPECT_EQ(black + white, img->width * img->height);
    freeImage(img);
}

TEST(PngSuite, LoadedImageSavesAndLoadsBackUnchanged)
{
    const std::string path = dataDir() + "/pngsuite/basn6a08.png";
    if (!fs::exists(path))
        GTEST_SKIP() << "no test data at " << path;
    Image* img = loadPng(path.c_str());
    ASSERT_NE(img, nullptr);
    TempFile file("resaved.png");
    saveImagePng(file.path.c_str(), img->pixels, img->width, img->height, (int)img->texWidth, 1);
    Image* again = loadPng(file.path.c_str());
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(countDifferences(img, again), 0);
    freeImage(again);
    freeImage(img);
}

TEST(PngMalformed, EveryFileGivesNullOrAnImage)
{
    const std::string dir = dataDir() + "/malformed";
    if (!fs::is_directory(dir))
        GTEST_SKIP() << "no test data at " << dir;

    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string path = entry.path().string();
        SCOPED_TRACE(path);
        testing::internal::CaptureStderr();
        std::string printed;
        Image* img = loadCapturing(path, &printed);
        testing::internal::GetCapturedStderr();
        if (img) {
            EXPECT_EQ(printed, "");
            EXPECT_GE(img->width, 1);
            EXPECT_LE(img->width, 512);
            EXPECT_GE(img->height, 1);
            EXPECT_LE(img->height, 512);
            EXPECT_EQ(img->texWidth, powerOfTwoAtLeast(img->width));
            EXPECT_EQ(img->texHeight, powerOfTwoAtLeast(img->height));
            EXPECT_TRUE(paddingIsZero(img));
        } else {
            EXPECT_EQ(printed.rfind("Couldn't load " + path + " (", 0), 0u) << printed;
        }
        freeImage(img);
        ++files;
    }
    EXPECT_GT(files, 0);
}
