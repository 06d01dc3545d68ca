#include "maps/segment_maps_ui.h"

#include "document/colour_text.h"
#include "document/records.h"
#include "maps/palette_map_ui.h"
#include "panels/segments_page.h"
#include "preview/perspective_preview_ui.h"

#include <FL/Fl_Box.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Counter.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Round_Button.H>
#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Value_Slider.H>

#include <cstdio>

void new_map() {
    std::puts("New map generated.");
    std::fflush(stdout);
    if (perspectivePreview) perspectivePreview->redraw();
}

void show_segment() {
    const Segment& s = segment[activeSegment];
    Fl_Round_Button* vis;
    switch (s.visualization) {
        case 1: vis = visPlasma; break;
        case 2: vis = visJulia; break;
        case 3: vis = visWallp2; break;
        case 4: vis = visCustom; break;
        default: vis = visWallp; break;
    }
    vis->setonly();
    Fl_Round_Button* camera;
    switch (s.cameraAngle) {
        case 1: camera = buttonLeft; break;
        case 2: camera = buttonRight; break;
        default: camera = buttonFront; break;
    }
    camera->setonly();
    isTunnel->value(s.isTunnel ? 1 : 0);
    segHeight->value(s.scale);
    segLength->value(s.length);
    seedA->value(s.seedA);
    seedB->value(s.seedB);
    fogNear->value(s.fogNear);
    fogFar->value(s.fogFar);
    fogColor->value(format_colour_text(s.fogColor).c_str());
    palettePreview->redraw();
    new_map();
}

void attach_segment_map_callbacks() {}
