// The preview's terrain: the active segment's height map as a grid of
// triangle strips, flat (landscape) or bent around the view (tunnel).
#pragma once

#include <cstdint>

#include "document/records.h"
#include "gfx/image.h"

struct TerrainVertex {
    uint32_t packedColor;  // red bits 0-7, green 8-15, blue 16-23
    float position[3];
    float normal[3];
};
static_assert(sizeof(TerrainVertex) == 28, "seven 32-bit words");

// Index of the vertex of map row r + 1 (upper = true) or r, column c, in
// strip r: the strip's vertices alternate between its two rows.
inline int terrainVertexIndex(int gridSize, int strip, int column, bool upper) {
    return 2 * (strip * gridSize + column) + (upper ? 1 : 0);
}

// Makes *heightImage the segment's height map, with a grey ramp installed in
// the generators' table so that every pixel's low byte is its height index:
// the generated visualization, or for Custom PNG the level's custom height
// map of segment `segmentIndex` when it loads at 256 x 256 (otherwise the
// previous picture stays). Creates the 256 x 256 image when it is null.
void terrainHeights(const Segment& s, int segmentIndex, const char* levelPath, Image*& heightImage);

// Fills strips 0 .. gridSize - 2 of `terrain` (gridSize x gridSize x 2
// vertices) from every (256 / gridSize)-th pixel of the height map. Colours
// come from the segment's palette, or from `colorMap` when it has the height
// map's buffer size. Landscape rows run across the view and columns along
// it; a tunnel bends the rows into circles, higher indices nearer the axis.
// gridSize must be 2 .. 256 and the height map at least 256 x 256 words;
// otherwise nothing is written.
void buildTerrainMesh(const Segment& s, const Image* heightImage, const Image* colorMap, int gridSize,
                      TerrainVertex* terrain);
