// Finding the tempo of a 3-minute song, and one audio block of 1,024 frames
// with the metronome on at a slowed speed.
#include "audio/beat_click.h"
#include "audio/resample.h"
#include "audio/tempo.h"
#include "tests/test_songs.h"

#include <benchmark/benchmark.h>

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

void BM_BlockWithClickAndSpeed(benchmark::State& state) {
    const std::vector<float> mono = make_test_song(TestBeat::drums, 148, 20);
    std::vector<int16_t> song(2 * mono.size());
    for (size_t i = 0; i < mono.size(); i++) song[2 * i] = song[2 * i + 1] = static_cast<int16_t>(mono[i] * 30000);
    const double step = kPlaySpeeds[state.range(0)];
    const ClickGrid grid{148, 3, 8};
    std::vector<int16_t> out(2 * 1024);
    ClickTail tail;
    double position = 0;
    for (auto _ : state) {
        resample_stereo(song.data(), static_cast<int64_t>(mono.size()), 2, position, step, out.data(), 1024);
        mix_clicks(out.data(), 1024, 44100, position, step, grid, tail);
        position += 1024 * step;
        if (position > 0.9 * mono.size()) position = 0;
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_BlockWithClickAndSpeed)->DenseRange(0, kPlaySpeedCount - 1)->Unit(benchmark::kMicrosecond);

}  // namespace
