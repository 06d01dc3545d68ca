#include "audio/resample.h"

#include <cmath>

namespace {

// Song frame `frame` as a stereo pair.
void stereo_frame(const int16_t* samples, int channels, int64_t frame, int16_t* out) {
    const int16_t* s = samples + frame * channels;
    switch (channels) {
    case 1: out[0] = out[1] = s[0]; return;
    case 2: out[0] = s[0]; out[1] = s[1]; return;
    default: {
        int left = 0, right = 0;
        for (int c = 0; c < channels; c += 2) left += s[c];
        for (int c = 1; c < channels; c += 2) right += s[c];
        out[0] = static_cast<int16_t>(left / ((channels + 1) / 2));
        out[1] = static_cast<int16_t>(right / (channels / 2));
    }
    }
}

}  // namespace

int resample_stereo(const int16_t* samples, int64_t songFrames, int channels, double position,
                    double step, int16_t* out, int frames) {
    const double end = static_cast<double>(songFrames);
    int played = 0;
    for (int k = 0; k < frames; k++) {
        int16_t* o = out + 2 * k;
        // From the block's start, not summed frame by frame, so that no
        // rounding accumulates over a block.
        const double at = position + k * step;
        if (!(at >= 0 && at < end)) {
            o[0] = o[1] = 0;
            continue;
        }
        const int64_t i = static_cast<int64_t>(at);
        const double f = at - static_cast<double>(i);
        stereo_frame(samples, channels, i, o);
        if (f > 0 && i + 1 < songFrames) {
            int16_t next[2];
            stereo_frame(samples, channels, i + 1, next);
            for (int c = 0; c < 2; c++)
                o[c] = static_cast<int16_t>(std::lround(o[c] + (next[c] - o[c]) * f));
        }
        played++;
    }
    return played;
}
