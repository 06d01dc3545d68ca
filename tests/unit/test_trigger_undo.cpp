// The trigger list's commands and the undo history, on plain records and a
// vector of lines, with a clock the tests set.
#include "document/line_list.h"
#include "document/trigger_commands.h"
#include "document/undo.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

std::time_t now = 1000;

// The editor's page as far as the commands see it.
class TestPanel : public TriggerPanel {
public:
    VectorLineList list;
    std::vector<std::string> linesWhenShown;  // the lines as update_trigger found them
    int stageSelector = -1, count = 0;

    LineList& lines() override { return list; }
    void update_trigger() override { linesWhenShown = list.lines; begin_update_trigger(list); }
    void update_stage() override {}
    void show_stage_selector() override { stageSelector = activeStage; }
    int step_repeat_count() override { return count; }
    void undo_changed() override {}
};

class TriggerUndo : public ::testing::Test {
protected:
    void SetUp() override {
        previousClock = set_undo_clock([] { return now; });
        set_trigger_panel(&panel);
    }
    void TearDown() override {
        set_trigger_panel(nullptr);
        set_undo_clock(previousClock);
        reset_undo();
    }
    // A level of n triggers; trigger i has health 10 + i, segment i and rotations i.
    void start(int n) {
        reset_level_records();
        activeTrigger = activeStage = activeSegment = 0;
        panel.list = VectorLineList();
        reset_undo();
        for (int i = 1; i <= n; i++) {
            panel.list.add(("target" + std::to_string(i)).c_str());
            trigger[i].health = 10 + i;
            trigger[i].triggerSegment = i;
            for (Stage& s : trigger[i].stage) s.rx = s.ry = static_cast<float>(i);  // for "-x" and "-y" to turn
        }
    }
    TestPanel panel;
    UndoClock previousClock = nullptr;
};

using Lines = std::vector<std::string>;

}  // namespace

TEST_F(TriggerUndo, DeleteRelabelsAndKeepsOrMovesTheSelection) {
    struct Row {
        int triggers, selected;
        Lines lines;
        int activeAfter, highlighted;
    } rows[] = {
        {4, 2, {"target1", "seg03tgt02", "seg4tgt3"}, 2, 2},
        {4, 4, {"seg01tgt01", "target2", "target3"}, 1, 1},
        {1, 1, {}, 1, 0},
        {3, 0, {"target1", "target2", "target3"}, 0, 0},  // nothing selected: nothing deleted (past the end: the property test)
    };
    for (const Row& row : rows) {
        start(row.triggers);
        activeTrigger = row.selected;
        const bool deletes = row.selected >= 1 && row.selected <= row.triggers;
        EXPECT_EQ(delete_trigger(), deletes);
        EXPECT_EQ(panel.list.lines, row.lines) << row.triggers << " " << row.selected;
        for (int i = 1; i <= panel.list.size(); i++)
            EXPECT_EQ(trigger[i].health, 10 + i + (i >= row.selected && deletes));
        EXPECT_EQ(trigger[row.triggers].health, 10 + row.triggers);  // the old last record stays
        EXPECT_EQ(std::make_tuple(activeTrigger, panel.list.selected), std::make_tuple(row.activeAfter, row.highlighted));
        EXPECT_EQ(undoList.size(), deletes ? 1u : 0u);
    }
}

TEST_F(TriggerUndo, CloneCopiesUsedStages) {
    start(2);
    trigger[2].stageCount = 3;
    copy_text(trigger[2].triggerType, "drone.md2");
    for (int i = 0; i < 8; i++) trigger[2].stage[i].x = 1.0f + i;
    trigger[4].stage[3].x = 99;  // a stage slot the clone does not use
    activeTrigger = 2;
    ASSERT_TRUE(add_trigger() && clone_trigger());
    EXPECT_EQ(panel.list.lines, (Lines{"target1", "target2", "target3", "Clone"}));
    EXPECT_EQ(std::make_tuple(trigger[4].stageCount, trigger[4].health), std::make_tuple(3, 12));
    EXPECT_STREQ(trigger[4].triggerType, "drone.md2");
    EXPECT_EQ(std::make_tuple(trigger[4].stage[2].x, trigger[4].stage[3].x), std::make_tuple(3.0f, 99.0f));
}

TEST_F(TriggerUndo, UndoOfEachKind) {
    start(6);
    // Edits of triggers 3 and 5 within two seconds: Undo restores 3 only.
    for (int t : {3, 5}) activeTrigger = t, change_trigger().health = 100 - t;
    undo();
    EXPECT_EQ(std::make_tuple(trigger[3].health, trigger[5].health), std::make_tuple(13, 95));
    EXPECT_EQ(std::make_tuple(activeTrigger, panel.list.selected), std::make_tuple(3, 3));
    // A deleted trigger comes back on a line "Undo" that the refresh relabels.
    activeTrigger = 2, delete_trigger();
    EXPECT_STREQ(undo_type(), "Delete Trigger");
    undo();
    EXPECT_EQ(panel.linesWhenShown[1], "Undo");
    EXPECT_EQ(panel.list.lines[1], "seg02tgt02");
    // A selection comes back with its stage, set after the trigger is shown.
    activeTrigger = 4, activeStage = 3;
    select_trigger(1), undo();
    EXPECT_EQ(std::make_tuple(activeTrigger, activeStage, panel.stageSelector), std::make_tuple(4, 3, 3));
    // A step and repeat's copies are taken off the end of the list; such steps never merge.
    panel.count = 2;
    save_undo(kUndoStepAndRepeat);
    for (const char* copy : {"StepAndRepeat", "StepAndRepeat"}) panel.list.add(copy);
    undo();
    EXPECT_EQ(panel.list.size(), 6);
    EXPECT_STREQ(undo_type(), "Empty");
    save_undo(kUndoStepAndRepeat), save_undo(kUndoStepAndRepeat);
    EXPECT_EQ(undoList.size(), 2u);
}

// Random sequences of edits, undos, redos and resets with a controlled
// clock, against a plain model that keeps whole copies of the records, the
// lines and the selection. After every command the history and the redo
// list are as long as the model's; a selection or a trigger change within
// two seconds of the newest step of its kind merges into it. An Undo brings back the step's records
// (unless it absorbed changes by the merge rule), line count and selection,
// and each line is either as it was or relabelled by a refresh or a delete; a Redo
// brings back exactly the state before its Undo, and an Undo of a redone
// step exactly the state after that Undo.
TEST_F(TriggerUndo, RandomCommandSequences) {
    struct State {
        std::vector<Trigger> records;  // the listed ones, 1..n
        Trigger shown;                 // the selected one, listed or not
        Lines lines;
        int active, stage, selected;
    };
    struct Step {
        State before;        // exact: the whole state to come back; else as described above
        int activeAfterUndo;
        bool exact, merged;
        int kind;
        std::time_t time;    // of the newest change it holds
    };
    struct Redone {
        State beforeUndo, afterUndo;
        int kind;
        std::time_t time;
    };
    auto now_state = [&] {
        return State{{trigger + 1, trigger + 1 + panel.list.size()}, selected_trigger(), panel.list.lines, activeTrigger,
                     activeStage, panel.list.selected};
    };
    auto same_records = [](const State& a) {
        for (size_t i = 0; i < a.records.size(); i++)
            if (std::memcmp(&a.records[i], &trigger[i + 1], sizeof(Trigger)) != 0) return false;
        return true;
    };
    auto expect_exact = [&](const State& want, const char* what) {
        ASSERT_TRUE(same_records(want)) << what;
        ASSERT_EQ(std::memcmp(&want.shown, &selected_trigger(), sizeof(Trigger)), 0) << what;
        ASSERT_EQ(panel.list.lines, want.lines) << what;
        ASSERT_EQ(std::make_tuple(activeTrigger, activeStage, panel.list.selected),
                  std::make_tuple(want.active, want.stage, want.selected)) << what;
    };
    // A label that showing (seg%02dtgt%02d) or deleting (seg%dtgt%d) gives a line.
    auto relabelled = [](const std::string& line) {
        int segment, number;
        char rest;
        return std::sscanf(line.c_str(), "seg%dtgt%d%c", &segment, &number, &rest) == 2;
    };
    std::mt19937 random(20240);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    for (int sequence = 0; sequence < 1000; sequence++) {
        start(sequence % 10 == 0 ? pick(250, 255) : pick(0, 6));
        std::vector<Step> steps;
        std::vector<Redone> redos;
        for (int step = 0; step < 40; step++) {
            SCOPED_TRACE("sequence " + std::to_string(sequence) + " step " + std::to_string(step));
            now += pick(0, 3);
            const int command = pick(0, 14);
            const int kind = command <= 1 ? kUndoNewTrigger : command == 2 ? kUndoDeleteTrigger
                             : command <= 4 ? kUndoSelection : kUndoTriggerChange;
            const bool merges = command >= 3 && command <= 9 && !steps.empty() && steps.back().kind == kind &&
                                now <= steps.back().time + 2;
            const size_t stepsBefore = undoList.size();
            State before = now_state();
            const Trigger selected = selected_trigger();
            switch (command) {
            case 0: add_trigger(); break;
            case 1: clone_trigger(); break;
            case 2: delete_trigger(); break;
            case 3: panel.list.select(pick(0, panel.list.size() + 1)); select_trigger(panel.list.selected); break;
            case 4: select_stage(pick(0, 7)); break;
            case 5: change_trigger().stageCount = pick(2, 8); break;
            case 6: change_trigger().triggerSegment = pick(-5, 300); break;
            case 7: change_stage().x = static_cast<float>(pick(-200, 200)); break;
            case 8: copy_text(change_trigger().triggerType, pick(0, 1) ? "a/b&c.md2" : "_d.md2"); break;
            case 9: {  // "-x" or "-y"; twice gives the path back bit for bit
                const bool x = pick(0, 1), twice = pick(0, 1);
                for (int n = 0; n <= twice; n++) x ? mirror_x() : mirror_y();
                ASSERT_TRUE(!twice || std::memcmp(&selected, &selected_trigger(), sizeof selected) == 0);
                for (const float Stage::*axis : {x ? &Stage::x : &Stage::y, x ? &Stage::rx : &Stage::ry})
                    for (int i = 0; i < 8 && !twice; i++)  // the stages in use change sign, no others
                        ASSERT_EQ(selected_trigger().stage[i].*axis,
                                  i < used_stages(selected) ? -(selected.stage[i].*axis) : selected.stage[i].*axis);
                break;
            }
            case 10: case 11: {
                undo();  // with an empty history, nothing to take back
                if (steps.empty()) {
                    expect_exact(before, "empty history");
                    break;
                }
                const Step& taken = steps.back();
                const int n = static_cast<int>(taken.before.lines.size());
                if (taken.exact && !taken.merged) {
                    expect_exact(taken.before, "undo of a redone step");
                } else {
                    ASSERT_EQ(panel.list.size(), n);
                    ASSERT_TRUE(taken.merged || same_records(taken.before));
                    const int a = taken.activeAfterUndo;
                    ASSERT_EQ(std::make_tuple(activeTrigger, activeStage, panel.list.selected),
                              std::make_tuple(a, taken.before.stage, a >= 1 && a <= n ? a : 0));
                    for (int i = 1; i <= n; i++)
                        ASSERT_TRUE(panel.list.lines[i - 1] == taken.before.lines[i - 1] || relabelled(panel.list.lines[i - 1])) << i;
                }
                redos.push_back({std::move(before), now_state(), taken.kind, taken.time});
                steps.pop_back();
                break;
            }
            case 12: case 13:
                redo();  // with nothing to redo, nothing changes
                if (redos.empty()) {
                    expect_exact(before, "nothing to redo");
                    break;
                }
                expect_exact(redos.back().beforeUndo, "redo");
                steps.push_back({redos.back().afterUndo, redos.back().afterUndo.active, true, false, redos.back().kind,
                                 redos.back().time});
                redos.pop_back();
                break;
            default:  // New or Open
                reset_undo();
                steps.clear(), redos.clear();
            }
            const bool recorded = undoList.size() > stepsBefore && command <= 9;
            ASSERT_TRUE(command < 3 || command > 9 || recorded != merges);
            if (recorded) {
                const int afterUndo = command <= 1 ? static_cast<int>(before.lines.size()) + 1 : before.active;
                steps.push_back({std::move(before), afterUndo, false, false, kind, now});
            } else if (merges) {
                steps.back().merged = true, steps.back().time = now;
            }
            if (recorded || (command >= 3 && command <= 9)) redos.clear();
            ASSERT_EQ(undoList.size(), steps.size());
            ASSERT_EQ(redoList.size(), redos.size());
            ASSERT_LE(panel.list.size(), 255);
            ASSERT_TRUE(activeTrigger >= 0 && activeTrigger <= 255 && activeStage >= 0 && activeStage <= 7 &&
                        activeSegment >= 0 && activeSegment <= 255) << activeTrigger;
            ASSERT_TRUE(panel.list.selected >= 0 && panel.list.selected <= panel.list.size());
        }
    }
}
