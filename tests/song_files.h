// Songs the tests and benchmarks make themselves: written with libsndfile
// (16-bit WAV, FLAC, Ogg Vorbis or AIFF) from a signal, or steady beats
// (clicks, or a kick, snare and hi-hat pattern), white noise or silence; and
// where clicks start in what the disk driver recorded.
#pragma once

#include "audio/audio_output.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

// Sample (frame, channel) of a test song.
using SongSignal = std::function<int16_t(int64_t frame, int channel)>;

inline std::vector<int16_t> song_samples(int64_t frames, int channels, const SongSignal& signal) {
    std::vector<int16_t> s(static_cast<size_t>(frames * channels));
    for (int64_t f = 0; f < frames; f++)
        for (int c = 0; c < channels; c++) s[static_cast<size_t>(f * channels + c)] = signal(f, c);
    return s;
}

// Writes the song; `format` is a libsndfile major format (SF_FORMAT_WAV,
// SF_FORMAT_FLAC, SF_FORMAT_OGG). True when written.
inline bool put_song(const std::string& path, int format, int rate, int channels, const std::vector<int16_t>& samples) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format | (format == SF_FORMAT_OGG ? SF_FORMAT_VORBIS : SF_FORMAT_PCM_16);
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) return false;
    const sf_count_t frames = static_cast<sf_count_t>(samples.size()) / channels;
    // In blocks: libsndfile's Vorbis encoder takes a block on its stack.
    bool written = true;
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

// Silence with a full-scale square burst from second `from` to `to`.
inline SongSignal burst(double from, double to, int rate) {
    return [=](int64_t f, int) -> int16_t {
        if (f < from * rate || f >= to * rate) return 0;
        return (f / 8) % 2 ? 30000 : -30000;
    };
}

// The stereo 16-bit frames in the disk driver's file `path`, less the whole
// blocks of silence that SDL may write before the device is started.
inline std::vector<int16_t> played_frames(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    std::vector<int16_t> s(bytes.size() / 2);
    std::memcpy(s.data(), bytes.data(), 2 * s.size());
    const size_t block = 2 * kAudioBlockFrames;
    size_t lead = 0;
    while (lead + block <= s.size() && std::all_of(s.begin() + lead, s.begin() + lead + block, [](int16_t v) { return v == 0; }))
        lead += block;
    return std::vector<int16_t>(s.begin() + lead, s.end());
}

enum class TestBeat { clicks, drums, noise, silence };

// `seconds` of `kind` at `bpm`: beat n at sample round(n x 60 / bpm x rate).
// Clicks: 5 ms of 1 kHz on every beat. Drums: a kick (a falling sine) on
// beats 0 and 2 of each bar, a snare (noise and a 200 Hz tone) on beats 1
// and 3, and a hi-hat (differenced noise) on every eighth note.
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
        if (kind == TestBeat::clicks) {
            add(at, 0.005, [](double t) { return 0.8 * std::sin(2 * M_PI * 1000 * t) * (1 - t / 0.005); });
            continue;
        }
        if (n % 2 == 0)
            add(at, 0.15, [](double t) {
                return 0.8 * std::sin(2 * M_PI * (50 + 100 * std::exp(-t * 30)) * t) * std::exp(-t * 20);
            });
        else
            add(at, 0.12, [&](double t) {
                return (0.5 * noise() + 0.3 * std::sin(2 * M_PI * 200 * t)) * std::exp(-t * 25);
            });
        for (double half : {0.0, 0.5}) {
            float previous = 0;
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

// The output frames of interleaved stereo `out` where a click starts: a left
// sample other than `quiet` after at least 20 frames of `quiet`.
inline std::vector<int> click_starts(const std::vector<int16_t>& out, int16_t quiet = 0) {
    std::vector<int> starts;
    for (int k = 0, still = 20; k < static_cast<int>(out.size() / 2); k++) {
        if (out[2 * k] != quiet && still >= 20) starts.push_back(k);
        still = out[2 * k] == quiet ? still + 1 : 0;
    }
    return starts;
}

// Where the clicks of the beats (every `beat` song frames from 0) belong in
// `frames` output frames that play from song frame `start` at `step` song
// frames each: the first output frame at or past each beat.
inline std::vector<int> beat_starts(double beat, double start, double step, int frames) {
    std::vector<int> starts;
    for (double n = std::ceil(start / beat);; n++) {
        const int k = static_cast<int>(std::ceil((n * beat - start) / step));
        if (k >= frames) return starts;
        starts.push_back(k);
    }
}
