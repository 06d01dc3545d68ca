// The perspective preview: an OpenGL window showing the active segment.
#pragma once

#include <FL/Fl_Gl_Window.H>

class Fl_Perspective_Preview : public Fl_Gl_Window {
public:
    Fl_Perspective_Preview(int x, int y, int w, int h, const char* label = nullptr);
    ~Fl_Perspective_Preview() override;

protected:
    void draw() override;
};

extern Fl_Perspective_Preview* perspectivePreview;

// Creates the preview window at 500, 800 (480 x 272), titled
// "Vantrope Perspective Preview", and shows it.
void perspective_preview();
