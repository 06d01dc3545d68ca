// The "Segments" page: every control writes the active segment, and showing
// a segment loads the controls without running their callbacks.
#include "gui_test_support.h"

#include "document/document_ui.h"
#include "document/records.h"
#include "panels/segments_page.h"

#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Counter.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Round_Button.H>
#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Value_Slider.H>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "maps/segment_maps_ui.h"

namespace {

class SegmentsPage : public ::testing::Test {
protected:
    void SetUp() override {
        new_level();
        activeSegment = 3;
        show_segment();
    }
};

std::string stdout_of(const std::function<void()>& action) {
    testing::internal::CaptureStdout();
    action();
    return testing::internal::GetCapturedStdout();
}

}  // namespace

TEST_F(SegmentsPage, NewLevelDefaultsInTheControls) {
    new_level();
    EXPECT_EQ(levelDuration->value(), 3);
    EXPECT_EQ(levelSegments->value(), 8);
    EXPECT_EQ(bpm->value(), 148);
    EXPECT_EQ(evoDropRate->value(), 8);
    EXPECT_EQ(chaosDropRate->value(), 20);
    EXPECT_EQ(initialEvo->value(), 0);
    EXPECT_EQ(initialChaos->value(), 1);
    EXPECT_EQ(pathPosition->maximum(), 7);
    EXPECT_DOUBLE_EQ(pathPosition->slider_size(), 0.125);
    EXPECT_EQ(pathPosition->value(), 0);
    EXPECT_EQ(activeSegment, 0);
    EXPECT_STREQ(fogColor->value(), "#c0c000");
    EXPECT_TRUE(visPlasma->value());
    EXPECT_TRUE(buttonFront->value());
    EXPECT_FLOAT_EQ(static_cast<float>(seedA->value()), 1.0f / 6.0f);
}

TEST_F(SegmentsPage, NewLevelKeepsTheSongText) {
    song->value("theme.ogg");
    new_level();
    EXPECT_STREQ(song->value(), "theme.ogg");
    song->value("");
}

TEST_F(SegmentsPage, ValueControlsWriteTheActiveSegment) {
    struct Row {
        const char* name;
        Fl_Valuator* widget;
        double value;
        std::function<float()> field;
    } rows[] = {
        {"Height", segHeight, 77.5, [] { return segment[3].scale; }},
        {"Length", segLength, 99.9, [] { return segment[3].length; }},
        {"Seed A", seedA, -4.321, [] { return segment[3].seedA; }},
        {"Seed B", seedB, 1e6, [] { return segment[3].seedB; }},  // typed beyond the range
        {"Fog Near", fogNear, -12.5, [] { return segment[3].fogNear; }},
        {"Fog Far", fogFar, 2048.1, [] { return segment[3].fogFar; }},
    };
    for (const Row& row : rows) {
        row.widget->value(row.value);
        row.widget->do_callback();
        EXPECT_EQ(row.field(), static_cast<float>(row.value)) << row.name;
        EXPECT_EQ(segment[2].scale, 50.0f) << row.name << " touched another segment";
    }
}

TEST_F(SegmentsPage, RadioButtonsSetCameraAndVisualization) {
    struct Row {
        Fl_Round_Button* button;
        int camera;         // -1: not a camera button
        int visualization;  // -1: not a visualization button
    } rows[] = {
        {buttonRight, 2, -1}, {buttonLeft, 1, -1},  {buttonFront, 0, -1}, {visJulia, -1, 2},
        {visWallp, -1, 0},    {visWallp2, -1, 3},   {visCustom, -1, 4},   {visPlasma, -1, 1},
    };
    for (const Row& row : rows) {
        row.button->setonly();
        std::string out = stdout_of([&] { row.button->do_callback(); });
        if (row.camera >= 0) {
            EXPECT_EQ(segment[3].cameraAngle, row.camera);
            EXPECT_EQ(out.find("New map generated."), std::string::npos);
        } else {
            EXPECT_EQ(segment[3].visualization, row.visualization);
            EXPECT_NE(out.find("New map generated."), std::string::npos);
        }
    }
}

TEST_F(SegmentsPage, CameraCallbackOfAnUnsetButtonWritesNothing) {
    buttonLeft->setonly();
    buttonLeft->do_callback();
    ASSERT_EQ(segment[3].cameraAngle, 1);
    buttonRight->value(0);
    buttonRight->do_callback();
    EXPECT_EQ(segment[3].cameraAngle, 1);
}

TEST_F(SegmentsPage, TunnelCheckBox) {
    isTunnel->value(1);
    isTunnel->do_callback();
    EXPECT_TRUE(segment[3].isTunnel);
    isTunnel->value(0);
    isTunnel->do_callback();
    EXPECT_FALSE(segment[3].isTunnel);
}

TEST_F(SegmentsPage, FogColourText) {
    struct Row {
        const char* text;
        uint32_t expected;
    } rows[] = {
        {"#12ab", 0xFF0012ABu},
        {"#C0C000", 0xFFC0C000u},
        {"#ffc0c000", 0xFFC0C000u},
        {"#00ff00zz", 0xFF00FF00u},
        {"#123456789", 0xFF456789u},  // longer numbers keep their low 32 bits
    };
    for (const Row& row : rows) {
        segment[3].fogColor = 0x112233;
        fogColor->value(row.text);
        fogColor->do_callback();
        EXPECT_EQ(segment[3].fogColor, row.expected) << row.text;
    }
    // Unreadable text leaves the colour as it was.
    for (const char* text : {"", "12ab", "#", "#xyz", " #12"}) {
        segment[3].fogColor = 0x112233;
        fogColor->value(text);
        fogColor->do_callback();
        EXPECT_EQ(segment[3].fogColor, 0x112233u) << text;
    }
    // Shown again, the stored word has eight digits and reads back the same.
    fogColor->value("#12ab");
    fogColor->do_callback();
    show_segment();
    EXPECT_STREQ(fogColor->value(), "#ff0012ab");
    fogColor->do_callback();
    EXPECT_EQ(segment[3].fogColor, 0xFF0012ABu);
}

TEST_F(SegmentsPage, ShowSegmentLoadsEveryControl) {
    Segment& s = segment[5];
    s.isTunnel = true;
    s.cameraAngle = 7;  // unknown views show as Front
    s.visualization = 9;
    s.scale = 12.5f;
    s.length = 33.25f;
    s.seedA = -2.5f;
    s.seedB = 4.75f;
    s.fogNear = 10.5f;
    s.fogFar = 20.25f;
    s.fogColor = 0x0000ff;
    buttonLeft->setonly();
    visJulia->setonly();
    activeSegment = 5;
    std::string out = stdout_of([] { show_segment(); });
    EXPECT_TRUE(buttonFront->value());
    EXPECT_FALSE(buttonLeft->value());
    EXPECT_TRUE(visWallp->value());
    EXPECT_FALSE(visJulia->value());
    EXPECT_EQ(isTunnel->value(), 1);
    EXPECT_EQ(segHeight->value(), 12.5);
    EXPECT_EQ(segLength->value(), 33.25);
    EXPECT_EQ(seedA->value(), -2.5);
    EXPECT_EQ(seedB->value(), 4.75);
    EXPECT_EQ(fogNear->value(), 10.5);
    EXPECT_EQ(fogFar->value(), 20.25);
    EXPECT_STREQ(fogColor->value(), "#0000ff");
    // Loading the controls ran none of their callbacks.
    EXPECT_EQ(s.cameraAngle, 7);
    EXPECT_EQ(s.visualization, 9);
    EXPECT_NE(out.find("New map generated."), std::string::npos);
}

TEST_F(SegmentsPage, SegmentCountSetsTheSelectorRangeOnly) {
    activeSegment = 6;
    pathPosition->value(6);
    levelSegments->value(4);
    levelSegments->do_callback();
    EXPECT_EQ(pathPosition->maximum(), 3);
    EXPECT_DOUBLE_EQ(pathPosition->slider_size(), 0.25);
    EXPECT_EQ(activeSegment, 6);

    levelSegments->value(256);
    levelSegments->do_callback();
    EXPECT_EQ(pathPosition->maximum(), 255);
    pathPosition->value(255);
    pathPosition->do_callback();
    EXPECT_EQ(activeSegment, 255);
}

TEST_F(SegmentsPage, SelectorShowsTheChosenSegment) {
    segment[2].scale = 200.0f;
    pathPosition->value(2);
    pathPosition->do_callback();
    EXPECT_EQ(activeSegment, 2);
    EXPECT_EQ(segHeight->value(), 200.0);
}

TEST_F(SegmentsPage, MapPositionChangesNoRecord) {
    Segment before = segment[3];
    mapPosition->value(0.5);
    mapPosition->do_callback();
    EXPECT_EQ(std::memcmp(&before, &segment[3], sizeof before), 0);
}

TEST_F(SegmentsPage, SongButtonTakesTheFileNameOnly) {
    ScriptDialogs dialogs;
    dialogs.script.choices = {"/music/levels/track one.ogg", "C:\\music\\beat.wav", ""};
    songBrowse->do_callback();
    EXPECT_STREQ(song->value(), "track one.ogg");
    songBrowse->do_callback();
    EXPECT_STREQ(song->value(), "beat.wav");
    songBrowse->do_callback();  // cancelled: unchanged
    EXPECT_STREQ(song->value(), "beat.wav");
    song->value("");
}
