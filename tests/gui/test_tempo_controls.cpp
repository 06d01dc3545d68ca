// The metronome and the speed through SDL's disk driver, and "Detect".
#include "song_test_support.h"

#include "app/tempo_controls.h"

#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>

// A song of a constant 1 with "Click" on, played at "50%" from "Pos" 0.4 of
// segment 1 (21 s): each click in the driver's file starts at the first
// output frame whose song time is at or past its beat, n x 60 / bpm, and
// "Pos" stops where the device had played to, at the song's pace.
TEST_F(SongInEditor, ClicksStartAtTheBeatsAtHalfSpeed) {
    ASSERT_TRUE(put_song(dir / "quiet.wav", SF_FORMAT_WAV, kRate, 1, std::vector<int16_t>(40 * kRate, 1)));
    use_song("quiet.wav");
    bpm->value(277);
    clickButton->value(1);
    clickButton->do_callback();
    playSpeed->value(2);
    playSpeed->do_callback();
    const std::vector<int16_t> played = play_to_disk("clicks.raw", 1.0);
    const int frames = static_cast<int>(played.size() / 2);
    ASSERT_GT(frames, kRate / 2);
    EXPECT_EQ(click_starts(played, 1), beat_starts(60.0 / 277 * kRate, 21.0 * kRate, 0.5, frames));
    EXPECT_NEAR(mapPosition->value(), 0.4 + frames * 0.5 / kRate / 15, 2.0 * kAudioBlockFrames / kRate / 15);
}

// "Detect" needs a song; it offers the estimate and sets it only on "Yes";
// a song change gives it up.
TEST_F(SongInEditor, DetectOffersTheSongsTempo) {
    use_song("");
    EXPECT_FALSE(detectTempo->active());
    ASSERT_TRUE(put_song(dir / "drums.wav", SF_FORMAT_WAV, kRate, 1, make_test_pcm(TestBeat::drums, 128, 30, kRate)));
    use_song("drums.wav");
    ASSERT_TRUE(detectTempo->active());
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
    EXPECT_EQ(dialogs.asked.size(), 2u);
    EXPECT_FALSE(detectTempo->active());
}
