// Shared by the GUI tests of the song: waiting for the event loop, reading
// a song into the editor, playing it through SDL's disk driver, and a level
// of one minute over four segments.
#pragma once

#include "gui_test_support.h"

#include "app/transport.h"
#include "audio/song_session.h"
#include "tests/song_files.h"

#include <FL/Fl_Input.H>

#include <chrono>

constexpr int kRate = 8000;

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
    // A 20-second tone as the song, with no audio device to play it on.
    void use_silent_song() {
        setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
        ASSERT_TRUE(put_song(dir / "song.wav", SF_FORMAT_WAV, kRate, 1, 20 * kRate, tone(440, 5000, kRate)));
        use_song("song.wav");
    }
    // Plays the song from "Pos" 0.4 of segment 1 (21 s) for `seconds` through
    // the disk driver into file `name`; gives the stereo frames it recorded.
    std::vector<int16_t> play_to_disk(const std::string& name, double seconds) {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", (dir / name).c_str(), 1);
        activeSegment = 1;
        mapPosition->value(0.4);
        start_playback();
        EXPECT_STREQ(playButton->label(), "Stop");
        wait_until([] { return false; }, seconds);
        stop_playback();
        EXPECT_STREQ(playButton->label(), "Play");
        return played_frames(dir / name);
    }
    TempFolder dir{true};
    ScriptDialogs dialogs;
};
