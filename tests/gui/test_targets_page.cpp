// The "Targets" and "Enemy" pages: the layout, the rules of selecting a
// trigger, type names, and refusals (each control's field: test_wiring.cpp).
#include "gui_test_support.h"

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

// Selecting a trigger labels its line, mends a stage count under 2, gives an
// empty type the one shown, and adds an unknown type without choosing it.
TEST_F(TargetsPage, SelectingLabelsMendsAndTypes) {
    add_trigger_type("shown.md2");
    triggerType->value(find_trigger_type("shown.md2"));
    trigger[2].triggerSegment = 4, trigger[2].stageCount = 1;
    choose(triggerList, 2);
    EXPECT_STREQ(triggerList->text(2), "seg04tgt02");
    EXPECT_STREQ(triggerName->value(), "seg04tgt02");
    EXPECT_STREQ(trigger[2].triggerType, "shown.md2");
    EXPECT_EQ(std::make_tuple(trigger[2].stageCount, triggerStageCount->value(), triggerStage->maximum()),
              std::make_tuple(2, 2.0, 1.0));
    const int items = triggerType->size();
    copy_text(trigger[3].triggerType, "unknown.md2");
    choose(triggerList, 3);
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
// A sound name typed key by key past 255 characters is never stored in part.
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
    // A name typed key by key is stored up to 255 characters; one key past
    // that gives one alert and the name held before, and the next two type
    // on from it with none.
    dialogs.alerted.clear();
    soundLockOn->position(soundLockOn->size());
    for (int i = 0; i < 255 - 8; i++) type_key(soundLockOn, 'k');
    EXPECT_EQ(std::make_tuple(std::strlen(enemyModel[1].lockOnSound), dialogs.alerted.size()), std::make_tuple(size_t{255}, size_t{0}));
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

// "Redo" names what it would put back and is greyed out, with its Ctrl+Y
// twin, when there is nothing to redo; a new change empties it (the keys
// themselves: the end-to-end test).
TEST_F(TargetsPage, RedoMenuItem) {
    choose(triggerList, 2);
    now += 10;
    enter(triggerHitPoints, 5);
    const Fl_Menu_Item* redo = redo_menu_item();
    auto shows = [&] { return str(redo->label(), redo->active(), redo[1].active(), trigger[2].health); };
    EXPECT_EQ(shows(), "Redo 0 0 5");
    cb_undoMenuItem(nullptr, nullptr);
    EXPECT_EQ(shows(), "Redo Trigger Change 1 1 1");
    cb_redoMenuItem(nullptr, nullptr);
    EXPECT_EQ(shows(), "Redo 0 0 5");
    cb_undoMenuItem(nullptr, nullptr);
    enter(triggerHitPoints, 7);  // a new change empties the redo list
    EXPECT_EQ(shows(), "Redo 0 0 7");
}
