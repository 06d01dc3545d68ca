// The "Targets" and "Enemy" pages: refreshes, callbacks, the Undo menu item,
// refusals, and a level made on them saved and read back.
#include "gui_test_support.h"

#include <FL/Fl_Menu_Bar.H>

#include <cmath>
#include <sstream>

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

namespace {

void paste(Fl_Input* field, const std::string& text) {
    Fl::e_text = const_cast<char*>(text.c_str()), Fl::e_length = static_cast<int>(text.size());
    field->handle(FL_PASTE);
}

template <class... T> std::string str(const T&... v) {
    std::ostringstream s;
    ((s << v << ' '), ...);
    return s.str().substr(0, s.str().size() - 1);
}

void type_key(Fl_Input* field, char key) {
    char text[2] = {key, '\0'};
    Fl::e_keysym = key, Fl::e_state = 0, Fl::e_text = text, Fl::e_length = 1;
    field->handle(FL_KEYBOARD);
}

}  // namespace

// Stored texts refuse control characters, pasted or chosen: the alert says
// why, the record (or the song field) keeps its text, the field shows it.
TEST_F(TargetsPage, StoredTextsRefuseControlCharacters) {
    dialogs.choices = {"/m/drone.md2", "/s/bo\nom.wav", "/m/dr\none.md2", "/x/so\nng.ogg"};
    cb_Add1(nullptr, nullptr);
    choose(enemyList, 1);
    copy_text(enemyModel[1].lockOnSound, "lock.wav"), copy_text(enemyModel[1].explodeSound, "boom.wav");
    update_enemy();
    song->value("song.ogg");
    const std::function<void()> tries[] = {
        [] { paste(soundLockOn, "boom.wav\nexplosionRadius=999"); }, [] { paste(soundExplode, "a\tb"); },
        [] { paste(soundExplode, "a\x7f"); }, [] { paste(song, "x\r.ogg"); }, [] { cb_6(nullptr, nullptr); },
        [] { cb_Add1(nullptr, nullptr); }, [] { cb_songBrowse(nullptr, nullptr); }};
    for (const auto& attempt : tries) attempt();
    const std::string control = "'s file name holds a line break or another control character, which a level file cannot hold.";
    EXPECT_EQ(dialogs.alerted, (std::vector<std::string>{"The sound" + control, "The sound" + control, "The sound" + control,
                                                         "The song" + control, "The sound" + control, "The model" + control,
                                                         "The song" + control}));
    EXPECT_EQ(str(enemyModel[1].lockOnSound, enemyModel[1].explodeSound, soundLockOn->value(), soundExplode->value(),
                  song->value(), enemyModel[1].explosionRadius, enemyList->size()),
              "lock.wav boom.wav lock.wav boom.wav song.ogg 60 1");
}

// A sound name typed key by key past 255 characters is never stored in
// part: one alert, and record and field go back to the name held before.
TEST_F(TargetsPage, OverLongNameTypedKeyByKey) {
    dialogs.choices = {"/m/drone.md2"};
    cb_Add1(nullptr, nullptr);
    choose(enemyList, 1);
    copy_text(enemyModel[1].lockOnSound, "lock.wav");
    update_enemy();
    soundLockOn->position(soundLockOn->size());
    for (int i = 0; i < 255 - 8; i++) type_key(soundLockOn, 'k');
    EXPECT_EQ(std::make_tuple(std::strlen(enemyModel[1].lockOnSound), dialogs.alerted.size()), std::make_tuple(size_t{255}, size_t{0}));
    // One key past the limit; the next two type on from the stored name, with no alert.
    for (int i = 0; i < 3; i++) type_key(soundLockOn, 'k');
    EXPECT_EQ(str(enemyModel[1].lockOnSound, soundLockOn->value(), dialogs.alerted.size()), "lock.wavkk lock.wavkk 1");
    EXPECT_EQ(dialogs.alerted[0], "The sound's file name is longer than 255 characters, more than a level can hold.");
}

// Score and Bonus outside their items show "(value)" until another trigger
// is shown; the record changes only when a real item is picked.
TEST_F(TargetsPage, ScoreAndBonusOutsideTheirMenus) {
    trigger[2].points = -4, trigger[2].bonusType = 9, trigger[3].points = 1, trigger[3].bonusType = 2;
    for (Fl_Choice* choice : {triggerScore, triggerBonus}) {
        const int items = choice == triggerScore ? 3 : 4;
        choose(triggerList, 2);
        const size_t steps = undoList.size();
        choice->value(items);  // the extra item: nothing changes
        choice->do_callback();
        EXPECT_EQ(str(choice->text(), trigger[2].points, trigger[2].bonusType, undoList.size() - steps),
                  (choice == triggerScore ? "(-4)" : "(9)") + std::string(" -4 9 0"));
        choose(triggerList, 3);
        EXPECT_EQ(str(choice->value(), choice->size()), str(choice == triggerScore ? 1 : 2, items + 1));
    }
    choose(triggerList, 2);
    triggerScore->value(0);
    triggerScore->do_callback();
    EXPECT_EQ(str(trigger[2].points, triggerScore->size(), triggerBonus->text()), "0 4 (9)");
}

// "Redo" names what it would put back, is greyed out with nothing to redo,
// answers Ctrl+Shift+Z and Ctrl+Y; a new change empties it.
TEST_F(TargetsPage, RedoMenuItem) {
    choose(triggerList, 2);
    now += 10;
    enter(triggerHitPoints, 5);
    const Fl_Menu_Item* redo = redo_menu_item();
    auto shows = [&] { return str(redo->label(), redo->active(), redo[1].active(), trigger[2].health); };
    EXPECT_EQ(shows(), "Redo 0 0 5");
    cb_undoMenuItem(nullptr, nullptr);
    EXPECT_EQ(shows(), "Redo Trigger Change 1 1 1");
    const struct { int state, key; void (*callback)(Fl_Menu_*, void*); } keys[] = {
        {FL_CTRL, 'z', cb_undoMenuItem}, {FL_CTRL | FL_SHIFT, 'z', cb_redoMenuItem}, {FL_CTRL, 'y', cb_redoMenuItem}};
    for (const auto& k : keys) {
        Fl::e_state = k.state, Fl::e_keysym = k.key, Fl::e_text = const_cast<char*>(""), Fl::e_length = 0;
        const Fl_Menu_Item* item = menuBar->menu()->test_shortcut();
        EXPECT_TRUE(item && item->callback() == reinterpret_cast<Fl_Callback*>(k.callback)) << k.key << " " << k.state;
    }
    cb_redoMenuItem(nullptr, nullptr);
    EXPECT_EQ(shows(), "Redo 0 0 5");
    cb_undoMenuItem(nullptr, nullptr);
    enter(triggerHitPoints, 7);  // a new change empties the redo list
    EXPECT_EQ(shows(), "Redo 0 0 7");
}
