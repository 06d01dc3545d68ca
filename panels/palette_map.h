// A strip showing the active segment's 256-entry palette from left to right.
#pragma once

#include <FL/Fl_Box.H>

class Fl_Palette_Map : public Fl_Box {
public:
    Fl_Palette_Map(int x, int y, int w, int h, const char* label = nullptr);

protected:
    void draw() override;
};
