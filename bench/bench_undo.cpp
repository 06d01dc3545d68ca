// The undo history: recording a trigger change and taking it back, a
// slider drag of 10,000 changes merged into one step, and Undo and Redo of
// a delete in the middle of a full list.
#include "document/level_file.h"
#include "document/line_list.h"
#include "document/trigger_commands.h"
#include "document/undo.h"

#include <benchmark/benchmark.h>

namespace {

std::time_t now = 0;

// A full trigger list without a window.
class ListOnly : public TriggerPanel {
public:
    VectorLineList list;
    LineList& lines() override { return list; }
    void update_trigger() override { begin_update_trigger(list); }
    void update_stage() override {}
    void show_stage_selector() override {}
    int step_repeat_count() override { return 0; }
    void undo_changed() override {}
};

ListOnly& full_list() {
    static ListOnly panel;
    reset_level_records();
    panel.list = VectorLineList();
    for (int i = 1; i <= kTriggerLinesMax; i++) panel.list.add("target");
    set_trigger_panel(&panel);
    set_undo_clock([] { return now; });
    reset_undo();
    activeTrigger = 128;
    activeStage = 3;
    return panel;
}

void BM_SaveUndoChangeThenUndo(benchmark::State& state) {
    full_list();
    for (auto _ : state) {
        now += 10;  // too late to merge
        save_undo(kUndoTriggerChange);
        undo();
    }
    if (!undoList.empty()) state.SkipWithError("the history did not empty");
}
BENCHMARK(BM_SaveUndoChangeThenUndo);

void BM_MergedSliderBurst(benchmark::State& state) {
    full_list();
    for (auto _ : state) {
        reset_undo();
        for (int i = 0; i < 10000; i++) change_stage().trigger = i * 1e-4f;
        benchmark::DoNotOptimize(trigger[128]);
    }
    if (undoList.size() != 1) state.SkipWithError("the burst was not one step");
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_MergedSliderBurst)->Unit(benchmark::kMicrosecond);

// A delete moves half the list: Undo and Redo each move it back.
void BM_UndoRedoDeleteInAFullList(benchmark::State& state) {
    full_list();
    delete_trigger();
    for (auto _ : state) {
        undo();
        redo();
    }
    if (undoList.size() != 1 || !redoList.empty()) state.SkipWithError("the delete was not redone");
}
BENCHMARK(BM_UndoRedoDeleteInAFullList);

}  // namespace
