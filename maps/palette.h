// Segment palettes: the 256-entry palette computed from one hue value, and
// the palette taken from the pixels of a picture.
#pragma once

#include <cstdint>

#include "gfx/image.h"

// Fills palette[0..255] with the palette of `hue` (0..1; 0 and 1 agree): a
// dark-to-full ramp of one secondary colour in entries 0..127, then a climb
// toward light grey in 128..255. Alpha bytes are 0; no channel exceeds 144
// for hues in 0..1, and a hue outside that range cannot spill one channel
// into the next.
void hue_palette_values(float hue, uint32_t* palette);

// Replaces the active segment's palette with the palette of `hue`.
void hue_palette(float hue);

// Copies the picture's pixels, row by row from inside its width x height
// corner, into palette entries 0..255. A picture of fewer than 256 pixels
// leaves the remaining entries as they were.
void palette_from_image(const Image* picture, uint32_t* palette);
