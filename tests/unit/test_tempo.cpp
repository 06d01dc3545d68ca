// The tempo and the metronome, without a device.
#include "audio/beat_click.h"
#include "audio/resample.h"  // the speeds
#include "audio/tempo.h"
#include "tests/song_files.h"

#include <gtest/gtest.h>

// Drums at each tempo within 0.5 bpm (the fast ones not taken for half
// their tempo); silence, noise and a detection cancelled give none.
TEST(Tempo, FindsTheBeatOfDrumsAndNoneInSilenceOrNoise) {
    const std::atomic<bool> cancel{true};
    for (auto [kind, bpm] : {std::pair{TestBeat::drums, 96.0}, {TestBeat::drums, 128.0}, {TestBeat::drums, 148.0},
                             {TestBeat::drums, 174.0}, {TestBeat::silence, 0.0}, {TestBeat::noise, 0.0}}) {
        const std::vector<int16_t> pcm = make_test_pcm(kind, bpm > 0 ? bpm : 120, 30);
        const TempoEstimate e = detect_tempo(pcm.data(), pcm.size(), 1, 44100);
        EXPECT_NEAR(e.found ? e.bpm : 0, bpm, 0.5) << "kind " << static_cast<int>(kind);  // 0: none found
        const TempoEstimate cancelled = detect_tempo(pcm.data(), pcm.size(), 1, 44100, &cancel);
        EXPECT_TRUE(cancelled.cancelled && !cancelled.found) << "kind " << static_cast<int>(kind);
    }
}

constexpr int kRate = 44100;

// Clicks alone from song frame `start` at `step`, rendered in blocks of the sizes given in turn.
static std::vector<int16_t> render_clicks(const ClickGrid& grid, double start, double step, int frames,
                                          const std::vector<int>& blocks) {
    std::vector<int16_t> out(2 * frames, 0);
    ClickTail tail;
    for (int at = 0, b = 0; at < frames; at += blocks[b++ % blocks.size()])
        mix_clicks(out.data() + 2 * at, std::min(blocks[b % blocks.size()], frames - at), kRate, start + at * step,
                   step, grid, tail);
    return out;
}

// From half a beat before a bar (beat 4), at every speed, in blocks of any size: each click starts at
// its beat's output frame, lasts 4 ms at most, is louder on bars (beats 4, 8); no beat grid, no clicks.
TEST(BeatClick, StartsAtTheOutputFrameOfEachBeatAtEverySpeed) {
    const ClickGrid grid{148, 3, 8};
    const double beatFrames = 60.0 / 148 * kRate, start = 3.5 * beatFrames - 0.3;
    for (double step : kPlaySpeeds) {
        SCOPED_TRACE(step);
        const int frames = static_cast<int>(6 * beatFrames / step);
        const std::vector<int16_t> whole = render_clicks(grid, start, step, frames, {1024});
        const std::vector<int> expected = beat_starts(beatFrames, start, step, frames);
        EXPECT_EQ(click_starts(whole), expected);
        EXPECT_EQ(render_clicks(grid, start, step, frames, {1, 333, 7, 1000, 64}), whole);
        for (size_t i = 0; i < expected.size(); i++) {
            const int next = i + 1 < expected.size() ? expected[i + 1] : frames;
            int last = expected[i], peak = 0;
            for (int k = expected[i]; k < next; k++)
                if (whole[2 * k] != 0) last = k, peak = std::max(peak, std::abs(whole[2 * k]));
            EXPECT_LE(last - expected[i], kClickSeconds * kRate);
            EXPECT_EQ(peak > 15000, i == 0 || i == 4) << "click " << i << " peak " << peak;
        }
    }
    for (const ClickGrid& bad : {ClickGrid{0, 3, 8}, {148, 0, 8}, {148, 3, 0}, {NAN, 3, 8}, {1e9, 3, 8}})
        EXPECT_TRUE(click_starts(render_clicks(bad, 0, 1, 4096, {1024})).empty()) << bad.bpm;
}
