#include "panels/segments_page.h"

#include "app/widget_helpers.h"
#include "panels/song_hooks.h"

#include "app/dialogs.h"
#include "audio/song.h"
#include "document/colour_text.h"
#include "document/records.h"
#include "document/stored_text.h"
#include "panels/palette_map.h"
#include "panels/segment_maps.h"
#include "preview/perspective_preview_ui.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Counter.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Roller.H>
#include <FL/Fl_Round_Button.H>
#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Value_Slider.H>

#include <cstring>
#include <string>

Fl_Counter* levelDuration;
Fl_Counter* levelSegments;
Fl_Value_Input* evoDropRate;
Fl_Value_Input* chaosDropRate;
Fl_Value_Input* initialEvo;
Fl_Value_Input* initialChaos;
Fl_Counter* bpm;
Fl_Input* song;
Fl_Button* detectTempo;
Fl_Button* songBrowse;
Fl_Value_Slider* pathPosition;
Fl_Check_Button* isTunnel;
Fl_Round_Button* buttonLeft;
Fl_Round_Button* buttonFront;
Fl_Round_Button* buttonRight;
Fl_Round_Button* visWallp;
Fl_Round_Button* visJulia;
Fl_Round_Button* visPlasma;
Fl_Round_Button* visWallp2;
Fl_Round_Button* visCustom;
Fl_Button* customHeightButton;
Fl_Button* customColorButton;
Fl_Value_Input* seedA;
Fl_Value_Input* seedB;
Fl_Value_Slider* segHeight;
Fl_Value_Slider* segLength;
Fl_Counter* fogNear;
Fl_Counter* fogFar;
Fl_Input* fogColor;
Fl_Value_Slider* mapPosition;
Fl_Box* mapPreview;
Fl_Button* loadPaletteButton;
Fl_Roller* hueRoller;
Fl_Palette_Map* palettePreview;

namespace {

Segment& active() { return segment[activeSegment]; }

// The song's name is stored on a line of its own in the level file: a name
// with a control character is refused (true) with an alert.
bool refuse_song_name(const char* name) {
    TextFault fault = stored_text_fault(name, std::string::npos);
    if (fault == TextFault::None) return false;
    dialog_alert("%s", stored_text_alert(fault, "The song's file name").c_str());
    return true;
}

// The song field holds the song's name itself, so a typed or pasted change
// that is refused is taken back here, to the text shown before it.
class SongInput : public Fl_Input {
  public:
    using Fl_Input::Fl_Input;
    int handle(int event) override {
        const std::string before = value();
        int used = Fl_Input::handle(event);
        if (before != value() && refuse_song_name(value())) {
            value(before.c_str());
            // Whoever heard of the refused text hears of the one restored.
            if (callback() != Fl_Widget::default_callback && (when() & FL_WHEN_CHANGED)) do_callback();
        }
        return used;
    }
};

void redraw_preview() {
    if (perspectivePreview) perspectivePreview->redraw();
}

Fl_Counter* make_counter(int x, int y, int w, const char* label, double lo, double hi) {
    Fl_Counter* c = new Fl_Counter(x, y, w, 25, label);
    c->align(FL_ALIGN_LEFT);
    c->bounds(lo, hi);
    c->step(0.1);
    c->lstep(1);
    return c;
}

Fl_Value_Input* make_value_input(int x, int y, int w, const char* label) {
    Fl_Value_Input* v = new Fl_Value_Input(x, y, w, 25, label);
    v->align(FL_ALIGN_LEFT);
    return v;
}

Fl_Round_Button* make_radio(int x, int y, int w, const char* label, Fl_Callback* cb) {
    Fl_Round_Button* b = new Fl_Round_Button(x, y, w, 25, label);
    b->type(FL_RADIO_BUTTON);
    b->down_box(FL_ROUND_DOWN_BOX);
    b->callback(cb);
    return b;
}

void make_global_settings() {
    Fl_Group* g = make_frame(20, 85, 430, 177, "Global Level Settings");
    levelDuration = make_counter(200, 92, 170, "Level Duration (in min)", 1, 1024);
    levelSegments = make_counter(200, 120, 170, "Level Segments", 4, 256);
    levelSegments->step(1);
    levelSegments->lstep(16);
    levelSegments->value(8);
    levelSegments->callback(CB(cb_levelSegments));
    bpm = make_counter(200, 148, 170, "Beats per Minute", 1, 1024);
    detectTempo = new Fl_Button(375, 148, 65, 25, "Detect");
    detectTempo->tooltip("Find the song's tempo");
    detectTempo->deactivate();  // until a song is loaded
    evoDropRate = make_value_input(200, 176, 55, "Automatic Evolution Up");
    initialEvo = make_value_input(385, 176, 55, "Initial Evolution");
    chaosDropRate = make_value_input(200, 204, 55, "Automatic Chaos Up");
    initialChaos = make_value_input(385, 204, 55, "Initital Chaos");
    song = new SongInput(200, 232, 200, 25, "Song");
    song->when(FL_WHEN_CHANGED | FL_WHEN_ENTER_KEY_ALWAYS);
    song->callback(CB(cb_song));
    songBrowse = new Fl_Button(405, 232, 35, 25, "...");
    songBrowse->tooltip("Choose the song file");
    songBrowse->callback(CB(cb_songBrowse));
    g->end();
}

void make_segment_settings() {
    Fl_Group* g = make_frame(20, 320, 872, 335, "Segment Settings");

    isTunnel = new Fl_Check_Button(30, 325, 200, 25, "Tunnel, not Landscape");
    isTunnel->down_box(FL_DOWN_BOX);
    isTunnel->callback(CB(cb_isTunnel));

    Fl_Group* camera = make_frame(30, 372, 260, 35, "Camera View");
    // Created Front, Left, Right; laid out Left, Front, Right.
    buttonFront = make_radio(115, 377, 75, "Front", CB(cb_buttonFront));
    buttonLeft = make_radio(40, 377, 70, "Left", CB(cb_buttonLeft));
    buttonRight = make_radio(195, 377, 80, "Right", CB(cb_buttonRight));
    camera->end();

    Fl_Group* vis = make_frame(30, 432, 260, 130, "Visualization");
    visWallp = make_radio(40, 435, 240, "Wallpaper for the mind",
                          CB(cb_visWallp));
    visJulia = make_radio(40, 460, 240, "Julia Set", CB(cb_visJulia));
    visPlasma = make_radio(40, 485, 240, "Plasma", CB(cb_visPlasma));
    visWallp2 = make_radio(40, 510, 240, "Wallpaper squared",
                           CB(cb_visWallp2));
    visCustom = make_radio(40, 535, 120, "Custom PNG", CB(cb_visCustom));
    customHeightButton = new Fl_Button(165, 536, 40, 23, "...");
    customHeightButton->tooltip("Install a custom height map for this segment");
    customColorButton = new Fl_Button(210, 536, 70, 23, "CMap");
    customColorButton->tooltip("Install a custom colour map for this segment");
    vis->end();

    seedA = make_value_input(85, 570, 75, "Seed A");
    seedA->bounds(-5, 5);
    seedA->step(0.001);
    seedA->callback(CB(cb_seedA));
    seedB = make_value_input(215, 570, 75, "Seed B");
    seedB->bounds(-5, 5);
    seedB->step(0.001);
    seedB->callback(CB(cb_seedB));

    segLength = new Fl_Value_Slider(85, 602, 205, 25, "Length");
    segLength->type(FL_HOR_NICE_SLIDER);
    segLength->align(FL_ALIGN_LEFT);
    segLength->bounds(1, 256);
    segLength->step(0.1);
    segLength->value(16);
    segLength->callback(CB(cb_segLength));

    segHeight = new Fl_Value_Slider(300, 330, 35, 290, "Height");
    segHeight->type(FL_VERT_NICE_SLIDER);
    segHeight->bounds(1, 256);
    segHeight->step(0.1);
    segHeight->value(16);
    segHeight->callback(CB(cb_segHeight));

    mapPreview = new Fl_Box(340, 330, 330, 290, "Map Top View Preview");
    mapPreview->box(FL_DOWN_BOX);
    // The picture fills the box; the label sits below it.
    mapPreview->align(FL_ALIGN_BOTTOM | FL_ALIGN_IMAGE_BACKDROP);

    mapPosition = new Fl_Value_Slider(675, 330, 35, 290, "Pos");
    mapPosition->type(FL_VERT_SLIDER);
    mapPosition->bounds(0, 1);
    mapPosition->step(0.01);
    mapPosition->tooltip("Position on the perspective preview map");
    mapPosition->callback(CB(cb_mapPosition));

    Fl_Group* fog = make_frame(717, 345, 172, 142, "Fog");
    fogNear = make_counter(725, 352, 156, "Fog Near", -1000000, 1000000);
    fogNear->align(FL_ALIGN_BOTTOM);
    fogNear->callback(CB(cb_fogNear));
    fogFar = make_counter(725, 395, 156, "Fog Far", -1000000, 1000000);
    fogFar->align(FL_ALIGN_BOTTOM);
    fogFar->callback(CB(cb_fogFar));
    fogColor = new Fl_Input(725, 440, 156, 25, "Fog Color");
    fogColor->align(FL_ALIGN_BOTTOM);
    fogColor->when(FL_WHEN_CHANGED);
    fogColor->callback(CB(cb_fogColor));
    fog->end();

    loadPaletteButton = new Fl_Button(717, 500, 105, 30, "Load Palette...");
    hueRoller = new Fl_Roller(824, 500, 65, 30);
    hueRoller->type(FL_HORIZONTAL);
    hueRoller->bounds(0, 1);
    hueRoller->step(0.002);
    hueRoller->tooltip("Palette hue");
    palettePreview = new Fl_Palette_Map(710, 545, 180, 55, "Palette Preview");
    palettePreview->box(FL_DOWN_BOX);
    palettePreview->align(FL_ALIGN_BOTTOM);

    g->end();
}

}  // namespace

void make_segments_page() {
    make_global_settings();

    pathPosition = new Fl_Value_Slider(150, 272, 740, 25, "Segment Selector");
    pathPosition->type(FL_HOR_SLIDER);
    pathPosition->align(FL_ALIGN_LEFT);
    pathPosition->bounds(0, 16);
    pathPosition->slider_size(1.0 / 16);
    pathPosition->step(1);
    pathPosition->callback(CB(cb_pathPosition));

    make_segment_settings();
    attach_segment_maps(mapPreview, palettePreview, customHeightButton, customColorButton, loadPaletteButton,
                        hueRoller);
}

void set_segment_range(int n) {
    if (n <= 0) return;
    pathPosition->maximum(n - 1);
    pathPosition->slider_size(1.0 / n);
    pathPosition->redraw();
}

void cb_levelSegments(Fl_Counter*, void*) { set_segment_range(static_cast<int>(levelSegments->value())); }

// The song is read again on Enter at once, otherwise after a pause in typing.
void cb_song(Fl_Input*, void*) {
    const bool enter = Fl::event() == FL_KEYBOARD && (Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter);
    song_name_edited(enter);
}

void cb_songBrowse(Fl_Button*, void*) {
    const char* path = dialog_file_chooser("Open Song", "*.{wav,ogg,oga,flac,mp3,opus,aif,aiff}", nullptr, 0);
    if (!path) return;
    const std::string name = song_name_for(path, currentlevel, working_folder());
    if (refuse_song_name(name.c_str())) return;
    song->value(name.c_str());
    reload_song();
}

void cb_pathPosition(Fl_Value_Slider*, void*) {
    int n = static_cast<int>(pathPosition->value());
    if (n < 0) n = 0;
    if (n >= kSegmentCapacity) n = kSegmentCapacity - 1;
    activeSegment = n;
    show_segment();
}

void cb_isTunnel(Fl_Check_Button*, void*) {
    active().isTunnel = isTunnel->value() != 0;
    redraw_preview();
}

void cb_buttonFront(Fl_Round_Button*, void*) {
    if (buttonFront->value()) active().cameraAngle = 0;
    redraw_preview();
}

void cb_buttonLeft(Fl_Round_Button*, void*) {
    if (buttonLeft->value()) active().cameraAngle = 1;
    redraw_preview();
}

void cb_buttonRight(Fl_Round_Button*, void*) {
    if (buttonRight->value()) active().cameraAngle = 2;
    redraw_preview();
}

static void set_visualization(int v) {
    active().visualization = v;
    new_map();
}

void cb_visWallp(Fl_Round_Button*, void*) { set_visualization(0); }
void cb_visPlasma(Fl_Round_Button*, void*) { set_visualization(1); }
void cb_visJulia(Fl_Round_Button*, void*) { set_visualization(2); }
void cb_visWallp2(Fl_Round_Button*, void*) { set_visualization(3); }
void cb_visCustom(Fl_Round_Button*, void*) { set_visualization(4); }

void cb_seedA(Fl_Value_Input*, void*) {
    active().seedA = static_cast<float>(seedA->value());
    new_map();
}

void cb_seedB(Fl_Value_Input*, void*) {
    active().seedB = static_cast<float>(seedB->value());
    new_map();
}

void cb_segHeight(Fl_Value_Slider*, void*) {
    active().scale = static_cast<float>(segHeight->value());
    redraw_preview();
}

void cb_segLength(Fl_Value_Slider*, void*) {
    active().length = static_cast<float>(segLength->value());
    redraw_preview();
}

void cb_fogNear(Fl_Counter*, void*) {
    active().fogNear = static_cast<float>(fogNear->value());
    redraw_preview();
}

void cb_fogFar(Fl_Counter*, void*) {
    active().fogFar = static_cast<float>(fogFar->value());
    redraw_preview();
}

void cb_fogColor(Fl_Input*, void*) {
    uint32_t value;
    // Text that is not "#" and hexadecimal digits leaves the colour as it was.
    if (parse_colour_text(fogColor->value(), value)) active().fogColor = value | 0xFF000000u;
    redraw_preview();
}

void cb_mapPosition(Fl_Value_Slider*, void*) { redraw_preview(); }

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
