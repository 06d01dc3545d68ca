// Shared by the GUI tests of the song: waiting for the event loop, reading
// a song into the editor, and a level of one minute over four segments.
#pragma once

#include "gui_test_support.h"

#include "app/transport.h"
#include "audio/song_session.h"
#include "tests/song_files.h"

#include <FL/Fl_Input.H>

#include <chrono>

// Runs the event loop until `done` or `seconds` have passed; gives `done`.
inline bool wait_until(const std::function<bool()>& done, double seconds = 10) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done() && std::chrono::steady_clock::now() < until) Fl::wait(0.005);
    return done();
}

// Names the song in "Song" and waits until it has been read.
inline void use_song(const std::string& name) {
    song->value(name.c_str());
    reload_song();
    ASSERT_TRUE(wait_until([] { return !song_session().loading(); }));
}

// A level of one minute over four segments (S = 15 s), a trigger in segment 1.
class SongInEditor : public ::testing::Test {
protected:
    void SetUp() override {
        cb_New(nullptr, nullptr);
        levelDuration->value(1), levelSegments->value(4);
        cb_Add(nullptr, nullptr);
        Trigger& t = trigger[1];
        t.triggerSegment = 1;
        // The path and the stage times clear of the rows and columns checked.
        for (Stage& s : t.stage) s.y = s.x = 60, s.trigger = -1;
        triggerList->value(1);
        select_trigger(1);
        beatGridButton->value(0);
    }
    void TearDown() override { stop_playback(); }
    TempFolder dir{true};
    ScriptDialogs dialogs;
};

constexpr int kRate = 8000;
