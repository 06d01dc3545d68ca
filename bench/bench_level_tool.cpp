// vantrope-level's two costly commands: checking the largest level the
// editor holds (256 segments, 255 triggers of eight stages, 63 enemy models),
// and rendering one segment's map to a PNG file.
#include "document/level_check.h"
#include "document/records.h"
#include "gfx/image.h"
#include "maps/segment_render.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

std::string write_largest_level() {
    reset_level_records();
    LevelSettings s;
    s.segments = kSegmentCapacity;
    for (int k = 0; k < kSegmentCapacity; k++) {
        segment[k].visualization = k % 4;
        for (int i = 0; i < 256; i++) segment[k].palette[i] = static_cast<uint32_t>(i * 0x020301 + k);
    }
    for (int t = 1; t <= kTriggerLinesMax; t++) {
        std::snprintf(trigger[t].triggerType, kTextCapacity, "model%02d.md2", t % kEnemyLinesMax + 1);
        trigger[t].triggerSegment = t;
        trigger[t].stageCount = kStageCapacity;
        for (int i = 0; i < kStageCapacity; i++) trigger[t].stage[i] = {5.0f * i, 10, -20.0f * t, 0, 0, 90, 0.1f * i};
    }
    for (int e = 1; e <= kEnemyLinesMax; e++) {
        std::snprintf(enemyModel[e].enemyModelName, kTextCapacity, "model%02d.md2", e);
        std::snprintf(enemyModel[e].lockOnSound, kTextCapacity, "lock%02d.wav", e);
    }
    const std::string path = "/tmp/vantrope_bench_largest.txt";
    FILE* f = std::fopen(path.c_str(), "w");
    write_level(f, s, kTriggerLinesMax, kEnemyLinesMax);
    std::fclose(f);
    return path;
}

void BM_CheckLargestLevel(benchmark::State& state) {
    const std::string path = write_largest_level();
    size_t told = 0;
    for (auto _ : state) told = check_level(path.c_str()).diagnostics.size();
    state.counters["diagnostics"] = static_cast<double>(told);
    std::remove(path.c_str());
}
BENCHMARK(BM_CheckLargestLevel)->Unit(benchmark::kMillisecond);

// Renders segment 0 with visualization range(0) to a PNG file, as the
// program does (grey); the plasma's line goes to /dev/null meanwhile.
void BM_RenderSegment(benchmark::State& state) {
    reset_level_records();
    segment[0].visualization = static_cast<int>(state.range(0));
    segment[0].seedA = 0.4f;
    segment[0].seedB = 1.2f;
    std::fflush(stdout);
    const int saved = dup(1), quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, 1);
    for (auto _ : state) {
        SegmentRender r = render_segment("/tmp/vantrope_bench.txt", 0, false);
        write_map_png("/tmp/vantrope_bench_render.png", r.map, true);
        freeImage(r.map);
    }
    std::fflush(stdout);
    dup2(saved, 1);
    close(saved);
    close(quiet);
    std::remove("/tmp/vantrope_bench_render.png");
}
BENCHMARK(BM_RenderSegment)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}  // namespace
