#include "audio/beat_click.h"

#include "document/beat_grid.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kBeatHz = 1000.0, kBarHz = 2000.0;
constexpr double kBeatLevel = 0.35, kBarLevel = 0.6;  // of full scale
constexpr int kBeatsPerBar = 4;

int16_t saturate(int v) { return static_cast<int16_t>(std::clamp(v, -32768, 32767)); }

// Frames j = from .. to - 1 of a click of `length` frames, mixed in from
// output frame `at`: a cosine (full at its first frame, so the click starts
// sharply) fading out linearly.
void mix(int16_t* stereo, int at, int from, int to, int length, bool bar, int rate) {
    const double hz = bar ? kBarHz : kBeatHz, level = (bar ? kBarLevel : kBeatLevel) * 32767.0;
    for (int j = from; j < to; j++, at++) {
        const double v = level * std::cos(2.0 * M_PI * hz * j / rate) * (1.0 - static_cast<double>(j) / length);
        const int s = static_cast<int>(std::lround(v));
        stereo[2 * at] = saturate(stereo[2 * at] + s);
        stereo[2 * at + 1] = saturate(stereo[2 * at + 1] + s);
    }
}

}  // namespace

void mix_clicks(int16_t* stereo, int frames, int rate, double songFrame, double step,
                const ClickGrid& grid, ClickTail& tail) {
    if (frames <= 0) return;
    if (tail.length > 0) {
        const int n = std::min(frames, tail.length - tail.played);
        mix(stereo, 0, tail.played, tail.played + n, tail.length, tail.bar, rate);
        tail.played += n;
        if (tail.played >= tail.length) tail = ClickTail{};
    }

    BeatGrid beats;
    if (rate <= 0 || !(step > 0) || !std::isfinite(songFrame) ||
        !make_beat_grid(grid.durationMinutes, grid.segments, grid.bpm, beats))
        return;
    const double beatFrames = beats.beatSeconds * rate;  // song frames
    // In output frames: a quarter beat at this speed, or the click's length.
    const double quarter = beatFrames / 4 / step;
    const int length = static_cast<int>(std::min(kClickSeconds * rate, quarter));
    if (length < 1) return;  // a tempo too fast to click

    // The beats in this block's stretch of song. Each block owns the beats
    // of its own half-open stretch, so no click is lost or doubled between
    // blocks.
    const double end = songFrame + frames * step;
    for (double n = std::max(0.0, std::ceil(songFrame / beatFrames)); n * beatFrames < end; n++) {
        if (n * beatFrames < songFrame) continue;
        const int at = std::clamp(static_cast<int>(std::ceil((n * beatFrames - songFrame) / step)), 0, frames - 1);
        const bool bar = std::fmod(n, kBeatsPerBar) == 0;
        const int here = std::min(length, frames - at);
        mix(stereo, at, 0, here, length, bar, rate);
        if (here < length) tail = ClickTail{here, length, bar};
    }
}
