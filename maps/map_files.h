// Toolkit-free helpers of the segment map commands: custom map file names,
// copying a chosen map into place, and the RGB map preview.
#pragma once

#include <string>

#include "gfx/image.h"

// The custom height map (colorMap false) or colour map path of a segment: the
// level path from its last "." on is replaced by "seg<n>height.png" or
// "seg<n>color.png"; a path without "." is replaced whole. Returns false, and
// leaves `out` alone, when the result would be longer than 255 characters.
bool custom_map_path(const char* levelPath, int segmentIndex, bool colorMap, std::string& out);

// Copies a file byte for byte. Returns 0 on success and -1 when either file
// cannot be opened or a read or write fails. The destination is only created
// or truncated once the source is open, and copying a file onto itself
// (the same path, or the same device and inode) leaves it intact and returns 0.
int file_copy(const char* source, const char* destination);

// Side of the square map preview.
constexpr int kMapPreviewSize = 256;

// Fills `raw` (256 x 256 pixels, 3 bytes each, row-major) with the map
// transposed and scaled: preview row r, column c shows the map pixel at
// column r * width / 256, row c * height / 256; bytes are bits 0-7, 8-15, 16-23.
void map_preview_rgb(const Image* map, unsigned char* raw);
