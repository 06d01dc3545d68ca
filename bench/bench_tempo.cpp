// Finding the tempo of a 3-minute song, and one audio block of 1,024 frames
// with the metronome on at a slowed speed.
#include "audio/audio_output.h"
#include "audio/playback.h"
#include "audio/resample.h"
#include "audio/tempo.h"
#include "tests/song_files.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

void BM_DetectTempoOf3MinuteSong(benchmark::State& state) {
    const std::vector<float> song = make_test_song(TestBeat::drums, 148, 180);
    for (auto _ : state) {
        const TempoEstimate e = detect_tempo(song.data(), song.size(), 44100);
        benchmark::DoNotOptimize(e.bpm);
    }
}
BENCHMARK(BM_DetectTempoOf3MinuteSong)->Unit(benchmark::kMillisecond)->Iterations(3);

// The playback core's render for one device callback: a stereo song at
// 44.1 kHz, resampled at each speed, with the click on.
void BM_RenderBlockWithClickAndSpeed(benchmark::State& state) {
    const std::vector<float> mono = make_test_song(TestBeat::drums, 148, 60);
    auto song = std::make_shared<Song>();
    song->rate = 44100;
    song->channels = 2;
    song->frames = static_cast<int64_t>(mono.size());
    for (float v : mono) song->samples.insert(song->samples.end(), 2, static_cast<int16_t>(v * 30000));
    PlaybackCore core;
    core.set_speed(kPlaySpeeds[state.range(0)]);
    core.set_click(true, ClickGrid{148, 3, 8});
    std::vector<int16_t> out(2 * kAudioBlockFrames);
    core.start(song, 0);
    for (auto _ : state) {
        core.render(out.data(), kAudioBlockFrames);
        if (core.finished()) core.start(song, 0);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_RenderBlockWithClickAndSpeed)->DenseRange(0, kPlaySpeedCount - 1)->Unit(benchmark::kMicrosecond);

}  // namespace
