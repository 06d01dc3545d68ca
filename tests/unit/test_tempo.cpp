// The tempo, the metronome and slower playback, without a device.
#include "audio/beat_click.h"
#include "audio/resample.h"
#include "audio/song_session.h"
#include "audio/tempo.h"
#include "tests/song_files.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>
#include <vector>

// Clicks as float samples, drums as 16-bit ones: each tempo within 0.5 bpm;
// silence and noise give none, and neither does a detection cancelled.
TEST(Tempo, FindsTheBeatOfClicksAndDrumsAndNoneInSilenceOrNoise) {
    const std::pair<TestBeat, double> cases[] = {
        {TestBeat::clicks, 96}, {TestBeat::clicks, 128}, {TestBeat::clicks, 148}, {TestBeat::clicks, 174},
        {TestBeat::drums, 96},  {TestBeat::drums, 128},  {TestBeat::drums, 148},  {TestBeat::drums, 174},
        {TestBeat::silence, 0}, {TestBeat::noise, 0}};
    for (auto [kind, bpm] : cases) {
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
    for (int at = 0, b = 0; at < frames; b++) {
        const int n = std::min(blocks[b % blocks.size()], frames - at);
        mix_clicks(out.data() + 2 * at, n, kRate, start + at * step, step, grid, tail);
        at += n;
    }
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

TEST(PlaySpeed, InterpolatesTheSongLinearlyAndStopsAtItsEnd) {
    // A ramp (sample i holds i) is its own linear interpolation: output
    // frame k holds position + k x step.
    const int songFrames = 3000;
    std::vector<int16_t> ramp(songFrames);
    for (int i = 0; i < songFrames; i++) ramp[i] = static_cast<int16_t>(i);
    for (double step : kPlaySpeeds) {
        const double position = 1000.25;
        std::vector<int16_t> out(2 * 8192, -1);
        const int played = resample_stereo(ramp.data(), songFrames, 1, position, step, out.data(), 8192);
        EXPECT_EQ(played, static_cast<int>(std::ceil((songFrames - position) / step))) << step;
        for (int k = 0; k < 8192; k++) {
            const double at = position + k * step;
            const int expected = at < songFrames - 1 ? static_cast<int>(std::lround(at))
                                 : at < songFrames   ? songFrames - 1
                                                     : 0;
            ASSERT_EQ(out[2 * k], expected) << "step " << step << " frame " << k;
            ASSERT_EQ(out[2 * k + 1], expected);
        }
    }
}

// Played without a device on a clock the test sets, from 21 s, at each
// speed in turn, changed while playing: after N output frames at speed s the
// song time has moved by N x s / rate and "Pos" (the place in segment 1 of
// 15 s) with it, to one output frame.
TEST(PlaySpeed, SongTimeFollowsTheSlowedSongAndSpeedChangesContinueIt) {
    TempFolder dir;
    const int rate = 8000;
    ASSERT_TRUE(put_song(dir / "song.wav", SF_FORMAT_WAV, rate, 1, 40 * rate, tone(440, 5000, rate)));
    double now = 0;
    SongSession session([] { return std::unique_ptr<AudioOutput>(); }, [&] { return now; });
    session.load(dir / "song.wav", "song.wav");
    std::string message;
    while (!session.finish_load(message)) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(session.play(21.0), SongSession::Started::silently) << message;
    double expected = 21.0;
    int frames = 0;
    for (auto [step, n] : {std::pair{1.0, 5000}, std::pair{0.25, 8000}, std::pair{0.75, 3000}, std::pair{0.5, 9000}}) {
        session.set_speed(step);
        for (int k = 0; k < n; k += 500) {
            now = (frames += 500) / static_cast<double>(rate);
            expected += 500 * step / rate;
            ASSERT_NEAR(session.position(), expected, 1.0 / rate) << step << " " << k;
            const SongPlace place = song_place(session.position(), 15, 4);
            ASSERT_EQ(place.segment, 1);
            ASSERT_NEAR(place.fraction, (expected - 15) / 15, 1.0 / rate / 15);
        }
    }
    session.stop();
}
