// The visualization generators: procedural pictures made from a segment's two
// seeds. Each generator writes colour-table entries into the width x height
// corner of an image, so the same picture is a height map (grey ramp in the
// table) or a colour map (the segment's palette in the table).
//
// Visualization numbers: 0 "Wallpaper for the mind", 1 "Plasma", 2 "Julia
// Set", 3 "Wallpaper squared", 4 "Custom PNG" (no generator).
//
// All seed arithmetic is single precision in a fixed order (the build has no
// fused multiply-add), so pictures are the same on every machine.
#pragma once

#include <cstdint>

#include "gfx/image.h"

// The generators' colour table, installed with copyPalette.
extern uint32_t color[256];

// Converts toward zero, saturating at the int32 range; NaN gives 0. Seeds
// come from typed text and level files, so any float can arrive here.
inline int32_t saturating_trunc(float value) {
    if (value != value) return 0;
    if (value >= 2147483648.0f) return INT32_MAX;
    if (value <= -2147483648.0f) return INT32_MIN;
    return static_cast<int32_t>(value);
}

// fmodf(v, 256.0f) to the bit, without the library's long division.
float fmod256(float v);

// Copies 256 packed colours into `color`.
void copyPalette(const uint32_t* palette);
// Makes the table usable: a table whose last entry is zero becomes the opaque
// grey ramp, and entry 0 is always opaque black. Every generator does this first.
void generatePalette();

// Runs the generator selected by the remainder of `visualization` divided by
// 4 (sign of the number): 1 plasma, 2 Julia, 0 wallpaper, 3/-1/-2/-3 fade.
void generateVisualization(float seedA, float seedB, Image* image, int visualization);

void generateWallpaper(float a, float b, Image* image);
// Prints "Generate plasma". Its random numbers are the C library's rand()
// sequence after srand(int(a)), drawn from a copy of its own (LibcRandom);
// the library's state is left as it was.
void generatePlasma(float a, float b, Image* image);
void generateJulia(float a, float b, Image* image);
void generateFade(float a, float b, Image* image);
