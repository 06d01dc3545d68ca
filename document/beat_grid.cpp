#include "document/beat_grid.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kMinSpacing = 4.0;  // pixels between drawn lines

bool positive_finite(double v) { return std::isfinite(v) && v > 0; }

}  // namespace

bool make_beat_grid(double durationMinutes, double segments, double bpm, BeatGrid& grid) {
    if (!positive_finite(durationMinutes) || !positive_finite(segments) || !positive_finite(bpm))
        return false;
    grid.segmentSeconds = durationMinutes * 60.0 / segments;
    grid.beatSeconds = 60.0 / bpm;
    return positive_finite(grid.segmentSeconds) && positive_finite(grid.beatSeconds);
}

double nearest_beat_time(const BeatGrid& grid, int segmentIndex, double t) {
    const double start = segmentIndex * grid.segmentSeconds;
    // The song, and so its beats, starts at beat 0.
    const double beat = std::max(0.0, std::round((start + t * grid.segmentSeconds) / grid.beatSeconds));
    return (beat * grid.beatSeconds - start) / grid.segmentSeconds;
}

std::vector<BeatLine> visible_beats(const BeatGrid& grid, int segmentIndex, float left,
                                    float pixelsPerSegment, int first, int last) {
    std::vector<BeatLine> lines;
    if (!(pixelsPerSegment > 0) || !std::isfinite(pixelsPerSegment) || !std::isfinite(left) ||
        last < first)
        return lines;
    const double spacing = pixelsPerSegment * grid.beatSeconds / grid.segmentSeconds;
    int every = 1;
    if (spacing < kMinSpacing) every = 4;
    if (spacing * every < kMinSpacing) return lines;

    // Song time (in beats) at the view's two edges, one beat of margin for
    // the truncation of columns.
    const double start = segmentIndex * grid.segmentSeconds;
    const double perBeat = grid.beatSeconds / grid.segmentSeconds;  // segment fraction per beat
    const double t0 = (first - static_cast<double>(left)) / pixelsPerSegment;
    const double t1 = (last + 1 - static_cast<double>(left)) / pixelsPerSegment;
    const double b0 = std::floor((start / grid.segmentSeconds + t0) / perBeat) - 1;
    const double b1 = std::ceil((start / grid.segmentSeconds + t1) / perBeat) + 1;
    if (!std::isfinite(b0) || !std::isfinite(b1) || b1 - b0 > 4.0 * (last - first + 8)) return lines;

    for (double b = std::ceil(b0 / every) * every; b <= b1; b += every) {
        if (b < 0) continue;  // the song starts at beat 0
        const float t = static_cast<float>((b * grid.beatSeconds - start) / grid.segmentSeconds);
        const float x = left + pixelsPerSegment * t;
        if (!(x >= first && x < last + 1.0f)) continue;
        lines.push_back({static_cast<int>(x), std::fmod(b, 4.0) == 0});
    }
    return lines;
}
