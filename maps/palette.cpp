#include "maps/palette.h"

#include "document/records.h"
#include "maps/generators.h"

namespace {

// One channel's two slopes: k over the first half, m over the second.
struct Slopes {
    float k;
    float m;
};

uint32_t channel_byte(float value) {
    const int32_t v = saturating_trunc(value);
    return static_cast<uint32_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

}  // namespace

void hue_palette_values(float h, uint32_t* palette) {
    Slopes red, green, blue;
    if (h < 0.33333334f) {
        const float a = h * -3.0f + 1.0f;
        const float b = h * 3.0f;
        red = {1.0f - a, a};
        green = {1.0f - b, b};
        blue = {1.0f, 0.0f};
    } else if (h <= 0.6666667f) {
        const float e = h * 3.0f - 1.0f;
        const float t = 1.0f - e;
        red = {1.0f, 0.0f};
        green = {1.0f - t, t};
        blue = {t, e};
    } else {
        // Also taken by NaN, which fails both comparisons above.
        const float d = h * 3.0f - 2.0f;
        const float p = 1.0f - d;
        red = {p, d};
        green = {1.0f, 0.0f};
        blue = {1.0f - p, p};
    }

    const float redBase = 144.0f * red.k;
    const float greenBase = 144.0f * green.k;
    const float blueBase = 144.0f * blue.k;
    for (int i = 16; i < 144; i++) {
        const float f = static_cast<float>(i);
        palette[i - 16] = channel_byte(red.k * f) + channel_byte(green.k * f) * 256u +
                          channel_byte(blue.k * f) * 65536u;
        palette[128 + (i - 16)] = channel_byte(red.m * f + redBase) +
                                  channel_byte(green.m * f + greenBase) * 256u +
                                  channel_byte(blue.m * f + blueBase) * 65536u;
    }
}

void hue_palette(float hue) {
    if (activeSegment < 0 || activeSegment >= kSegmentCapacity) return;
    hue_palette_values(hue, segment[activeSegment].palette);
}

void palette_from_image(const Image* picture, uint32_t* palette) {
    if (!picture || !picture->pixels) return;
    const int64_t stride = picture->texWidth;
    // Never read past the buffer, whatever the record claims.
    const int64_t width = picture->width < stride ? picture->width : stride;
    const int64_t height = picture->height < static_cast<int64_t>(picture->texHeight)
                               ? picture->height
                               : static_cast<int64_t>(picture->texHeight);
    int entry = 0;
    for (int64_t y = 0; y < height && entry < 256; y++)
        for (int64_t x = 0; x < width && entry < 256; x++)
            palette[entry++] = picture->pixels[y * stride + x];
}
