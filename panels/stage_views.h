// The stage views of the "Targets" page: the selected trigger's path seen
// from the front (x, y), from the side (y against depth) and from the top
// (x against depth). The mouse places the selected stage. The side and top
// views are time views: their horizontal axis is the progress through the
// trigger's segment, zoomed and scrolled with the controls around them, with
// the song's waveform and beats drawn behind the path and, while the song
// plays, a playhead at the song time.
#pragma once

#include <FL/Fl_Box.H>

class Fl_Button;
class Fl_Check_Button;
class Fl_Slider;
class Fl_Value_Output;

class Fl_StageXY : public Fl_Box {
public:
    Fl_StageXY(int x, int y, int w, int h, const char* label = nullptr);
    void draw() override;
    int handle(int event) override;
};

class Fl_StageZTrigger : public Fl_Box {
public:
    Fl_StageZTrigger(int x, int y, int w, int h, const char* label = nullptr);
    void draw() override;
    int handle(int event) override;
    // true: the side view (y against depth); false: the top view (x).
    void setView(bool side);

    bool editZ = false;  // this press drags the stage point, not its time
    bool view = true;
    float scale = 1.0f;  // the view shows 1 / scale of the segment
    float base = 0.0f;   // segment fraction at the left edge
};

extern Fl_StageXY* stageXY;
extern Fl_StageZTrigger* stageYZTrigger;
extern Fl_StageZTrigger* stageXZTrigger;
extern Fl_Slider* scrollYZTrigger;
extern Fl_Slider* scrollXZTrigger;
extern Fl_Value_Output* valueYZTriggerBase;
extern Fl_Value_Output* valueYZTriggerScale;
extern Fl_Value_Output* valueXZTriggerBase;
extern Fl_Value_Output* valueXZTriggerScale;
// "Beats": shows or hides the beat grid of both time views.
extern Fl_Check_Button* beatGridButton;
// "Wave": shows or hides the song's waveform in both time views.
extern Fl_Check_Button* waveButton;

// Builds the three views with their read-outs, zoom buttons and scroll
// sliders inside the currently open group.
void make_stage_views();
// A trigger was selected: both time views show the whole segment again.
void reset_time_views();

// Brings `base` back into range after a change of `scale`, and shows both
// in the view's scroll slider and read-outs.
void update_scale(Fl_StageZTrigger* view, Fl_Slider* scroll);

void cb_2(Fl_Button*, void*);
void cb_3(Fl_Button*, void*);
void cb_Orig(Fl_Button*, void*);
void cb_4(Fl_Button*, void*);
void cb_5(Fl_Button*, void*);
void cb_Orig1(Fl_Button*, void*);
void cb_scrollYZTrigger(Fl_Slider*, void*);
void cb_scrollXZTrigger(Fl_Slider*, void*);
void cb_beatGridButton(Fl_Check_Button*, void*);
void cb_waveButton(Fl_Check_Button*, void*);
