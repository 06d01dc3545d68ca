// The commands of the trigger list: add, clone, delete, select, mirror and
// edit, each recording its undo step first. They change the records and the
// list lines, and ask the editor's trigger panel to show the result.
#pragma once

#include "document/line_list.h"
#include "document/records.h"
#include "document/step_repeat.h"
#include "document/trigger_selection.h"

#include <cstdint>
#include <string>

// "Add": appends the line "target%d". False, with nothing recorded, when
// the list already holds 255 triggers.
bool add_trigger();
// "Clone": appends the line "Clone" and copies the selected trigger's
// settings and used stages into the new record. False when the list is full.
bool clone_trigger();
// "Delete": removes the selected trigger, moving the later ones up a line.
// False, with nothing recorded, when no listed trigger is selected.
bool delete_trigger();
// A choice in the list: selects trigger `line` (0 for none) and shows it.
void select_trigger(int line);
// The stage selector: selects stage `stage` and shows it.
void select_stage(int stage);
// "-x" and "-y": mirror the used stages' x and rx (or y and ry).
void mirror_x();
void mirror_y();
// "Step and Repeat": records one undo step, then appends p.count copies of
// the selected trigger, each computed from the trigger as it was, on lines
// "StepAndRepeat". A count of 0 or less makes no copies. When the copies
// would go past trigger 255 nothing is recorded or changed: false, with
// the number that would fit in `room`.
bool step_and_repeat(const StepRepeatParams& p, int& room);
// Records a trigger change and returns the trigger or stage to change.
Trigger& change_trigger();
Stage& change_stage();

// What showing the selected trigger changes in the document: stage 0 is
// selected, the active segment follows the trigger's (kept within the
// segment table), a path of fewer than two stages gets two, and the
// trigger's list line takes the label "seg%02dtgt%02d", which is returned.
std::string begin_update_trigger(LineList& lines);
