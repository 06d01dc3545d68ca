// The song: decoding a 3-minute 44.1 kHz stereo song written here as Ogg
// Vorbis and as WAV, building its waveform pyramid, the waveform of one
// 520-column time view at three zooms, one audio callback, and the start
// of sound through SDL's disk driver.
#include <benchmark/benchmark.h>

#include "audio/audio_output.h"
#include "audio/playback.h"
#include "audio/song.h"
#include "audio/waveform.h"
#include "tests/song_files.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace {

constexpr int kRate = 44100;
constexpr int64_t kFrames = int64_t(kRate) * 180;

// A 3-minute song of two tones with a beat, in both formats, written once.
const std::string& song_file(int format) {
    static std::string wav, ogg;
    std::string& path = format == SF_FORMAT_WAV ? wav : ogg;
    if (path.empty()) {
        path = (std::filesystem::temp_directory_path() /
                ("vantrope_bench_song" + std::string(format == SF_FORMAT_WAV ? ".wav" : ".ogg")))
                   .string();
        const SongSignal t = tone(220, 9000, kRate), u = tone(331, 5000, kRate);
        put_song(path, format, kRate, 2, kFrames, [&](int64_t f, int c) {
            const int beat = (f % (kRate / 2)) < 2000 ? 8000 : 0;
            return static_cast<int16_t>((c ? u(f, c) : t(f, c)) + beat);
        });
    }
    return path;
}

std::shared_ptr<const Song> decoded_song() {
    static std::shared_ptr<const Song> song = read_song_file(song_file(SF_FORMAT_WAV), "bench").song;
    return song;
}

void BM_DecodeSong(benchmark::State& state) {
    const std::string& path = song_file(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        SongRead r = read_song_file(path, "bench");
        if (!r.song || r.song->frames != kFrames) state.SkipWithError(r.message.c_str());
        benchmark::DoNotOptimize(r.song);
    }
}
BENCHMARK(BM_DecodeSong)->Arg(SF_FORMAT_OGG)->Arg(SF_FORMAT_WAV)->ArgName("format")->Unit(benchmark::kMillisecond);

void BM_BuildPyramid(benchmark::State& state) {
    auto song = decoded_song();
    for (auto _ : state) {
        WavePyramid wave(song);
        benchmark::DoNotOptimize(wave.bytes());
    }
}
BENCHMARK(BM_BuildPyramid)->Unit(benchmark::kMillisecond);

// One side view (520 columns) of segment 3 of 8, zoomed in by `scale`.
void BM_WaveformColumns(benchmark::State& state) {
    auto song = decoded_song();
    const WavePyramid wave(song);
    const double scale = static_cast<double>(state.range(0)), S = 180.0 / 8, W = 520;
    std::vector<WaveColumn> cols;
    for (auto _ : state) {
        waveform_columns(*song, wave, (3 + 0.4) * S, S / W / scale, 520, cols);
        benchmark::DoNotOptimize(cols.data());
    }
}
BENCHMARK(BM_WaveformColumns)->Arg(1)->Arg(1000)->Arg(1000000)->ArgName("scale")->Unit(benchmark::kMicrosecond);

void BM_AudioCallback(benchmark::State& state) {
    PlaybackCore core;
    core.start(decoded_song(), 0);
    int16_t out[2 * kAudioBlockFrames];
    int64_t played = 0;
    for (auto _ : state) {
        core.render(out, kAudioBlockFrames);
        benchmark::DoNotOptimize(out);
        if ((played += kAudioBlockFrames) > kFrames - kAudioBlockFrames) {
            state.PauseTiming();
            core.start(decoded_song(), 0);
            played = 0;
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_AudioCallback)->Unit(benchmark::kMicrosecond);

// From Play to the first block of the song handed to the device, plus that
// block's own length: the time until its first frame has certainly sounded.
void BM_StartOfSound(benchmark::State& state) {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    const std::string out = (std::filesystem::temp_directory_path() / "vantrope_bench_disk.raw").string();
    setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
    auto output = make_sdl_output();
    for (auto _ : state) {
        PlaybackCore core;
        core.start(decoded_song(), 0);
        const auto began = std::chrono::steady_clock::now();
        if (!output->open(core)) {
            state.SkipWithError(output->error().c_str());
            break;
        }
        while (core.rendered() == 0) std::this_thread::yield();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
        state.SetIterationTime(seconds + double(kAudioBlockFrames) / kRate);
        output->close();
    }
    std::remove(out.c_str());
}
BENCHMARK(BM_StartOfSound)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

}  // namespace
