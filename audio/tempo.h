// Finding a song's tempo. aubio's beat tracker gives a first, coarse
// estimate; the tempo is then fitted finely to the whole song's onset
// strength, whose periodicity also decides whether the song has a steady
// beat at all.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

struct TempoEstimate {
    bool found = false;      // false: silence, noise, too short, or cancelled
    bool cancelled = false;
    double bpm = 0;          // only when found
    double clarity = 0;      // how clearly the onsets repeat at the beat; found from 5 up
};

// Estimates the tempo of `frames` mono samples at `rate` Hz. Stops early,
// with cancelled set, once `cancel` (when given) becomes true.
TempoEstimate detect_tempo(const float* mono, std::size_t frames, int rate,
                           const std::atomic<bool>* cancel = nullptr);
// The same for interleaved 16-bit frames of `channels` channels, mixed to
// mono as it goes (no copy of the song).
TempoEstimate detect_tempo(const int16_t* samples, std::size_t frames, int channels, int rate,
                           const std::atomic<bool>* cancel = nullptr);
