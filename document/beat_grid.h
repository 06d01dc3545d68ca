// The song's beats on a segment's time axis. A level lasts `duration`
// minutes over `segments` equal segments; beats fall every 60 / bpm seconds
// from the start of the song, so segment s starts s segment-lengths in.
#pragma once

#include <vector>

struct BeatGrid {
    double segmentSeconds = 0;
    double beatSeconds = 0;
};

// False (no grid) when the duration, the segment count or the tempo is zero,
// negative or not a finite number.
bool make_beat_grid(double durationMinutes, double segments, double bpm, BeatGrid& grid);

// The stage time (fraction of segment `segmentIndex`) of the beat nearest to
// stage time `t`; never a beat before the song's start.
double nearest_beat_time(const BeatGrid& grid, int segmentIndex, double t);

struct BeatLine {
    int column;
    bool bar;  // every fourth beat of the song
};

// The beat lines a time view shows between columns first..last (inclusive),
// where stage time t lies at column truncate(left + pixelsPerSegment x t).
// Beats closer than 4 pixels are left out except bars; bars closer than 4
// pixels as well. At most one line per 4 columns, whatever the zoom.
std::vector<BeatLine> visible_beats(const BeatGrid& grid, int segmentIndex, float left,
                                    float pixelsPerSegment, int first, int last);
