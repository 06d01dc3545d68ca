// The metronome: a short click mixed into the played sound at every beat of
// the level's beat grid, louder and higher at the start of each bar.
//
// The output runs at the song's rate; an output block maps to the song by
// the song frame of its first output frame and the song frames that one
// output frame advances (the playback speed). The click of beat n starts at
// the first output frame whose song position is at or past n x 60 / bpm
// seconds into the song, so it lands sample-exact at any speed, and it
// always sounds the same: its length and pitch are in output time.
#pragma once

#include <cstdint>

// Where the level's beats are; the metronome is silent unless the tempo,
// the duration and the segment count make a beat grid.
struct ClickGrid {
    double bpm = 0;
    double durationMinutes = 0;
    double segments = 0;
};

// A click still sounding at the end of a block, carried into the next one
// (so clicks straddle blocks, whatever the speed of the next one).
struct ClickTail {
    int played = 0;  // output frames of the click already mixed
    int length = 0;  // 0: no click sounding
    bool bar = false;
};

constexpr double kClickSeconds = 0.004;  // at most; never longer than a quarter beat

// Mixes the clicks of the beats whose song time falls in this block's
// stretch [songFrame, songFrame + frames x step) into `stereo` (interleaved
// 16-bit left/right), adding with saturation; first finishes `tail`.
void mix_clicks(int16_t* stereo, int frames, int rate, double songFrame, double step,
                const ClickGrid& grid, ClickTail& tail);
