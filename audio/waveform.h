// The song's waveform for the time views: a min/max pyramid over the song's
// samples with the channels mixed (their mean, truncated toward zero), so
// that the lowest and highest mixed sample of any stretch of frames is
// found in time logarithmic in its length, and a whole view is drawn in
// time proportional to its width at every zoom.
//
// Level 0 holds one min/max pair per 16 frames, level i per 16 x 2^i
// frames: about half a byte per frame in all. Stretches shorter than a
// block are read from the samples themselves, so every answer is exact.
#pragma once

#include "audio/song.h"

#include <cstdint>
#include <memory>
#include <vector>

struct WaveRange {
    int16_t lo, hi;
};

class WavePyramid {
public:
    static constexpr int64_t kBlock = 16;

    WavePyramid() = default;
    explicit WavePyramid(std::shared_ptr<const Song> song);

    // Lowest and highest mixed sample of frames [first, last); the frames
    // must lie in the song and first < last.
    WaveRange range(int64_t first, int64_t last) const;
    size_t bytes() const;

private:
    std::shared_ptr<const Song> song_;
    std::vector<std::vector<WaveRange>> levels_;
};

// The mean of a frame's channels, truncated toward zero.
int16_t mixed_sample(const Song& song, int64_t frame);

struct WaveColumn {
    bool present;  // false past the song's end
    WaveRange range;
};

// The waveform of `columns` pixel columns: column c covers song seconds
// [start + c x secondsPerColumn, start + (c + 1) x secondsPerColumn) and
// shows the frames that begin in it, or, when none does (high zoom), the
// frame sounding at its start.
void waveform_columns(const Song& song, const WavePyramid& wave, double start, double secondsPerColumn,
                      int columns, std::vector<WaveColumn>& out);

// The rows of a column's min/max in a view whose middle row is `middle` and
// whose half height is `half` pixels: full scale reaches `half` - 1.
int wave_row(int middle, int half, int16_t sample);
