// Visualization generators: worked pixels, whole pictures against
// independent computations, the plasma's rand() walk, the dispatch table,
// and a sweep of hostile seeds and sizes that must stay inside the picture.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <unordered_set>
#include <vector>

#include "maps/generators.h"

namespace {

using ImagePtr = std::unique_ptr<Image, void (*)(Image*)>;
ImagePtr make_image(int w, int h) { return ImagePtr(newImage(w, h), freeImage); }

uint32_t at(const Image* image, int x, int y) { return image->pixels[y * image->texWidth + x]; }

// Every entry distinct and non-zero, the last one too, so that a pixel tells
// which index was written (entry 0 becomes 0xFF000000 in the preamble).
constexpr uint32_t kTag = 0x00A00000u;
void install_tagged_palette() {
    uint32_t p[256];
    for (uint32_t i = 0; i < 256; i++) p[i] = kTag + i;
    copyPalette(p);
}
int index_of(uint32_t word) { return word == 0xFF000000u ? 0 : static_cast<int>(word - kTag); }

using Generator = void (*)(float, float, Image*);
struct NamedGenerator {
    const char* name;
    Generator run;
};
const NamedGenerator kGenerators[] = {{"wallpaper", generateWallpaper},
                                      {"plasma", generatePlasma},
                                      {"julia", generateJulia},
                                      {"fade", generateFade}};

// Runs a generator with the plasma's stdout line swallowed.
void quietly(Generator g, float a, float b, Image* image) {
    testing::internal::CaptureStdout();
    g(a, b, image);
    testing::internal::GetCapturedStdout();
}

}  // namespace

TEST(GenPreamble, GreyRampOnlyWhenLastEntryIsZero) {
    struct Case {
        uint32_t last;
        bool grey;
    } cases[] = {{0x000000u, true}, {0x000001u, false}, {0xFF000000u, false}, {0x808080u, false}};
    for (const Case& c : cases) {
        uint32_t p[256];
        for (uint32_t i = 0; i < 256; i++) p[i] = 0x00123456u + i;
        p[255] = c.last;
        copyPalette(p);
        generatePalette();
        EXPECT_EQ(color[0], 0xFF000000u) << c.last;
        for (uint32_t i = 1; i < 256; i++)
            ASSERT_EQ(color[i], c.grey ? 0xFF000000u + i * 0x010101u : p[i]) << c.last << " " << i;
    }
}

TEST(GenPreamble, GeneratorAppliesGreyRamp) {
    uint32_t black[256] = {};
    copyPalette(black);
    auto img = make_image(32, 32);
    generateFade(0, 0, img.get());
    EXPECT_EQ(at(img.get(), 3, 4), 0xFF000000u + 25u * 0x010101u);
    EXPECT_EQ(at(img.get(), 0, 0), 0xFF000000u);
}

TEST(GenFade, WorkedPixelsAndExactRings) {
    install_tagged_palette();
    auto img = make_image(256, 256);
    generateFade(0, 0, img.get());
    EXPECT_EQ(index_of(at(img.get(), 0, 0)), 0);
    EXPECT_EQ(index_of(at(img.get(), 3, 4)), 25);
    EXPECT_EQ(index_of(at(img.get(), 16, 0)), 0);

    // Whole-number seeds keep every squared distance exact in float.
    generateFade(-3, 2, img.get());
    for (int y = 0; y < 256; y++)
        for (int x = 0; x < 256; x++)
            ASSERT_EQ(index_of(at(img.get(), x, y)), ((x - 3) * (x - 3) + (y + 2) * (y + 2)) % 256)
                << x << "," << y;
}

TEST(GenWallpaper, FirstRowAndColumnTakeTheSeedSum) {
    // Row 0 and column 0 multiply by zero, leaving trunc(a + b + 0.2) reduced.
    struct Case {
        float a, b;
        int index;
    } cases[] = {{0, 0, 0}, {3, 4, 7}, {-3, -4, 6}, {100, 200, 44}, {-200, -100, 43}};
    install_tagged_palette();
    auto img = make_image(256, 256);
    for (const Case& c : cases) {
        generateWallpaper(c.a, c.b, img.get());
        for (int i = 0; i < 256; i++) {
            ASSERT_EQ(index_of(at(img.get(), i, 0)), c.index) << c.a << " row " << i;
            ASSERT_EQ(index_of(at(img.get(), 0, i)), c.index) << c.a << " column " << i;
        }
    }
}

TEST(GenWallpaper, InteriorMatchesExactIntegerForm) {
    // With a = b = 0.4f the factors are 0.5 exactly: v = (625 x y mod 256) + 1.
    ASSERT_EQ(0.4f + 0.1f, 0.5f);
    install_tagged_palette();
    auto img = make_image(256, 256);
    generateWallpaper(0.4f, 0.4f, img.get());
    for (int y = 0; y < 100; y++)
        for (int x = 0; x < 100; x++)
            ASSERT_EQ(index_of(at(img.get(), x, y)), (625 * x * y % 256 + 1) % 256) << x << "," << y;
}

namespace {

// Independent Julia classification: build the float orbit as a list, then
// look for the escape, a return to the start or to the 16th iterate.
int reference_julia_index(float zx0, float zy0, float cr, float ci) {
    std::vector<std::pair<float, float>> z{{zx0, zy0}};
    for (int k = 0;; k++) {
        const float x = z[k].first, y = z[k].second;
        if (x * x + y * y > 4.0f) return 9 * (k + 1) % 256;
        z.push_back({x * x - y * y + cr, y * (x + x) + ci});
        if (z[k + 1] == z[0] || (k >= 16 && z[k + 1] == z[16])) return 251 * 9 % 256;
        if (k + 2 > 126) return 127 * 9 % 256;
    }
}

float julia_start(int v, int half, int width) {
    return static_cast<float>(3 * (v - half)) / static_cast<float>(width);
}

}  // namespace

TEST(GenJulia, MatchesReferenceOrbitsAndWorkedIndices) {
    install_tagged_palette();
    struct Case {
        float a, b;
    } seeds[] = {{0, 0}, {1.0f / 6.0f, 0.2f}, {0, 1.5f}, {1, 1.5f}, {2, 1.5f}, {-0.4f, 2.1f}, {0.2f, 1.5f}, {0.75f, 1.6f}};
    auto img = make_image(256, 256);
    std::set<int> seen;
    for (const Case& s : seeds) {
        generateJulia(s.a, s.b, img.get());
        for (int y = 0; y < 256; y += 2)
            for (int x = 0; x < 256; x += 2) {
                const int want = reference_julia_index(julia_start(x, 128, 256),
                                                       julia_start(y, 128, 256), -s.a, s.b - 1.5f);
                for (int d = 0; d < 4; d++)
                    ASSERT_EQ(index_of(at(img.get(), x + d % 2, y + d / 2)), want)
                        << s.a << "," << s.b << " at " << x << "," << y;
                seen.insert(want);
            }
    }
    EXPECT_TRUE(seen.count(9) && seen.count(211) && seen.count(119));

    // The corner start point (-1.5, -1.5) lies outside the circle at once.
    generateJulia(0, 0, img.get());
    EXPECT_EQ(index_of(at(img.get(), 0, 0)), 9);
    EXPECT_EQ(index_of(at(img.get(), 1, 1)), 9);

    // c = 0 fixes 0, c = -1 swaps 0 and -1: the centre returns to its start.
    for (float a : {0.0f, 1.0f}) {
        generateJulia(a, 1.5f, img.get());
        EXPECT_EQ(index_of(at(img.get(), 128, 128)), 211) << a;
    }

    // c = -2 maps [-2, 2] onto itself: real start points never escape. A
    // double-precision orbit confirms the float orbit is not a rounding
    // artefact; points whose float orbit never repeats must give 119.
    generateJulia(2, 1.5f, img.get());
    int bounded = 0;
    for (int x = 130; x < 256; x += 2) {
        const float z0 = julia_start(x, 128, 256);
        double zd = z0;
        float zf = z0;
        bool repeats = false, inside = true;
        std::vector<float> orbit{zf};
        for (int k = 0; k < 126; k++) {
            zd = zd * zd - 2.0;
            zf = zf * zf - 2.0f;
            inside = inside && std::fabs(zd) <= 2.0 && std::fabs(zf) <= 2.0f;
            repeats = repeats || zf == orbit[0] || (k >= 16 && zf == orbit[16]);
            orbit.push_back(zf);
        }
        if (!inside || repeats) continue;
        bounded++;
        EXPECT_EQ(index_of(at(img.get(), x, 128)), 119) << x;
    }
    EXPECT_GT(bounded, 10);
}

TEST(GenPlasma, CornerAndEdgeValues) {
    // Edge midpoints are averages of the corners and need no random numbers.
    struct Point {
        int x, y, index;
    };
    struct Case {
        float a, b;
        std::vector<Point> points;
    } cases[] = {
        {0.5f, 0.25f, {{0, 0, 127}, {128, 0, 95}, {0, 128, 95}, {64, 0, 111}, {0, 64, 111}}},
        // Negative corner values take colour 0; -95 / 2 truncates to -47.
        {-0.5f, 0.75f, {{0, 0, 0}, {128, 0, 32}, {64, 0, 0}, {192, 0, 111}}},
        {-0.5f, -0.25f, {{0, 0, 0}, {128, 0, 0}, {0, 128, 0}}},
    };
    install_tagged_palette();
    auto img = make_image(256, 256);
    for (const Case& c : cases) {
        quietly(generatePlasma, c.a, c.b, img.get());
        for (const Point& p : c.points)
            EXPECT_EQ(index_of(at(img.get(), p.x, p.y)), p.index) << c.a << " " << p.x << "," << p.y;
    }

    // The centre takes the first random number: bits 12-16, less 16.
    quietly(generatePlasma, 0.5f, 0.25f, img.get());
    std::srand(0);
    const int r = (std::rand() >> 12) & 31;
    EXPECT_EQ(index_of(at(img.get(), 128, 128)), 127 + r - 16);
}

TEST(GenPlasma, DrawsOneRandomNumberPerQuad) {
    // One draw per quad of side T, T/2, ..., 2, where T is the buffer width.
    const struct {
        int size;
        float a;
        long draws;
    } cases[] = {{256, 0.5f, 21845}, {256, 7.9f, 21845}, {200, -3.2f, 21845},
                 {512, 1.0f, 87381}, {64, 1.0f, 1365},   {2, 0.0f, 1},  {1, 2.0f, 0}};
    for (const auto& c : cases) {
        auto img = make_image(c.size, c.size);
        quietly(generatePlasma, c.a, 0.3f, img.get());
        int after[4];
        for (int& v : after) v = std::rand();
        std::srand(static_cast<unsigned>(static_cast<int>(c.a)));
        for (long i = 0; i < c.draws; i++) std::rand();
        for (int v : after) EXPECT_EQ(std::rand(), v) << c.size << " " << c.a;
    }
}

TEST(GenPlasma, CoversEveryBlockExactlyAndPrintsOnce) {
    install_tagged_palette();
    auto img = make_image(256, 256);
    testing::internal::CaptureStdout();
    generatePlasma(0.3f, 0.7f, img.get());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Generate plasma\n");
    for (int y = 0; y < 256; y += 2)
        for (int x = 0; x < 256; x += 2) {
            const uint32_t w = at(img.get(), x, y);
            ASSERT_NE(w, 0u) << x << "," << y;
            ASSERT_EQ(at(img.get(), x + 1, y), w);
            ASSERT_EQ(at(img.get(), x, y + 1), w);
            ASSERT_EQ(at(img.get(), x + 1, y + 1), w);
        }
    for (const NamedGenerator& g : kGenerators) {
        if (g.run == generatePlasma) continue;
        testing::internal::CaptureStdout();
        g.run(0.3f, 0.7f, img.get());
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << g.name;
    }
}

TEST(GenDispatch, RemainderSelectsGenerator) {
    install_tagged_palette();
    const float a = 0.3f, b = 0.7f;
    std::vector<std::vector<uint32_t>> direct;
    for (const NamedGenerator& g : kGenerators) {
        auto img = make_image(64, 64);
        quietly(g.run, a, b, img.get());
        direct.emplace_back(img->pixels, img->pixels + 64 * 64);
    }
    // The four pictures differ, so a wrong dispatch cannot go unnoticed.
    for (size_t i = 0; i < 4; i++)
        for (size_t j = i + 1; j < 4; j++) ASSERT_NE(direct[i], direct[j]) << i << " " << j;

    enum { W, P, J, F };
    const struct {
        int visualization, generator;
    } table[] = {{0, W}, {1, P}, {2, J}, {3, F}, {4, W},  {5, P},  {6, J},  {7, F},
                 {8, W}, {-1, F}, {-2, F}, {-3, F}, {-4, W}, {-5, F}, {-6, F}, {INT_MIN, W},
                 {INT_MAX, F}};
    for (const auto& row : table) {
        auto img = make_image(64, 64);
        testing::internal::CaptureStdout();
        generateVisualization(a, b, img.get(), row.visualization);
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(std::vector<uint32_t>(img->pixels, img->pixels + 64 * 64), direct[row.generator])
            << row.visualization;
    }
}

TEST(GenExtremeSeeds, StayInsideThePictureForAnySeedAndSize) {
    const float inf = std::numeric_limits<float>::infinity();
    const float seeds[] = {std::nanf(""), inf, -inf, 1e30f, -1e30f, 2147483648.0f, -2147483904.0f,
                           2147483520.0f, -2147483648.0f, 1e-40f, 0.5f, -0.999f, -5, -4, -3, -2,
                           -1, 0, 1, 2, 3, 4, 5};
    const struct {
        int w, h;
    } sizes[] = {{1, 1}, {2, 1}, {3, 5}, {5, 3}, {17, 33}, {129, 7}, {7, 129}, {512, 2}};
    install_tagged_palette();
    generatePalette();
    const std::unordered_set<uint32_t> table(color, color + 256);

    // Empty when every word outside the picture is still zero and every word
    // written inside it comes from the colour table.
    // Empty when every word outside the picture is still zero, every word
    // written inside it comes from the colour table, and the far corner
    // pixel was written when the generator covers the whole picture.
    auto problem = [&](const Image* img, bool covers) -> std::string {
        for (uint32_t y = 0; y < img->texHeight; y++)
            for (uint32_t x = 0; x < img->texWidth; x++) {
                const uint32_t w = at(img, x, y);
                const bool inside = static_cast<int>(x) < img->width && static_cast<int>(y) < img->height;
                if (w && (!inside || !table.count(w)))
                    return std::string(inside ? "foreign word" : "outside write") + " at " +
                           std::to_string(x) + "," + std::to_string(y);
            }
        if (covers && !at(img, img->width - 1, img->height - 1)) return "last pixel not written";
        return "";
    };
    auto where = [](const char* what, const Image* img, float a, float b) {
        std::ostringstream s;
        s << what << " " << img->width << "x" << img->height << " seeds " << a << "," << b << ": ";
        return s.str();
    };
    // Assertions wait until stdout is given back, or their messages would be
    // swallowed along with the plasma's lines.
    auto sweep = [&]() -> std::string {
        for (const auto& s : sizes) {
            auto img = make_image(s.w, s.h);
            // The plasma's lattice spans texWidth in both directions.
            const bool plasmaCovers = s.h <= static_cast<int>(img->texWidth);
            for (float a : seeds)
                for (float b : {std::nanf(""), inf, -inf, 1e30f, -1e30f, -2147483648.0f, -3.0f, 0.0f, 5.0f})
                    for (const NamedGenerator& g : kGenerators) {
                        std::memset(img->pixels, 0, img->texWidth * img->texHeight * 4);
                        g.run(a, b, img.get());
                        const std::string p = problem(img.get(), g.run != generatePlasma || plasmaCovers);
                        if (!p.empty()) return where(g.name, img.get(), a, b) + p;
                    }
        }
        auto big = make_image(256, 256);
        for (float a : {std::nanf(""), inf, -inf, 1e30f, -2147483904.0f, -5.0f, 0.5f, 5.0f})
            for (int v : {INT_MIN, -5, -4, -3, -2, -1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, INT_MAX}) {
                std::memset(big->pixels, 0, 256 * 256 * 4);
                generateVisualization(a, -a, big.get(), v);
                const std::string p = problem(big.get(), true);
                if (!p.empty()) return where(std::to_string(v).c_str(), big.get(), a, -a) + p;
            }
        return "";
    };
    testing::internal::CaptureStdout();
    const std::string failure = sweep();
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(failure, "");
}

TEST(GenWallpaper, WholePictureMatchesLibraryFmodf) {
    // The documented products, left to right, reduced with the C library's
    // fmodf and 64-bit arithmetic.
    install_tagged_palette();
    auto img = make_image(256, 256);
    for (float a : {1.0f / 6.0f, 0.2f, -4.321f, 2.5f}) {
        const float b = 0.2f - a;
        generateWallpaper(a, b, img.get());
        const float A = a + 0.1f, B = b + 0.1f, S = A + B;
        for (int y = 0; y < 256; y++)
            for (int x = 0; x < 256; x++) {
                const float v = fmodf(static_cast<float>(50 * x) * A * (static_cast<float>(50 * y) * B), 256.0f) + S;
                const long long t = static_cast<long long>(v);
                ASSERT_EQ(index_of(at(img.get(), x, y)), (t < 0 ? -t : t) % 256) << a << " " << x << "," << y;
            }
    }
}

TEST(GenWallpaper, RemainderAgreesWithFmodf) {
    // Every exponent, both signs, random mantissas, and the special values.
    std::vector<float> values = {0.0f, -0.0f, 256.0f, -256.0f, -512.0f, 255.99998f, 1e-45f,
                                 std::numeric_limits<float>::max(), std::numeric_limits<float>::infinity(),
                                 -std::numeric_limits<float>::infinity(), std::nanf("")};
    uint32_t state = 12345;
    for (int i = 0; i < 200000; i++) {
        state = state * 1664525u + 1013904223u;
        float v;
        std::memcpy(&v, &state, sizeof v);
        values.push_back(v);
    }
    for (float v : values) {
        const float want = fmodf(v, 256.0f), got = fmod256(v);
        if (std::isnan(want)) {
            ASSERT_TRUE(std::isnan(got)) << v;
            continue;
        }
        uint32_t w, g;
        std::memcpy(&w, &want, 4);
        std::memcpy(&g, &got, 4);
        ASSERT_EQ(g, w) << v;
    }
}

TEST(GenExtremeSeeds, SaturatingTruncation) {
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        float in;
        int32_t out;
    } cases[] = {{std::nanf(""), 0},        {inf, INT32_MAX},       {-inf, INT32_MIN},
                 {1e30f, INT32_MAX},        {-1e30f, INT32_MIN},    {2147483648.0f, INT32_MAX},
                 {-2147483648.0f, INT32_MIN}, {2147483520.0f, 2147483520}, {-2.9f, -2},
                 {2.9f, 2},                 {-0.5f, 0},             {127.5f, 127}};
    for (const auto& c : cases) EXPECT_EQ(saturating_trunc(c.in), c.out) << c.in;
}
