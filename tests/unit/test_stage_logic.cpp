// Step-and-repeat copies, the depth/time conversion texts, and the beat grid
// of the time views.
#include "document/beat_grid.h"
#include "document/step_repeat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

namespace {

Trigger source_with_stages(std::initializer_list<Stage> stages) {
    Trigger t;
    default_trigger(t);
    std::strcpy(t.triggerType, "drone.md2");
    t.triggerSegment = 3;
    t.health = 5;
    t.points = 2;
    t.bonusType = 1;
    t.stageCount = static_cast<int>(stages.size());
    int k = 0;
    for (const Stage& s : stages) t.stage[k++] = s;
    return t;
}

}  // namespace

TEST(StepRepeat, RingAndShiftCopies) {
    const Trigger src = source_with_stages({{10, 0, 7, 1, 2, 3, 0.25f}, {20, 5, 9, 0, 0, 0, 0.5f}});
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
        EXPECT_EQ(std::make_tuple(copy.triggerSegment, copy.health, copy.points, copy.bonusType,
                                  copy.stageCount),
                  std::make_tuple(3, 5, 2, 1, 2));
    }

    // Angle 0: shifts only, exactly; the centre has no effect; increments add up.
    const StepRepeatParams shift = step_repeat_params(2, 0, 40, 5, -35, 0, 0.125, 100, 10, 0, -1);
    for (int i = 1; i <= 2; i++) {
        Trigger copy;
        default_trigger(copy);
        copy.stage[5].x = 99;  // past the source's count: kept
        step_repeat_copy(src, i, shift, copy);
        for (int k = 0; k < 2; k++) {
            EXPECT_EQ(copy.stage[k].x, src.stage[k].x + 5.0f * i);
            EXPECT_EQ(copy.stage[k].y, src.stage[k].y);
            EXPECT_EQ(copy.stage[k].z, src.stage[k].z + 100.0f * i);
            EXPECT_EQ(copy.stage[k].trigger, src.stage[k].trigger + 0.125f * i);
            EXPECT_EQ(copy.stage[k].rx, src.stage[k].rx + 10.0f * i);
            EXPECT_EQ(copy.stage[k].ry, src.stage[k].ry);
            EXPECT_EQ(copy.stage[k].rz, src.stage[k].rz - 1.0f * i);
        }
        EXPECT_EQ(copy.stage[5].x, 99);
    }
}

TEST(StepRepeat, CountsConversionsAndRoom) {
    EXPECT_EQ(step_repeat_params(-2.7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0).count, -2);
    EXPECT_EQ(step_repeat_params(1e300, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0).count, 2147483647);
    EXPECT_EQ(step_repeat_params(NAN, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0).count, 0);

    EXPECT_EQ(trigger_to_depth_text(0.25, 15), "0.250 t = 960.0 Z");
    EXPECT_EQ(depth_for_trigger(0.25, 15), 960.0);
    EXPECT_EQ(depth_to_trigger_text(100, 0), "100.0 Z = 100.000 t");  // length 0 divides by 1
    EXPECT_EQ(depth_to_trigger_text(960, 15), "960.0 Z = 0.250 t");
    EXPECT_EQ(trigger_for_depth(1920, 15), 0.5);

    EXPECT_EQ(step_repeat_room(0), 255);
    EXPECT_EQ(step_repeat_room(254), 1);
    EXPECT_EQ(step_repeat_room(255), 0);
}

TEST(BeatGrid, RefusesLevelsWithoutATempo) {
    const double bad[][3] = {{0, 8, 148}, {3, 0, 148}, {3, 8, 0}, {-1, 8, 148},
                             {3, -8, 148}, {3, 8, -5}, {NAN, 8, 148}, {3, 8, INFINITY}};
    BeatGrid grid;
    for (const auto& b : bad) EXPECT_FALSE(make_beat_grid(b[0], b[1], b[2], grid)) << b[0] << b[1] << b[2];
    EXPECT_TRUE(make_beat_grid(3, 8, 148, grid));
}

TEST(BeatGrid, WorkedSegmentOfFifteenBeats) {
    // One minute over four segments at 60 bpm: 15 s segments, one beat a
    // second. Segment 1 runs from beat 15 to beat 30; at 150 pixels a
    // segment the beats are 10 pixels apart, bars at beats 16, 20, 24, 28.
    BeatGrid grid;
    ASSERT_TRUE(make_beat_grid(1, 4, 60, grid));
    const std::vector<BeatLine> lines = visible_beats(grid, 1, 0, 150, 0, 149);
    ASSERT_EQ(lines.size(), 15u);
    for (int i = 0; i < 15; i++) {
        EXPECT_EQ(lines[i].column, 10 * i);
        EXPECT_EQ(lines[i].bar, (15 + i) % 4 == 0) << i;
    }
    // 30 pixels a segment: beats 2 pixels apart, so bars only, 8 apart.
    const std::vector<BeatLine> bars = visible_beats(grid, 1, 0, 30, 0, 29);
    ASSERT_EQ(bars.size(), 4u);
    EXPECT_EQ(bars[0].column, 2);
    for (const BeatLine& b : bars) EXPECT_TRUE(b.bar);
    // 6 pixels a segment: bars 1.6 pixels apart, nothing.
    EXPECT_TRUE(visible_beats(grid, 1, 0, 6, 0, 5).empty());

    // Snapping: 0.6 s into segment 1 is nearest beat 16, i.e. t = 1/15.
    EXPECT_DOUBLE_EQ(nearest_beat_time(grid, 1, 0.04), 1.0 / 15);
    EXPECT_DOUBLE_EQ(nearest_beat_time(grid, 0, 0.02), 0.0);
    EXPECT_DOUBLE_EQ(nearest_beat_time(grid, 0, -0.5), 0.0);  // no beat before the song
}

TEST(BeatGrid, VisibleBeatsMatchEveryBeatOfTheSongAtAnyZoom) {
    // Against a plain walk over every beat of the song: the same lines, and
    // never more than one per four columns.
    BeatGrid grid;
    ASSERT_TRUE(make_beat_grid(3, 8, 148, grid));
    const double songBeats = 3 * 148;
    std::mt19937 random(7);
    std::uniform_real_distribution<float> unit(0, 1);
    for (int round = 0; round < 300; round++) {
        const int segmentIndex = static_cast<int>(unit(random) * 8);
        const float scale = std::pow(10.0f, unit(random) * 6);
        const float base = unit(random) * (1 - 1 / scale);
        const int x = 10, w = 520;
        const float pps = w * scale, left = x - pps * base;
        const std::vector<BeatLine> got = visible_beats(grid, segmentIndex, left, pps, x, x + w - 1);

        const double spacing = pps * grid.beatSeconds / grid.segmentSeconds;
        std::vector<BeatLine> want;
        for (int b = 0; b <= songBeats + 1; b++) {
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
}
