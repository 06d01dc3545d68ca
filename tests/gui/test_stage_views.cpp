// The stage views drawn off screen and read back pixel by pixel, the mouse
// fed synthesized events, the zoom controls, and the "Step and Repeat" dialog.
#include "gui_test_support.h"

namespace {

const Rgb kGrey{96, 96, 96}, kWhite{255, 255, 255}, kBlack{0, 0, 0}, kRed{255, 0, 0};

int press(Fl_Widget* view, int event, int x, int y, int state = 0) {
    Fl::e_x = x, Fl::e_y = y, Fl::e_state = state;
    return view->handle(event);
}

class StageViews : public ::testing::Test {
protected:
    void SetUp() override {
        cb_New(nullptr, nullptr);
        cb_Add(nullptr, nullptr);
        // One minute over four segments at 60 bpm: a beat is 1/15 of a segment.
        levelDuration->value(1), levelSegments->value(4), bpm->value(60);
        beatGridButton->value(1);
        Trigger& t = trigger[1];
        t.triggerSegment = 1;
        t.stageCount = 4;
        t.stage[0] = {-40, 0, 960, 0, 0, 0, 0.5f};
        t.stage[1] = {100, 0, 2304, 0, 0, 0, 0.75f};
        t.stage[2] = {100, 60, 1e7f, 0, 0, 0, 3};
        t.stage[3] = {5000, 60, 0, 0, 0, 0, 0};
        triggerList->value(1);
        select_trigger(1);
        now += 10;
    }
    ScriptDialogs dialogs;
};

}  // namespace

TEST_F(StageViews, PixelsOfThePathAndTheBeatGrid) {
    select_stage(1);
    const Rgb kBlue{0, 0, 192}, kDarkBlue{0, 0, 128}, kLine{255, 0, 64}, kOther{192, 0, 0};
    // Front view: centre (725, 257); stages at (685, 257), (825, 257), (825, 197) and far right.
    // Side view: left 10, 520 pixels a segment, 520 / 3840 a depth unit, centre row 572.
    // Top view: left 535, 380 pixels a segment, 380 / 3840 a depth unit.
    const struct { Fl_Widget* view; int x, y; Rgb colour; } rows[] = {
        {stageXY, 540, 95, kGrey},         {stageXY, 725, 287, kWhite},       {stageXY, 720, 297, kWhite},
        {stageXY, 730, 297, kWhite},       {stageXY, 775, 257, kBlack},       {stageXY, 825, 230, kBlack},
        {stageXY, 914, 197, kBlack},       {stageXY, 684, 256, kDarkBlue},    {stageXY, 686, 258, kDarkBlue},
        {stageXY, 685, 257, kBlack},       {stageXY, 824, 256, kRed},         {stageXY, 826, 258, kRed},
        {stageXY, 826, 196, kDarkBlue},
        {stageYZTrigger, 400, 466, kLine}, {stageYZTrigger, 270, 466, kOther}, {stageYZTrigger, 396, 594, kWhite},
        {stageYZTrigger, 404, 594, kWhite}, {stageYZTrigger, 321, 571, kRed},  {stageYZTrigger, 323, 573, kRed},
        {stageYZTrigger, 139, 571, kBlue}, {stageYZTrigger, 141, 573, kBlue},  {stageYZTrigger, 529, 572, kBlack},
        {stageYZTrigger, 60, 678, kGrey},
        {stageXZTrigger, 820, 466, kLine}, {stageXZTrigger, 725, 466, kOther}, {stageXZTrigger, 816, 577, kWhite},
        {stageXZTrigger, 824, 577, kWhite}, {stageXZTrigger, 762, 521, kRed},  {stageXZTrigger, 764, 523, kRed},
        {stageXZTrigger, 629, 591, kBlue}, {stageXZTrigger, 631, 593, kBlue},  {stageXZTrigger, 914, 522, kBlack},
        {stageXZTrigger, 550, 678, kGrey},
    };
    for (const auto& r : rows)
        EXPECT_EQ(pixel(render(r.view), r.view, r.x, r.y), r.colour) << r.view->label() << " " << r.x << ", " << r.y;

    // Beat k of segment 1 is song beat 15 + k; every fourth song beat is a bar.
    const std::vector<unsigned char> side = render(stageYZTrigger);
    for (int k : {1, 2, 4, 5, 7, 13, 14}) {
        const int column = static_cast<int>(10 + 520.0 * k / 15);
        const int grey = (15 + k) % 4 ? 118 : 156;
        EXPECT_EQ(pixel(side, stageYZTrigger, column, 678), (Rgb{grey, grey, grey})) << k;
        EXPECT_EQ(pixel(side, stageYZTrigger, column + 2, 678), kGrey) << k;
    }
    beatGridButton->value(0);
    EXPECT_EQ(pixel(render(stageYZTrigger), stageYZTrigger, 44, 678), kGrey);
}

TEST_F(StageViews, MousePlacesTheSelectedStage) {
    const Stage& s = trigger[1].stage[0];
    EXPECT_EQ(press(stageXY, FL_PUSH, 725, 257), 1);
    EXPECT_EQ(s.x * 1000 + s.y, 0);
    EXPECT_EQ(press(stageXY, FL_DRAG, 1000, 100), 1);  // outside the view: still editing
    EXPECT_EQ(s.x * 1000 + s.y, 275157);
    EXPECT_EQ(triggerX->value() * 1000 + triggerY->value(), 275157);
    EXPECT_EQ(press(stageXY, FL_RELEASE, 0, 0) + press(stageXY, FL_MOVE, 0, 0), 0);

    // Top view: the stage point (depth 960, x -40) is at (630, 592); 10
    // pixels span a depth of 101.05 and 20 value units.
    const struct { int x, y, state, editZ; float trigger, z, x_; } rows[] = {
        {641, 592, 0, 0, 106.0f / 380, 960, -40},          // 11 pixels off: the time
        {763, 522, 0, 0, 228.0f / 380, 960, -40},          // on another stage's point: the time
        {639, 592, 0, 1, 0.5f, 104.0f / 380 * 3840, -40},  // 9 pixels off: the point
        {630, 582, 0, 0, 95.0f / 380, 960, -40},           // 20 value units off
        {630, 583, 0, 1, 0.5f, 95.0f / 380 * 3840, -22},
        // Ctrl: song time 15 + 15 x 165 / 380 s is nearest beat 22; 18.75 s is beat 19.
        {700, 450, FL_CTRL, 0, 7.0f / 15, 960, -40},
        {630, 592, FL_CTRL, 1, 0.5f, 4.0f / 15 * 3840, -40},
    };
    for (const auto& r : rows) {
        Trigger& t = trigger[1];
        t.stage[0] = {-40, 0, 960, 0, 0, 0, 0.5f};
        EXPECT_EQ(printed([&] { EXPECT_EQ(press(stageXZTrigger, FL_PUSH, r.x, r.y, r.state), 1); }),
                  r.editZ ? "editZ=1\n" : "editZ=0\n") << r.x << "," << r.y;
        EXPECT_EQ(std::make_tuple(t.stage[0].trigger, t.stage[0].z, t.stage[0].x), std::make_tuple(r.trigger, r.z, r.x_))
            << r.x << "," << r.y;
        EXPECT_EQ((r.editZ ? triggerZ : triggerTrigger)->value(), r.editZ ? r.z : r.trigger);
    }
    press(stageXZTrigger, FL_DRAG, 700, 592, FL_CTRL);  // a depth drag snaps too
    EXPECT_EQ(trigger[1].stage[0].z, 7.0f / 15 * 3840);

    stageXZTrigger->scale = 2.5f;  // the read-outs follow any event
    EXPECT_EQ(press(stageXZTrigger, FL_MOVE, 0, 0), 0);
    EXPECT_EQ(valueXZTriggerScale->value(), 2.5);
    ASSERT_EQ(undoList.size(), 3u);  // the new trigger, its selection, then the merged edits
    undo();
    EXPECT_EQ(trigger[1].stage[0].z, 960);
}

TEST_F(StageViews, ZoomScrollAndReset) {
    for (int i = 0; i < 3; i++) cb_2(nullptr, nullptr);
    const float scale = 1.1f * 1.1f * 1.1f;
    EXPECT_EQ(std::make_tuple(stageYZTrigger->scale, scrollYZTrigger->slider_size(), scrollYZTrigger->maximum()),
              std::make_tuple(scale, 1 / scale, double(1 - 1 / scale)));
    EXPECT_EQ(valueYZTriggerScale->value(), scale);
    enter(scrollYZTrigger, 0.2);
    EXPECT_EQ(stageYZTrigger->base + valueYZTriggerBase->value(), 0.2f + 0.2);
    cb_Orig(nullptr, nullptr);
    EXPECT_EQ(stageYZTrigger->scale + stageYZTrigger->base, 1.0f);

    const double maximum = scrollXZTrigger->maximum();
    cb_5(nullptr, nullptr);
    EXPECT_EQ(std::make_tuple(stageXZTrigger->scale, stageXZTrigger->base, scrollXZTrigger->maximum()),
              std::make_tuple(1 / 1.1f, 0.0f, maximum));
    cb_4(nullptr, nullptr), cb_4(nullptr, nullptr);
    select_trigger(1);  // showing a trigger shows the whole segment again
    EXPECT_EQ(stageXZTrigger->scale + stageXZTrigger->base + scrollXZTrigger->value(), 1.0f);
    EXPECT_EQ(scrollXZTrigger->slider_size(), 1.0f);
}

TEST_F(StageViews, StepAndRepeatDialogCopiesUndoAndCapacity) {
    cb_Step(nullptr, nullptr);
    Fl_Double_Window* dialog = stepAndRepeat;
    ASSERT_STREQ(dialog->label(), "Vantrope - Step and Repeat");
    cb_Reset(nullptr, nullptr);
    EXPECT_EQ(snrCount->value() + snrCentreY->value() + snrRZInc->value(), -34);
    enter(snrTriggerInc, 0.25);
    EXPECT_STREQ(snrConversion->value(), "0.250 t = 960.0 Z");
    cb_Match(nullptr, nullptr);
    EXPECT_EQ(snrZInc->value(), 960);
    dialog->hide();  // closed by the window manager: the same dialog comes back
    cb_Step(nullptr, nullptr);
    EXPECT_EQ(stepAndRepeat, dialog);
    EXPECT_TRUE(dialog->visible());
    EXPECT_EQ(snrZInc->value(), 960);

    cb_Reset(nullptr, nullptr);
    snrCentreY->value(0), snrCount->value(3), snrAngle->value(90);
    Fl_Widget_Tracker tracker(dialog);
    cb_OK1(nullptr, nullptr);
    pump_events();
    EXPECT_TRUE(tracker.deleted() && !stepAndRepeat);
    ASSERT_EQ(triggerList->size(), 4);
    for (int n = 2; n <= 4; n++) {  // stage 1 at (100, 0) goes round to (0, -100), (-100, 0), (0, 100)
        EXPECT_STREQ(triggerList->text(n), "StepAndRepeat");
        EXPECT_EQ(std::make_tuple(trigger[n].stageCount, trigger[n].triggerSegment), std::make_tuple(4, 1));
        const float ring[][2] = {{0, -100}, {-100, 0}, {0, 100}};
        EXPECT_NEAR(trigger[n].stage[1].x, ring[n - 2][0], 1e-4);
        EXPECT_NEAR(trigger[n].stage[1].y, ring[n - 2][1], 1e-4);
    }
    EXPECT_STREQ(undo_type(), "Step and Repeat");
    undo();
    EXPECT_EQ(triggerList->size(), 1);

    // Refused when the copies do not fit: nothing changes, the dialog stays.
    while (triggerList->size() < 253) triggerList->add("t");
    const size_t steps = undoList.size();
    cb_Step(nullptr, nullptr);
    for (double count : {3.0, 1e12}) {
        snrCount->value(count);
        cb_OK1(nullptr, nullptr);
        EXPECT_EQ(triggerList->size(), 253);
        EXPECT_EQ(undoList.size(), steps);
        EXPECT_NE(stepAndRepeat, nullptr);  // open, for a lower count
    }
    ASSERT_EQ(dialogs.alerted.size(), 2u);
    EXPECT_NE(dialogs.alerted[0].find("room for 2 more"), std::string::npos);
    snrCount->value(-5);
    cb_OK1(nullptr, nullptr);
    EXPECT_EQ(triggerList->size(), 253);
    EXPECT_EQ(stepAndRepeat, nullptr);
    cb_Step(nullptr, nullptr);
    snrCount->value(2);
    cb_OK1(nullptr, nullptr);
    EXPECT_EQ(triggerList->size(), 255);
}
