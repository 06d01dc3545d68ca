// Songs written by the tests with libsndfile: interleaved 16-bit samples of
// known content in WAV, FLAC or Ogg Vorbis.
#pragma once

#include "audio/audio_output.h"

#include <sndfile.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
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
