#include "preview/perspective_preview_ui.h"

#include "document/records.h"

#include <FL/gl.h>

#include <cstdio>

Fl_Perspective_Preview* perspectivePreview = nullptr;

Fl_Perspective_Preview::Fl_Perspective_Preview(int x, int y, int w, int h, const char* label)
    : Fl_Gl_Window(x, y, w, h, label) {
    std::puts("perspective preview constructor");
    std::fflush(stdout);
}

Fl_Perspective_Preview::~Fl_Perspective_Preview() = default;

void Fl_Perspective_Preview::draw() {
    if (!valid()) glViewport(0, 0, w(), h());
    // The fog colour is also the background.
    uint32_t fog = segment[activeSegment].fogColor;
    glClearColor((fog & 0xFF) / 255.0f, ((fog >> 8) & 0xFF) / 255.0f, ((fog >> 16) & 0xFF) / 255.0f,
                 1.0f);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void perspective_preview() {
    perspectivePreview = new Fl_Perspective_Preview(500, 800, 480, 272, "Vantrope Perspective Preview");
    perspectivePreview->end();
    perspectivePreview->show();
}
