// The song in the editor: played through SDL's disk driver (read back from its
// file) with clicks and speed, followed silently without a device; "Detect".
#include "gui_test_support.h"

#include "app/status_row.h"
#include "app/tempo_controls.h"
#include "app/transport.h"
#include "audio/song_session.h"
#include "tests/song_files.h"

#include <FL/Fl_Box.H>
#include <FL/Fl_Input.H>

#include <chrono>

constexpr int kRate = 8000;

// Runs the event loop until `done` or `seconds` have passed; gives `done`.
static bool wait_until(const std::function<bool()>& done, double seconds = 10) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done() && std::chrono::steady_clock::now() < until) Fl::wait(0.005);
    return done();
}

// Names the song in "Song" and waits until it has been read.
static void use_song(const std::string& name) {
    song->value(name.c_str());
    reload_song();
    ASSERT_TRUE(wait_until([] { return !song_session().loading(); }));
}

// A level of one minute over four segments (S = 15 s), a trigger in segment
// 1 whose path and stage times are clear of the rows and columns checked.
class SongInEditor : public ::testing::Test {
protected:
    void SetUp() override {
        cb_New(nullptr, nullptr);
        levelDuration->value(1), levelSegments->value(4);
        cb_Add(nullptr, nullptr);
        trigger[1].triggerSegment = 1;
        for (Stage& s : trigger[1].stage) s.y = s.x = 60, s.trigger = -1;
        triggerList->value(1);
        select_trigger(1);
        beatGridButton->value(0);
    }
    void TearDown() override { stop_playback(); }
    TempFolder dir{true};
    ScriptDialogs dialogs;
};

// A constant-1 song, "Click" on, at "50%" from "Pos" 0.4 of segment 1 (21 s): each click starts at the
// first output frame at or past its beat; "Pos" stops where the device had played to (within 2 blocks).
TEST_F(SongInEditor, PlaysFromPosWithClicksAtHalfSpeed) {
    ASSERT_TRUE(put_song(dir / "quiet.wav", SF_FORMAT_WAV, kRate, 1, std::vector<int16_t>(40 * kRate, 1)));
    use_song("quiet.wav");
    bpm->value(277);
    clickButton->value(1);
    clickButton->do_callback();
    playSpeed->value(2);
    playSpeed->do_callback();
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", (dir / "played.raw").c_str(), 1);
    activeSegment = 1;
    mapPosition->value(0.4);
    start_playback();
    EXPECT_STREQ(playButton->label(), "Stop");
    wait_until([] { return false; }, 1.0);
    stop_playback();
    const std::vector<int16_t> played = played_frames(dir / "played.raw");
    const int frames = static_cast<int>(played.size() / 2);
    ASSERT_GT(frames, kRate / 2);
    EXPECT_EQ(click_starts(played, 1), beat_starts(60.0 / 277 * kRate, 21.0 * kRate, 0.5, frames));
    EXPECT_EQ(activeSegment, 1);
    EXPECT_NEAR(mapPosition->value(), 0.4 + frames * 0.5 / kRate / 15, 2.0 * kAudioBlockFrames / kRate / 15);
    EXPECT_STREQ(songTime->label(), format_song_time(15 * (1 + mapPosition->value())).c_str());
}

// Space plays and stops the song, except while a text field has the focus: there it is typed.
TEST_F(SongInEditor, SpaceKeyPlaysUnlessATextFieldHasFocus) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    ASSERT_TRUE(put_song(dir / "song.wav", SF_FORMAT_WAV, kRate, 1, 20 * kRate, tone(440, 5000, kRate)));
    use_song("song.wav");
    const auto space = [] {
        Fl::e_keysym = ' ', Fl::e_state = 0, Fl::e_text = const_cast<char*>(" "), Fl::e_length = 1;
        Fl::handle(FL_KEYBOARD, rootWindow);
    };
    for (auto [focus, plays] : {std::pair<Fl_Widget*, bool>{playButton, true}, {fogColor, false}, {levelDuration, true}}) {
        Fl::focus(focus);
        space();
        EXPECT_EQ(song_session().playing(), plays) << focus->label();
        space();
        EXPECT_FALSE(song_session().playing()) << focus->label();
    }
}

// Without a device a 20-second song plays silently: at 15 s the editor moves to segment 1; the playhead
// is one yellow column at X + (t - base) x scale x W in each time view, none once stopped; the end stops it.
TEST_F(SongInEditor, FollowsIntoTheNextSegmentSilentlyWithoutADevice) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    ASSERT_TRUE(put_song(dir / "song.wav", SF_FORMAT_WAV, kRate, 1, 20 * kRate, tone(440, 5000, kRate)));
    use_song("song.wav");
    activeSegment = 0;
    pathPosition->value(0);
    mapPosition->value(0.98);  // 14.7 s
    start_playback();
    EXPECT_STREQ(songStatus->label(), "No audio device: playing silently");
    ASSERT_TRUE(wait_until([] { return activeSegment == 1; }, 3));
    EXPECT_EQ(pathPosition->value(), 1);
    const auto yellow_columns = [](Fl_StageZTrigger* view) {
        const std::vector<unsigned char> rgb = render(view);
        std::vector<int> columns;
        for (int c = view->x(); c < view->x() + view->w(); c++)
            if (pixel(rgb, view, c, view->y() + 5) == Rgb{255, 226, 0}) columns.push_back(c);
        return columns;
    };
    stageXZTrigger->scale = 2, stageXZTrigger->base = 0;
    for (Fl_StageZTrigger* view : {stageYZTrigger, stageXZTrigger}) {
        double seconds = 0;
        ASSERT_TRUE(playhead_seconds(seconds));
        const std::vector<int> columns = yellow_columns(view);
        ASSERT_EQ(columns.size(), 1u);
        EXPECT_NEAR(columns[0], view->x() + (seconds / 15 - 1 - view->base) * view->scale * view->w(), 2);
    }
    stop_playback();
    EXPECT_TRUE(yellow_columns(stageYZTrigger).empty());
    mapPosition->value(0.33);  // 19.95 s
    start_playback();
    ASSERT_TRUE(wait_until([] { return std::string(playButton->label()) == "Play"; }, 3));
    EXPECT_NEAR(mapPosition->value(), 1.0 / 3, 1e-9);
}

// "Detect" needs a song; it offers the estimate and sets it only on "Yes".
TEST_F(SongInEditor, DetectOffersTheSongsTempo) {
    ASSERT_TRUE(put_song(dir / "drums.wav", SF_FORMAT_WAV, kRate, 1, make_test_pcm(TestBeat::drums, 128, 30, kRate)));
    use_song("drums.wav");
    for (int answer : {0, 1}) {
        bpm->value(148);
        dialogs.answers = {answer};
        detectTempo->do_callback();
        EXPECT_FALSE(detectTempo->active());  // while it works
        ASSERT_TRUE(wait_until([] { return detectTempo->active() != 0; }));
        ASSERT_EQ(dialogs.asked.size(), static_cast<size_t>(answer + 1));
        EXPECT_NE(dialogs.asked.back().find("The song's tempo is about 12"), std::string::npos) << dialogs.asked.back();
        EXPECT_NEAR(bpm->value(), answer ? 128 : 148, answer ? 0.5 : 0);
    }
    // A song change drops a detection under way: nothing is asked.
    detectTempo->do_callback();
    use_song("");
    wait_until([] { return false; }, 0.3);
    EXPECT_EQ(std::make_pair(dialogs.asked.size(), detectTempo->active() != 0), std::make_pair(size_t{2}, false));
}
