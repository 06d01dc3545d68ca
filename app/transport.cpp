#include "app/transport.h"

#include "app/status_row.h"
#include "app/tempo_controls.h"
#include "app/widget_helpers.h"
#include "audio/song_session.h"
#include "document/records.h"
#include "panels/segment_maps.h"
#include "panels/segments_page.h"
#include "panels/stage_views.h"
#include "preview/perspective_preview_ui.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Counter.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Input_.H>
#include <FL/Fl_Progress.H>
#include <FL/Fl_Value_Slider.H>

#include <cstdio>


Fl_Button* playButton = nullptr;
Fl_Box* songTime = nullptr;
Fl_Progress* songProgress = nullptr;

namespace {

// The last line the song put in the status row, which only the song takes back.
std::string lastSongStatus;

void song_status(const std::string& text) {
    set_status(lastSongStatus = text);
}

}  // namespace

namespace {

constexpr double kTick = 1.0 / 60.0;      // redraws while playing, at most
constexpr double kTypingPause = 0.6;      // seconds without a key before a typed name is read
constexpr double kShowProgressAfter = 0.25;

bool ticking = false;

void redraw_time_views() {
    if (stageYZTrigger) stageYZTrigger->redraw();
    if (stageXZTrigger) stageXZTrigger->redraw();
}

void show_time(double seconds) {
    songTime->copy_label(format_song_time(seconds).c_str());
}

// Moves the editor to the song time as the Segment Selector and "Pos" would.
void follow(double seconds) {
    show_time(seconds);
    const SongPlace place = song_place(seconds, level_segment_seconds(), static_cast<int>(levelSegments->value()));
    if (place.segment != activeSegment) {
        activeSegment = place.segment;
        pathPosition->value(place.segment);
        show_segment();
    }
    mapPosition->value(place.fraction);
    if (perspectivePreview) perspectivePreview->redraw();
    redraw_time_views();
}

void show_loading() {
    SongSession& s = song_session();
    const bool show = s.loading() && s.load_seconds() > kShowProgressAfter;
    if (show) {
        songProgress->value(static_cast<float>(s.load_progress()));
        if (!songProgress->visible()) songProgress->show();
    } else if (songProgress->visible()) {
        songProgress->hide();
    }
}

void tick(void*) {
    SongSession& s = song_session();
    show_loading();
    std::string message;
    if (s.finish_load(message)) {
        song_status(message);
        redraw_time_views();
        update_detect_tempo();
    }
    if (s.playing()) {
        push_click_settings();
        if (s.ended()) stop_playback();
        else follow(s.position());
    }
    ticking = s.loading() || s.playing();
    if (ticking) Fl::repeat_timeout(kTick, tick);
}

void keep_ticking() {
    if (ticking) return;
    ticking = true;
    Fl::add_timeout(kTick, tick);
}

void typing_paused(void*) { reload_song(); }

// Space plays and stops unless a text field takes it; a modal dialog keeps its keys.
int dispatch(int event, Fl_Window* window) {
    if (event == FL_KEYBOARD && Fl::event_key() == ' ' && !Fl::modal() &&
        !dynamic_cast<Fl_Input_*>(Fl::focus()) && !(Fl::event_state() & (FL_CTRL | FL_ALT | FL_META))) {
        toggle_playback();
        return 1;
    }
    return Fl::handle_(event, window);
}

}  // namespace

SongSession& song_session() {
    static SongSession session;
    return session;
}

double level_segment_seconds() {
    return levelDuration ? segment_seconds(levelDuration->value(), levelSegments->value()) : 0.0;
}

void make_transport() {
    playButton = new Fl_Button(10, 715, 70, 24, "Play");
    playButton->tooltip("Play the song from the active segment's \"Pos\" (Space)");
    playButton->callback(CB(cb_playButton));
    songTime = new Fl_Box(85, 715, 100, 24, "0:00.000");
    songTime->box(FL_DOWN_BOX);
    songTime->tooltip("Song time");
    songProgress = new Fl_Progress(195, 717, 200, 20);
    songProgress->minimum(0);
    songProgress->maximum(1);
    songProgress->selection_color(FL_BLUE);
    songProgress->tooltip("Loading the song");
    songProgress->hide();
    Fl::event_dispatch(dispatch);
}

void reload_song() {
    Fl::remove_timeout(typing_paused);
    stop_playback();
    SongSession& s = song_session();
    const std::string name = song ? song->value() : "";
    if (name.empty()) {
        s.forget();
        withdraw_status(lastSongStatus);
    } else {
        s.load(locate_song(name, currentlevel, working_folder()), name);
        song_status("Loading song \"" + name + "\"");
        keep_ticking();
    }
    show_loading();
    redraw_time_views();
    update_detect_tempo();
}

void song_name_edited(bool now) {
    Fl::remove_timeout(typing_paused);
    if (now) reload_song();
    else Fl::add_timeout(kTypingPause, typing_paused);
}

void start_playback() {
    SongSession& s = song_session();
    if (s.playing()) return;
    if (s.loading()) {
        song_status("The song is still loading");
        return;
    }
    const double from = (activeSegment + mapPosition->value()) * level_segment_seconds();
    push_click_settings();
    switch (s.play(from)) {
    case SongSession::Started::noSong:
        song_status(song->value()[0] ? "No song to play" : "No song: name its file in \"Song\"");
        return;
    case SongSession::Started::pastEnd:
        song_status("The song ends at " + format_song_time(s.song()->seconds()) + ", before " + format_song_time(from));
        return;
    case SongSession::Started::silently:
        song_status("No audio device: playing silently");
        break;
    case SongSession::Started::sound: break;
    }
    playButton->label("Stop");
    show_time(from);
    keep_ticking();
}

void stop_playback() {
    SongSession& s = song_session();
    if (!s.playing()) return;
    s.stop();
    playButton->label("Play");
    follow(s.position());
    char where[120];
    std::snprintf(where, sizeof where, "Stopped at %s in segment %d, \"Pos\" %.4f", songTime->label(), activeSegment,
                  mapPosition->value());
    song_status(where);
}

void toggle_playback() {
    if (song_session().playing()) stop_playback();
    else start_playback();
}

bool playhead_seconds(double& seconds) {
    SongSession& s = song_session();
    if (!s.playing()) return false;
    seconds = s.position();
    return true;
}

void cb_playButton(Fl_Button*, void*) { toggle_playback(); }
