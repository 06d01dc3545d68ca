// Placing and colouring the enemies in the preview: path positions, animation frames, skin colours.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "preview/actors.h"

TEST(ActorPlacement, PositionOnThePathAtTheMapPosition) {
    // Stage times, stage count, map position, then the leg (-1: not drawn) and the fraction of it.
    const struct { float times[3]; int stages; double m; int leg; float f; } rows[] = {
        {{0.2f, 0.6f}, 2, 0.4, 0, 0.5f},        {{0.2f, 0.6f}, 2, 0.2f, 0, 0}, {{0.2f, 0.6f}, 2, 0.6f, 0, 1},
        {{0.2f, 0.6f}, 2, 0.7, -1, 0},          {{0.2f, 0.6f}, 2, 0.1, -1, 0}, {{0.5f, 0.5f, 0.9f}, 3, 0.5, 0, 0},
        {{0.0f, 0.5f, 1.0f}, 3, 0.75, 1, 0.5f}, {{0.4f}, 1, 0.4, -1, 0},
        {{0.0f, 0.3f}, 2, 0.3, 0, 1},  // the double 0.3 lies below the float 0.3f
        {{0.0f, 0.3f}, 2, std::nextafter(double(0.3f), 1.0), -1, 0}};  // as a float it would equal 0.3f
    for (const auto& r : rows) {
        Trigger t;
        default_trigger(t);
        t.stageCount = r.stages;
        for (int k = 0; k < 3; k++) t.stage[k] = {10.0f * k, -20.0f * k, 100.0f + 40 * k, 0, 0, 0, r.times[k]};
        float p[3] = {-1, -1, -1};
        EXPECT_EQ(positionOnPath(t, r.m, p), r.leg >= 0) << r.m;
        const float want[3] = {10.0f * (r.leg + r.f), -20.0f * (r.leg + r.f), 100 + 40 * (r.leg + r.f)};
        for (int i = 0; i < 3; i++) EXPECT_FLOAT_EQ(p[i], r.leg >= 0 ? want[i] : -1) << r.m << " " << i;
    }
}

TEST(ActorPlacement, FrameChoiceAndSkinColours) {
    const int64_t frames[][3] = {{198, 0, 40}, {198, 11, 45}, {196, 7, 41}, {195, 200, 5}, {10, 10, 0}, {10, 0xFFFFFFFFu, 5},
                                 {0, 3, -1}};  // count, counter, frame (-1: no frames)
    for (const auto& f : frames) EXPECT_EQ(actorFrame(int(f[0]), uint32_t(f[1])), f[2]) << f[0] << " " << f[1];
    std::unique_ptr<Image, void (*)(Image*)> skin(newImage(3, 2), freeImage);  // rows 4 words apart
    for (int i = 0; i < 8; i++) skin->pixels[i] = 0xAB000000u | (i / 4) << 8 | i % 4;
    // 3e30f is 3000000196258126111458713403392, 2 more than a multiple of 3.
    const struct { float u, v; int x, y; } rows[] = {
        {0.5f, 0.5f, 1, 1},    {0.99f, 0.99f, 2, 1}, {1, 1, 0, 0},          {-0.1f, -0.2f, 0, 0},
        {-0.34f, -0.5f, 2, 1}, {2.5f, -3.5f, 1, 1},  {1e30f, -1e30f, 2, 0}, {INFINITY, NAN, 0, 0}};
    for (const auto& r : rows) EXPECT_EQ(skinColor(skin.get(), r.u, r.v), 0xAB000000u | r.y << 8 | r.x) << r.u << " " << r.v;
    EXPECT_EQ(skinColor(nullptr, 0.5f, 0.5f), 0xFFFFFFFFu);
}
