// The commands of the trigger list: add, clone, delete, select, mirror and
// edit, each recording its undo step first. They change the records and the
// list lines, and ask the editor's trigger panel to show the result.
#pragma once

#include "document/line_list.h"
#include "document/records.h"
#include "document/step_repeat.h"

#include <cstdint>
#include <string>

// What the commands and the undo history need of the editor: the trigger
// list and the refresh of the trigger and stage fields.
class TriggerPanel {
public:
    virtual ~TriggerPanel() = default;
    virtual LineList& lines() = 0;
    // Shows trigger[activeTrigger] and its stage 0 (update_trigger).
    virtual void update_trigger() = 0;
    // Shows stage activeStage of the selected trigger (update_stage).
    virtual void update_stage() = 0;
    // Moves the stage selector to activeStage without running its callback.
    virtual void show_stage_selector() = 0;
    // Copies that a step and repeat would make now (its "Count", truncated).
    virtual int step_repeat_count() = 0;
    // The history changed: the newest step is another one.
    virtual void undo_changed() = 0;
};

// The panel the commands work on; null until the editor or a test sets one.
void set_trigger_panel(TriggerPanel* panel);
TriggerPanel* trigger_panel();

// The selected trigger and stage. activeTrigger and activeStage are kept in
// 0..255 and 0..7 by every command; these read them bounded all the same.
Trigger& selected_trigger();
Stage& selected_stage();
// A control's value as a whole number: truncated toward zero, saturating at
// the int32 range; NaN gives 0.
int32_t whole_number(double value);
// Number of stages of a trigger that can be in use (stageCount within 0..8).
int used_stages(const Trigger& t);

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
