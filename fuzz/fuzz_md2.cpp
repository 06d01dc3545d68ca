// Feeds arbitrary bytes to the MD2 reader, as the preview reads enemy models,
// and poses every model it accepts.
#include "fuzz/fuzz_target.h"
#include "preview/md2.h"

#include <vector>

FUZZ_TARGET(md2, data, size) {
    AnimMesh* mesh = md2LoadMemory(data, size, "fuzz.md2");
    if (!mesh) return 0;
    // Every corner of the first and last frames, blended, and one frame copied.
    std::vector<FrameVertex> pose(3 * static_cast<size_t>(mesh->triangleCount));
    std::vector<int16_t> copy(5 * pose.size());
    FrameBounds bounds;
    md2GetFractionalFrame(mesh, 0, mesh->frameCount - 1, 0.5f, pose.data(), &bounds);
    md2GetFractionalFrame(mesh, mesh->frameCount, -1, 1.0f, pose.data(), &bounds);
    md2UpdateDoubleFrame(mesh, mesh->frameCount - 1, copy.data());
    delete mesh;
    return 0;
}
