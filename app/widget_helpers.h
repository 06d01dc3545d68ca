// Small helpers shared by the code that builds the editor's windows.
#pragma once

#include <FL/Fl_Group.H>

// A callback written for its own widget type, cb_x(Fl_Button*, void*), in
// the form the toolkit stores.
#define CB(f) reinterpret_cast<Fl_Callback*>(f)

// A group drawn as a sunken frame with its label at the top left.
inline Fl_Group* make_frame(int x, int y, int w, int h, const char* label) {
    Fl_Group* g = new Fl_Group(x, y, w, h, label);
    g->box(FL_DOWN_FRAME);
    g->align(FL_ALIGN_TOP_LEFT);
    return g;
}
