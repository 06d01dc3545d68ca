#include "panels/stage_views.h"

#include "app/widget_helpers.h"

#include "app/transport.h"
#include "audio/song_session.h"

#include "document/beat_grid.h"
#include "document/stage_geometry.h"
#include "document/trigger_commands.h"
#include "document/undo.h"
#include "panels/segments_page.h"
#include "panels/targets_page.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Counter.H>
#include <FL/Fl_Slider.H>
#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Value_Output.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

Fl_StageXY* stageXY = nullptr;
Fl_StageZTrigger* stageYZTrigger = nullptr;
Fl_StageZTrigger* stageXZTrigger = nullptr;
Fl_Slider* scrollYZTrigger = nullptr;
Fl_Slider* scrollXZTrigger = nullptr;
Fl_Value_Output* valueYZTriggerBase = nullptr;
Fl_Value_Output* valueYZTriggerScale = nullptr;
Fl_Value_Output* valueXZTriggerBase = nullptr;
Fl_Value_Output* valueXZTriggerScale = nullptr;
Fl_Check_Button* beatGridButton = nullptr;
Fl_Check_Button* waveButton = nullptr;

namespace {

// Beat lines: greys between the background's (96) and white, a bar's
// brighter than a beat's.
constexpr unsigned char kBeatGrey = 118;
constexpr unsigned char kBarGrey = 156;

// Lines with both ends this close to the view are left to the clip; others
// are cut to the view first, so that no coordinate overflows the window
// system's 16 bits.
constexpr int kNearView = 16000;

void background(int X, int Y, int W, int H) {
    fl_color(96, 96, 96);
    fl_rectf(X, Y, W, H);
}

void path_line(int x0, int y0, int x1, int y1, int X, int Y, int W, int H) {
    auto near = [&](int x, int y) { return std::abs(x - X) < kNearView && std::abs(y - Y) < kNearView; };
    if (near(x0, y0) && near(x1, y1)) {
        fl_line(x0, y0, x1, y1);
        return;
    }
    double a = x0, b = y0, c = x1, d = y1;
    if (clip_line(a, b, c, d, X - 2, Y - 2, X + W + 1, Y + H + 1))
        fl_line(static_cast<int>(std::lround(a)), static_cast<int>(std::lround(b)),
                static_cast<int>(std::lround(c)), static_cast<int>(std::lround(d)));
}

bool in_view(int px, int py, int X, int Y, int W, int H, int margin) {
    return px >= X - margin && px < X + W + margin && py >= Y - margin && py < Y + H + margin;
}

// A 3 x 3 square about a stage's pixel, outlined or filled.
void stage_square(int px, int py, bool filled, int X, int Y, int W, int H) {
    if (!in_view(px, py, X, Y, W, H, 2)) return;
    if (filled) fl_rectf(px - 1, py - 1, 3, 3);
    else fl_rect(px - 1, py - 1, 3, 3);
}

Fl_Value_Output* base_readout(const Fl_StageZTrigger& v) {
    return v.view ? valueYZTriggerBase : valueXZTriggerBase;
}

Fl_Value_Output* scale_readout(const Fl_StageZTrigger& v) {
    return v.view ? valueYZTriggerScale : valueXZTriggerScale;
}

void show_readouts(const Fl_StageZTrigger& v) {
    if (Fl_Value_Output* o = base_readout(v)) o->value(v.base);
    if (Fl_Value_Output* o = scale_readout(v)) o->value(v.scale);
}

int trigger_segment() { return selected_trigger().triggerSegment; }

TimeAxes axes_of(const Fl_StageZTrigger& v) {
    const int s = std::clamp(trigger_segment(), 0, kSegmentCapacity - 1);
    return time_axes(v.x(), v.y(), v.w(), v.h(), v.scale, v.base, segment[s].length);
}

// The level's beats, from the level-wide settings on the "Segments" page.
bool level_beat_grid(BeatGrid& grid) {
    return levelDuration && make_beat_grid(levelDuration->value(), levelSegments->value(), bpm->value(), grid);
}

void draw_beats(const TimeAxes& a) {
    BeatGrid grid;
    if (!beatGridButton || !beatGridButton->value() || !level_beat_grid(grid)) return;
    for (const BeatLine& b : visible_beats(grid, trigger_segment(), a.left, a.pps, a.X, a.X + a.W - 1)) {
        const unsigned char grey = b.bar ? kBarGrey : kBeatGrey;
        fl_color(grey, grey, grey);
        fl_line(b.column, a.Y, b.column, a.Y + a.H - 1);
    }
}

// The waveform: a blue-green that stands apart from the grey background, the
// grey beat lines and the red time lines drawn over it.
constexpr unsigned char kWave[3] = {70, 168, 186};
// The playhead: yellow, over everything else.
constexpr unsigned char kPlayhead[3] = {255, 226, 0};

// The song's slice of the trigger's segment, a min/max line per column.
void draw_wave(const TimeAxes& a) {
    const SongSession& s = song_session();
    const double S = level_segment_seconds();
    if (!waveButton || !waveButton->value() || !s.song() || !s.wave() || !(S > 0) || !(a.pps > 0)) return;
    static std::vector<WaveColumn> columns;
    // Column c shows segment fraction (c - left) / pps.
    const double start = (trigger_segment() + (a.X - static_cast<double>(a.left)) / a.pps) * S;
    waveform_columns(*s.song(), *s.wave(), start, S / a.pps, a.W, columns);
    const int middle = static_cast<int>(a.cy), half = a.H / 2;
    // One stair-step polygon around the columns, their tops left to right
    // and their bottoms back: the window system fills it in horizontal
    // spans, far faster than a vertical line per column.
    int end = a.W;
    while (end > 0 && !columns[static_cast<size_t>(end - 1)].present) end--;
    int begin = 0;
    while (begin < end && !columns[static_cast<size_t>(begin)].present) begin++;
    if (begin == end) return;
    fl_color(kWave[0], kWave[1], kWave[2]);
    fl_begin_complex_polygon();
    for (int c = begin; c < end; c++) {
        const int top = wave_row(middle, half, columns[static_cast<size_t>(c)].range.hi);
        fl_vertex(a.X + c, top);
        fl_vertex(a.X + c + 1, top);
    }
    for (int c = end - 1; c >= begin; c--) {
        const int below = wave_row(middle, half, columns[static_cast<size_t>(c)].range.lo) + 1;
        fl_vertex(a.X + c + 1, below);
        fl_vertex(a.X + c, below);
    }
    fl_end_complex_polygon();
}

void draw_playhead(const TimeAxes& a) {
    double seconds;
    const double S = level_segment_seconds();
    if (!playhead_seconds(seconds) || !(S > 0)) return;
    const double t = seconds / S - trigger_segment();
    if (t < 0 || t >= 1) return;
    const int c = time_column(a, static_cast<float>(t));
    if (c < a.X || c >= a.X + a.W) return;
    fl_color(kPlayhead[0], kPlayhead[1], kPlayhead[2]);
    fl_line(c, a.Y, c, a.Y + a.H - 1);
}

void zoom(Fl_StageZTrigger* view, Fl_Slider* scroll, float scale) {
    view->scale = scale;
    update_scale(view, scroll);
}

void scroll_to(Fl_StageZTrigger* view, Fl_Slider* scroll) {
    view->base = static_cast<float>(scroll->value());
    view->redraw();
    base_readout(*view)->value(scroll->value());
}

Fl_Value_Output* make_readout(int x, int y, const char* label) {
    Fl_Value_Output* o = new Fl_Value_Output(x, y, 60, 20, label);
    o->box(FL_DOWN_BOX);
    o->textsize(12);
    return o;
}

Fl_Button* make_small_button(int x, int y, int w, const char* label, Fl_Callback* cb) {
    Fl_Button* b = new Fl_Button(x, y, w, 20, label);
    b->callback(cb);
    return b;
}

Fl_Slider* make_scroll(int x, int y, int w, Fl_Callback* cb) {
    Fl_Slider* s = new Fl_Slider(x, y, w, 20);
    s->type(FL_HOR_SLIDER);
    s->slider_size(1);  // the whole segment is in view
    s->callback(cb);
    return s;
}

// Read-outs in the row above a time view: "base:" ends this far right of
// the view's left edge, the scale read-out starts this far left of its right.
constexpr int kBaseEnd = 100;
constexpr int kScaleStart = 135;

// A time view's label is centred between its read-outs: centred over the
// whole top view it would run into the scale read-out.
void draw_time_view_label(const Fl_Label* label, int X, int Y, int W, int H, Fl_Align align) {
    fl_font(label->font, label->size);
    fl_color(label->color);
    fl_draw(label->value, X + kBaseEnd, Y, W - kBaseEnd - kScaleStart, H, align);
}

void measure_label(const Fl_Label* label, int& w, int& h) {
    fl_font(label->font, label->size);
    fl_measure(label->value, w, h);
}

const Fl_Labeltype kTimeViewLabel = FL_FREE_LABELTYPE;

void label_view(Fl_Widget* v, bool timeView) {
    v->box(FL_DOWN_FRAME);
    v->labelsize(14);
    v->align(FL_ALIGN_TOP);
    if (timeView) {
        Fl::set_labeltype(kTimeViewLabel, draw_time_view_label, measure_label);
        v->labeltype(kTimeViewLabel);
    }
}

// One time view with the read-outs and zoom buttons above it (base at the
// left, scale and "+", "-", "Orig" at the right) and its scroll slider under it.
Fl_StageZTrigger* make_time_view(int x, int w, const char* label, bool side, Fl_Value_Output*& base,
                                 Fl_Value_Output*& scale, Fl_Slider*& scroll, Fl_Callback* in,
                                 Fl_Callback* out, Fl_Callback* orig, Fl_Callback* scrolled) {
    const int right = x + w;
    base = make_readout(x + kBaseEnd - 60, 440, "base:");
    scale = make_readout(right - kScaleStart, 440, nullptr);
    make_small_button(right - 75, 440, 20, "+", in)->tooltip("Zoom in");
    make_small_button(right - 55, 440, 20, "-", out)->tooltip("Zoom out");
    make_small_button(right - 35, 440, 35, "Orig", orig)->tooltip("Show the whole segment");
    Fl_StageZTrigger* v = new Fl_StageZTrigger(x, 465, w, 215, label);
    label_view(v, true);
    v->setView(side);
    show_readouts(*v);
    scroll = make_scroll(x, 680, w, scrolled);
    return v;
}

}  // namespace

Fl_StageXY::Fl_StageXY(int x, int y, int w, int h, const char* label) : Fl_Box(x, y, w, h, label) {}

void Fl_StageXY::draw() {
    const int X = x(), Y = y(), W = w(), H = h();
    const FrontAxes a = front_axes(X, Y, W, H);
    const int cx = X + W / 2, cy = Y + H / 2;
    const Trigger& t = selected_trigger();
    const int n = used_stages(t);
    fl_push_clip(X, Y, W, H);
    background(X, Y, W, H);
    fl_color(255, 255, 255);
    fl_loop(cx - 5, cy + 40, cx + 5, cy + 40, cx, cy + 30);
    fl_color(0, 0, 0);
    for (int i = 0; i + 1 < n; i++) {
        const Stage &s = t.stage[i], &e = t.stage[i + 1];
        path_line(front_column(a, s.x), front_row(a, s.y), front_column(a, e.x), front_row(a, e.y), X, Y, W, H);
    }
    fl_color(0, 0, 128);
    for (int i = 0; i < n; i++)
        stage_square(front_column(a, t.stage[i].x), front_row(a, t.stage[i].y), false, X, Y, W, H);
    const Stage& s = selected_stage();
    fl_color(255, 0, 0);
    stage_square(front_column(a, s.x), front_row(a, s.y), true, X, Y, W, H);
    fl_pop_clip();
}

int Fl_StageXY::handle(int event) {
    if (event != FL_PUSH && event != FL_DRAG) return 0;
    if (event == FL_PUSH) save_undo(kUndoTriggerChange);
    Stage& s = selected_stage();
    s.x = front_mouse_x(x(), w(), Fl::event_x());
    s.y = front_mouse_y(y(), h(), Fl::event_y());
    triggerX->value(s.x);
    triggerY->value(s.y);
    redraw_stage_views();
    return 1;
}

Fl_StageZTrigger::Fl_StageZTrigger(int x, int y, int w, int h, const char* label)
    : Fl_Box(x, y, w, h, label) {}

void Fl_StageZTrigger::setView(bool side) {
    view = side;
    redraw();
}

void Fl_StageZTrigger::draw() {
    const int X = x(), Y = y(), W = w(), H = h();
    const TimeAxes a = axes_of(*this);
    const int cy = static_cast<int>(a.cy);
    const Trigger& t = selected_trigger();
    const int n = used_stages(t);
    const Stage& selected = selected_stage();
    auto value = [&](const Stage& s) { return view ? s.y : s.x; };
    fl_push_clip(X, Y, W, H);
    background(X, Y, W, H);
    draw_wave(a);
    draw_beats(a);

    const int tc = time_column(a, selected.trigger);
    fl_color(255, 255, 255);
    if (in_view(tc, cy, X, Y, W, H, 6)) {
        if (view) fl_loop(tc - 5, cy + 22, tc + 5, cy + 22, tc, cy + 12);
        else fl_loop(tc - 5, cy + 5, tc + 5, cy + 5, tc, cy - 5);
    }
    for (int i = 0; i < n; i++) {
        const int c = time_column(a, t.stage[i].trigger);
        if (c < X || c >= X + W) continue;
        if (i == activeStage) fl_color(255, 0, 64);
        else fl_color(192, 0, 0);
        fl_line(c, Y, c, Y + H);
    }
    fl_color(0, 0, 0);
    for (int i = 0; i + 1 < n; i++) {
        const Stage &s = t.stage[i], &e = t.stage[i + 1];
        path_line(depth_column(a, s.z), value_row(a, value(s)), depth_column(a, e.z), value_row(a, value(e)),
                  X, Y, W, H);
    }
    fl_color(0, 0, 192);
    for (int i = 0; i < n; i++)
        stage_square(depth_column(a, t.stage[i].z), value_row(a, value(t.stage[i])), false, X, Y, W, H);
    fl_color(255, 0, 0);
    stage_square(depth_column(a, selected.z), value_row(a, value(selected)), true, X, Y, W, H);
    draw_playhead(a);
    fl_pop_clip();
}

int Fl_StageZTrigger::handle(int event) {
    show_readouts(*this);
    if (event != FL_PUSH && event != FL_DRAG) return 0;
    const TimeAxes a = axes_of(*this);
    float tm = mouse_time(a, Fl::event_x());
    float zm = tm * a.L;
    const float vm = mouse_value(a, Fl::event_y());
    if (event == FL_PUSH) {
        save_undo(kUndoTriggerChange);
        const Stage& s = selected_stage();
        editZ = grabs_stage_point(a, zm, vm, s.z, view ? s.y : s.x);
        std::printf("editZ=%d\n", editZ ? 1 : 0);
        std::fflush(stdout);
    }
    // Ctrl: the time, or the depth, of the nearest beat.
    BeatGrid grid;
    if ((Fl::event_state() & FL_CTRL) && level_beat_grid(grid)) {
        tm = static_cast<float>(nearest_beat_time(grid, trigger_segment(), tm));
        zm = tm * a.L;
    }
    Stage& s = selected_stage();
    if (!editZ) {
        s.trigger = tm;
        triggerTrigger->value(tm);
    } else {
        s.z = zm;
        triggerZ->value(zm);
        (view ? s.y : s.x) = vm;
        (view ? triggerY : triggerX)->value(vm);
    }
    redraw_stage_views();
    return 1;
}

// The front view 380 x 335 at the top right of the page (535, 90); the side
// view 520 x 215 at the bottom left (10, 465) and the top view 380 x 215
// beside it (535, 465), with their read-outs, zoom buttons and the "Beats"
// and "Wave" switches in the row above them (y 440) and their scroll sliders under them.
void make_stage_views() {
    stageXY = new Fl_StageXY(535, 90, 380, 335, "Stage Front View");
    label_view(stageXY, false);
    stageYZTrigger = make_time_view(10, 520, "Stage Side View", true, valueYZTriggerBase, valueYZTriggerScale,
                                    scrollYZTrigger, CB(cb_2), CB(cb_3), CB(cb_Orig), CB(cb_scrollYZTrigger));
    stageXZTrigger = make_time_view(535, 380, "Stage Top View", false, valueXZTriggerBase, valueXZTriggerScale,
                                    scrollXZTrigger, CB(cb_4), CB(cb_5), CB(cb_Orig1), CB(cb_scrollXZTrigger));
    beatGridButton = new Fl_Check_Button(118, 440, 70, 20, "Beats");
    beatGridButton->down_box(FL_DOWN_BOX);
    beatGridButton->value(1);
    beatGridButton->tooltip("Show the song's beats; hold Ctrl while dragging to snap to them");
    beatGridButton->callback(CB(cb_beatGridButton));
    // Right of the side view's label, which is centred between its read-outs.
    waveButton = new Fl_Check_Button(322, 440, 65, 20, "Wave");
    waveButton->down_box(FL_DOWN_BOX);
    waveButton->value(1);
    waveButton->tooltip("Show the song's waveform");
    waveButton->callback(CB(cb_waveButton));
}

void reset_time_views() {
    for (auto [view, scroll] : {std::pair{stageYZTrigger, scrollYZTrigger}, std::pair{stageXZTrigger, scrollXZTrigger}}) {
        view->base = 0.0f;
        view->scale = 1.0f;
        scroll->slider_size(1);
        scroll->value(0);
    }
}

void update_scale(Fl_StageZTrigger* view, Fl_Slider* scroll) {
    view->base = fitted_base(view->scale, view->base);
    view->redraw();
    const float visible = 1.0f / view->scale;
    scroll->value(view->base);
    scroll->slider_size(visible);
    if (1.0f - visible > 0) scroll->maximum(1.0f - visible);
    show_readouts(*view);
}

void cb_2(Fl_Button*, void*) { zoom(stageYZTrigger, scrollYZTrigger, zoom_in(stageYZTrigger->scale)); }
void cb_3(Fl_Button*, void*) { zoom(stageYZTrigger, scrollYZTrigger, zoom_out(stageYZTrigger->scale)); }
void cb_Orig(Fl_Button*, void*) { zoom(stageYZTrigger, scrollYZTrigger, 1.0f); }
void cb_4(Fl_Button*, void*) { zoom(stageXZTrigger, scrollXZTrigger, zoom_in(stageXZTrigger->scale)); }
void cb_5(Fl_Button*, void*) { zoom(stageXZTrigger, scrollXZTrigger, zoom_out(stageXZTrigger->scale)); }
void cb_Orig1(Fl_Button*, void*) { zoom(stageXZTrigger, scrollXZTrigger, 1.0f); }
void cb_scrollYZTrigger(Fl_Slider*, void*) { scroll_to(stageYZTrigger, scrollYZTrigger); }
void cb_scrollXZTrigger(Fl_Slider*, void*) { scroll_to(stageXZTrigger, scrollXZTrigger); }

void cb_beatGridButton(Fl_Check_Button*, void*) {
    stageYZTrigger->redraw();
    stageXZTrigger->redraw();
}

void cb_waveButton(Fl_Check_Button*, void*) { cb_beatGridButton(beatGridButton, nullptr); }
