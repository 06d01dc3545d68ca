// Drawing the side and top views with the beat grid on, showing the whole
// segment and zoomed in a million times: the zoomed drawing must cost no
// more. Needs a display: run it under scripts/with-display.sh.
#include "app/main_window.h"
#include "document/beat_grid.h"
#include "document/records.h"
#include "document/stage_geometry.h"
#include "panels/segments_page.h"
#include "panels/stage_views.h"

#include <FL/Fl.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Counter.H>
#include <FL/Fl_Double_Window.H>
#include <benchmark/benchmark.h>
// After benchmark: fl_draw.H brings in the X headers.
#include <FL/fl_draw.H>
#include <FL/x.H>

namespace {

// A three-minute song of 148 beats a minute over 8 segments, and an
// eight-stage path through the segment.
void show_path(float scale) {
    static bool built = false;
    if (!built) {
        build_editor();
        rootWindow->show();
        for (int i = 0; i < 20; i++) Fl::check();
        built = true;
    }
    levelDuration->value(3), levelSegments->value(8), bpm->value(148);
    beatGridButton->value(1);
    activeTrigger = 1, activeStage = 2;
    Trigger& t = trigger[1];
    t.triggerSegment = 3;
    t.stageCount = 8;
    for (int i = 0; i < 8; i++) t.stage[i] = {i * 20.0f - 70, 60.0f - i * 15, i * 480.0f, 0, 0, 0, i / 8.0f};
    for (Fl_StageZTrigger* view : {stageYZTrigger, stageXZTrigger}) {
        view->scale = scale;
        view->base = fitted_base(scale, 0.37f);
    }
}

void BM_DrawTimeViews(benchmark::State& state, float scale) {
    show_path(scale);
    rootWindow->make_current();
    Fl_Offscreen off = fl_create_offscreen(rootWindow->w(), rootWindow->h());
    for (auto _ : state) {
        fl_begin_offscreen(off);
        stageYZTrigger->draw();
        stageXZTrigger->draw();
        fl_end_offscreen();
        XSync(fl_display, False);  // the window system's drawing too
    }
    fl_delete_offscreen(off);
    BeatGrid grid;
    make_beat_grid(3, 8, 148, grid);
    const Fl_StageZTrigger& v = *stageYZTrigger;
    const float pps = v.w() * v.scale;
    state.counters["side view beat lines"] =
        visible_beats(grid, 3, v.x() - pps * v.base, pps, v.x(), v.x() + v.w() - 1).size();
}
BENCHMARK_CAPTURE(BM_DrawTimeViews, whole_segment, 1.0f)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_DrawTimeViews, zoomed_1e6, 1e6f)->Unit(benchmark::kMicrosecond);

}  // namespace
