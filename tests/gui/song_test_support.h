// Shared by the GUI tests of the song: waiting for the event loop, reading
// a song into the editor, and a level of one minute over four segments.
#pragma once

#include "gui_test_support.h"

#include "app/transport.h"
#include "audio/song_session.h"
#include "tests/song_files.h"

#include <FL/Fl_Input.H>

#include <algorithm>
#include <chrono>
#include <cstring>

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

// The stereo 16-bit frames in the disk driver's file `path`, less the whole
// blocks of silence that SDL may write before the device is started.
inline std::vector<int16_t> played_frames(const std::string& path) {
    const std::string bytes = file_text(path);
    std::vector<int16_t> s(bytes.size() / 2);
    std::memcpy(s.data(), bytes.data(), 2 * s.size());
    const size_t block = 2 * kAudioBlockFrames;
    size_t lead = 0;
    while (lead + block <= s.size() && std::all_of(s.begin() + lead, s.begin() + lead + block, [](int16_t v) { return v == 0; }))
        lead += block;
    return std::vector<int16_t>(s.begin() + lead, s.end());
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
