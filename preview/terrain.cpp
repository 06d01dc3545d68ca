#include "preview/terrain.h"

#include <cmath>
#include <string>

#include "maps/generators.h"
#include "maps/map_files.h"

void terrainHeights(const Segment& s, int segmentIndex, const char* levelPath, Image*& heightImage) {
    if (!heightImage) heightImage = newImage(256, 256);
    uint32_t grey[256];
    for (uint32_t i = 0; i < 256; i++) grey[i] = i * 0x010101u;
    copyPalette(grey);

    if (s.visualization != 4) {
        generateVisualization(s.seedA, s.seedB, heightImage, s.visualization);
        return;
    }
    std::string path;
    if (!custom_map_path(levelPath, segmentIndex, false, path)) return;
    Image* loaded = loadPng(path.c_str());
    if (loaded && loaded->texWidth == 256 && loaded->texHeight == 256) {
        freeImage(heightImage);
        heightImage = loaded;
    } else {
        freeImage(loaded);
    }
}

void buildTerrainMesh(const Segment& s, const Image* heightImage, const Image* colorMap, int gridSize,
                      TerrainVertex* terrain) {
    if (!heightImage || !terrain || gridSize < 2 || gridSize > 256) return;
    if (heightImage->texWidth < 256 || heightImage->texHeight < 256) return;
    const int step = 256 / gridSize;
    const uint32_t stride = heightImage->texWidth;
    const bool useColorMap = colorMap && colorMap->texWidth != 0 && colorMap->texWidth == heightImage->texWidth &&
                             colorMap->texHeight == heightImage->texHeight;

    // Height depends on the index alone; in a tunnel the angle on the row alone.
    float heightOf[256];
    for (int h = 0; h < 256; h++) heightOf[h] = static_cast<float>(h - 255) * 0.003921569f * s.scale - 155.0f;

    for (int r = 0; r + 1 < gridSize; r++)
        for (int upper = 0; upper < 2; upper++) {
            const int i = r + upper;
            const float rowX = static_cast<float>((i - gridSize / 2) * step) * s.length;
            float cosine = 0, sine = 0;
            if (s.isTunnel) {
                const float angle =
                    2.0f * (static_cast<float>(gridSize / 4 + i) / static_cast<float>(gridSize - 2) * 3.1415927f);
                cosine = std::cos(angle);
                sine = std::sin(angle);
            }
            const size_t rowStart = static_cast<size_t>(i * step) * stride;
            for (int c = 0; c < gridSize; c++) {
                const size_t pixel = rowStart + static_cast<size_t>(c * step);
                const uint32_t h = heightImage->pixels[pixel] & 0xFF;
                TerrainVertex& v = terrain[terrainVertexIndex(gridSize, r, c, upper)];
                v.packedColor = useColorMap ? colorMap->pixels[pixel] : s.palette[h];
                float x = rowX;
                float y = heightOf[h];
                if (s.isTunnel) {
                    const float radius = 25.0f - y;
                    x = cosine * radius;
                    y = radius * sine;
                }
                v.position[0] = x;
                v.position[1] = y;
                v.position[2] = static_cast<float>(c * step) * s.length;
                v.normal[0] = 0.0f;
                v.normal[1] = 1.0f;
                v.normal[2] = 0.0f;
            }
        }
}
