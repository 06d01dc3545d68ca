// The song in the editor: its waveform in the time views, playing it from
// "Pos" through SDL's disk driver (what was played is read back from the
// driver's file), following it into the next segment, the silent clock
// without a device, and the Space key.
#include "song_test_support.h"

#include "app/status_row.h"

#include <FL/Fl_Box.H>

// A 27-second song of silence with a loud burst from 20 s to 22 s: in the
// trigger's segment 1 (15 s to 30 s) the burst's columns show the waveform
// above and below the middle row, silent columns only on it, and columns
// past the song's end nothing, at two zooms and a scroll.
TEST_F(SongInEditor, WaveformFollowsZoomAndScroll) {
    const Rgb kGrey{96, 96, 96}, kWave{70, 168, 186};
    ASSERT_TRUE(put_song(dir / "burst.wav", SF_FORMAT_WAV, kRate, 1, 27 * kRate, burst(20, 22, kRate)));
    use_song("burst.wav");
    ASSERT_NE(song_session().song(), nullptr) << songStatus->label();
    Fl_StageZTrigger* view = stageYZTrigger;
    const int X = view->x(), W = view->w(), middle = view->y() + view->h() / 2;
    for (auto [scale, base] : {std::pair{1.0f, 0.0f}, std::pair{8.0f, 0.3f}, std::pair{8.0f, 0.4f}}) {
        view->scale = scale, view->base = base;
        for (bool shown : {true, false}) {
            waveButton->value(shown);
            const std::vector<unsigned char> rgb = render(view);
            int burstColumns = 0;
            for (int c = X; c < X + W; c++) {
                // Song seconds at the column's left and right edges.
                const double from = (1 + (c - X) / double(W) / scale + base) * 15;
                const double to = (1 + (c + 1 - X) / double(W) / scale + base) * 15;
                const bool loud = from > 20 && to < 22, quiet = to < 20 || (from > 22 && to < 27), gone = from > 27;
                SCOPED_TRACE(testing::Message() << "scale " << scale << " base " << base << " column " << c);
                burstColumns += loud;
                for (int dy : {-40, 40})
                    EXPECT_TRUE(!(loud || quiet || gone) || pixel(rgb, view, c, middle + dy) == (loud && shown ? kWave : kGrey));
                if ((quiet && c > X) || gone) {
                    EXPECT_EQ(pixel(rgb, view, c, middle), quiet && shown ? kWave : kGrey);
                }
            }
            EXPECT_GT(burstColumns, 20);
        }
    }
}

// Play from "Pos" 0.4 of segment 1 (21 s): the disk driver's file holds the
// song's frames from there on, sample for sample, and "Pos" has moved by the
// time played / S.
TEST_F(SongInEditor, PlaysTheSongFromPosThroughTheDevice) {
    const SongSignal signal = [](int64_t f, int c) { return int16_t((f * 5 + c * 1111) % 60000 - 30000); };
    ASSERT_TRUE(put_song(dir / "song.flac", SF_FORMAT_FLAC, kRate, 2, 40 * kRate, signal));
    use_song("song.flac");
    const std::vector<int16_t> played = play_to_disk("played.raw", 0.6);
    const int64_t frames = static_cast<int64_t>(played.size() / 2);
    ASSERT_GT(frames, kRate / 4);
    for (int64_t i = 0; i < frames; i++)
        ASSERT_EQ(std::pair(played[2 * i], played[2 * i + 1]),
                  std::pair(signal(21 * kRate + i, 0), signal(21 * kRate + i, 1))) << i;
    // The position stopped at is what the device had played: within one
    // block (and one more for a block handed over while stopping).
    EXPECT_EQ(activeSegment, 1);
    EXPECT_NEAR(mapPosition->value(), 0.4 + double(frames) / kRate / 15, 2.0 * kAudioBlockFrames / kRate / 15);
    EXPECT_STREQ(songTime->label(), format_song_time(15 * (1 + mapPosition->value())).c_str());
}

// Without an audio device the song plays silently on the clock; crossing
// 15 s moves the editor to segment 1 as the Segment Selector would, and the
// song's end (20 s) stops it.
TEST_F(SongInEditor, FollowsIntoTheNextSegmentSilentlyWithoutADevice) {
    use_silent_song();
    activeSegment = 0;
    pathPosition->value(0);
    mapPosition->value(0.98);  // 14.7 s
    start_playback();
    EXPECT_STREQ(songStatus->label(), "No audio device: playing silently");
    double lastBefore = 0;
    ASSERT_TRUE(wait_until([&] {
        if (activeSegment == 0) lastBefore = mapPosition->value();
        return activeSegment == 1;
    }, 3));
    EXPECT_EQ(pathPosition->value(), 1);
    EXPECT_LT(lastBefore, 1.0);
    EXPECT_LT(mapPosition->value(), 0.05);
    // The playhead: one yellow column in each time view at the song time
    // (column X + (t - base) x scale x W for segment fraction t), none once stopped.
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
        const double at = view->x() + (seconds / 15 - 1 - view->base) * view->scale * view->w();
        const std::vector<int> columns = yellow_columns(view);
        ASSERT_EQ(columns.size(), 1u);
        EXPECT_NEAR(columns[0], at, 2);
    }
    stop_playback();
    EXPECT_TRUE(yellow_columns(stageYZTrigger).empty());
    mapPosition->value(0.33);  // 19.95 s
    start_playback();
    ASSERT_TRUE(wait_until([] { return std::string(playButton->label()) == "Play"; }, 3));
    EXPECT_NEAR(mapPosition->value(), 1.0 / 3, 1e-9);
}

// Space plays and stops, except in a text field, where it is typed.
TEST_F(SongInEditor, SpaceKeyPlaysUnlessATextFieldHasFocus) {
    use_silent_song();
    auto space = [] {
        Fl::e_keysym = ' ', Fl::e_state = 0, Fl::e_text = const_cast<char*>(" "), Fl::e_length = 1;
        return Fl::handle(FL_KEYBOARD, rootWindow);
    };
    for (auto [focus, plays] : {std::pair<Fl_Widget*, bool>{playButton, true}, std::pair<Fl_Widget*, bool>{fogColor, false},
                                std::pair<Fl_Widget*, bool>{levelDuration, true}}) {
        SCOPED_TRACE(focus->label() ? focus->label() : "");
        Fl::focus(focus);
        space();
        EXPECT_EQ(song_session().playing(), plays);
        space();
        EXPECT_FALSE(song_session().playing());
    }
}
