// Drawing the side view with the song's waveform, at scales 1, 10^3 and
// 10^6, against the same view without it: the difference is the waveform's
// cost, which must not grow with the zoom. The song (3 minutes, 44.1 kHz
// stereo) is written and read here. Needs a display: run it under
// scripts/with-display.sh.
#include "app/main_window.h"
#include "app/transport.h"
#include "audio/song_session.h"
#include "document/records.h"
#include "document/stage_geometry.h"
#include "panels/segments_page.h"
#include "panels/stage_views.h"
#include "tests/song_files.h"

#include <FL/Fl.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Counter.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <benchmark/benchmark.h>
// After benchmark: fl_draw.H brings in the X headers.
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <cstdio>

namespace {

void show_song() {
    static bool built = false;
    if (built) return;
    build_editor();
    rootWindow->show();
    for (int i = 0; i < 20; i++) Fl::check();
    const char* path = "/tmp/vantrope_bench_wave.wav";
    put_song(path, SF_FORMAT_WAV, 44100, 2, 44100 * 180, tone(220, 9000, 44100));
    song->value(path);
    reload_song();
    while (song_session().loading()) Fl::wait(0.01);
    std::remove(path);
    levelDuration->value(3), levelSegments->value(8);
    beatGridButton->value(0);
    activeTrigger = 1;
    trigger[1].triggerSegment = 3;
    built = true;
}

void BM_DrawSideView(benchmark::State& state, bool wave) {
    show_song();
    waveButton->value(wave);
    const float scale = static_cast<float>(state.range(0));
    stageYZTrigger->scale = scale;
    stageYZTrigger->base = fitted_base(scale, 0.37f);
    rootWindow->make_current();
    Fl_Offscreen off = fl_create_offscreen(rootWindow->w(), rootWindow->h());
    for (auto _ : state) {
        fl_begin_offscreen(off);
        stageYZTrigger->draw();
        fl_end_offscreen();
        XSync(fl_display, False);  // the window system's drawing too
    }
    fl_delete_offscreen(off);
}
BENCHMARK_CAPTURE(BM_DrawSideView, with_wave, true)->Arg(1)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_DrawSideView, without_wave, false)->Arg(1)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

}  // namespace
