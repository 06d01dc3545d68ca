// The selected trigger and stage, and the editor's trigger panel that shows
// them: what the trigger commands and the undo history both work on.
#pragma once

#include "document/line_list.h"
#include "document/records.h"

#include <cstdint>

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
