// A segment's map as the editor computes it, for writing out: the height
// index picture, or the coloured map.
#pragma once

#include <string>

#include "gfx/image.h"

struct SegmentRender {
    Image* map = nullptr;  // 256 x 256, the caller frees it; null on failure
    std::string error;     // why there is no map
    std::string warning;   // something the map was made without
};

// Renders segment `index` of the level in the global records. Generated
// segments run their generator; Custom PNG segments read the maps named
// after `levelPath`. Grey: every pixel is the opaque grey of its height
// index. Colour: the picture the map preview shows for a generated segment
// (the generator with the segment's palette); for a Custom PNG segment the
// colour map, or without a usable one the palette entry of each height.
SegmentRender render_segment(const char* levelPath, int index, bool colour);

// Writes a rendered map as a PNG file: 8-bit grey (the low byte of each
// pixel) or RGB, fast to compress. False, leaving no file, when any step fails.
bool write_map_png(const char* path, const Image* map, bool grey);
