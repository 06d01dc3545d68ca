// Whole redraws of the perspective preview on the display's OpenGL (Mesa's
// software renderer under Xvfb): the active segment's terrain and 64
// triggers flying their paths with enemy models. Needs a display, so it is
// not a test: run it with scripts/with-display.sh build/preview_benchmarks.
#include <benchmark/benchmark.h>

#include "app/main_window.h"
#include "app/transport.h"
#include "audio/song_session.h"
#include "document/records.h"
#include "panels/segments_page.h"
#include "panels/targets_page.h"
#include "preview/perspective_preview_ui.h"
#include "tests/song_files.h"

#include <FL/Fl.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Value_Slider.H>
#include <FL/gl.h>

#include <unistd.h>

#include <cstdio>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

namespace fs = std::filesystem;

namespace {

fs::path workFolder;

// A working folder whose models/ links to two of the shared test models,
// and 64 triggers of segment 0 in front of the camera, half of each model.
bool set_up_level() {
    const char* env = std::getenv("VANTROPE_TESTDATA");
    const fs::path models = fs::path(env ? env : VANTROPE_TESTDATA) / "md2";
    if (!fs::exists(models / "camera1.md2")) return false;
    char pattern[] = "/tmp/vantrope-bench-XXXXXX";
    if (!mkdtemp(pattern)) return false;
    workFolder = pattern;
    fs::current_path(workFolder);
    fs::create_directory("models");
    for (const char* file : {"camera1.md2", "camera1.png", "lamp.md2", "lamp.png"})
        fs::create_symlink(models / file, fs::path("models") / file);

    for (int n = 1; n <= 64; n++) {
        Trigger& t = trigger[n];
        copy_text(t.triggerType, n % 2 ? "camera1.md2" : "lamp.md2");
        t.triggerSegment = 0;
        t.stageCount = 3;
        const float x = -70.0f + (n % 8) * 20, y = (n / 8) * 10.0f;
        t.stage[0] = {x, y, 250, 0, 0, 0, 0.0f};
        t.stage[1] = {x + 10, y + 5, 400, 0, 0, 0, 0.1f};
        t.stage[2] = {x, y, 550, 0, 0, 0, 0.2f};
        triggerList->add("[trigger]");
    }
    activeTrigger = 1;
    mapPosition->value(0.07);
    return true;
}

void redraw_once() {
    perspectivePreview->redraw();
    Fl::flush();
    perspectivePreview->make_current();
    glFinish();
}

void BM_PreviewRedraw(benchmark::State& state) {
    perspectivePreview->resize(perspectivePreview->x(), perspectivePreview->y(), static_cast<int>(state.range(0)),
                               static_cast<int>(state.range(1)));
    Fl::check();
    redraw_once();  // loads the models
    for (auto _ : state) redraw_once();
}
BENCHMARK(BM_PreviewRedraw)->Args({480, 272})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

// The preview while the song plays (silently, on the clock): the editor's
// own event loop for two seconds; "fps" counts the preview's draws.
void BM_PreviewWhilePlaying(benchmark::State& state) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    perspectivePreview->resize(perspectivePreview->x(), perspectivePreview->y(), static_cast<int>(state.range(0)),
                               static_cast<int>(state.range(1)));
    if (!song_session().song()) {
        put_song("song.wav", SF_FORMAT_WAV, 44100, 2, 44100 * 20, tone(220, 8000, 44100));
        song->value("song.wav");
        reload_song();
        while (song_session().loading()) Fl::wait(0.01);
    }
    for (auto _ : state) {
        mapPosition->value(0.0);
        const uint32_t first = perspectivePreview->frameCounter;
        const auto began = std::chrono::steady_clock::now();
        start_playback();
        while (std::chrono::steady_clock::now() - began < std::chrono::seconds(2)) Fl::wait(0.001);
        stop_playback();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
        state.counters["fps"] = (perspectivePreview->frameCounter - first) / seconds;
    }
}
BENCHMARK(BM_PreviewWhilePlaying)->Args({480, 272})->Args({1920, 1080})->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    build_editor();
    rootWindow->show();
    Fl::check();
    if (!set_up_level()) {
        std::cerr << "no test models: nothing to measure\n";
        return 1;
    }
    // The editor's diagnostic lines (the plasma prints one per redraw) go
    // to standard output; the table goes to standard error.
    benchmark::ConsoleReporter reporter;
    reporter.SetOutputStream(&std::cerr);
    reporter.SetErrorStream(&std::cerr);
    if (!std::freopen("/dev/null", "w", stdout)) return 1;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    fs::remove_all(workFolder);
    return 0;
}
