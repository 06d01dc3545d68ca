// The trigger edit history behind "Targets > Undo" and "Targets > Redo":
// every trigger edit first records a snapshot; Undo applies the newest one
// and moves it to the redo list with what it replaced, and Redo puts that
// back. Runs of selections or of trigger changes recorded at most two
// seconds apart (in whole seconds) are merged into one step.
#pragma once

#include "document/records.h"

#include <cstdint>
#include <ctime>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

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

// A step that Undo took back, with what the Undo replaced: the records and
// list lines it changed as they were, the number of lines and the
// selection, so that Redo restores exactly the state before the Undo.
struct RedoStep {
    UndoRedo step;
    int lineCount = 0;
    std::vector<std::pair<int, std::string>> lines;  // line number, text
    std::vector<std::pair<int, Trigger>> records;     // record number, record
    int activeTrigger = 0;
    int activeStage = 0;
    int selectedLine = 0;
};

// Used as stacks: the newest step is at the back.
extern std::deque<UndoRedo> undoList;
extern std::deque<RedoStep> redoList;

// Records a step of kind `type`, before the change it takes back is made.
// Every recording, merged or not, empties the redo list.
void save_undo(int type);
// Takes back the newest step and keeps it for Redo; nothing when the
// history is empty.
void undo();
// Puts back the state the newest Undo replaced and returns its step to the
// history; nothing when there is nothing to redo.
void redo();
// Empties the history and the redo list.
void reset_undo();
// Label of the newest step's kind ("Trigger Change", ...), or "Empty".
const char* undo_type();
// Label of the kind Redo would put back, or "Empty".
const char* redo_type();
// Label of a kind; "Unknown" for codes that nothing records.
const char* undo_kind_label(int type);

// The clock of the merge rule, in whole seconds: time() in the editor, a
// controlled clock in tests. Returns the clock it replaces.
using UndoClock = std::time_t (*)();
UndoClock set_undo_clock(UndoClock clock);
