#include "document/trigger_commands.h"

#include "document/level_file.h"
#include "document/undo.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Copies the settings and the used stages of one trigger into another; the
// target's stage slots past the count keep what they hold.
void copy_trigger_path(const Trigger& from, Trigger& to) {
    if (&from == &to) return;
    copy_text(to.triggerType, from.triggerType);
    to.triggerSegment = from.triggerSegment;
    to.health = from.health;
    to.points = from.points;
    to.bonusType = from.bonusType;
    to.stageCount = from.stageCount;
    for (int i = 0; i < used_stages(from); i++) to.stage[i] = from.stage[i];
}

void mirror(float Stage::*position, float Stage::*rotation) {
    save_undo(kUndoTriggerChange);
    Trigger& t = selected_trigger();
    for (int i = 0; i < used_stages(t); i++) {
        t.stage[i].*position = -(t.stage[i].*position);
        t.stage[i].*rotation = -(t.stage[i].*rotation);
    }
    trigger_panel()->update_stage();
}

}  // namespace

bool add_trigger() {
    LineList& lines = trigger_panel()->lines();
    int n = lines.size() + 1;
    if (n > kTriggerLinesMax) return false;
    save_undo(kUndoNewTrigger);
    char label[32];
    std::snprintf(label, sizeof label, "target%d", n);
    lines.insert(n, label);
    return true;
}

bool clone_trigger() {
    LineList& lines = trigger_panel()->lines();
    int n = lines.size() + 1;
    if (n > kTriggerLinesMax) return false;
    save_undo(kUndoNewTrigger);
    lines.add("Clone");
    copy_trigger_path(selected_trigger(), trigger[n]);
    return true;
}

bool delete_trigger() {
    LineList& lines = trigger_panel()->lines();
    int n = lines.size();
    int a = activeTrigger;
    if (a < 1 || a > n) return false;
    save_undo(kUndoDeleteTrigger);
    for (int i = a; i < n; i++) {
        trigger[i] = trigger[i + 1];
        char label[48];
        std::snprintf(label, sizeof label, "seg%dtgt%d", trigger[i].triggerSegment, i);
        lines.text(i, label);
    }
    lines.remove(n);
    if (lines.size() < a) activeTrigger = 1;
    // After the last line went, the trigger shown is line 1's: mark it too.
    lines.select(activeTrigger);
    trigger_panel()->update_trigger();
    return true;
}

bool step_and_repeat(const StepRepeatParams& p, int& room) {
    LineList& lines = trigger_panel()->lines();
    room = step_repeat_room(lines.size());
    if (p.count > room) return false;
    save_undo(kUndoStepAndRepeat);
    // A copy may land on the selected record itself (one past the list).
    const Trigger source = selected_trigger();
    for (int i = 1; i <= p.count; i++) {
        lines.add("StepAndRepeat");
        step_repeat_copy(source, i, p, trigger[lines.size()]);
    }
    return true;
}

void select_trigger(int line) {
    save_undo(kUndoSelection);
    activeTrigger = std::clamp(line, 0, kTriggerLinesMax);
    trigger_panel()->update_trigger();
}

void select_stage(int stage) {
    save_undo(kUndoSelection);
    activeStage = std::clamp(stage, 0, kStageCapacity - 1);
    trigger_panel()->update_stage();
}

void mirror_x() { mirror(&Stage::x, &Stage::rx); }
void mirror_y() { mirror(&Stage::y, &Stage::ry); }

Trigger& change_trigger() {
    save_undo(kUndoTriggerChange);
    return selected_trigger();
}

Stage& change_stage() {
    save_undo(kUndoTriggerChange);
    return selected_stage();
}

std::string begin_update_trigger(LineList& lines) {
    activeStage = 0;
    Trigger& t = selected_trigger();
    activeSegment = std::clamp(t.triggerSegment, 0, kSegmentCapacity - 1);
    char label[48];
    std::snprintf(label, sizeof label, "seg%02dtgt%02d", t.triggerSegment, activeTrigger);
    if (activeTrigger >= 1 && activeTrigger <= lines.size()) lines.text(activeTrigger, label);
    if (t.stageCount <= 1) t.stageCount = 2;
    return label;
}
