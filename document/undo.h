// The trigger edit history behind "Targets > Undo": every trigger edit first
// records a snapshot; Undo applies the newest one and drops it. Runs of
// selections or of trigger changes recorded at most two seconds apart (in
// whole seconds) are merged into one step.
#pragma once

#include "document/records.h"

#include <cstdint>
#include <ctime>
#include <deque>
#include <memory>

// Kinds of step.
enum UndoKind {
    kUndoSelection = 0,
    kUndoTriggerChange = 1,
    kUndoNewTrigger = 2,
    kUndoDeleteTrigger = 3,
    kUndoStepAndRepeat = 4,
};

struct UndoRedo {
    int32_t type = 0;
    int32_t triggerNumber = 0;  // activeTrigger; for a new trigger the number it gets
    int32_t count = 0;          // copies a step and repeat made
    int32_t stage = 0;          // activeStage
    std::unique_ptr<Trigger> savedTrigger;  // the trigger before a change or a delete
    std::time_t time = 0;       // when recorded, or when it last absorbed a change
};

// Used as a stack: the newest step is at the back.
extern std::deque<UndoRedo> undoList;

// Records a step of kind `type`, before the change it takes back is made.
void save_undo(int type);
// Takes back the newest step; nothing when the history is empty.
void undo();
// Empties the history.
void reset_undo();
// Label of the newest step's kind ("Trigger Change", ...), or "Empty".
const char* undo_type();
// Label of a kind; "Unknown" for codes that nothing records.
const char* undo_kind_label(int type);

// The clock of the merge rule, in whole seconds: time() in the editor, a
// controlled clock in tests. Returns the clock it replaces.
using UndoClock = std::time_t (*)();
UndoClock set_undo_clock(UndoClock clock);
