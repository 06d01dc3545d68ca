// Songs that the tests and benchmarks make themselves: mono float samples
// of a steady beat (clicks, or a kick, snare and hi-hat pattern), of white
// noise, or of silence.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

enum class TestBeat { clicks, drums, noise, silence };

// A fixed white noise in -1..1, the same on every run.
struct TestNoise {
    uint32_t state = 12345;
    float next() {
        state = state * 1664525u + 1013904223u;
        return static_cast<float>(state >> 8) / 8388608.0f - 1.0f;
    }
};

// `seconds` of `kind` at `bpm`: beat n at sample round(n x 60 / bpm x rate).
// Clicks: 5 ms of 1 kHz on every beat. Drums: a kick (a falling sine) on
// beats 0 and 2 of each bar, a snare (noise and a 200 Hz tone) on beats 1
// and 3, and a hi-hat (differenced noise) on every eighth note.
inline std::vector<float> make_test_song(TestBeat kind, double bpm, double seconds, int rate = 44100) {
    std::vector<float> v(static_cast<size_t>(seconds * rate), 0.0f);
    TestNoise noise;
    if (kind == TestBeat::noise) {
        for (float& x : v) x = 0.5f * noise.next();
    }
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
                return (0.5 * noise.next() + 0.3 * std::sin(2 * M_PI * 200 * t)) * std::exp(-t * 25);
            });
        for (double half : {0.0, 0.5}) {
            float previous = 0;
            add(static_cast<size_t>(std::lround((n + half) * beat * rate)), 0.04, [&](double t) {
                const float w = noise.next(), d = w - previous;
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
