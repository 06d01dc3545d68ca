#include "document/undo.h"

#include "document/level_file.h"
#include "document/trigger_selection.h"

#include <algorithm>
#include <cstring>

std::deque<UndoRedo> undoList;
std::deque<RedoStep> redoList;

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

// The state an Undo of trigger number t may change: record t (the one
// shown afterwards), or for a new or deleted trigger records t up to one past
// the list, which move; every line; the selection.
struct TriggerState {
    int first;
    std::vector<Trigger> records;  // from record `first` on
    std::vector<std::string> lines;
    int activeTrigger, activeStage, selectedLine;
};

TriggerState capture(const LineList& lines, const UndoRedo& step) {
    const int t = step.triggerNumber;
    const bool moves = step.type == kUndoNewTrigger || step.type == kUndoDeleteTrigger;
    const int first = std::clamp(t, 0, kTriggerCapacity - 1);
    const int last = std::clamp(moves ? std::max(t, lines.size() + 1) : t, first, kTriggerCapacity - 1);
    TriggerState state{first, {trigger + first, trigger + last + 1}, {}, activeTrigger, activeStage,
                       lines.selected_line()};
    for (int i = 1; i <= lines.size(); i++) state.lines.push_back(lines.text_of(i));
    return state;
}

// Keeps in `redo` what differs between `before` and the state now.
void keep_replaced(const TriggerState& before, const LineList& lines, RedoStep& redo) {
    for (size_t k = 0; k < before.records.size(); k++) {
        const int i = before.first + static_cast<int>(k);
        if (std::memcmp(&before.records[k], &trigger[i], sizeof(Trigger)) != 0)
            redo.records.emplace_back(i, before.records[k]);
    }
    redo.lineCount = static_cast<int>(before.lines.size());
    for (int i = 1; i <= redo.lineCount; i++)
        if (i > lines.size() || lines.text_of(i) != before.lines[i - 1])
            redo.lines.emplace_back(i, before.lines[i - 1]);
    redo.activeTrigger = before.activeTrigger;
    redo.activeStage = before.activeStage;
    redo.selectedLine = before.selectedLine;
}

void put_back(const RedoStep& redo, LineList& lines) {
    while (lines.size() > redo.lineCount) lines.remove(lines.size());
    while (lines.size() < redo.lineCount) lines.add("");
    for (const auto& [line, text] : redo.lines) lines.text(line, text.c_str());
    for (const auto& [number, record] : redo.records) trigger[number] = record;
}

template <class Step>
Step take_newest(std::deque<Step>& list) {
    Step step = std::move(list.back());
    list.pop_back();
    return step;
}

// Selects trigger `t` and list line `line`, shows the trigger, then selects
// and shows stage `stage`: after the trigger, since showing a trigger
// selects its stage 0.
void show_selection(TriggerPanel& panel, int t, int line, int stage) {
    activeTrigger = t;
    panel.lines().select(line);
    panel.update_trigger();
    activeStage = stage;
    panel.show_stage_selector();
    panel.update_stage();
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
const char* redo_type() { return redoList.empty() ? "Empty" : undo_kind_label(redoList.back().step.type); }

void save_undo(int type) {
    std::time_t now = undoClock();
    const bool hadRedo = !redoList.empty();
    if (hadRedo) redoList.clear();
    if (!undoList.empty()) {
        UndoRedo& newest = undoList.back();
        // Only the kind and the time are compared: the step keeps the state
        // from before the first of the merged changes.
        if (newest.type == type && (type == kUndoSelection || type == kUndoTriggerChange) &&
            now <= newest.time + 2) {
            newest.time = now;
            if (hadRedo) announce();
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
    UndoRedo step = take_newest(undoList);
    LineList& lines = panel->lines();
    int t = step.triggerNumber;
    const TriggerState before = capture(lines, step);
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
    // The selection comes back for every kind.
    t = std::clamp(t, 0, kTriggerLinesMax);
    show_selection(*panel, t, t, std::clamp(step.stage, 0, kStageCapacity - 1));
    RedoStep redo;
    keep_replaced(before, lines, redo);
    redo.step = std::move(step);
    redoList.push_back(std::move(redo));
    announce();
}

void redo() {
    TriggerPanel* panel = trigger_panel();
    if (redoList.empty() || !panel) return;
    RedoStep redo = take_newest(redoList);
    LineList& lines = panel->lines();
    put_back(redo, lines);
    // Showing the trigger relabels its line and may mend its record: what
    // stood there before the Undo is put back after the refresh.
    const int t = redo.activeTrigger;
    const std::string shownLine = lines.text_of(t);
    const Trigger shown = trigger[t];
    show_selection(*panel, t, redo.selectedLine, redo.activeStage);
    lines.text(t, shownLine.c_str());
    trigger[t] = shown;
    undoList.push_back(std::move(redo.step));
    announce();
}

void reset_undo() {
    while (!undoList.empty()) undoList.pop_back();
    redoList.clear();
    announce();
}
