// The preview's terrain mesh, its camera and the map-position drag.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "maps/generators.h"
#include "preview/camera.h"
#include "preview/terrain.h"

using ImagePtr = std::unique_ptr<Image, void (*)(Image*)>;

// Strip r, column c holds rows r and r + 1 in turn; index 255 lies at -155, index 0 at -155 - scale; a tunnel
// bends row i round the axis, 25 - height from it, at the angle 2 pi (grid / 4 + i) / (grid - 2).
TEST(TerrainMesh, StripLayoutLandscapeTunnelColourMapRuleAndHeights) {
    Segment s;
    default_segment(s);
    s.scale = 100;
    s.length = 2.5f;
    for (uint32_t i = 0; i < 256; i++) s.palette[i] = 0x00A00000u + i;
    ImagePtr heights(newImage(256, 256), freeImage), colours(newImage(256, 256), freeImage);
    for (int k = 0; k < 256 * 256; k++) {
        heights->pixels[k] = (k / 256 + k % 256) & 0xFF;
        colours->pixels[k] = 0xFF000000u | k;  // names its pixel
    }
    for (bool tunnel : {false, true})
        for (int grid : {128, 100, 64}) {
            s.isTunnel = tunnel;
            const int step = 256 / grid;
            std::vector<TerrainVertex> mesh(grid * grid * 2, TerrainVertex{});
            buildTerrainMesh(s, heights.get(), colours.get(), grid, mesh.data());
            for (int k = 0; k < 2 * grid * (grid - 1); k++) {
                const int r = k / (2 * grid), c = k % (2 * grid) / 2, i = r + k % 2, h = (i + c) * step & 0xFF;
                const double y = -155 - (255 - h) / 255.0 * 100, angle = 2 * M_PI * (grid / 4 + i) / (grid - 2);
                const double want[3] = {tunnel ? (25 - y) * std::cos(angle) : (i - grid / 2) * step * 2.5,
                                        tunnel ? (25 - y) * std::sin(angle) : y, c * step * 2.5};
                ASSERT_EQ(mesh[k].packedColor, colours->pixels[i * step * 256 + c * step]) << grid << " " << k;
                for (int a = 0; a < 3; a++) ASSERT_NEAR(mesh[k].position[a], want[a], 1e-3) << tunnel << grid << " " << k;
            }
            for (int k = 2 * grid * (grid - 1); k < 2 * grid * grid; k++) ASSERT_EQ(mesh[k].packedColor, 0u);  // unused
        }
    s.visualization = 3;  // heights from the generator through a grey ramp: the fade's index at (3, 4) is 25
    s.seedA = s.seedB = 0;
    Image* generated = nullptr;
    terrainHeights(s, 0, "", generated);
    EXPECT_EQ(generated->pixels[4 * 256 + 3], 0x191919u);
    freeImage(generated);
}

// Eyes by camera angle (7 is the front), pitch and yaw, looking at the map position on the axis; a drag
// moves the map position by its share of the window's height, within 0..1.
TEST(PreviewCamera, ViewsOrbitMapPositionAndDrag) {
    EXPECT_EQ(previewMapDistance(0.5, 128, 1.0f), 128.0f);
    EXPECT_EQ(previewMapDistance(0.3, 100, 15.0f), 900.000061f);  // 900 in double
    const float pos = 128;
    const struct { int angle; float pitch, yaw; double eye[3]; } rows[] = {
        {0, 0, 0, {0, 85, pos - 155}}, {1, 0, 0, {-155, 85, pos}}, {2, 0, 0, {155, 85, pos}}, {7, 0, 0, {0, 85, pos - 155}},
        {2, 0, 0.5f, {155 * sin(0.5), 0, pos - 155 * cos(0.5)}},
        {1, 0.3f, -0.2f, {155 * cos(0.3) * sin(-0.2), 155 * sin(0.3), pos - 155 * cos(0.3) * cos(-0.2)}}};
    for (const auto& row : rows) {
        const PreviewCamera c = previewCamera(row.angle, pos, row.pitch, row.yaw);
        for (int i = 0; i < 3; i++) EXPECT_NEAR(c.eye[i], row.eye[i], 1e-4) << row.angle << " " << row.pitch << " " << i;
        EXPECT_TRUE(c.target[0] == 0 && c.target[1] == 0 && c.target[2] == pos);
    }
    const struct { float start; int startY, eventY, height; float result; } drags[] = {
        {0.0f, 271, 0, 272, 271.0f / 272}, {0.5f, 272, 0, 272, 1.0f}, {0.5f, 100, 168, 272, 0.25f},
        {0.2f, 0, 200, 272, 0.0f},         {0.7f, 5, 50, 0, 0.7f}};
    for (const auto& d : drags) EXPECT_FLOAT_EQ(dragMapPosition(d.start, d.startY, d.eventY, d.height), d.result) << d.eventY;
}
