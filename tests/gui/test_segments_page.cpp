// The "Segments" page: every control writes the active segment, and showing
// a segment loads the controls without running their callbacks.
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

TEST_F(SegmentsPage, EachControlWritesOnlyItsFieldAndTheShapingOnesRegenerateTheMap) {
    auto set = [](Fl_Valuator* w, double v) { return [=] { enter(w, v); }; };
    auto press = [](Fl_Button* b) { return [=] { b->setonly(), b->do_callback(); }; };
    const struct Row {
        const char* name;
        std::function<void()> act;
        std::function<void(Segment&)> write;
        bool regenerates;
    } rows[] = {
        {"height", set(segHeight, 77.5), [](Segment& s) { s.scale = 77.5f; }, false},
        {"length", set(segLength, 99.9), [](Segment& s) { s.length = float(99.9); }, false},
        {"fog near", set(fogNear, -12.5), [](Segment& s) { s.fogNear = -12.5f; }, false},
        {"fog far", set(fogFar, 2048.1), [](Segment& s) { s.fogFar = float(2048.1); }, false},
        {"fog colour", [] { fogColor->value("#FFA0FF"), fogColor->do_callback(); },
         [](Segment& s) { s.fogColor = 0xFFFFA0FFu; }, false},
        {"tunnel", [] { isTunnel->value(1), isTunnel->do_callback(); }, [](Segment& s) { s.isTunnel = true; }, false},
        {"right", press(buttonRight), [](Segment& s) { s.cameraAngle = 2; }, false},
        {"left", press(buttonLeft), [](Segment& s) { s.cameraAngle = 1; }, false},
        {"right, not set", [] { buttonRight->value(0), buttonRight->do_callback(); }, [](Segment&) {}, false},
        {"front", press(buttonFront), [](Segment& s) { s.cameraAngle = 0; }, false},
        {"seed A", set(seedA, -4.321), [](Segment& s) { s.seedA = -4.321f; }, true},
        {"seed B", set(seedB, 7.5), [](Segment& s) { s.seedB = 7.5f; }, true},  // beyond the range
        {"Julia", press(visJulia), [](Segment& s) { s.visualization = 2; }, true},
        {"wallpaper", press(visWallp), [](Segment& s) { s.visualization = 0; }, true},
        {"squared", press(visWallp2), [](Segment& s) { s.visualization = 3; }, true},
        {"plasma", press(visPlasma), [](Segment& s) { s.visualization = 1; }, true},
        {"custom", press(visCustom), [](Segment& s) { s.visualization = 4; }, true},
    };
    segment[3].palette[255] = 0;  // the generators' grey ramp
    for (const Row& row : rows) {
        std::vector<Segment> want(segment, segment + kSegmentCapacity);
        row.write(want[3]);
        const std::string out = printed(row.act);
        EXPECT_EQ(std::memcmp(want.data(), segment, sizeof segment), 0) << row.name;
        EXPECT_EQ(out.find("New map generated.") != std::string::npos, row.regenerates) << row.name;
        EXPECT_TRUE(!row.regenerates || segment[3].visualization == 4 || !mismatches_with_generated(segment[3]))
            << row.name;
    }
}

TEST_F(SegmentsPage, FogColourText) {
    struct Row {
        const char* text;
        uint32_t stored;  // 0x112233: unreadable text keeps the colour
    } rows[] = {
        {"#00ff00zz", 0xFF00FF00u}, {"#123456789", 0xFF456789u}, {"12ab", 0x112233u}, {"#", 0x112233u},
        {"#12ab", 0xFF0012ABu},
    };
    for (const Row& row : rows) {
        segment[3].fogColor = 0x112233;
        fogColor->value(row.text);
        fogColor->do_callback();
        EXPECT_EQ(segment[3].fogColor, row.stored) << row.text;
    }
    // Shown again, the last row's word has eight digits and reads back the same.
    show_segment();
    EXPECT_STREQ(fogColor->value(), "#ff0012ab");
    fogColor->do_callback();
    EXPECT_EQ(segment[3].fogColor, 0xFF0012ABu);
}

TEST_F(SegmentsPage, ShowSegmentLoadsTheControlsWithoutCallbacks) {
    Segment& s = segment[5];
    s.isTunnel = true;
    s.cameraAngle = 7;  // unknown values show as Front and as the wallpaper
    s.visualization = 9;
    s.scale = 12.5f;
    s.seedB = 4.75f;
    s.fogColor = 0x0000ff;
    buttonLeft->setonly();
    EXPECT_NE(printed([] { enter(pathPosition, 5); }).find("New map generated."), std::string::npos);
    EXPECT_EQ(activeSegment, 5);
    EXPECT_TRUE(buttonFront->value() && !buttonLeft->value() && visWallp->value());
    EXPECT_EQ(std::make_tuple(isTunnel->value(), segHeight->value(), seedB->value()), std::make_tuple(1, 12.5, 4.75));
    EXPECT_STREQ(fogColor->value(), "#0000ff");
    EXPECT_EQ(std::make_tuple(s.cameraAngle, s.visualization), std::make_tuple(7, 9));
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
