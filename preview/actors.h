// What the preview needs to place and colour the enemies: where a trigger's
// enemy is at a map position, which frame of its model to show, and the
// colour of the skin under a texture coordinate.
#pragma once

#include <cstdint>

#include "document/records.h"
#include "gfx/image.h"

// The enemy's position at map position m: on the first leg k with stage
// times t(k) <= m <= t(k + 1) (compared in double precision), the fraction
// (m - t(k)) / (t(k + 1) - t(k)) of the way from stage k to stage k + 1, or
// at stage k when the two times are equal. False, leaving `out` alone, when
// m lies on no leg (before the first time, after the last, or a trigger of
// fewer than two stages).
bool positionOnPath(const Trigger& t, double m, float out[3]);

// The frame drawn at redraw number `counter`: models of more than 195
// frames cycle through frames 40..45, smaller ones through all their frames.
// -1 for a model without frames.
int actorFrame(int frameCount, uint32_t counter);

// The skin pixel under texture coordinate (u, v) as a packed colour, opaque
// white without a skin. u and v scale to the skin's width and height,
// truncate toward zero and wrap into the skin with a remainder, so
// coordinates outside 0..1 repeat the skin; infinities and NaN take column
// or row 0.
uint32_t skinColor(const Image* skin, float u, float v);
