#include "preview/actors.h"

#include <cmath>

bool positionOnPath(const Trigger& t, double m, float out[3]) {
    const int stages = t.stageCount < kStageCapacity ? t.stageCount : kStageCapacity;
    for (int k = 0; k + 1 < stages; k++) {
        const Stage& a = t.stage[k];
        const Stage& b = t.stage[k + 1];
        if (!(a.trigger <= m && m <= b.trigger)) continue;
        const double d = static_cast<double>(b.trigger) - a.trigger;
        float f = 0.0f;
        float g = 1.0f;
        if (d > 0) {
            f = static_cast<float>((m - a.trigger) / d);
            g = 1.0f - f;
        }
        out[0] = g * a.x + f * b.x;
        out[1] = g * a.y + f * b.y;
        out[2] = g * a.z + f * b.z;
        return true;
    }
    return false;
}

int actorFrame(int frameCount, uint32_t counter) {
    if (frameCount <= 0) return -1;
    if (frameCount > 195) return 40 + static_cast<int>(counter % 6);
    return static_cast<int>(counter % static_cast<uint32_t>(frameCount));
}

namespace {

// Pixel column (or row) of coordinate `c` in a skin `size` pixels across.
uint32_t wrap(float c, int size) {
    const float scaled = static_cast<float>(size) * c;
    if (!std::isfinite(scaled)) return 0;
    // Whole floats divide exactly, so the remainder is the truncated
    // position's, also where it would not fit an integer.
    float r = std::fmod(std::trunc(scaled), static_cast<float>(size));
    if (r < 0) r += static_cast<float>(size);
    return static_cast<uint32_t>(r);
}

}  // namespace

uint32_t skinColor(const Image* skin, float u, float v) {
    if (!skin || !skin->pixels || skin->width <= 0 || skin->height <= 0) return 0xFFFFFFFFu;
    const uint32_t x = wrap(u, skin->width);
    const uint32_t y = wrap(v, skin->height);
    return skin->pixels[y * skin->texWidth + x];
}
