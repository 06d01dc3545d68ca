// The preview's actors: the player marker, the segment's trigger paths with
// their stage markers, and the enemy models where the enemies are.
//
// Everything is drawn from vertex arrays: the lines and the filled shapes of
// all triggers are gathered and drawn with one call each, then the models
// with one call each, instead of a call per vertex and a batch per shape,
// which software OpenGL makes slow. With the depth test, drawing all lines
// before all shapes rather than trigger by trigger only matters where two
// meet at exactly the same depth. Colours are bytes: 0.6 and 0.2 are
// exactly 153 and 51 of 255, so they show as the float colours would.
#include "preview/perspective_preview_ui.h"

#include "document/model_paths.h"
#include "preview/actors.h"
#include "preview/preview_inputs.h"

#include <FL/gl.h>

#include <cstring>
#include <string>

namespace {

// Packed colours, red in the low byte, alpha 255.
constexpr uint32_t kWhite = 0xFFFFFFFFu;            // (1, 1, 1): player, selected path
constexpr uint32_t kOtherPath = 0xFFFF99FFu;        // (1, 0.6, 1)
constexpr uint32_t kSelectedStage = 0xFF3333FFu;    // (1, 0.2, 0.2); also the selected trigger's missing model
constexpr uint32_t kStage = 0xFF993399u;            // (0.6, 0.2, 0.6); also another trigger's missing model
constexpr uint32_t kOtherStage = 0xFF990099u;       // (0.6, 0, 0.6)

using Vertex = Fl_Perspective_Preview::ColouredVertex;

// Two filled squares of half-size `h` centred on (x, y, z), one facing z,
// then one facing x, as the two triangles of each square's fan.
void add_square_pair(std::vector<Vertex>& out, float x, float y, float z, float h, uint32_t rgba) {
    const Vertex facingZ[4] = {{x - h, y - h, z, rgba}, {x + h, y - h, z, rgba}, {x + h, y + h, z, rgba},
                               {x - h, y + h, z, rgba}};
    const Vertex facingX[4] = {{x, y - h, z - h, rgba}, {x, y - h, z + h, rgba}, {x, y + h, z + h, rgba},
                               {x, y + h, z - h, rgba}};
    for (const Vertex* fan : {facingZ, facingX})
        for (int i : {0, 1, 2, 0, 2, 3}) out.push_back(fan[i]);
}

void draw_vertices(GLenum mode, const std::vector<Vertex>& vertices) {
    if (vertices.empty()) return;
    glVertexPointer(3, GL_FLOAT, sizeof(Vertex), &vertices[0].x);
    glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(Vertex), &vertices[0].rgba);
    glDrawArrays(mode, 0, static_cast<GLsizei>(vertices.size()));
}

}  // namespace

void Fl_Perspective_Preview::drawActors() {
    const double m = preview_map_position();
    const float p = static_cast<float>(256.0 * m * segment[activeSegment].length);
    shapes_.assign({{0.0f, -15.0f, p, kWhite}, {-20.0f, -55.0f, p, kWhite}, {20.0f, -55.0f, p, kWhite},
                    {0.0f, -15.0f, p, kWhite}, {0.0f, -55.0f, p - 20.0f, kWhite}, {0.0f, -55.0f, p + 20.0f, kWhite}});
    lines_.clear();

    struct Placed {
        AnimMesh* mesh;
        float at[3];
    };
    std::vector<Placed> placed;
    int triggers = preview_trigger_count();
    if (triggers > kTriggerCapacity - 1) triggers = kTriggerCapacity - 1;
    for (int n = 1; n <= triggers; n++) {
        const Trigger& t = trigger[n];
        if (t.triggerSegment != activeSegment) continue;
        const bool selected = n == activeTrigger;
        const int stages = t.stageCount < 0 ? 0 : t.stageCount > kStageCapacity ? kStageCapacity : t.stageCount;

        const uint32_t path = selected ? kWhite : kOtherPath;
        for (int s = 0; s + 1 < stages; s++) {
            lines_.push_back({t.stage[s].x, t.stage[s].y, t.stage[s].z, path});
            lines_.push_back({t.stage[s + 1].x, t.stage[s + 1].y, t.stage[s + 1].z, path});
        }
        for (int s = 0; s < stages; s++)
            add_square_pair(shapes_, t.stage[s].x, t.stage[s].y, t.stage[s].z, 5.0f,
                            !selected ? kOtherStage : s == activeStage ? kSelectedStage : kStage);

        Placed model;
        if (!positionOnPath(t, m, model.at)) continue;
        model.mesh = findModel(t.triggerType);
        if (model.mesh)
            placed.push_back(model);
        else
            add_square_pair(shapes_, model.at[0], model.at[1], model.at[2], 15.0f, selected ? kSelectedStage : kStage);
    }

    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    draw_vertices(GL_LINES, lines_);
    draw_vertices(GL_TRIANGLES, shapes_);
    for (const Placed& model : placed) {
        glPushMatrix();
        glTranslatef(model.at[0], model.at[1], model.at[2]);
        drawActor(model.mesh);
        glPopMatrix();
    }
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

AnimMesh* Fl_Perspective_Preview::findModel(const char* name) {
    if (!name) return nullptr;
    const size_t length = std::strlen(name);
    if (length < kModelNameMinLength || length >= sizeof models[0].modelName) return nullptr;
    for (int i = 0; i < modelCount; i++)
        if (std::strcmp(models[i].modelName, name) == 0) return models[i].mesh;

    std::string path;
    AnimMesh* mesh = nullptr;
    for (int folder = 0; folder < kModelFolderCount && !mesh; folder++)
        if (model_path(folder, name, path)) mesh = md2Load(path.c_str());
    if (!mesh) return nullptr;  // not kept: looked for again next time
    mesh->skin = loadPng(model_skin_path(path).c_str());

    // Level after level can bring any number of names: the cache grows.
    if (static_cast<size_t>(modelCount) == models.size()) models.resize(2 * models.size() + 1, ModelCacheEntry{});
    ModelCacheEntry& entry = models[modelCount];
    std::memcpy(entry.modelName, name, length + 1);
    entry.mesh = mesh;
    modelCount++;
    return mesh;
}

// Leaves the vertex and colour arrays enabled, as drawActors has them.
void Fl_Perspective_Preview::drawActor(AnimMesh* mesh) {
    const int frame = mesh ? actorFrame(mesh->frameCount, frameCounter) : -1;
    if (frame < 0 || mesh->triangleCount <= 0) return;
    const size_t corners = 3 * static_cast<size_t>(mesh->triangleCount);
    pose_.resize(corners);
    poseColours_.resize(corners);
    FrameBounds bounds;
    md2GetFractionalFrame(mesh, frame, 1, 0.0f, pose_.data(), &bounds);
    for (size_t k = 0; k < corners; k++) poseColours_[k] = skinColor(mesh->skin, pose_[k].u, pose_[k].v);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(FrameVertex), &pose_[0].x);
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, poseColours_.data());
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(corners));
}
