// The preview's per-redraw costs that need no display: the segment's height
// map and terrain mesh, and the enemy models. The plasma prints a line per
// run; pass --benchmark_out=<file> to keep the table apart from it.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "document/records.h"
#include "preview/md2.h"
#include "preview/terrain.h"

namespace {

std::string test_model(const char* name) {
    const char* env = std::getenv("VANTROPE_TESTDATA");
    return std::string(env ? env : VANTROPE_TESTDATA) + "/md2/" + name;
}

// What genTerrain does on every redraw: the height map with its generator,
// then the mesh. Visualization 4 reads a custom height map file each time.
void BM_GenTerrain(benchmark::State& state) {
    Segment s;
    default_segment(s);
    s.visualization = static_cast<int>(state.range(0));
    s.isTunnel = state.range(1) != 0;
    std::string level = "/tmp/vantrope-bench-" + std::to_string(getpid()) + ".txt";
    std::string custom = level.substr(0, level.size() - 4) + "seg0height.png";
    if (s.visualization == 4) {
        std::vector<uint32_t> picture(256 * 256);
        for (size_t i = 0; i < picture.size(); i++) picture[i] = 0xFF000000u | ((i * 7) & 0xFF) * 0x010101u;
        saveImagePng(custom.c_str(), picture.data(), 256, 256, 256, 0);
    }
    Image* heights = nullptr;
    std::vector<TerrainVertex> mesh(128 * 128 * 2);
    for (auto _ : state) {
        terrainHeights(s, 0, level.c_str(), heights);
        buildTerrainMesh(s, heights, nullptr, 128, mesh.data());
        benchmark::DoNotOptimize(mesh.data());
        benchmark::ClobberMemory();
    }
    freeImage(heights);
    std::remove(custom.c_str());
}
BENCHMARK(BM_GenTerrain)->ArgsProduct({{0, 1, 2, 3, 4}, {0}})->Args({1, 1})->Unit(benchmark::kMicrosecond);

void BM_TerrainMesh(benchmark::State& state) {
    Segment s;
    default_segment(s);
    s.isTunnel = state.range(0) != 0;
    Image* heights = newImage(256, 256);
    for (int i = 0; i < 256 * 256; i++) heights->pixels[i] = (i * 31) & 0xFF;
    std::vector<TerrainVertex> mesh(128 * 128 * 2);
    for (auto _ : state) {
        buildTerrainMesh(s, heights, nullptr, 128, mesh.data());
        benchmark::DoNotOptimize(mesh.data());
        benchmark::ClobberMemory();
    }
    freeImage(heights);
}
BENCHMARK(BM_TerrainMesh)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_Md2Load(benchmark::State& state) {
    const std::string path = test_model("lamp.md2");  // the largest test model
    for (auto _ : state) {
        AnimMesh* mesh = md2Load(path.c_str());
        if (!mesh) {
            state.SkipWithError("no test model");
            break;
        }
        delete mesh;
    }
}
BENCHMARK(BM_Md2Load)->Unit(benchmark::kMicrosecond);

// The pose of one frame, as drawActor asks for it; the counter gives the
// time per 1,000 triangles.
void BM_Md2FractionalFrame(benchmark::State& state) {
    AnimMesh* mesh = md2Load(test_model("camera1.md2").c_str());
    if (!mesh) {
        state.SkipWithError("no test model");
        return;
    }
    std::vector<FrameVertex> pose(3 * mesh->triangleCount);
    FrameBounds bounds;
    int frame = 0;
    for (auto _ : state) {
        md2GetFractionalFrame(mesh, frame, (frame + 1) % mesh->frameCount, 0.25f, pose.data(), &bounds);
        frame = (frame + 1) % mesh->frameCount;
        benchmark::DoNotOptimize(pose.data());
    }
    state.counters["per_1000_triangles"] = benchmark::Counter(
        mesh->triangleCount / 1000.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    delete mesh;
}
BENCHMARK(BM_Md2FractionalFrame);

}  // namespace
