// Slower playback: the song is resampled, not time-stretched. Each output
// frame advances the song by `step` song frames (1, 0.75, 0.5, 0.25), and a
// song frame between two stored ones is interpolated linearly, so the
// pitch drops with the speed. At speed 1 from a whole frame the output is
// the song's own samples.
#pragma once

#include <cstdint>

// The speeds offered, fastest first, with their labels.
constexpr int kPlaySpeedCount = 4;
constexpr double kPlaySpeeds[kPlaySpeedCount] = {1.0, 0.75, 0.5, 0.25};
constexpr const char* kPlaySpeedLabels[kPlaySpeedCount] = {"100%", "75%", "50%", "25%"};

// Fills `frames` stereo frames of `out`: output frame k plays song position
// position + k x step, interpolated between its two neighbouring frames of
// the `songFrames` stored ones (interleaved, `channels` a frame; mono plays
// on both sides, of more channels the even ones are mixed on the left and
// the odd ones on the right). Output frames at or past the song's end are
// silent. Returns the number of frames that played song.
int resample_stereo(const int16_t* samples, int64_t songFrames, int channels, double position,
                    double step, int16_t* out, int frames);
