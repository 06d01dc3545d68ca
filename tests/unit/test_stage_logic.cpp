// Step-and-repeat counts and the depth/time conversion texts (the copies: the dialog test in
// tests/gui), and the beat grid of the time views.
#include "document/beat_grid.h"
#include "document/step_repeat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

TEST(StepRepeat, CountsConversionsAndRoom) {
    for (const auto& [count, whole] : {std::pair{-2.7, -2}, {1e300, 2147483647}, {NAN, 0}})
        EXPECT_EQ(step_repeat_params(count, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0).count, whole) << count;
    EXPECT_EQ(depth_to_trigger_text(100, 0), "100.0 Z = 100.000 t");  // length 0 divides by 1 (others: the dialog test)
    for (const auto& [lines, room] : {std::pair{0, 255}, {254, 1}, {255, 0}}) EXPECT_EQ(step_repeat_room(lines), room);
}

TEST(BeatGrid, TempoAndSnapping) {
    const double bad[][3] = {{0, 8, 148}, {3, 0, 148}, {3, 8, 0}, {-1, 8, 148},
                             {3, -8, 148}, {3, 8, -5}, {NAN, 8, 148}, {3, 8, INFINITY}};
    BeatGrid grid;
    for (const auto& b : bad) EXPECT_FALSE(make_beat_grid(b[0], b[1], b[2], grid)) << b[0] << b[1] << b[2];
    // One minute over four segments at 60 bpm: 15 s segments, a beat a second; 0.6 s into segment 1
    // is nearest beat 16, i.e. t = 1/15.
    ASSERT_TRUE(make_beat_grid(1, 4, 60, grid));
    EXPECT_DOUBLE_EQ(nearest_beat_time(grid, 1, 0.04), 1.0 / 15);
    EXPECT_DOUBLE_EQ(nearest_beat_time(grid, 0, 0.02), 0.0);
    EXPECT_DOUBLE_EQ(nearest_beat_time(grid, 0, -0.5), 0.0);  // no beat before the song
    ASSERT_TRUE(make_beat_grid(1, 4, 62, grid));  // segment 1 starts at beat 15.5: nearest 16
    EXPECT_DOUBLE_EQ(nearest_beat_time(grid, 1, 0.01), (16 * (60.0 / 62) - 15) / 15);
}

// Against a plain walk over every beat from the song's start, at zooms where beats are 4 pixels
// apart or more (all drawn), where only bars are (bars only) and where neither is (nothing): the
// same lines, never more than one per four columns.
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
        for (size_t i = 0; i < got.size(); i++)
            EXPECT_EQ(std::make_pair(got[i].column, got[i].bar), std::make_pair(want[i].column, want[i].bar)) << i;
        EXPECT_LE(got.size(), static_cast<size_t>(w / 4 + 1));
    }
    EXPECT_TRUE(regimes[0] && regimes[1] && regimes[2]) << regimes[0] << " " << regimes[1] << " " << regimes[2];
}
