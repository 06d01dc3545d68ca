// Placing and colouring the enemies in the preview: positions on trigger
// paths, the animation frame and skin colours.
#include <gtest/gtest.h>

#include <cmath>
#include <iomanip>
#include <limits>
#include <memory>

#include "preview/actors.h"

namespace {

Trigger path(std::initializer_list<float> times) {
    Trigger t;
    default_trigger(t);
    t.stageCount = static_cast<int>(times.size());
    int k = 0;
    for (float time : times) {
        t.stage[k] = {10.0f * k, -20.0f * k, 100.0f + 40 * k, 0, 0, 0, time};
        k++;
    }
    return t;
}

}  // namespace

TEST(ActorPlacement, PositionOnThePathAtTheMapPosition) {
    const double nextAfter03 = std::nextafter(static_cast<double>(0.3f), 1.0);
    const struct {
        Trigger trigger;
        double m;
        bool drawn;
        float f;  // fraction of the way along leg k
        int k;
    } rows[] = {
        {path({0.2f, 0.6f}), 0.4, true, 0.5f, 0},      {path({0.2f, 0.6f}), 0.2f, true, 0, 0},
        {path({0.2f, 0.6f}), 0.6f, true, 1, 0},         {path({0.2f, 0.6f}), 0.7, false, 0, 0},
        {path({0.2f, 0.6f}), 0.1, false, 0, 0},        {path({0.5f, 0.5f, 0.9f}), 0.5, true, 0, 0},
        {path({0.0f, 0.5f, 1.0f}), 0.75, true, 0.5f, 1}, {path({0.4f}), 0.4, false, 0, 0},
        {path({0.0f, 0.3f}), 0.3, true, 1, 0},  // the double 0.3 lies below the float 0.3f
        {path({0.0f, 0.3f}), nextAfter03, false, 0, 0},  // as a float it would equal 0.3f
    };
    for (const auto& r : rows) {
        float p[3] = {-1, -1, -1};
        EXPECT_EQ(positionOnPath(r.trigger, r.m, p), r.drawn) << std::setprecision(17) << r.m;
        if (!r.drawn) {
            EXPECT_EQ(p[0], -1);
            continue;
        }
        const Stage& a = r.trigger.stage[r.k];
        const Stage& b = r.trigger.stage[r.k + 1];
        EXPECT_FLOAT_EQ(p[0], a.x + r.f * (b.x - a.x)) << r.m;
        EXPECT_FLOAT_EQ(p[1], a.y + r.f * (b.y - a.y)) << r.m;
        EXPECT_FLOAT_EQ(p[2], a.z + r.f * (b.z - a.z)) << r.m;
    }
    Trigger tooMany = path({0.0f, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f});
    tooMany.stageCount = 1000;  // only the eight stages there are
    float p[3];
    EXPECT_FALSE(positionOnPath(tooMany, 0.75, p));
}

TEST(ActorPlacement, FrameChoice) {
    const struct {
        int frames;
        uint32_t counter;
        int frame;
    } rows[] = {{198, 0, 40}, {198, 11, 45}, {198, 12, 40}, {196, 7, 41}, {195, 200, 5},
                {10, 9, 9},   {10, 10, 0},   {1, 77, 0},    {10, 0xFFFFFFFFu, 5}, {0, 3, -1}};
    for (const auto& r : rows) EXPECT_EQ(actorFrame(r.frames, r.counter), r.frame) << r.frames << " " << r.counter;
}

TEST(ActorPlacement, SkinColourWrapsIntoTheSkin) {
    std::unique_ptr<Image, void (*)(Image*)> skin(newImage(3, 2), freeImage);  // buffer 4 wide
    for (int y = 0; y < 2; y++)
        for (int x = 0; x < 4; x++) skin->pixels[y * 4 + x] = 0xAB000000u | (y << 8) | x;
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        float u, v;
        int x, y;
    } rows[] = {{0, 0, 0, 0},    {0.5f, 0.5f, 1, 1},    {0.99f, 0.99f, 2, 1}, {1, 1, 0, 0},
                {-0.1f, -0.2f, 0, 0}, {-0.34f, -0.5f, 2, 1}, {2.5f, -3.5f, 1, 1}, {1e30f, -1e30f, 2, 0},
                {inf, NAN, 0, 0}, {-inf, 1e-45f, 0, 0}};
    for (const auto& r : rows)
        EXPECT_EQ(skinColor(skin.get(), r.u, r.v), 0xAB000000u | (r.y << 8) | r.x) << r.u << " " << r.v;
    EXPECT_EQ(skinColor(nullptr, 0.5f, 0.5f), 0xFFFFFFFFu);
}
