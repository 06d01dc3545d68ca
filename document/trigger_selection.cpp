#include "document/trigger_selection.h"

#include "document/level_file.h"

#include <algorithm>
#include <cmath>

namespace {

TriggerPanel* panel = nullptr;

}  // namespace

void set_trigger_panel(TriggerPanel* p) { panel = p; }
TriggerPanel* trigger_panel() { return panel; }

Trigger& selected_trigger() { return trigger[std::clamp(activeTrigger, 0, kTriggerLinesMax)]; }

Stage& selected_stage() {
    return selected_trigger().stage[std::clamp(activeStage, 0, kStageCapacity - 1)];
}

int32_t whole_number(double value) {
    if (std::isnan(value)) return 0;
    return static_cast<int32_t>(std::clamp(value, -2147483648.0, 2147483647.0));
}

int used_stages(const Trigger& t) { return std::clamp(t.stageCount, 0, kStageCapacity); }
