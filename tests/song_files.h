// Songs the tests and benchmarks write themselves with libsndfile, and where
// clicks start in what SDL's disk driver recorded.
#pragma once

#include "audio/audio_output.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

using SongSignal = std::function<int16_t(int64_t frame, int channel)>;  // a test song's samples

inline std::vector<int16_t> song_samples(int64_t frames, int channels, const SongSignal& signal) {
    std::vector<int16_t> s(static_cast<size_t>(frames * channels));
    for (size_t i = 0; i < s.size(); i++)
        s[i] = signal(static_cast<int64_t>(i) / channels, static_cast<int>(i % channels));
    return s;
}

// 16-bit `format` (SF_FORMAT_WAV, _FLAC, _AIFF; Vorbis for SF_FORMAT_OGG); true when written.
inline bool put_song(const std::string& path, int format, int rate, int channels, const std::vector<int16_t>& samples) {
    SF_INFO info{};
    info.samplerate = rate, info.channels = channels;
    info.format = format | (format == SF_FORMAT_OGG ? SF_FORMAT_VORBIS : SF_FORMAT_PCM_16);
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) return false;
    const sf_count_t frames = static_cast<sf_count_t>(samples.size()) / channels;
    bool written = true;  // in blocks: libsndfile's Vorbis encoder takes a block on its stack
    for (sf_count_t at = 0; at < frames && written; at += 4096) {
        const sf_count_t n = std::min<sf_count_t>(4096, frames - at);
        written = sf_writef_short(file, samples.data() + at * channels, n) == n;
    }
    return sf_close(file) == 0 && written;
}

inline bool put_song(const std::string& path, int format, int rate, int channels, int64_t frames,
                     const SongSignal& signal) {
    return put_song(path, format, rate, channels, song_samples(frames, channels, signal));
}

// A tone of `hz` at amplitude `amp` on every channel.
inline SongSignal tone(double hz, double amp, int rate) {
    return [=](int64_t f, int) {
        return static_cast<int16_t>(std::lround(amp * std::sin(2 * M_PI * hz * static_cast<double>(f) / rate)));
    };
}

// The stereo frames in the disk driver's file, less whole blocks of silence before the device starts.
inline std::vector<int16_t> played_frames(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    std::vector<int16_t> s(in ? static_cast<size_t>(in.tellg()) / 2 : 0);
    in.seekg(0).read(reinterpret_cast<char*>(s.data()), static_cast<std::streamsize>(2 * s.size()));
    const size_t block = 2 * kAudioBlockFrames;
    size_t lead = 0;
    while (lead + block <= s.size() && std::all_of(s.begin() + lead, s.begin() + lead + block, [](int16_t v) { return v == 0; }))
        lead += block;
    return std::vector<int16_t>(s.begin() + lead, s.end());
}

enum class TestBeat { drums, noise, silence };

// `seconds` of `kind` at `bpm`, beat n at sample round(n x 60 / bpm x rate). Drums: a kick (a falling
// sine) on beats 0 and 2 of a bar, a snare (noise and 200 Hz) on 1 and 3, a hi-hat on every eighth.
inline std::vector<float> make_test_song(TestBeat kind, double bpm, double seconds, int rate = 44100) {
    std::vector<float> v(static_cast<size_t>(seconds * rate), 0.0f);
    uint32_t state = 12345;  // a fixed white noise in -1..1, the same on every run
    const auto noise = [&state] {
        return static_cast<float>((state = state * 1664525u + 1013904223u) >> 8) / 8388608.0f - 1.0f;
    };
    if (kind == TestBeat::noise)
        for (float& x : v) x = 0.5f * noise();
    if (kind == TestBeat::noise || kind == TestBeat::silence) return v;
    const auto add = [&](size_t start, double length, auto sound) {
        for (size_t i = 0; i < length * rate && start + i < v.size(); i++)
            v[start + i] += static_cast<float>(sound(static_cast<double>(i) / rate));
    };
    const double beat = 60.0 / bpm;
    for (int n = 0; n * beat < seconds; n++) {
        const size_t at = static_cast<size_t>(std::lround(n * beat * rate));
        if (n % 2 == 0)
            add(at, 0.15, [](double t) {
                return 0.8 * std::sin(2 * M_PI * (50 + 100 * std::exp(-t * 30)) * t) * std::exp(-t * 20);
            });
        else
            add(at, 0.12, [&](double t) {
                return (0.5 * noise() + 0.3 * std::sin(2 * M_PI * 200 * t)) * std::exp(-t * 25);
            });
        for (double half : {0.0, 0.5}) {
            float previous = 0;  // the hi-hat: differenced noise
            add(static_cast<size_t>(std::lround((n + half) * beat * rate)), 0.04, [&](double t) {
                const float w = noise(), d = w - previous;
                previous = w;
                return 0.25 * d * std::exp(-t * 90);
            });
        }
    }
    return v;
}

// The same as mono 16-bit samples.
inline std::vector<int16_t> make_test_pcm(TestBeat kind, double bpm, double seconds, int rate = 44100) {
    std::vector<int16_t> pcm;
    for (float v : make_test_song(kind, bpm, seconds, rate)) pcm.push_back(static_cast<int16_t>(std::lround(v * 25000)));
    return pcm;
}

// Frames of stereo `out` where a click starts: a left sample not `quiet` after 20 frames of `quiet`.
inline std::vector<int> click_starts(const std::vector<int16_t>& out, int16_t quiet = 0) {
    std::vector<int> starts;
    for (int k = 0, still = 20; k < static_cast<int>(out.size() / 2); k++) {
        if (out[2 * k] != quiet && still >= 20) starts.push_back(k);
        still = out[2 * k] == quiet ? still + 1 : 0;
    }
    return starts;
}

// Where clicks of beats every `beat` song frames belong in `frames` output frames played from song frame
// `start` at `step` song frames each: the first output frame at or past each beat.
inline std::vector<int> beat_starts(double beat, double start, double step, int frames) {
    std::vector<int> starts;
    for (double n = std::ceil(start / beat);; n++) {
        const int k = static_cast<int>(std::ceil((n * beat - start) / step));
        if (k >= frames) return starts;
        starts.push_back(k);
    }
}
