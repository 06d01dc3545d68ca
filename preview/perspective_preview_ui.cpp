#include "preview/perspective_preview_ui.h"

#include "preview/camera.h"
#include "preview/preview_inputs.h"

#include <FL/Fl.H>
#include <FL/gl.h>
#include <GL/glu.h>

#include <cstdio>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

Fl_Perspective_Preview* perspectivePreview = nullptr;

namespace {

constexpr int kInitialModelCache = 256;

}  // namespace

Fl_Perspective_Preview::Fl_Perspective_Preview(int x, int y, int w, int h, const char* label)
    : Fl_Gl_Window(x, y, w, h, label), models(kInitialModelCache, ModelCacheEntry{}) {
    std::puts("perspective preview constructor");
    std::fflush(stdout);
#if defined(__GLIBC__)
    // Software OpenGL allocates and frees buffers of some megabytes for
    // every draw. With the C library's defaults each is taken from the
    // kernel and given back, faulting in fresh pages on every redraw, which
    // made a redraw three times slower; the editor is small, so freed memory
    // is kept for reuse instead.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
#endif
}

Fl_Perspective_Preview::~Fl_Perspective_Preview() {
    for (int i = 0; i < modelCount; i++) delete models[i].mesh;
    freeImage(heightImage);
}

void Fl_Perspective_Preview::genTerrain() {
    terrain.assign(static_cast<size_t>(gridSize) * gridSize * 2, TerrainVertex{});
    const Segment& s = segment[activeSegment];
    terrainHeights(s, activeSegment, currentlevel, heightImage);
    buildTerrainMesh(s, heightImage, preview_colour_map(), gridSize, terrain.data());
}

void genTerrain() {
    if (perspectivePreview) perspectivePreview->genTerrain();
}

void Fl_Perspective_Preview::drawTerrainGL() {
    genTerrain();
    if (terrain.empty()) return;
    // One triangle strip per pair of map rows, drawn from the mesh itself:
    // colours as unsigned bytes (alpha 1), normals, positions. The picture
    // is that of sending a vertex at a time with float colours (but for a
    // pixel here and there one step apart in a colour channel), with a
    // hundredth of the calls.
    const TerrainVertex* first = terrain.data();
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glColorPointer(3, GL_UNSIGNED_BYTE, sizeof(TerrainVertex), &first->packedColor);
    glNormalPointer(GL_FLOAT, sizeof(TerrainVertex), first->normal);
    glVertexPointer(3, GL_FLOAT, sizeof(TerrainVertex), first->position);
    for (int r = 0; r + 1 < gridSize; r++)
        glDrawArrays(GL_TRIANGLE_STRIP, terrainVertexIndex(gridSize, r, 0, false), 2 * gridSize);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

void Fl_Perspective_Preview::draw() {
    frameCounter++;
    if (!valid()) {
        glViewport(0, 0, w(), h());
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45.0, h() > 0 ? static_cast<double>(w()) / h() : 1.0, 2.0, 1024.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glShadeModel(GL_SMOOTH);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    }
    glLoadIdentity();

    const Segment& s = segment[activeSegment];
    const float pos = previewMapDistance(preview_map_position(), gridSize, s.length);
    const PreviewCamera camera = previewCamera(s.cameraAngle, pos, cameraPitch, cameraYaw);
    gluLookAt(camera.eye[0], camera.eye[1], camera.eye[2], camera.target[0], camera.target[1], camera.target[2],
              0.0, 1.0, 0.0);

    // The fog colour is also the background.
    const uint32_t fog = s.fogColor;
    const GLfloat fogColour[4] = {(fog & 0xFF) / 255.0f, ((fog >> 8) & 0xFF) / 255.0f,
                                  ((fog >> 16) & 0xFF) / 255.0f, 1.0f};
    glClearColor(fogColour[0], fogColour[1], fogColour[2], fogColour[3]);
    glClearDepth(1.0);
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogfv(GL_FOG_COLOR, fogColour);
    glFogf(GL_FOG_START, s.fogNear);
    glFogf(GL_FOG_END, s.fogFar);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_CULL_FACE);

    // The terrain fades into the fog between fogNear and fogFar; the
    // actors stay clear of it.
    glEnable(GL_FOG);
    drawTerrainGL();
    glDisable(GL_FOG);
    drawActors();
}

int Fl_Perspective_Preview::handle(int event) {
    static bool editPos = false;
    static float opos = 0.0f;
    static int ox = 0, oy = 0;
    switch (event) {
        case FL_PUSH:
            editPos = Fl::event_state(FL_BUTTON3) != 0;
            opos = static_cast<float>(preview_map_position());
            ox = Fl::event_x();
            oy = Fl::event_y();
            break;
        case FL_DRAG:
            if (editPos) {
                preview_set_map_position(dragMapPosition(opos, oy, Fl::event_y(), h()));
            } else {
                cameraYaw = static_cast<float>((Fl::event_x() - ox) * 0.01);
                cameraPitch = static_cast<float>((Fl::event_y() - oy) * 0.01);
            }
            break;
        case FL_RELEASE:
            cameraPitch = 0.0f;
            cameraYaw = 0.0f;
            break;
        default:
            return 0;
    }
    redraw();
    return 1;
}

void perspective_preview() {
    perspectivePreview = new Fl_Perspective_Preview(500, 800, 480, 272, "Vantrope Perspective Preview");
    perspectivePreview->end();
    perspectivePreview->show();
}
