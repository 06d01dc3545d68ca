#include "document/undo.h"

#include "document/level_file.h"
#include "document/trigger_selection.h"

#include <algorithm>

std::deque<UndoRedo> undoList;

namespace {

std::time_t system_clock() { return std::time(nullptr); }

UndoClock undoClock = system_clock;

void announce() {
    if (TriggerPanel* panel = trigger_panel()) panel->undo_changed();
}

// Puts a deleted trigger back at number t: triggers t..n move down a number.
void reinsert_trigger(LineList& lines, int t, const Trigger& saved) {
    int n = lines.size();
    if (t < 1 || t > n + 1 || n + 1 > kTriggerLinesMax) return;
    for (int i = n; i >= t; i--) trigger[i + 1] = trigger[i];
    trigger[t] = saved;
    lines.insert(t, "Undo");
}

// Takes away trigger t that an Add or Clone appended (or any later one).
void remove_trigger(LineList& lines, int t) {
    if (t < 1 || t > lines.size()) return;
    lines.remove(t);
    int m = lines.size();
    for (int i = t + 1; i <= m + 1; i++) trigger[i - 1] = trigger[i];
}

}  // namespace

UndoClock set_undo_clock(UndoClock clock) {
    UndoClock previous = undoClock;
    undoClock = clock ? clock : system_clock;
    return previous;
}

const char* undo_kind_label(int type) {
    switch (type) {
    case kUndoSelection: return "Selection";
    case kUndoTriggerChange: return "Trigger Change";
    case kUndoNewTrigger: return "New Trigger";
    case kUndoDeleteTrigger: return "Delete Trigger";
    case kUndoStepAndRepeat: return "Step and Repeat";
    default: return "Unknown";
    }
}

const char* undo_type() { return undoList.empty() ? "Empty" : undo_kind_label(undoList.back().type); }

void save_undo(int type) {
    std::time_t now = undoClock();
    if (!undoList.empty()) {
        UndoRedo& newest = undoList.back();
        // Only the kind and the time are compared: the step keeps the state
        // from before the first of the merged changes.
        if (newest.type == type && (type == kUndoSelection || type == kUndoTriggerChange) &&
            now <= newest.time + 2) {
            newest.time = now;
            return;
        }
    }
    UndoRedo step;
    step.type = type;
    step.time = now;
    step.triggerNumber = std::clamp(activeTrigger, 0, kTriggerLinesMax);
    step.stage = std::clamp(activeStage, 0, kStageCapacity - 1);
    TriggerPanel* panel = trigger_panel();
    switch (type) {
    case kUndoTriggerChange:
    case kUndoDeleteTrigger: step.savedTrigger = std::make_unique<Trigger>(selected_trigger()); break;
    case kUndoNewTrigger: step.triggerNumber = (panel ? panel->lines().size() : 0) + 1; break;
    case kUndoStepAndRepeat: step.count = panel ? panel->step_repeat_count() : 0; break;
    default: break;
    }
    undoList.push_back(std::move(step));
    announce();
}

void undo() {
    TriggerPanel* panel = trigger_panel();
    if (undoList.empty() || !panel) return;
    // The step leaves the history before the refresh below runs.
    UndoRedo step = std::move(undoList.back());
    undoList.pop_back();
    LineList& lines = panel->lines();
    int t = step.triggerNumber;
    switch (step.type) {
    case kUndoTriggerChange:
        if (step.savedTrigger && t >= 0 && t <= kTriggerLinesMax) trigger[t] = *step.savedTrigger;
        break;
    case kUndoDeleteTrigger:
        if (step.savedTrigger) reinsert_trigger(lines, t, *step.savedTrigger);
        break;
    case kUndoNewTrigger: remove_trigger(lines, t); break;
    case kUndoStepAndRepeat:
        for (int k = std::min(step.count, lines.size()); k > 0; k--) lines.remove(lines.size());
        break;
    default: break;
    }
    // The selection comes back for every kind. The stage is set after the
    // trigger is shown, since showing a trigger selects its stage 0.
    activeTrigger = std::clamp(t, 0, kTriggerLinesMax);
    lines.select(activeTrigger);
    panel->update_trigger();
    activeStage = std::clamp(step.stage, 0, kStageCapacity - 1);
    panel->show_stage_selector();
    panel->update_stage();
    announce();
}

void reset_undo() {
    while (!undoList.empty()) undoList.pop_back();
    announce();
}
