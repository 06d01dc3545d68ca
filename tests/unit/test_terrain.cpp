// The preview's terrain mesh, its camera and the map-position drag.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "maps/generators.h"
#include "preview/camera.h"
#include "preview/terrain.h"

namespace {

using ImagePtr = std::unique_ptr<Image, void (*)(Image*)>;
ImagePtr make_image(int w, int h) { return ImagePtr(newImage(w, h), freeImage); }

Segment test_segment(bool tunnel, float scale, float length) {
    Segment s;
    default_segment(s);
    s.isTunnel = tunnel;
    s.scale = scale;
    s.length = length;
    for (uint32_t i = 0; i < 256; i++) s.palette[i] = 0x00A00000u + i;
    return s;
}

std::vector<TerrainVertex> build(const Segment& s, const Image* heights, const Image* colours, int grid = 128) {
    std::vector<TerrainVertex> mesh(grid * grid * 2, TerrainVertex{});
    buildTerrainMesh(s, heights, colours, grid, mesh.data());
    return mesh;
}

float radius(const TerrainVertex& v) { return std::hypot(v.position[0], v.position[1]); }

}  // namespace

TEST(TerrainMesh, WorkedHeightsInLandscapeAndTunnel) {
    ImagePtr heights = make_image(256, 256);
    for (uint32_t i = 0; i < 256 * 256; i++) heights->pixels[i] = 0xFF;  // index 255 everywhere
    heights->pixels[6 * 256 + 4] = 0;                                    // row 3, column 2 of the grid
    const struct {
        bool tunnel;
        float scale;
        int h;       // height index
        float y;     // landscape height, or tunnel radius
    } rows[] = {{false, 50, 255, -155}, {false, 100, 0, -255}, {true, 50, 255, 180}, {true, 100, 0, 280}};
    for (const auto& row : rows) {
        const Segment s = test_segment(row.tunnel, row.scale, 1.0f);
        const std::vector<TerrainVertex> mesh = build(s, heights.get(), nullptr);
        // Row 3 is the upper row of strip 2 and the lower row of strip 3.
        const int column = row.h == 0 ? 2 : 5;
        for (const TerrainVertex& v : {mesh[terrainVertexIndex(128, 2, column, true)], mesh[terrainVertexIndex(128, 3, column, false)]}) {
            EXPECT_FLOAT_EQ(row.tunnel ? radius(v) : v.position[1], row.y) << row.tunnel << " " << row.h;
            EXPECT_EQ(v.packedColor, s.palette[row.h]);
            EXPECT_EQ(v.normal[1], 1.0f);
        }
    }
}

TEST(TerrainMesh, TunnelRowsGoRoundColumnsGoAlong) {
    ImagePtr heights = make_image(256, 256);
    const Segment s = test_segment(true, 50, 3.0f);
    for (int grid : {128, 64, 32}) {
        const std::vector<TerrainVertex> mesh = build(s, heights.get(), nullptr, grid);
        for (int i : {0, 1, grid / 3, grid - 1}) {
            const double angle = 2 * ((grid / 4 + i) / double(grid - 2) * M_PI);
            const TerrainVertex& v = mesh[terrainVertexIndex(grid, i == grid - 1 ? i - 1 : i, 7, i == grid - 1)];
            EXPECT_NEAR(std::remainder(std::atan2(v.position[1], v.position[0]) - angle, 2 * M_PI), 0, 1e-5) << grid << " " << i;
            EXPECT_EQ(v.position[2], 7 * (256 / grid) * 3.0f);
        }
    }
}

TEST(TerrainMesh, StripLayoutAndColourMapSizeRule) {
    ImagePtr heights = make_image(256, 256);
    ImagePtr sameSize = make_image(256, 256), smaller = make_image(128, 128);
    for (int y = 0; y < 256; y++)
        for (int x = 0; x < 256; x++) {
            heights->pixels[y * 256 + x] = (x + y) & 0xFF;
            sameSize->pixels[y * 256 + x] = 0xFF000000u | (y << 8) | x;  // names its pixel
        }
    const Segment s = test_segment(false, 16, 2.5f);
    for (int grid : {128, 100, 64}) {
        const int step = 256 / grid;
        const std::vector<TerrainVertex> mesh = build(s, heights.get(), sameSize.get(), grid);
        for (int r = 0; r + 1 < grid; r++)
            for (int c = 0; c < grid; c++)
                for (int upper = 0; upper < 2; upper++) {
                    const TerrainVertex& v = mesh[2 * (r * grid + c) + upper];
                    const int i = r + upper;
                    ASSERT_EQ(v.packedColor, sameSize->pixels[i * step * 256 + c * step]) << grid << " " << r << " " << c;
                    ASSERT_EQ(v.position[0], float((i - grid / 2) * step) * 2.5f);
                    ASSERT_EQ(v.position[2], float(c * step) * 2.5f);
                }
        // The last row of vertices is left as allocated.
        for (int k = 2 * grid * (grid - 1); k < 2 * grid * grid; k++) ASSERT_EQ(mesh[k].packedColor, 0u);
    }
    for (const Image* other : {smaller.get(), static_cast<Image*>(nullptr)}) {
        const std::vector<TerrainVertex> mesh = build(s, heights.get(), other);
        EXPECT_EQ(mesh[terrainVertexIndex(128, 5, 9, true)].packedColor, s.palette[(18 + 12) & 0xFF]);
    }
}

TEST(TerrainHeights, GreyRampGeneratorAndCustomMaps) {
    const std::string dir = testing::TempDir();
    const std::string level = dir + "/heights.level.txt";
    Segment s = test_segment(false, 16, 1);
    s.visualization = 3;  // squared distance from (-a, -b)
    s.seedA = s.seedB = 0;
    for (int i = 0; i < 256; i++) s.palette[i] = 0x123456;  // not used for heights
    Image* heights = nullptr;
    terrainHeights(s, 2, level.c_str(), heights);
    ASSERT_NE(heights, nullptr);
    EXPECT_EQ(heights->pixels[4 * 256 + 3] & 0xFF, 25u);
    EXPECT_EQ(heights->pixels[0] & 0xFF, 0u);

    // Custom PNG: the level's seg2height.png, only at 256 x 256.
    std::vector<uint32_t> picture(256 * 256, 0xFF000077u);
    const std::string path = dir + "/heights.levelseg2height.png";
    saveImagePng(path.c_str(), picture.data(), 100, 256, 256, 1);  // a 128-word buffer
    s.visualization = 4;
    Image* before = heights;
    terrainHeights(s, 2, level.c_str(), heights);
    EXPECT_EQ(heights, before);
    saveImagePng(path.c_str(), picture.data(), 256, 256, 256, 1);
    terrainHeights(s, 2, level.c_str(), heights);
    EXPECT_EQ(heights->pixels[100 * 256 + 100] & 0xFF, 0x77u);
    freeImage(heights);
    std::remove(path.c_str());
}

TEST(PreviewCamera, ViewsOrbitAndMapPosition) {
    EXPECT_EQ(previewMapDistance(0.5, 128, 1.0f), 128.0f);
    EXPECT_EQ(previewMapDistance(1.0, 128, 15.0f), 3840.0f);
    EXPECT_EQ(previewMapDistance(0.3, 128, 15.0f), 2.0f * (128.0f * 0.3f) * 15.0f);
    const float pos = 128;
    const struct {
        int angle;
        float pitch, yaw;
        double eye[3];
    } rows[] = {
        {0, 0, 0, {0, 85, pos - 155}}, {1, 0, 0, {-155, 85, pos}}, {2, 0, 0, {155, 85, pos}}, {7, 0, 0, {0, 85, pos - 155}},
        {1, 0.3f, -0.2f, {155 * cos(0.3) * sin(-0.2), 155 * sin(0.3), pos - 155 * cos(0.3) * cos(-0.2)}},
        {2, 0, 0.5f, {155 * sin(0.5), 0, pos - 155 * cos(0.5)}},
    };
    for (const auto& row : rows) {
        const PreviewCamera c = previewCamera(row.angle, pos, row.pitch, row.yaw);
        for (int i = 0; i < 3; i++) EXPECT_NEAR(c.eye[i], row.eye[i], 1e-4) << row.angle << " " << row.pitch << " " << i;
        EXPECT_TRUE(c.target[0] == 0 && c.target[1] == 0 && c.target[2] == pos);
    }
}

TEST(PreviewCamera, MapPositionDragIsClamped) {
    const struct {
        float start;
        int startY, eventY, height;
        float result;
    } rows[] = {{0.0f, 271, 0, 272, 271.0f / 272}, {0.5f, 272, 0, 272, 1.0f}, {0.5f, 100, 168, 272, 0.25f},
                {0.2f, 0, 200, 272, 0.0f},          {0.4f, 10, 10, 272, 0.4f}, {0.7f, 5, 50, 0, 0.7f}};
    for (const auto& r : rows) EXPECT_FLOAT_EQ(dragMapPosition(r.start, r.startY, r.eventY, r.height), r.result) << r.startY << " " << r.eventY;
}
