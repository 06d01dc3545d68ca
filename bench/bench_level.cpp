// Reading and writing the largest level the editor holds: 256 segments,
// 255 triggers of eight stages and 63 enemy models; and the editor's
// autosave of it, which runs on the window's thread.
#include "document/level_file.h"
#include "document/records.h"
#include "document/recovery.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

LevelSettings fill_largest_level() {
    reset_level_records();
    LevelSettings s;
    s.segments = kSegmentCapacity;
    s.song = "soundtrack.ogg";
    for (int k = 0; k < kSegmentCapacity; k++) {
        segment[k].seedA = 0.001f * k;
        segment[k].fogColor = 0xff000000u | (k * 0x10203u);
        for (int i = 0; i < 256; i++) segment[k].palette[i] = (i * 0x10101u) ^ k;
    }
    for (int t = 1; t <= kTriggerLinesMax; t++) {
        Trigger& r = trigger[t];
        std::snprintf(r.triggerType, sizeof r.triggerType, "enemy%02d", t % kEnemyLinesMax + 1);
        r.triggerSegment = t % kSegmentCapacity;
        r.stageCount = kStageCapacity;
        for (int i = 0; i < kStageCapacity; i++)
            r.stage[i] = {1.5f * i, -2.25f * t, 100.0f + i, 0.1f * i, 45.0f, -90.0f, 0.125f * (t + i)};
    }
    for (int e = 1; e <= kEnemyLinesMax; e++) {
        std::snprintf(enemyModel[e].enemyModelName, kTextCapacity, "enemy%02d", e);
        enemyModel[e].explosionDuration = 0.001f * e;
    }
    return s;
}

std::string largest_level_text() {
    LevelSettings s = fill_largest_level();
    char* data = nullptr;
    size_t size = 0;
    FILE* f = open_memstream(&data, &size);
    write_level(f, s, kTriggerLinesMax, kEnemyLinesMax);
    std::fclose(f);
    std::string text(data, size);
    std::free(data);
    return text;
}

void BM_WriteLargestLevel(benchmark::State& state) {
    LevelSettings s = fill_largest_level();
    std::string buffer(4 << 20, '\0');
    for (auto _ : state) {
        FILE* f = fmemopen(&buffer[0], buffer.size(), "w");
        bool ok = write_level(f, s, kTriggerLinesMax, kEnemyLinesMax);
        std::fclose(f);
        if (!ok) state.SkipWithError("write failed");
        benchmark::DoNotOptimize(buffer.data());
    }
}
BENCHMARK(BM_WriteLargestLevel)->Unit(benchmark::kMillisecond);

void BM_ReadLargestLevel(benchmark::State& state) {
    std::string text = largest_level_text();
    state.counters["bytes"] = static_cast<double>(text.size());
    for (auto _ : state) {
        reset_level_records();
        activeSegment = activeTrigger = activeStage = activeEnemy = 0;
        LevelContents out;
        FILE* f = fmemopen(&text[0], text.size(), "r");
        read_level(f, out);
        std::fclose(f);
        if (out.triggerLines.size() != kTriggerLinesMax) state.SkipWithError("triggers lost");
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_ReadLargestLevel)->Unit(benchmark::kMillisecond);

// One autosave: the level's text made and compared, and the recovery file
// written when it changed (every time with `edited`, never without).
void autosave_largest_level(benchmark::State& state, bool edited) {
    LevelSettings s = fill_largest_level();
    char folder[] = "/tmp/vantrope_bench.XXXXXX";
    if (!mkdtemp(folder)) return state.SkipWithError("no folder");
    Autosaver saver;
    std::string text, error;
    level_text(s, kTriggerLinesMax, kEnemyLinesMax, text);
    saver.hold(folder, std::string(folder) + "/level.txt", text);
    for (auto _ : state) {
        if (edited) trigger[1].stage[0].x += 1;
        level_text(s, kTriggerLinesMax, kEnemyLinesMax, text);
        if ((saver.update(text, error) == Autosaver::Result::Written) != edited) state.SkipWithError("wrong result");
    }
    std::remove(saver.file().c_str());
    std::remove(folder);
}
void BM_AutosaveLargestLevelEdited(benchmark::State& state) { autosave_largest_level(state, true); }
void BM_AutosaveLargestLevelUnchanged(benchmark::State& state) { autosave_largest_level(state, false); }
BENCHMARK(BM_AutosaveLargestLevelEdited)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AutosaveLargestLevelUnchanged)->Unit(benchmark::kMillisecond);

}  // namespace
