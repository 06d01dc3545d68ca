#include "app/tempo_controls.h"

#include "app/dialogs.h"
#include "app/status_row.h"
#include "app/widget_helpers.h"
#include "audio/resample.h"
#include "audio/song_session.h"
#include "audio/tempo.h"
#include "panels/segments_page.h"
#include "panels/song_hooks.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Counter.H>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <future>
#include <memory>

Fl_Check_Button* clickButton = nullptr;
Fl_Choice* playSpeed = nullptr;

namespace {

constexpr double kPoll = 0.1;  // seconds between looks at a detection under way

// A detection under way: its song (kept alive by it), and the result to
// come. Dropping it stops the detection and waits for its thread, which
// looks at the flag every few milliseconds (also when the editor quits).
struct Detection {
    std::shared_ptr<const Song> song;
    std::atomic<bool> cancel{false};
    std::future<TempoEstimate> result;
    ~Detection() { cancel = true; }  // before `result` waits for the thread
};
std::unique_ptr<Detection> detection;

void poll_detection(void*) {
    if (!detection) return;
    if (detection->result.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        Fl::repeat_timeout(kPoll, poll_detection);
        return;
    }
    const TempoEstimate e = detection->result.get();
    detection.reset();
    update_detect_tempo();
    if (e.cancelled) return;
    if (!e.found) {
        set_status("No steady tempo found in the song");
        return;
    }
    // The estimate is good to a few hundredths: keep two decimals.
    const double found = std::round(e.bpm * 100) / 100;
    char line[80];
    std::snprintf(line, sizeof line, "The song's tempo is about %.2f bpm", found);
    set_status(line);
    if (dialog_ask("The song's tempo is about %.2f bpm.\nSet the level's tempo (now %g bpm) to %.2f bpm?", found,
                   bpm->value(), found))
        bpm->value(found);
}

}  // namespace

void make_tempo_transport() {
    clickButton = new Fl_Check_Button(405, 715, 70, 24, "Click");
    clickButton->tooltip("Click on every beat while the song plays (higher on bars)");
    clickButton->callback(CB(cb_clickButton));
    playSpeed = new Fl_Choice(530, 715, 75, 24, "Speed");
    for (const char* label : kPlaySpeedLabels) playSpeed->add(label);
    playSpeed->value(0);
    playSpeed->tooltip("Playback speed: slower playback lowers the pitch");
    playSpeed->callback(CB(cb_playSpeed));
}

void attach_detect_tempo() { detectTempo->callback(CB(cb_detectTempo)); }

void push_click_settings() {
    if (!clickButton) return;
    song_session().set_click(clickButton->value() != 0,
                             ClickGrid{bpm->value(), levelDuration->value(), levelSegments->value()});
}

void update_detect_tempo() {
    if (!detectTempo) return;
    const std::shared_ptr<const Song>& song = song_session().song();
    if (detection && detection->song != song) detection.reset();
    if (song && !detection) detectTempo->activate();
    else detectTempo->deactivate();
}

void cb_clickButton(Fl_Check_Button*, void*) { push_click_settings(); }

void cb_playSpeed(Fl_Choice*, void*) {
    const int i = playSpeed->value();
    if (i >= 0 && i < kPlaySpeedCount) song_session().set_speed(kPlaySpeeds[i]);
}

void cb_detectTempo(Fl_Button*, void*) {
    std::shared_ptr<const Song> song = song_session().song();
    if (!song || detection) return;
    detection = std::make_unique<Detection>();
    detection->song = song;
    Detection* d = detection.get();
    detection->result = std::async(std::launch::async, [d] {
        const Song& s = *d->song;
        return detect_tempo(s.samples.data(), static_cast<std::size_t>(s.frames), s.channels, s.rate, &d->cancel);
    });
    detectTempo->deactivate();
    set_status("Finding the song's tempo...");
    Fl::add_timeout(kPoll, poll_detection);
}
