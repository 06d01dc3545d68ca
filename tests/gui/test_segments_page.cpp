// The "Segments" page: every control writes the active segment, and showing
// a segment loads the controls without running their callbacks.
#include "gui_test_support.h"

#include "document/document_ui.h"
#include "document/records.h"
#include "maps/segment_maps_ui.h"
#include "panels/segments_page.h"

#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Counter.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Round_Button.H>
#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Value_Slider.H>
#include <gtest/gtest.h>

#include <string>

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

TEST_F(SegmentsPage, ControlsWriteTheActiveSegmentOnly) {
    struct Row {
        Fl_Valuator* widget;
        double value;
        float Segment::*field;
    } rows[] = {
        {segHeight, 77.5, &Segment::scale},  {segLength, 99.9, &Segment::length},
        {seedA, -4.321, &Segment::seedA},    {seedB, 1e6, &Segment::seedB},  // beyond the range
        {fogNear, -12.5, &Segment::fogNear}, {fogFar, 2048.1, &Segment::fogFar},
    };
    for (const Row& row : rows) {
        row.widget->value(row.value);
        row.widget->do_callback();
        EXPECT_EQ(segment[3].*row.field, static_cast<float>(row.value)) << row.widget->label();
        EXPECT_EQ(segment[2].*row.field, segment[0].*row.field) << row.widget->label();
    }
    isTunnel->value(1);
    isTunnel->do_callback();
    EXPECT_TRUE(segment[3].isTunnel);
}

TEST_F(SegmentsPage, RadioButtons) {
    struct Row {
        Fl_Round_Button* button;
        int Segment::*field;
        int value;
    } rows[] = {
        {buttonRight, &Segment::cameraAngle, 2}, {buttonLeft, &Segment::cameraAngle, 1},
        {buttonFront, &Segment::cameraAngle, 0}, {visJulia, &Segment::visualization, 2},
        {visWallp, &Segment::visualization, 0},  {visWallp2, &Segment::visualization, 3},
        {visCustom, &Segment::visualization, 4}, {visPlasma, &Segment::visualization, 1},
    };
    for (const Row& row : rows) {
        row.button->setonly();
        testing::internal::CaptureStdout();
        row.button->do_callback();
        bool regenerated = testing::internal::GetCapturedStdout().find("New map generated.") != std::string::npos;
        EXPECT_EQ(segment[3].*row.field, row.value) << row.button->label();
        EXPECT_EQ(regenerated, row.field == &Segment::visualization) << row.button->label();
    }
    // A camera button that is not set writes nothing.
    buttonRight->value(0);
    buttonRight->do_callback();
    EXPECT_EQ(segment[3].cameraAngle, 0);
}

TEST_F(SegmentsPage, FogColourText) {
    struct Row {
        const char* text;
        uint32_t stored;  // 0x112233: unreadable text keeps the colour
    } rows[] = {
        {"#12ab", 0xFF0012ABu}, {"#C0C000", 0xFFC0C000u}, {"#00ff00zz", 0xFF00FF00u},
        {"#123456789", 0xFF456789u}, {"", 0x112233u}, {"12ab", 0x112233u}, {"#", 0x112233u},
        {"#xyz", 0x112233u},
    };
    for (const Row& row : rows) {
        segment[3].fogColor = 0x112233;
        fogColor->value(row.text);
        fogColor->do_callback();
        EXPECT_EQ(segment[3].fogColor, row.stored) << row.text;
    }
    // Shown again, the word has eight digits and reads back the same.
    fogColor->value("#12ab");
    fogColor->do_callback();
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
    pathPosition->value(5);
    pathPosition->do_callback();
    EXPECT_EQ(activeSegment, 5);
    EXPECT_TRUE(buttonFront->value() && !buttonLeft->value() && visWallp->value());
    EXPECT_EQ(isTunnel->value(), 1);
    EXPECT_EQ(segHeight->value(), 12.5);
    EXPECT_EQ(seedB->value(), 4.75);
    EXPECT_STREQ(fogColor->value(), "#0000ff");
    EXPECT_EQ(s.cameraAngle, 7);
    EXPECT_EQ(s.visualization, 9);
}

TEST_F(SegmentsPage, SegmentCountSetsTheSelectorRangeOnly) {
    activeSegment = 6;
    levelSegments->value(4);
    levelSegments->do_callback();
    EXPECT_EQ(pathPosition->maximum(), 3);
    EXPECT_DOUBLE_EQ(pathPosition->slider_size(), 0.25);
    EXPECT_EQ(activeSegment, 6);
    levelSegments->value(256);
    levelSegments->do_callback();
    pathPosition->value(255);
    pathPosition->do_callback();
    EXPECT_EQ(activeSegment, 255);
}

TEST_F(SegmentsPage, SongButtonTakesTheFileNameOnly) {
    ScriptDialogs dialogs;
    dialogs.script.choices = {"/music/levels/track one.ogg", "C:\\music\\beat.wav", ""};
    const char* expected[] = {"track one.ogg", "beat.wav", "beat.wav"};  // the last is cancelled
    for (const char* name : expected) {
        songBrowse->do_callback();
        EXPECT_STREQ(song->value(), name);
    }
    song->value("");
}
