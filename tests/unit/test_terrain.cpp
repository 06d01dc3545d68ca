// The preview's terrain mesh, its camera and the map-position drag.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "maps/generators.h"
#include "preview/camera.h"
#include "preview/terrain.h"

namespace {

using ImagePtr = std::unique_ptr<Image, void (*)(Image*)>;

Segment test_segment(bool tunnel, float scale, float length) {
    Segment s;
    default_segment(s);
    s.isTunnel = tunnel;
    s.scale = scale;
    s.length = length;
    for (uint32_t i = 0; i < 256; i++) s.palette[i] = 0x00A00000u + i;
    return s;
}

}  // namespace

TEST(TerrainMesh, StripLayoutWorkedHeightsAndColourMapRule) {
    ImagePtr heights(newImage(256, 256), freeImage), sameSize(newImage(256, 256), freeImage),
        smaller(newImage(128, 128), freeImage), shorter(newImage(256, 128), freeImage);
    for (int y = 0; y < 256; y++)
        for (int x = 0; x < 256; x++) {
            heights->pixels[y * 256 + x] = (x + y) & 0xFF;
            sameSize->pixels[y * 256 + x] = 0xFF000000u | (y << 8) | x;  // names its pixel
        }
    for (int grid : {128, 100, 64}) {
        const int step = 256 / grid;
        const Segment s = test_segment(false, 100, 2.5f);
        std::vector<TerrainVertex> mesh(grid * grid * 2, TerrainVertex{});
        buildTerrainMesh(s, heights.get(), sameSize.get(), grid, mesh.data());
        for (int k = 0; k < 2 * grid * (grid - 1); k++) {  // strip r, column c, rows r and r + 1 in turn
            const int r = k / (2 * grid), c = k % (2 * grid) / 2, i = r + k % 2, h = (i + c) * step & 0xFF;
            const TerrainVertex& v = mesh[k];
            ASSERT_EQ(v.packedColor, sameSize->pixels[i * step * 256 + c * step]) << grid << " " << k;
            ASSERT_TRUE(v.position[0] == float((i - grid / 2) * step) * 2.5f && v.position[2] == float(c * step) * 2.5f);
            // Index 255 is at -155; index 0 at -155 - scale.
            ASSERT_FLOAT_EQ(v.position[1], -155.0f - (255 - h) / 255.0f * 100) << grid << " " << k;
        }
        for (int k = 2 * grid * (grid - 1); k < 2 * grid * grid; k++) ASSERT_EQ(mesh[k].packedColor, 0u);  // unused
    }
    for (Image* other : {smaller.get(), shorter.get(), static_cast<Image*>(nullptr)}) {  // no colour map of the height map's size
        std::vector<TerrainVertex> mesh(128 * 128 * 2);
        const Segment s = test_segment(false, 16, 1);
        buildTerrainMesh(s, heights.get(), other, 128, mesh.data());
        EXPECT_EQ(mesh[terrainVertexIndex(128, 5, 9, true)].packedColor, s.palette[30]);  // pixel (18, 12)
    }
}

TEST(TerrainMesh, TunnelRadiusAndAngle) {
    ImagePtr heights(newImage(256, 256), freeImage);
    for (int x = 0; x < 256; x++) heights->pixels[x] = 255;  // row 0 at index 255, the rest at 0
    for (int grid : {128, 64}) {
        const Segment s = test_segment(true, 100, 3);
        std::vector<TerrainVertex> mesh(grid * grid * 2);
        buildTerrainMesh(s, heights.get(), nullptr, grid, mesh.data());
        for (int i : {0, 1, grid / 3, grid - 1}) {
            const TerrainVertex& v = mesh[terrainVertexIndex(grid, i == grid - 1 ? i - 1 : i, 7, i == grid - 1)];
            const double angle = 2 * ((grid / 4 + i) / double(grid - 2) * M_PI);
            EXPECT_NEAR(std::remainder(std::atan2(v.position[1], v.position[0]) - angle, 2 * M_PI), 0, 1e-5) << grid << " " << i;
            EXPECT_FLOAT_EQ(std::hypot(v.position[0], v.position[1]), i == 0 ? 180 : 280) << grid << " " << i;
        }
    }
    // The height map comes from the generator through a grey ramp: the fade's index at (3, 4) is 25.
    Segment s = test_segment(false, 16, 1);
    s.visualization = 3;
    s.seedA = s.seedB = 0;
    Image* generated = nullptr;
    terrainHeights(s, 0, "", generated);
    EXPECT_EQ(generated->pixels[4 * 256 + 3], 0x191919u);
    freeImage(generated);
}

TEST(PreviewCamera, ViewsOrbitMapPositionAndDrag) {
    EXPECT_EQ(previewMapDistance(0.5, 128, 1.0f), 128.0f);
    EXPECT_EQ(previewMapDistance(0.3, 128, 15.0f), 2.0f * (128.0f * 0.3f) * 15.0f);
    const float pos = 128;
    const struct {
        int angle;
        float pitch, yaw;
        double eye[3];
    } rows[] = {{0, 0, 0, {0, 85, pos - 155}}, {1, 0, 0, {-155, 85, pos}}, {2, 0, 0, {155, 85, pos}},
                {7, 0, 0, {0, 85, pos - 155}}, {2, 0, 0.5f, {155 * sin(0.5), 0, pos - 155 * cos(0.5)}},
                {1, 0.3f, -0.2f, {155 * cos(0.3) * sin(-0.2), 155 * sin(0.3), pos - 155 * cos(0.3) * cos(-0.2)}}};
    for (const auto& row : rows) {
        const PreviewCamera c = previewCamera(row.angle, pos, row.pitch, row.yaw);
        for (int i = 0; i < 3; i++) EXPECT_NEAR(c.eye[i], row.eye[i], 1e-4) << row.angle << " " << row.pitch << " " << i;
        EXPECT_TRUE(c.target[0] == 0 && c.target[1] == 0 && c.target[2] == pos);
    }
    const struct {
        float start;
        int startY, eventY, height;
        float result;
    } drags[] = {{0.0f, 271, 0, 272, 271.0f / 272}, {0.5f, 272, 0, 272, 1.0f}, {0.5f, 100, 168, 272, 0.25f},
                 {0.2f, 0, 200, 272, 0.0f}, {0.7f, 5, 50, 0, 0.7f}};
    for (const auto& d : drags) EXPECT_FLOAT_EQ(dragMapPosition(d.start, d.startY, d.eventY, d.height), d.result) << d.eventY;
}
