// The perspective preview: an OpenGL window showing the active segment's
// terrain from its camera view at the map position, with the player marker,
// the paths of the segment's triggers and their enemy models.
#pragma once

#include <FL/Fl_Gl_Window.H>

#include <cstdint>
#include <vector>

#include "document/records.h"
#include "preview/md2.h"
#include "preview/terrain.h"

// Packed colours go to OpenGL as red, green, blue (, alpha) bytes in memory order.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "packed colours are read as bytes");

// A loaded enemy model and the trigger type it was asked for under.
struct ModelCacheEntry {
    char modelName[kTextCapacity];
    AnimMesh* mesh;
};

class Fl_Perspective_Preview : public Fl_Gl_Window {
public:
    Fl_Perspective_Preview(int x, int y, int w, int h, const char* label = nullptr);
    ~Fl_Perspective_Preview() override;

    // Rebuilds the height map and the terrain mesh for the active segment.
    void genTerrain();
    // Rebuilds the terrain and draws it.
    void drawTerrainGL();
    // The player marker, and the paths, stage markers and enemies of the
    // active segment's triggers at the map position.
    void drawActors();
    // The model for a trigger type, loaded once from the model folders with
    // its skin; null for names under five characters and models not found
    // (looked for again next time).
    AnimMesh* findModel(const char* name);
    // One model at the current origin, in the frame for this redraw,
    // coloured from its skin.
    void drawActor(AnimMesh* mesh);

    // Right-button drag: map position; other buttons: orbit until release.
    int handle(int event) override;

    // A vertex of the lines and filled shapes drawActors gathers, with its
    // colour as red, green, blue, alpha bytes.
    struct ColouredVertex {
        float x, y, z;
        uint32_t rgba;
    };

    std::vector<TerrainVertex> terrain;  // gridSize x gridSize x 2; empty until built
    Image* heightImage = nullptr;        // 256 x 256
    int32_t gridSize = 128;
    float cameraPitch = 0.0f;  // orbit while dragging, radians
    float cameraYaw = 0.0f;
    std::vector<ModelCacheEntry> models;  // grows when full
    int32_t modelCount = 0;
    uint32_t frameCounter = 0;  // one more per draw; drives the animation

protected:
    void draw() override;

private:
    std::vector<FrameVertex> pose_;  // drawActor's scratch
    std::vector<uint32_t> poseColours_;
    std::vector<ColouredVertex> lines_, shapes_;
};

extern Fl_Perspective_Preview* perspectivePreview;

// Creates the preview window at 500, 800 (480 x 272), titled
// "Vantrope Perspective Preview", and shows it.
void perspective_preview();
// Rebuilds the preview's terrain, when there is a preview.
void genTerrain();
