// The "Segments" page: new-level values, the segment count and the song
// button (each control's field: test_wiring.cpp).
#include "gui_test_support.h"

class SegmentsPage : public ::testing::Test {
protected:
    void SetUp() override {
        new_level();
        activeSegment = 3;
        show_segment();
    }
};

TEST_F(SegmentsPage, NewLevelSetsTheControls) {
    song->value("theme.ogg");
    new_level();
    const double values[] = {levelDuration->value(), levelSegments->value(), bpm->value(),
                             evoDropRate->value(),   chaosDropRate->value(), initialEvo->value(),
                             initialChaos->value(),  pathPosition->maximum()};
    const double expected[] = {3, 8, 148, 8, 20, 0, 1, 7};
    for (int i = 0; i < 8; i++) EXPECT_EQ(values[i], expected[i]) << i;
    EXPECT_DOUBLE_EQ(pathPosition->slider_size(), 0.125);
    EXPECT_STREQ(fogColor->value(), "#c0c000");
    EXPECT_TRUE(visPlasma->value() && buttonFront->value());
    EXPECT_STREQ(song->value(), "theme.ogg");  // the song is kept
    song->value("");
}

TEST_F(SegmentsPage, SegmentCountSetsTheSelectorRangeOnly) {
    activeSegment = 6;
    enter(levelSegments, 4);
    EXPECT_EQ(pathPosition->maximum(), 3);
    EXPECT_DOUBLE_EQ(pathPosition->slider_size(), 0.25);
    EXPECT_EQ(activeSegment, 6);
    enter(levelSegments, 256);
    enter(pathPosition, 255);
    EXPECT_EQ(activeSegment, 255);
}

// A chosen song inside the level's folder is named relative to it, one
// elsewhere by its whole path; Cancel keeps the name.
TEST_F(SegmentsPage, SongButtonNamesTheFileFromTheLevelsFolder) {
    ScriptDialogs dialogs;
    copy_text(currentlevel, "/music/levels/level.txt");
    dialogs.choices = {"/music/levels/track one.ogg", "/music/levels/beats/a.wav", "/music/beat.wav", ""};
    const char* expected[] = {"track one.ogg", "beats/a.wav", "/music/beat.wav", "/music/beat.wav"};
    for (const char* name : expected) {
        songBrowse->do_callback();
        EXPECT_STREQ(song->value(), name);
    }
    song->value("");
    currentlevel[0] = '\0';
}
