// The stage views drawn off screen and read back pixel by pixel, the mouse fed synthesized events,
// the zoom controls, and the "Step and Repeat" dialog.
#include "gui_test_support.h"

#include <cmath>

namespace {

const Rgb kGrey{96, 96, 96}, kWhite{255, 255, 255}, kBlack{0, 0, 0}, kRed{255, 0, 0};

int press(Fl_Widget* view, int event, int x, int y, int state = 0) {
    Fl::e_x = x, Fl::e_y = y, Fl::e_state = state;
    return view->handle(event);
}

struct StageViews : ::testing::Test {
    void SetUp() override {
        cb_New(nullptr, nullptr);
        cb_Add(nullptr, nullptr);
        // One minute over four segments at 60 bpm: a beat is 1/15 of a segment.
        levelDuration->value(1), levelSegments->value(4), bpm->value(60);
        beatGridButton->value(1);
        Trigger& t = trigger[1];
        t.triggerSegment = 1, t.stageCount = 4;
        t.stage[0] = {-40, 0, 960, 0, 0, 0, 0.5f}, t.stage[1] = {100, 0, 2304, 0, 0, 0, 0.75f};
        t.stage[2] = {100, 60, 1e7f, 0, 0, 0, 3}, t.stage[3] = {5000, 60, 0, 0, 0, 0, 0};
        triggerList->value(1);
        select_trigger(1);
        now += 10;
    }
    ScriptDialogs dialogs;
    Fl_Widget *xy = stageXY, *yz = stageYZTrigger, *xz = stageXZTrigger;
};

}  // namespace

TEST_F(StageViews, PixelsOfThePathAndTheBeatGrid) {
    select_stage(1);
    const Rgb kBlue{0, 0, 192}, kDarkBlue{0, 0, 128}, kLine{255, 0, 64}, kOther{192, 0, 0}, kBeat{118, 118, 118},
        kBar{156, 156, 156};
    // Front view: centre (725, 257); stages at (685, 257), (825, 257), (825, 197) and far right.
    // Side view: left 10, 520 pixels a segment, 520 / 3840 a depth unit, centre row 572; beat k of
    // segment 1 (song beat 15 + k, a bar every fourth) at column 10 + 520 k / 15. Top view: left 535,
    // 380 pixels a segment, 380 / 3840 a depth unit.
    const struct { Fl_Widget* view; int x, y; Rgb colour; } rows[] = {
        {xy, 540, 95, kGrey},     {xy, 725, 287, kWhite},   {xy, 720, 297, kWhite},   {xy, 730, 297, kWhite},
        {xy, 775, 257, kBlack},   {xy, 825, 230, kBlack},   {xy, 914, 197, kBlack},   {xy, 684, 256, kDarkBlue},
        {xy, 686, 258, kDarkBlue}, {xy, 685, 257, kBlack},   {xy, 824, 256, kRed},     {xy, 826, 258, kRed},
        {xy, 826, 196, kDarkBlue}, {yz, 400, 466, kLine},    {yz, 270, 466, kOther},   {yz, 396, 594, kWhite},
        {yz, 404, 594, kWhite},   {yz, 321, 571, kRed},     {yz, 323, 573, kRed},     {yz, 139, 571, kBlue},
        {yz, 141, 573, kBlue},    {yz, 529, 572, kBlack},   {yz, 60, 678, kGrey},     {yz, 44, 678, kBar},
        {yz, 46, 678, kGrey},     {yz, 79, 678, kBeat},     {yz, 183, 678, kBar},     {yz, 495, 678, kBeat},
        {xz, 820, 466, kLine},    {xz, 725, 466, kOther},   {xz, 816, 577, kWhite},   {xz, 824, 577, kWhite},
        {xz, 762, 521, kRed},     {xz, 764, 523, kRed},     {xz, 629, 591, kBlue},    {xz, 631, 593, kBlue},
        {xz, 914, 522, kBlack},   {xz, 550, 678, kGrey},
    };
    for (const auto& r : rows)
        EXPECT_EQ(pixel(render(r.view), r.view, r.x, r.y), r.colour) << r.view->label() << " " << r.x << ", " << r.y;
    beatGridButton->value(0);
    EXPECT_EQ(pixel(render(stageYZTrigger), stageYZTrigger, 44, 678), kGrey);
}

// Presses and drags near and far from the selected stage's point in each view: the stage's values
// from the formulas, the fields and read-outs, editZ, one undo step per press. The side view is
// zoomed (scale 2 from 0.125). The stage point (depth 960, y 0, x -40) is at (140, 572) in the side
// view and (630, 592) in the top view; 10 pixels span a depth of 36.9 and 101.05 and 20 value units.
TEST_F(StageViews, MousePlacesTheSelectedStage) {
    const Stage start{-40, 0, 960, 0, 0, 0, 0.5f};
    stageYZTrigger->scale = 2, stageYZTrigger->base = 0.125f;
    const struct { Fl_Widget* view; int event, x, y, state, editZ; float snapped; } rows[] = {
        {xy, FL_PUSH, 725, 257, 0, 0, NAN}, {xy, FL_DRAG, 1000, 100, 0, 0, NAN},  // outside: still editing
        {xy, FL_PUSH, 600, 300, 0, 0, NAN}, {yz, FL_PUSH, 140, 572, 0, 1, NAN}, {yz, FL_DRAG, 300, 400, 0, 1, NAN},
        {yz, FL_PUSH, 152, 572, 0, 0, NAN}, {yz, FL_DRAG, 60, 500, 0, 0, NAN},
        {xz, FL_PUSH, 641, 592, 0, 0, NAN},  // 11 pixels off: the time
        {xz, FL_PUSH, 763, 522, 0, 0, NAN},  // on another stage's point: the time
        {xz, FL_PUSH, 639, 583, 0, 1, NAN}, {xz, FL_DRAG, 800, 500, 0, 1, NAN},
        {xz, FL_PUSH, 630, 582, 0, 0, NAN},  // 20 value units off
        // Ctrl: song time 15 + 15 x 165 / 380 s is nearest beat 22; 18.75 s is beat 19.
        {xz, FL_PUSH, 700, 450, FL_CTRL, 0, 7.0f / 15}, {xz, FL_PUSH, 630, 592, FL_CTRL, 1, 4.0f / 15},
        {xz, FL_DRAG, 700, 592, FL_CTRL, 1, 7.0f / 15},  // a depth drag snaps too
    };
    Stage want = start;
    for (const auto& r : rows) {
        Trigger& t = trigger[1];
        if (r.event == FL_PUSH) t.stage[0] = want = start, now += 10;
        const Trigger before = t;
        const size_t steps = undoList.size();
        const int X = r.view->x(), Y = r.view->y(), W = r.view->w(), H = r.view->h();
        const std::string out = printed([&] { EXPECT_EQ(press(r.view, r.event, r.x, r.y, r.state), 1); });
        auto* time = r.view == stageXY ? nullptr : static_cast<Fl_StageZTrigger*>(r.view);
        if (!time) {
            want.x = float((r.x - X) - W / 2), want.y = float(H / 2 - (r.y - Y));
            EXPECT_EQ(triggerX->value() * 1000 + triggerY->value(), want.x * 1000 + want.y);
        } else {
            const float tm = std::isnan(r.snapped) ? float(r.x - X) / float(W) / time->scale + time->base : r.snapped;
            const float vm = float(2 * (H / 2 - (r.y - Y)));
            if (r.editZ) want.z = tm * 3840, (time->view ? want.y : want.x) = vm;
            else want.trigger = tm;
            EXPECT_EQ(time->editZ, bool(r.editZ)) << r.x << "," << r.y;
            EXPECT_EQ(out, r.event == FL_DRAG ? "" : r.editZ ? "editZ=1\n" : "editZ=0\n");
            EXPECT_EQ((r.editZ ? triggerZ : triggerTrigger)->value(), r.editZ ? want.z : want.trigger);
            EXPECT_TRUE(!r.editZ || (time->view ? triggerY : triggerX)->value() == vm);
            EXPECT_EQ((time->view ? valueYZTriggerBase : valueXZTriggerBase)->value(), time->base);
            EXPECT_EQ((time->view ? valueYZTriggerScale : valueXZTriggerScale)->value(), time->scale);
        }
        Trigger expected = before;
        expected.stage[0] = want;
        EXPECT_EQ(std::memcmp(&t, &expected, sizeof t), 0) << r.view->label() << " " << r.x << "," << r.y;
        ASSERT_EQ(undoList.size(), steps + (r.event == FL_PUSH)) << r.x << "," << r.y;
        EXPECT_EQ(undoList.back().type, kUndoTriggerChange);
    }
    EXPECT_EQ(press(stageXY, FL_RELEASE, 0, 0) + press(stageXY, FL_MOVE, 0, 0), 0);
    cb_undoMenuItem(nullptr, nullptr);
    EXPECT_EQ(trigger[1].stage[0].z, 960);
}

TEST_F(StageViews, ZoomScrollAndReset) {
    for (int i = 0; i < 3; i++) cb_2(nullptr, nullptr);
    const float scale = 1.1f * 1.1f * 1.1f;
    EXPECT_EQ(std::make_tuple(stageYZTrigger->scale, valueYZTriggerScale->value(), scrollYZTrigger->slider_size(),
                              scrollYZTrigger->maximum()),
              std::make_tuple(scale, double(scale), 1 / scale, double(1 - 1 / scale)));
    enter(scrollYZTrigger, 0.2);
    EXPECT_EQ(stageYZTrigger->base + valueYZTriggerBase->value(), 0.2f + 0.2);
    cb_Orig(nullptr, nullptr);  // the base comes back into range, and shows
    EXPECT_EQ(stageYZTrigger->scale + stageYZTrigger->base + valueYZTriggerBase->value(), 1.0f);

    const double maximum = scrollXZTrigger->maximum();
    cb_5(nullptr, nullptr);
    EXPECT_EQ(std::make_tuple(stageXZTrigger->scale, stageXZTrigger->base, scrollXZTrigger->maximum()),
              std::make_tuple(1 / 1.1f, 0.0f, maximum));
    cb_4(nullptr, nullptr), cb_4(nullptr, nullptr);
    select_trigger(1);  // showing a trigger shows the whole segment again
    EXPECT_EQ(std::make_tuple(stageXZTrigger->scale, stageXZTrigger->base, scrollXZTrigger->value(), scrollXZTrigger->slider_size()),
              std::make_tuple(1.0f, 0.0f, 0.0, 1.0f));
}

// Every field non-zero, entered through the dialog with the Match buttons between: the copies are,
// bit for bit, the single-precision formulas in their order; stage slots past the count keep theirs.
// The dialog closed by the window manager comes back as it was; copies past 255 triggers are refused
// with the room left, the dialog staying open for a lower count.
TEST_F(StageViews, StepAndRepeatCopiesAreTheFormulasExactly) {
    Trigger& src = trigger[1];
    copy_text(src.triggerType, "snr.md2");
    src.health = 3, src.points = 2, src.bonusType = 1, src.stageCount = 3;
    for (int k = 0; k < 8; k++) src.stage[k] = {12.5f * k - 31, 7.25f - 9 * k, 333.0f + 77 * k, 3.0f * k + 1, -5.0f * k, 11, 0.1f * k};
    for (int n = 2; n <= 4; n++)
        for (Stage& s : trigger[n].stage) s = {float(n), 1, 2, 3, 4, 5, 6};
    const std::vector<Trigger> before(trigger, trigger + 5);
    cb_Step(nullptr, nullptr);
    Fl_Double_Window* dialog = stepAndRepeat;
    enter(snrZInc, 960);
    dialog->hide();
    cb_Step(nullptr, nullptr);
    ASSERT_TRUE(stepAndRepeat == dialog && dialog->visible() && snrZInc->value() == 960);
    auto button = [](const char* label) { return labelled(stepAndRepeat, label); };
    const float length = segment[1].length;  // the selected trigger's segment
    char line[64];
    enter(snrTriggerInc, 0.125);
    std::snprintf(line, sizeof line, "0.125 t = %.1f Z", 256 * 0.125 * length);
    EXPECT_STREQ(snrConversion->value(), line);
    button("Match to Trigger")->do_callback();
    EXPECT_EQ(snrZInc->value(), 256 * 0.125 * length);
    enter(snrZInc, 150);
    std::snprintf(line, sizeof line, "150.0 Z = %.3f t", 150 / (256 * length));
    EXPECT_STREQ(snrConversion->value(), line);
    button("Match to Z")->do_callback();
    EXPECT_EQ(snrTriggerInc->value(), 150 / (256 * length));
    const std::pair<Fl_Value_Input*, double> fields[] = {{snrCount, 3.9}, {snrAngle, 37}, {snrCentreX, 12.5},
        {snrCentreXInc, -3.25}, {snrCentreY, -35.5}, {snrCentreYInc, 4.75}, {snrRXInc, 7}, {snrRYInc, -11}, {snrRZInc, 13}};
    for (const auto& [field, value] : fields) enter(field, value);
    button("OK")->do_callback();
    ASSERT_EQ(triggerList->size(), 4);
    const float a = float(37 * 0.017453292519943295), cx = 12.5f, cy = -35.5f;
    for (int i = 1; i <= 3; i++) {
        Trigger want = before[1 + i];
        copy_text(want.triggerType, src.triggerType);
        want.triggerSegment = 1, want.health = 3, want.points = 2, want.bonusType = 1, want.stageCount = 3;
        const float f = float(i), ang = a * f, ddx = -3.25f * f, ddy = 4.75f * f;
        for (int k = 0; k < 3; k++) {
            const Stage& s = src.stage[k];
            Stage& c = want.stage[k];
            const float u = (s.x - cx) + ddx, v = (s.y - cy) + ddy;
            c.trigger = float(150 / (256 * length)) * f + s.trigger;
            c.x = (cosf(ang) * u + sinf(ang) * v) + cx;
            c.y = cy + ((-u) * sinf(ang) + v * cosf(ang));
            c.z = 150.0f * f + s.z, c.rx = 7.0f * f + s.rx, c.ry = -11.0f * f + s.ry, c.rz = 13.0f * f + s.rz;
        }
        EXPECT_EQ(std::memcmp(&trigger[1 + i], &want, sizeof want), 0) << i;
        EXPECT_STREQ(triggerList->text(1 + i), "StepAndRepeat");
    }
    EXPECT_EQ(std::memcmp(&trigger[1], &before[1], sizeof src), 0);
    EXPECT_EQ(std::make_tuple(undoList.back().type, undoList.back().count, stepAndRepeat == nullptr),
              std::make_tuple(int(kUndoStepAndRepeat), 3, true));
    undo();
    EXPECT_EQ(triggerList->size(), 1);
    while (triggerList->size() < 253) triggerList->add("t");
    const size_t steps = undoList.size();
    cb_Step(nullptr, nullptr);
    snrCount->value(3);
    button("OK")->do_callback();
    EXPECT_EQ(std::make_tuple(triggerList->size(), undoList.size(), stepAndRepeat != nullptr),
              std::make_tuple(253, steps, true));
    ASSERT_EQ(dialogs.alerted.size(), 1u);
    EXPECT_NE(dialogs.alerted[0].find("room for 2 more"), std::string::npos);
}
