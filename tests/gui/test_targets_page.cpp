// The "Targets" and "Enemy" pages: refreshes, callbacks, the Undo menu item,
// refusals, and a level made on them saved and read back.
#include "gui_test_support.h"

#include <cmath>

namespace {

class TargetsPage : public ::testing::Test {
protected:
    void SetUp() override {
        cb_New(nullptr, nullptr);
        for (int i = 0; i < 3; i++) cb_Add(nullptr, nullptr);
        now += 10;
    }
    ScriptDialogs dialogs;
};

}  // namespace

// Every widget of the page and every label drawn outside a widget lies in
// the page, clear of all the others. A time view's label is centred between
// its base and scale read-outs.
TEST(TargetsPageLayout, WidgetsAndLabelsDoNotOverlap) {
    std::vector<std::pair<std::array<int, 4>, std::string>> boxes;  // x, y, w, h
    for (int i = 0; i < targetsPage->children(); i++) {
        const Fl_Widget* c = targetsPage->child(i);
        const std::string what = c->label() ? c->label() : "widget " + std::to_string(i);
        boxes.push_back({{c->x(), c->y(), c->w(), c->h()}, what});
        const int a = c->align();
        if (!c->label() || !(a & 15) || (a & FL_ALIGN_INSIDE)) continue;
        int lw = 0, lh = 0;
        fl_font(c->labelfont(), c->labelsize());
        fl_measure(c->label(), lw, lh);
        const auto* base = c == stageYZTrigger ? valueYZTriggerBase : c == stageXZTrigger ? valueXZTriggerBase : nullptr;
        const auto* scale = c == stageYZTrigger ? valueYZTriggerScale : valueXZTriggerScale;
        const int x = base ? (base->x() + base->w() + scale->x() - lw) / 2
                           : a == FL_ALIGN_TOP ? c->x() + (c->w() - lw) / 2 : a == FL_ALIGN_LEFT ? c->x() - lw : c->x();
        EXPECT_TRUE(a == FL_ALIGN_TOP || a == FL_ALIGN_TOP_LEFT || a == FL_ALIGN_LEFT) << what;
        boxes.push_back({{x, a == FL_ALIGN_LEFT ? c->y() : c->y() - lh, lw, a == FL_ALIGN_LEFT ? c->h() : lh}, what + " label"});
    }
    EXPECT_GE(boxes.size(), 30u);
    for (size_t i = 0; i < boxes.size(); i++) {
        const auto& [p, what] = boxes[i];
        EXPECT_TRUE(p[0] >= 5 && p[1] >= 65 && p[0] + p[2] <= 925 && p[1] + p[3] <= 710) << what;
        for (size_t j = i + 1; j < boxes.size(); j++) {
            const auto& q = boxes[j].first;
            EXPECT_TRUE(p[0] >= q[0] + q[2] || q[0] >= p[0] + p[2] || p[1] >= q[1] + q[3] || q[1] >= p[1] + p[3])
                << what << " overlaps " << boxes[j].second;
        }
    }
}

TEST_F(TargetsPage, SelectingShowsATriggerAndFieldsEditItUntilUndo) {
    add_trigger_type("shown.md2");
    triggerType->value(find_trigger_type("shown.md2"));
    Trigger& t = trigger[2];
    t.triggerSegment = 4, t.health = 6, t.points = 2, t.bonusType = 3, t.stageCount = 1;
    t.stage[0] = {-12, 13, 700, 90, -45, 359, 0.25f};
    choose(triggerList, 2);
    EXPECT_STREQ(triggerList->text(2), "seg04tgt02");
    EXPECT_STREQ(triggerName->value(), "seg04tgt02");
    Fl_Valuator* fields[] = {triggerSegment, triggerHitPoints, triggerX, triggerY, triggerZ, triggerRX,
                             triggerRY,      triggerRZ,        triggerTrigger, triggerStageCount, triggerStage};
    const double shown[] = {4, 6, -12, 13, 700, 90, -45, 359, 0.25, 2, 0};
    for (int i = 0; i < 11; i++) EXPECT_EQ(fields[i]->value(), shown[i]) << fields[i]->label();
    EXPECT_EQ(std::make_tuple(triggerScore->value(), triggerBonus->value(), triggerStage->maximum()), std::make_tuple(2, 3, 1.0));
    EXPECT_STREQ(t.triggerType, "shown.md2");  // an empty type takes the one shown
    EXPECT_EQ(std::make_tuple(t.stageCount, activeSegment), std::make_tuple(2, 4));

    const Trigger before = t;
    const double entered[] = {5, 7.9, -1, 2, -7000, 9, -45, 360, 0.125, 5};
    for (int i = 0; i < 10; i++) {
        enter(fields[i], entered[i]);
        EXPECT_STREQ(undo_menu_item()->label(), "Undo Trigger Change");
    }
    const Stage& s = t.stage[0];
    const double stored[] = {double(t.triggerSegment), double(t.health), s.x, s.y, s.z, s.rx, s.ry, s.rz,
                             s.trigger, double(t.stageCount)};
    for (int i = 0; i < 10; i++) EXPECT_EQ(stored[i], i == 1 ? 7 : entered[i]) << fields[i]->label();
    EXPECT_EQ(std::make_tuple(activeSegment, pathPosition->value(), triggerStage->maximum()), std::make_tuple(5, 5.0, 4.0));
    enter(triggerRoller, 0.5);
    EXPECT_EQ(s.trigger + triggerTrigger->value(), 1.0);

    cb_undoMenuItem(nullptr, nullptr);  // one step: the edits came within two seconds
    EXPECT_EQ(std::memcmp(&t, &before, sizeof before), 0);
    EXPECT_STREQ(undo_menu_item()->label(), "Undo Selection");
    const int items = triggerType->size();
    copy_text(trigger[3].triggerType, "unknown.md2");
    choose(triggerList, 3);  // a type not in the choice is added, not chosen
    EXPECT_EQ(triggerType->size(), items + 1);
    EXPECT_STREQ(trigger_type_name(triggerType->value()), "shown.md2");
}

TEST_F(TargetsPage, TypeNamesAreShownAndChosenAsWritten) {
    const char* rows[][2] = {{"t/b.md2", "t/b.md2"}, {"t\\d.md2", "t\\d.md2"}, {"t&y.md2", "t&&y.md2"},
                             {"_t.md2", "_t.md2"},   {"@t.md2", "@@t.md2"},     {"t&&", "t&&&&"}};
    choose(triggerList, 1);
    for (const auto& row : rows) {
        const int items = triggerType->size();
        add_trigger_type(row[0]);
        add_trigger_type(row[0]);
        ASSERT_EQ(triggerType->size(), items + 1) << row[0];
        triggerType->value(find_trigger_type(row[0]));
        EXPECT_STREQ(triggerType->text(), row[1]);  // drawn: "&&" as "&", "@@" as "@"
        triggerType->do_callback();
        EXPECT_STREQ(trigger[1].triggerType, row[0]);
    }
}

TEST_F(TargetsPage, EnemyModelsAndRefusalsWithAMessage) {
    while (triggerList->size() < 255) triggerList->add("t");
    cb_Add(nullptr, nullptr);
    cb_Clone(nullptr, nullptr);
    EXPECT_EQ(triggerList->size(), 255);
    ASSERT_EQ(dialogs.alerted.size(), 2u);
    EXPECT_NE(dialogs.alerted[0].find("255 triggers"), std::string::npos);

    const std::string longName = "/m/" + std::string(256, 'n') + ".md2";
    dialogs.choices = {"/m/hornet.md2", "/m/hornet.md2", "C:\\x\\moth.md2", longName, "/s/a\\boom.wav"};
    const int items = triggerType->size();
    for (int i = 0; i < 4; i++) cb_Add1(nullptr, nullptr);
    EXPECT_EQ(triggerType->size(), items + 2);
    ASSERT_EQ(enemyList->size(), 2);
    EXPECT_STREQ(enemyList->text(2), "moth.md2");
    EXPECT_EQ(dialogs.alerted.size(), 3u);  // the long name
    choose(enemyList, 2);
    cb_7(nullptr, nullptr);
    soundExplode->value(std::string(256, 's').c_str());
    soundExplode->do_callback();  // refused: the chosen name stays
    EXPECT_STREQ(enemyModel[2].explodeSound, "boom.wav");
    EXPECT_EQ(dialogs.alerted.size(), 4u);

    const char* colours[][2] = {{"#ff8000", "#ffff8000"}, {"zz", "#ffff8000"}, {"#", "#ffff8000"},
                                {"#12g", "#ff000012"}};
    for (const auto& row : colours) {
        explosionFirstColor->value(row[0]);
        explosionFirstColor->do_callback();
        choose(enemyList, 2);
        EXPECT_STREQ(explosionFirstColor->value(), row[1]) << row[0];
    }
    choose(enemyList, 0);
    EXPECT_EQ(activeEnemy, 0);
    while (enemyList->size() < 63) enemyList->add("e");
    cb_Add1(nullptr, nullptr);
    EXPECT_EQ(dialogs.alerted.size(), 5u);
    EXPECT_EQ(dialogs.chooserTitles.size(), 5u);  // refused before a file is chosen
}

// Triggers and enemy models made on the pages are saved and read back equal
// at the precision the file keeps.
TEST_F(TargetsPage, LevelMadeOnThePagesRoundTrips) {
    dialogs.choices = {"/m/drone.md2", "/m/wasp.md2"};
    cb_Add1(nullptr, nullptr);
    cb_Add1(nullptr, nullptr);
    double value = 0.1;
    for (int line = 1; line <= 3; line++) {
        choose(triggerList, line);
        triggerType->value(find_trigger_type(line % 2 ? "drone.md2" : "wasp.md2"));
        triggerScore->value(line - 1);
        triggerBonus->value(line);
        for (Fl_Choice* choice : {triggerType, triggerScore, triggerBonus}) choice->do_callback();
        enter(triggerHitPoints, line);
        enter(triggerSegment, line);
        enter(triggerStageCount, 2 + line);
        for (int stage = 0; stage < 2 + line; stage++) {
            enter(triggerStage, stage);
            for (Fl_Valuator* field : {triggerX, triggerY, triggerZ, triggerRX, triggerRY, triggerRZ, triggerTrigger})
                enter(field, value += 1.37);
        }
    }
    choose(enemyList, 2);
    explosionLastColor->value("#12abef");
    soundLockOn->value("lock.wav");
    for (Fl_Widget* field : {(Fl_Widget*)explosionLastColor, (Fl_Widget*)soundLockOn}) field->do_callback();
    enter(explosionRadius, 12.25);
    enter(explosionHeight, 0.1234564);
    enter(explosionDuration, 2.3456);
    TempFolder tmp;
    const std::string path = tmp / "made.txt";
    ASSERT_TRUE(save_level(path.c_str()));
    const std::vector<Trigger> made(trigger, trigger + 4);
    const std::vector<EnemyModel> models(enemyModel, enemyModel + 3);
    load_level(path.c_str());
    ASSERT_EQ(std::make_tuple(triggerList->size(), enemyList->size()), std::make_tuple(3, 2));
    for (int t = 1; t <= 3; t++) {
        for (int i = 0; i < made[t].stageCount; i++)
            for (auto f : {&Stage::x, &Stage::y, &Stage::z, &Stage::rx, &Stage::ry, &Stage::rz, &Stage::trigger}) {
                float &read = trigger[t].stage[i].*f, written = made[t].stage[i].*f;
                EXPECT_NEAR(read, written, std::fabs(written) * 1e-5) << t << " " << i;  // six digits
                read = written;
            }
        EXPECT_EQ(std::memcmp(&trigger[t], &made[t], sizeof(Trigger)), 0) << t;  // all else exactly
    }
    for (int e = 1; e <= 2; e++) {
        EnemyModel& a = enemyModel[e];
        EXPECT_NEAR(a.explosionHeightScale, models[e].explosionHeightScale, 5e-7);  // six decimals
        a.explosionHeightScale = models[e].explosionHeightScale;
        EXPECT_EQ(a.explosionDuration, e == 2 ? 2.345f : 1.0f);  // whole milliseconds
        a.explosionDuration = models[e].explosionDuration;
        EXPECT_EQ(std::memcmp(&a, &models[e], sizeof a), 0) << e;  // names and sounds zero-padded alike
    }
}
