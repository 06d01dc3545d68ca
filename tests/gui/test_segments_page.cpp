// The "Segments" page: new-level values, the segment count and the song button (fields: test_wiring.cpp).
#include "gui_test_support.h"

TEST(SegmentsPage, NewLevelSegmentCountAndSongButton) {
    new_level();
    activeSegment = 3;
    show_segment();
    song->value("theme.ogg");
    new_level();  // sets every control but keeps the song
    const double values[] = {levelDuration->value(), levelSegments->value(), bpm->value(), evoDropRate->value(),
                             chaosDropRate->value(), initialEvo->value(), initialChaos->value(), pathPosition->maximum()};
    EXPECT_EQ(std::vector<double>(values, values + 8), std::vector<double>({3, 8, 148, 8, 20, 0, 1, 7}));
    EXPECT_STREQ(fogColor->value(), "#c0c000");
    EXPECT_TRUE(visPlasma->value() && buttonFront->value());
    EXPECT_STREQ(song->value(), "theme.ogg");
    activeSegment = 6;  // the segment count sets the selector's range only
    enter(levelSegments, 4);
    EXPECT_EQ(pathPosition->maximum(), 3);
    EXPECT_EQ(activeSegment, 6);
    enter(levelSegments, 256);
    enter(pathPosition, 255);
    EXPECT_EQ(activeSegment, 255);
    // A song in the level's folder is named relative to it, one elsewhere by its path; Cancel keeps the name.
    ScriptDialogs dialogs;
    copy_text(currentlevel, "/music/levels/level.txt");
    dialogs.choices = {"/music/levels/track one.ogg", "/music/levels/beats/a.wav", "/music/beat.wav", ""};
    for (const char* name : {"track one.ogg", "beats/a.wav", "/music/beat.wav", "/music/beat.wav"}) {
        songBrowse->do_callback();
        EXPECT_STREQ(song->value(), name);
    }
    song->value("");
    currentlevel[0] = '\0';
    new_level();
}
