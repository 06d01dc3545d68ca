#include "preview/md2.h"

#include "gfx/image.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

constexpr size_t kHeaderSize = 68;
constexpr int64_t kFrameHeaderSize = 40;

// Little-endian fields, whatever the machine's byte order.
uint32_t read_u32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
int32_t read_i32(const unsigned char* p) { return static_cast<int32_t>(read_u32(p)); }
uint16_t read_u16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
int16_t read_i16(const unsigned char* p) { return static_cast<int16_t>(read_u16(p)); }
float read_f32(const unsigned char* p) {
    const uint32_t bits = read_u32(p);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void refuse(const char* name, const char* format, ...) __attribute__((format(printf, 2, 3)));
void refuse(const char* name, const char* format, ...) {
    char problem[200];
    va_list args;
    va_start(args, format);
    std::vsnprintf(problem, sizeof problem, format, args);
    va_end(args);
    std::printf("MD2 model '%s' refused: %s.\n", name, problem);
    std::fflush(stdout);
}

// A block of `count` records of `recordSize` bytes at `offset` inside a file
// of `size` bytes (count and recordSize not negative). An empty block fits
// wherever it is said to be: nothing is read from it.
bool block_fits(int32_t offset, int64_t count, int64_t recordSize, size_t size) {
    if (count == 0) return true;
    if (offset < 0 || static_cast<uint64_t>(offset) > size) return false;
    const uint64_t room = size - static_cast<uint64_t>(offset);
    return static_cast<uint64_t>(count) <= room / static_cast<uint64_t>(recordSize);
}

// Where a block starts; empty blocks are never read.
const unsigned char* block_start(const unsigned char* data, int32_t count, int32_t offset) {
    return count > 0 ? data + offset : data;
}

// Reads the header and checks the blocks; false (after saying why) when the
// file cannot be used.
bool open_md2(const unsigned char* data, size_t size, const char* name, Md2File& file) {
    if (size < kHeaderSize) {
        refuse(name, "%zu bytes is shorter than the 68-byte header", size);
        return false;
    }
    file.skinWidth = read_i32(data + 8);
    file.skinHeight = read_i32(data + 12);
    file.skinCount = read_i32(data + 20);
    file.vertexCount = read_i32(data + 24);
    file.texCoordCount = read_i32(data + 28);
    file.triangleCount = read_i32(data + 32);
    file.glCommandCount = read_i32(data + 36);
    file.frameCount = read_i32(data + 40);
    const int32_t texCoordOffset = read_i32(data + 48);
    const int32_t triangleOffset = read_i32(data + 52);
    const int32_t frameOffset = read_i32(data + 56);
    if (file.skinWidth <= 0 || file.skinHeight <= 0) {
        refuse(name, "skin size %d x %d", file.skinWidth, file.skinHeight);
        return false;
    }

    const struct {
        const char* what;
        int32_t count;
    } counts[] = {{"skins", file.skinCount},         {"vertices", file.vertexCount},
                  {"texture coordinates", file.texCoordCount}, {"triangles", file.triangleCount},
                  {"GL commands", file.glCommandCount}, {"frames", file.frameCount}};
    for (const auto& c : counts)
        if (c.count < 0) {
            refuse(name, "negative number of %s (%d)", c.what, c.count);
            return false;
        }

    const struct {
        const char* what;
        int32_t count;
        int64_t recordSize;
        int32_t offset;
    } blocks[] = {
        {"skins", file.skinCount, 64, read_i32(data + 44)},
        {"texture coordinates", file.texCoordCount, 4, texCoordOffset},
        {"triangles", file.triangleCount, 12, triangleOffset},
        {"frames", file.frameCount, kFrameHeaderSize + 4 * static_cast<int64_t>(file.vertexCount), frameOffset},
        {"GL commands", file.glCommandCount, 4, read_i32(data + 60)},
    };
    for (const auto& block : blocks)
        if (!block_fits(block.offset, block.count, block.recordSize, size)) {
            refuse(name, "%d %s at offset %d do not fit in the file's %zu bytes", block.count, block.what,
                   block.offset, size);
            return false;
        }
    // Each triangle takes three corners in every frame of the drawing form.
    const int64_t triangleBytes = 3 * static_cast<int64_t>(sizeof(AnimVertex));
    if (file.triangleCount > 0 && file.frameCount > kMd2MaxMeshBytes / triangleBytes / file.triangleCount) {
        refuse(name, "%d frames of %d triangles need more than the %lld MiB a model may take", file.frameCount,
               file.triangleCount, static_cast<long long>(kMd2MaxMeshBytes >> 20));
        return false;
    }
    file.texCoords = block_start(data, file.texCoordCount, texCoordOffset);
    file.triangles = block_start(data, file.triangleCount, triangleOffset);
    file.frames = block_start(data, file.frameCount, frameOffset);

    for (int32_t i = 0; i < file.triangleCount; i++) {
        const unsigned char* triangle = file.triangles + 12 * static_cast<size_t>(i);
        for (int j = 0; j < 3; j++) {
            const int vertex = read_u16(triangle + 2 * j);
            const int texCoord = read_u16(triangle + 6 + 2 * j);
            if (vertex >= file.vertexCount || texCoord >= file.texCoordCount) {
                refuse(name, "triangle %d names vertex %d of %d and texture coordinate %d of %d", i, vertex,
                       file.vertexCount, texCoord, file.texCoordCount);
                return false;
            }
        }
    }
    return true;
}

}  // namespace

AnimMesh::~AnimMesh() { freeImage(skin); }

void frameToAnimMesh(const Md2File& file, AnimMesh* mesh, int frame) {
    const size_t frameSize = kFrameHeaderSize + 4 * static_cast<size_t>(file.vertexCount);
    const unsigned char* header = file.frames + frameSize * static_cast<size_t>(frame);
    const unsigned char* positions = header + kFrameHeaderSize;
    AnimFrame& out = mesh->frames[frame];
    // Scale then translate, three floats each; the name is not used.
    out.axisScale[0] = read_f32(header);
    out.axisScale[1] = read_f32(header + 8);
    out.axisScale[2] = read_f32(header + 4);
    out.axisOffset[0] = read_f32(header + 12);
    out.axisOffset[1] = -read_f32(header + 20);
    out.axisOffset[2] = read_f32(header + 16);

    out.vertices.resize(3 * static_cast<size_t>(file.triangleCount));
    AnimVertex* corner = out.vertices.data();
    for (int32_t i = 0; i < file.triangleCount; i++) {
        const unsigned char* triangle = file.triangles + 12 * static_cast<size_t>(i);
        for (int j = 0; j < 3; j++, corner++) {
            const unsigned char* position = positions + 4 * static_cast<size_t>(read_u16(triangle + 2 * j));
            const unsigned char* texCoord = file.texCoords + 4 * static_cast<size_t>(read_u16(triangle + 6 + 2 * j));
            corner->s = read_i16(texCoord);
            corner->t = read_i16(texCoord + 2);
            corner->x = position[0];
            corner->y = static_cast<int16_t>(-position[2]);
            corner->z = position[1];
        }
    }
}

AnimMesh* md2LoadMemory(const unsigned char* data, size_t size, const char* name) {
    Md2File file;
    if (!data) size = 0;  // an empty file
    if (!open_md2(data, size, name ? name : "", file)) return nullptr;
    AnimMesh* mesh = new AnimMesh;
    mesh->frameCount = file.frameCount;
    mesh->triangleCount = file.triangleCount;
    mesh->skinWidth = file.skinWidth;
    mesh->skinHeight = file.skinHeight;
    mesh->frames.resize(file.frameCount);
    for (int f = 0; f < file.frameCount; f++) frameToAnimMesh(file, mesh, f);
    return mesh;
}

AnimMesh* md2Load(const char* path) {
    std::FILE* in = std::fopen(path, "rb");
    if (!in) return nullptr;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> closer(in, std::fclose);
    std::vector<unsigned char> data;
    unsigned char chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0) {
        if (data.size() + got > kMd2MaxFileSize) {
            refuse(path, "larger than %zu bytes", kMd2MaxFileSize);
            return nullptr;
        }
        data.insert(data.end(), chunk, chunk + got);
    }
    if (std::ferror(in)) {
        refuse(path, "the file could not be read");
        return nullptr;
    }
    return md2LoadMemory(data.data(), data.size(), path);
}

void md2GetFractionalFrame(const AnimMesh* mesh, int frame, int nextFrame, float fraction, FrameVertex* out,
                           FrameBounds* bounds) {
    FrameBounds box = {{0, 0, 0}, {0, 0, 0}};
    if (bounds) *bounds = box;
    if (!mesh || mesh->frameCount <= 0 || !out) return;
    if (frame < 0 || frame >= mesh->frameCount) {
        std::printf("frame (%d) out of bounds.\n", frame);
        frame = 0;
    }
    if (nextFrame < 0 || nextFrame >= mesh->frameCount) {
        std::printf("nextFrame (%d) out of bounds.\n", nextFrame);
        nextFrame = 0;
    }
    const AnimFrame& A = mesh->frames[frame];
    const AnimFrame& B = mesh->frames[nextFrame];
    const float f = fraction;
    const float g = 1.0f - f;
    const float du = 1.0f / static_cast<float>(mesh->skinWidth);
    const float dv = 1.0f / static_cast<float>(mesh->skinHeight);
    const size_t corners = 3 * static_cast<size_t>(mesh->triangleCount);
    for (size_t k = 0; k < corners; k++) {
        const AnimVertex& a = A.vertices[k];
        const AnimVertex& b = B.vertices[k];
        const float c0 = (a.x * A.axisScale[0] + A.axisOffset[0]) * g + (b.x * B.axisScale[0] + B.axisOffset[0]) * f;
        const float c1 = (a.y * A.axisScale[1] + A.axisOffset[1]) * g + (b.y * B.axisScale[1] + B.axisOffset[1]) * f;
        const float c2 = (a.z * A.axisScale[2] + A.axisOffset[2]) * g + (b.z * B.axisScale[2] + B.axisOffset[2]) * f;
        FrameVertex& v = out[k];
        v.u = a.s * du;
        v.v = a.t * dv;
        v.x = -c2;
        v.y = -c1;
        v.z = -c0;
        const float p[3] = {v.x, v.y, v.z};
        for (int i = 0; i < 3; i++) {
            if (k == 0 || p[i] < box.min[i]) box.min[i] = p[i];
            if (k == 0 || p[i] > box.max[i]) box.max[i] = p[i];
        }
    }
    if (bounds) *bounds = box;
}

int md2UpdateDoubleFrame(const AnimMesh* mesh, int frame, int16_t* out) {
    if (!mesh || !out || frame < 0 || frame >= mesh->frameCount) return 0;
    const std::vector<AnimVertex>& vertices = mesh->frames[frame].vertices;
    if (!vertices.empty()) std::memcpy(out, vertices.data(), vertices.size() * sizeof(AnimVertex));
    return mesh->triangleCount;
}
