// The "Targets" and "Enemy" pages beyond the wiring tables of test_wiring.cpp: selecting a trigger,
// and refusals with their alerts.
#include "gui_test_support.h"

#include <sstream>

namespace {

struct TargetsPage : ::testing::Test {
    void SetUp() override {
        cb_New(nullptr, nullptr);
        for (int i = 0; i < 3; i++) cb_Add(nullptr, nullptr);
    }
    ScriptDialogs dialogs;
};

// The values joined by single spaces, to compare several results at once.
template <class... T> std::string str(const T&... v) {
    std::ostringstream s;
    ((s << v << ' '), ...);
    return s.str().substr(0, s.str().size() - 1);
}

}  // namespace

// Selecting a trigger labels its line, mends a stage count under 2, gives an
// empty type the one shown, and adds an unknown type without choosing it.
TEST_F(TargetsPage, SelectingLabelsMendsAndTypes) {
    add_trigger_type("shown.md2");
    triggerType->value(find_trigger_type("shown.md2"));
    trigger[2].triggerSegment = 4, trigger[2].stageCount = 1;
    choose(triggerList, 2);
    EXPECT_EQ(str(triggerList->text(2), triggerName->value(), trigger[2].triggerType, trigger[2].stageCount,
                  triggerStageCount->value(), triggerStage->maximum()), "seg04tgt02 seg04tgt02 shown.md2 2 2 1");
    const int items = triggerType->size();
    copy_text(trigger[3].triggerType, "unknown.md2");
    choose(triggerList, 3);
    EXPECT_EQ(str(triggerType->size() - items, trigger_type_name(triggerType->value())), "1 shown.md2");
}

// Refused with an alert: a 256th trigger or clone, a model name over 255 characters, a 64th model
// (before the chooser opens). A model already listed is not added again.
TEST_F(TargetsPage, EnemyModelsAndRefusalsWithAMessage) {
    while (triggerList->size() < 255) triggerList->add("t");
    cb_Add(nullptr, nullptr);
    cb_Clone(nullptr, nullptr);
    ASSERT_EQ(str(triggerList->size(), dialogs.alerted.size()), "255 2");
    EXPECT_NE(dialogs.alerted[0].find("255 triggers"), std::string::npos);
    const std::string longName = "/m/" + std::string(256, 'n') + ".md2";
    dialogs.choices = {"/m/hornet.md2", "/m/hornet.md2", "C:\\x\\moth.md2", longName};
    const int items = triggerType->size();
    for (int i = 0; i < 4; i++) cb_Add1(nullptr, nullptr);
    EXPECT_EQ(str(triggerType->size() - items, enemyList->size(), enemyList->text(2), dialogs.alerted.size()),
              "2 2 moth.md2 3");
    choose(enemyList, 0);
    while (enemyList->size() < 63) enemyList->add("e");
    cb_Add1(nullptr, nullptr);
    EXPECT_EQ(str(activeEnemy, dialogs.alerted.size(), dialogs.chooserTitles.size()), "0 4 4");
}
