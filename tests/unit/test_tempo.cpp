// The tempo and the metronome, without a device.
#include "audio/beat_click.h"
#include "audio/resample.h"  // the speeds
#include "audio/tempo.h"
#include "tests/song_files.h"

#include <gtest/gtest.h>

// Clicks as float samples, drums as 16-bit ones: each tempo within 0.5 bpm;
// silence and noise give none, and neither does a detection cancelled.
TEST(Tempo, FindsTheBeatOfClicksAndDrumsAndNoneInSilenceOrNoise) {
    for (auto [kind, bpm] : {std::pair{TestBeat::clicks, 96.0}, {TestBeat::clicks, 128.0}, {TestBeat::clicks, 148.0},
                             {TestBeat::clicks, 174.0}, {TestBeat::drums, 96.0}, {TestBeat::drums, 128.0},
                             {TestBeat::drums, 148.0}, {TestBeat::drums, 174.0}, {TestBeat::silence, 0.0},
                             {TestBeat::noise, 0.0}}) {
        SCOPED_TRACE(::testing::Message() << "kind " << static_cast<int>(kind) << " at " << bpm);
        const std::vector<float> song = make_test_song(kind, bpm > 0 ? bpm : 120, 30);
        const std::vector<int16_t> pcm = make_test_pcm(kind, bpm > 0 ? bpm : 120, 30);
        const TempoEstimate e = kind == TestBeat::drums ? detect_tempo(pcm.data(), pcm.size(), 1, 44100)
                                                        : detect_tempo(song.data(), song.size(), 44100);
        EXPECT_EQ(e.found, bpm > 0);
        EXPECT_NEAR(e.found ? e.bpm : 0, bpm, 0.5);
    }
    const std::vector<float> song = make_test_song(TestBeat::clicks, 128, 30);
    const std::atomic<bool> cancel{true};
    const TempoEstimate e = detect_tempo(song.data(), song.size(), 44100, &cancel);
    EXPECT_TRUE(e.cancelled && !e.found);
}

namespace {

constexpr int kRate = 44100;

// Clicks alone (over silence) for `frames` output frames from song frame
// `start` at `step`, rendered in blocks of the sizes given, in turn.
std::vector<int16_t> render_clicks(const ClickGrid& grid, double start, double step, int frames,
                                   const std::vector<int>& blocks) {
    std::vector<int16_t> out(2 * frames, 0);
    ClickTail tail;
    for (int at = 0, b = 0; at < frames; at += blocks[b++ % blocks.size()])
        mix_clicks(out.data() + 2 * at, std::min(blocks[b % blocks.size()], frames - at), kRate, start + at * step,
                   step, grid, tail);
    return out;
}

}  // namespace

TEST(BeatClick, StartsAtTheOutputFrameOfEachBeatAtEverySpeed) {
    const ClickGrid grid{148, 3, 8};
    const double beatFrames = 60.0 / 148 * kRate;
    const double start = 3.5 * beatFrames - 0.3;  // song frames; the first click is beat 4, a bar
    for (double step : kPlaySpeeds) {
        SCOPED_TRACE(step);
        const int frames = static_cast<int>(6 * beatFrames / step);
        const std::vector<int16_t> whole = render_clicks(grid, start, step, frames, {1024});
        const std::vector<int> expected = beat_starts(beatFrames, start, step, frames);
        EXPECT_EQ(click_starts(whole), expected);
        // Blocks of any size, clicks straddling them: the same sound.
        EXPECT_EQ(render_clicks(grid, start, step, frames, {1, 333, 7, 1000, 64}), whole);
        // Each click lasts 4 ms at most; bars (beats 4 and 8) are louder.
        for (size_t i = 0; i < expected.size(); i++) {
            const int next = i + 1 < expected.size() ? expected[i + 1] : frames;
            int last = expected[i], peak = 0;
            for (int k = expected[i]; k < next; k++)
                if (whole[2 * k] != 0) last = k, peak = std::max(peak, std::abs(whole[2 * k]));
            EXPECT_LE(last - expected[i], kClickSeconds * kRate);
            EXPECT_EQ(peak > 15000, i == 0 || i == 4) << "click " << i << " peak " << peak;
        }
    }
    // No beat grid, no clicks.
    for (const ClickGrid& bad : {ClickGrid{0, 3, 8}, ClickGrid{148, 0, 8}, ClickGrid{148, 3, 0},
                                 ClickGrid{NAN, 3, 8}, ClickGrid{1e9, 3, 8}})
        EXPECT_TRUE(click_starts(render_clicks(bad, 0, 1, 4096, {1024})).empty()) << bad.bpm;
}
