// Step-and-repeat copies, the depth/time conversion texts, and the beat grid
// of the time views.
#include "document/beat_grid.h"
#include "document/step_repeat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

TEST(StepRepeat, RingAndShiftCopies) {
    Trigger src;
    default_trigger(src);
    std::strcpy(src.triggerType, "drone.md2");
    src.triggerSegment = 3, src.health = 5, src.points = 2, src.bonusType = 1, src.stageCount = 2;
    src.stage[0] = {10, 0, 7, 1, 2, 3, 0.25f};
    src.stage[1] = {20, 5, 9, 0, 0, 0, 0.5f};
    // Count 3, 90 degrees about (0, 0): the first stage goes round the ring.
    const StepRepeatParams ring = step_repeat_params(3.9, 90, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    ASSERT_EQ(ring.count, 3);
    const float expected[3][2] = {{0, -10}, {-10, 0}, {0, 10}};
    for (int i = 1; i <= 3; i++) {
        Trigger copy;
        default_trigger(copy);
        step_repeat_copy(src, i, ring, copy);
        EXPECT_NEAR(copy.stage[0].x, expected[i - 1][0], 1e-5) << i;
        EXPECT_NEAR(copy.stage[0].y, expected[i - 1][1], 1e-5) << i;
        EXPECT_STREQ(copy.triggerType, "drone.md2");
        EXPECT_EQ(std::make_tuple(copy.triggerSegment, copy.health, copy.points, copy.bonusType, copy.stageCount),
                  std::make_tuple(3, 5, 2, 1, 2));
    }

    // Angle 0: shifts only, exactly; the centre has no effect; increments add up.
    const StepRepeatParams shift = step_repeat_params(2, 0, 40, 5, -35, 0, 0.125, 100, 10, 0, -1);
    const std::pair<float Stage::*, float> increments[] = {{&Stage::x, 5},   {&Stage::y, 0},  {&Stage::z, 100},
        {&Stage::trigger, 0.125f}, {&Stage::rx, 10}, {&Stage::ry, 0}, {&Stage::rz, -1}};
    for (int i = 1; i <= 2; i++) {
        Trigger copy;
        default_trigger(copy);
        copy.stage[5].x = 99;  // past the source's count: kept
        step_repeat_copy(src, i, shift, copy);
        for (int k = 0; k < 2; k++)
            for (const auto& [field, increment] : increments)
                EXPECT_EQ(copy.stage[k].*field, src.stage[k].*field + increment * i) << i << " " << k;
        EXPECT_EQ(copy.stage[5].x, 99);
    }
}

TEST(StepRepeat, CountsConversionsAndRoom) {
    for (const auto& [count, whole] : {std::pair{-2.7, -2}, {1e300, 2147483647}, {NAN, 0}})
        EXPECT_EQ(step_repeat_params(count, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0).count, whole) << count;
    EXPECT_EQ(trigger_to_depth_text(0.25, 15), "0.250 t = 960.0 Z");
    EXPECT_EQ(depth_to_trigger_text(100, 0), "100.0 Z = 100.000 t");  // length 0 divides by 1
    EXPECT_EQ(depth_to_trigger_text(960, 15), "960.0 Z = 0.250 t");
    for (const auto& [lines, room] : {std::pair{0, 255}, {254, 1}, {255, 0}}) EXPECT_EQ(step_repeat_room(lines), room);
}

TEST(BeatGrid, TempoAndSnapping) {
    const double bad[][3] = {{0, 8, 148}, {3, 0, 148}, {3, 8, 0}, {-1, 8, 148},
                             {3, -8, 148}, {3, 8, -5}, {NAN, 8, 148}, {3, 8, INFINITY}};
    BeatGrid grid;
    for (const auto& b : bad) EXPECT_FALSE(make_beat_grid(b[0], b[1], b[2], grid)) << b[0] << b[1] << b[2];
    // One minute over four segments at 60 bpm: 15 s segments, one beat a
    // second. 0.6 s into segment 1 is nearest beat 16, i.e. t = 1/15.
    ASSERT_TRUE(make_beat_grid(1, 4, 60, grid));
    EXPECT_DOUBLE_EQ(nearest_beat_time(grid, 1, 0.04), 1.0 / 15);
    EXPECT_DOUBLE_EQ(nearest_beat_time(grid, 0, 0.02), 0.0);
    EXPECT_DOUBLE_EQ(nearest_beat_time(grid, 0, -0.5), 0.0);  // no beat before the song
    ASSERT_TRUE(make_beat_grid(1, 4, 62, grid));  // segment 1 starts at beat 15.5: nearest 16
    EXPECT_DOUBLE_EQ(nearest_beat_time(grid, 1, 0.01), (16 * (60.0 / 62) - 15) / 15);
}

// Against a plain walk over every beat from the song's start, at zooms where
// beats are 4 pixels apart or more (all drawn), where only bars are (bars
// only) and where neither is (nothing): the same lines, never more than one
// per four columns.
TEST(BeatGrid, VisibleBeatsMatchEveryBeatOfTheSongAtAnyZoom) {
    BeatGrid grid;
    ASSERT_TRUE(make_beat_grid(3, 8, 148, grid));
    std::mt19937 random(7);
    std::uniform_real_distribution<float> unit(0, 1);
    int regimes[3] = {};
    for (int round = 0; round < 300; round++) {
        const int segmentIndex = static_cast<int>(unit(random) * 8);
        const float scale = std::pow(10.0f, unit(random) * 8 - 2);
        const float base = unit(random) * (1 - 1 / scale);
        const int x = 10, w = 520;
        const float pps = w * scale, left = x - pps * base;
        const std::vector<BeatLine> got = visible_beats(grid, segmentIndex, left, pps, x, x + w - 1);

        const double spacing = pps * grid.beatSeconds / grid.segmentSeconds;
        regimes[spacing >= 4 ? 0 : spacing * 4 >= 4 ? 1 : 2]++;
        std::vector<BeatLine> want;
        for (int b = 0; b < 10000; b++) {  // from the song's start, past any view
            if (spacing < 4 && (spacing * 4 < 4 || b % 4)) continue;
            const float t = static_cast<float>((b * grid.beatSeconds - segmentIndex * grid.segmentSeconds) /
                                               grid.segmentSeconds);
            const float col = left + pps * t;
            if (col >= x && col < x + w) want.push_back({static_cast<int>(col), b % 4 == 0});
        }
        ASSERT_EQ(got.size(), want.size()) << "scale " << scale << " base " << base;
        for (size_t i = 0; i < got.size(); i++) {
            EXPECT_EQ(got[i].column, want[i].column);
            EXPECT_EQ(got[i].bar, want[i].bar);
        }
        EXPECT_LE(got.size(), static_cast<size_t>(w / 4 + 1));
    }
    EXPECT_TRUE(regimes[0] && regimes[1] && regimes[2]) << regimes[0] << " " << regimes[1] << " " << regimes[2];
}
