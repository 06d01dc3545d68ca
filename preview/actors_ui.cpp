// The preview's actors: the player marker, the segment's trigger paths with
// their stage markers, and the enemy models where the enemies are.
#include "preview/perspective_preview_ui.h"

#include "panels/segments_page.h"
#include "panels/targets_page.h"
#include "preview/actors.h"
#include "preview/model_paths.h"

#include <FL/Fl_Browser.H>
#include <FL/Fl_Value_Slider.H>
#include <FL/gl.h>

#include <cstring>
#include <string>

namespace {

struct Rgb {
    float r, g, b;
};

const Rgb kWhite = {1.0f, 1.0f, 1.0f};
const Rgb kOtherPath = {1.0f, 0.6f, 1.0f};
const Rgb kSelectedStage = {1.0f, 0.2f, 0.2f};  // also the selected trigger's missing model
const Rgb kStage = {0.6f, 0.2f, 0.6f};          // also another trigger's missing model
const Rgb kOtherStage = {0.6f, 0.0f, 0.6f};

void colour(const Rgb& c) { glColor4f(c.r, c.g, c.b, 1.0f); }

// Two filled squares of half-size `h` centred on (x, y, z): one facing z,
// then one facing x.
void square_pair(float x, float y, float z, float h) {
    glBegin(GL_TRIANGLE_FAN);
    glVertex3f(x - h, y - h, z);
    glVertex3f(x + h, y - h, z);
    glVertex3f(x + h, y + h, z);
    glVertex3f(x - h, y + h, z);
    glEnd();
    glBegin(GL_TRIANGLE_FAN);
    glVertex3f(x, y - h, z - h);
    glVertex3f(x, y - h, z + h);
    glVertex3f(x, y + h, z + h);
    glVertex3f(x, y + h, z - h);
    glEnd();
}

void player_marker(float p) {
    colour(kWhite);
    glBegin(GL_TRIANGLES);
    glVertex3f(0.0f, -15.0f, p);
    glVertex3f(-20.0f, -55.0f, p);
    glVertex3f(20.0f, -55.0f, p);
    glVertex3f(0.0f, -15.0f, p);
    glVertex3f(0.0f, -55.0f, p - 20.0f);
    glVertex3f(0.0f, -55.0f, p + 20.0f);
    glEnd();
}

}  // namespace

void Fl_Perspective_Preview::drawActors() {
    const double m = mapPosition ? mapPosition->value() : 0.0;
    player_marker(static_cast<float>(256.0 * m * segment[activeSegment].length));

    int triggers = triggerList ? triggerList->size() : 0;
    if (triggers > kTriggerCapacity - 1) triggers = kTriggerCapacity - 1;
    for (int n = 1; n <= triggers; n++) {
        const Trigger& t = trigger[n];
        if (t.triggerSegment != activeSegment) continue;
        const bool selected = n == activeTrigger;
        const int stages = t.stageCount < 0 ? 0 : t.stageCount > kStageCapacity ? kStageCapacity : t.stageCount;

        colour(selected ? kWhite : kOtherPath);
        for (int s = 0; s + 1 < stages; s++) {
            glBegin(GL_LINES);
            glVertex3f(t.stage[s].x, t.stage[s].y, t.stage[s].z);
            glVertex3f(t.stage[s + 1].x, t.stage[s + 1].y, t.stage[s + 1].z);
            glEnd();
        }
        for (int s = 0; s < stages; s++) {
            colour(!selected ? kOtherStage : s == activeStage ? kSelectedStage : kStage);
            square_pair(t.stage[s].x, t.stage[s].y, t.stage[s].z, 5.0f);
        }

        float at[3];
        if (!positionOnPath(t, m, at)) continue;
        if (AnimMesh* mesh = findModel(t.triggerType)) {
            glPushMatrix();
            glTranslatef(at[0], at[1], at[2]);
            drawActor(mesh);
            glPopMatrix();
        } else {
            colour(selected ? kSelectedStage : kStage);
            square_pair(at[0], at[1], at[2], 15.0f);
        }
    }
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

void Fl_Perspective_Preview::drawActor(AnimMesh* mesh) {
    const int frame = mesh ? actorFrame(mesh->frameCount, frameCounter) : -1;
    if (frame < 0) return;
    pose_.resize(3 * static_cast<size_t>(mesh->triangleCount));
    FrameBounds bounds;
    md2GetFractionalFrame(mesh, frame, 1, 0.0f, pose_.data(), &bounds);
    glBegin(GL_TRIANGLES);
    for (const FrameVertex& v : pose_) {
        const uint32_t c = skinColor(mesh->skin, v.u, v.v);
        glColor4f((c & 0xFF) / 255.0f, ((c >> 8) & 0xFF) / 255.0f, ((c >> 16) & 0xFF) / 255.0f, (c >> 24) / 255.0f);
        glVertex3f(v.x, v.y, v.z);
    }
    glEnd();
}
