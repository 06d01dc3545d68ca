// MD2 models (the published frame-animated format) in the preview's drawing
// form, and the pose between two frames.
//
// An AnimMesh keeps, for every frame, its own copy of the three corners of
// every triangle, in triangle order, in mesh axes: a corner's mesh position
// is (X, -Z, Y) for its MD2 position (X, Y, Z). The pose written by
// md2GetFractionalFrame is in the preview's axes, (-Y, Z, -X) in MD2 terms.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct Image;

// One triangle corner of one frame: texture coordinate (s, t) as in the
// file, and the position bytes in mesh axes (x, minus the MD2 z, the MD2 y).
struct AnimVertex {
    int16_t s;
    int16_t t;
    int16_t x;
    int16_t y;
    int16_t z;
};
static_assert(sizeof(AnimVertex) == 10, "five 16-bit values");

struct AnimFrame {
    float axisScale[3];   // (MD2 scale x, scale z, scale y)
    float axisOffset[3];  // (MD2 translate x, -translate z, translate y)
    std::vector<AnimVertex> vertices;  // triangleCount x 3 corners
};

struct AnimMesh {
    AnimMesh() = default;
    AnimMesh(const AnimMesh&) = delete;
    AnimMesh& operator=(const AnimMesh&) = delete;
    ~AnimMesh();  // frees the skin too

    Image* skin = nullptr;  // set by whoever loads the skin
    int32_t frameCount = 0;
    int32_t triangleCount = 0;
    int32_t skinWidth = 0;   // from the file; normalises s
    int32_t skinHeight = 0;  // normalises t
    std::vector<AnimFrame> frames;
};

// A corner of the pose: texture coordinate (u, v) in 0..1 for coordinates
// inside the skin, and position.
struct FrameVertex {
    float u, v, x, y, z;
};
static_assert(sizeof(FrameVertex) == 20, "five floats");

struct FrameBounds {
    float min[3];
    float max[3];
};

// The blocks of an MD2 file held in memory, with the counts from its header.
// md2LoadMemory fills it only after checking that every block lies inside
// the data and that every triangle names an existing vertex and texture
// coordinate.
struct Md2File {
    int32_t skinWidth, skinHeight;
    int32_t skinCount, vertexCount, texCoordCount, triangleCount, glCommandCount, frameCount;
    const unsigned char* texCoords;  // texCoordCount pairs of signed 16-bit s, t
    const unsigned char* triangles;  // 12 bytes each: three vertex, then three texture-coordinate indices
    const unsigned char* frames;     // frameCount x (40-byte header + vertexCount x 4 bytes)
};

// What a model may take is bounded by the file itself (every block lies
// inside it, every index is in range) and by two memory caps, not by fixed
// frame or triangle counts. The drawing form keeps frames x triangles x 3
// corners of 10 bytes: a model needing more than this is refused.
constexpr int64_t kMd2MaxMeshBytes = int64_t{256} << 20;
// Files larger than this are not read.
constexpr size_t kMd2MaxFileSize = 64u << 20;

// Reads an MD2 file. Null when the file cannot be opened (silently) or is
// refused (with one line on standard output naming the file and the fault).
AnimMesh* md2Load(const char* path);
// The same for a file already in memory; `name` is used in the message.
AnimMesh* md2LoadMemory(const unsigned char* data, size_t size, const char* name);
// Builds mesh->frames[frame] from the file's blocks.
void frameToAnimMesh(const Md2File& file, AnimMesh* mesh, int frame);

// Writes triangleCount x 3 corners of the pose `fraction` of the way from
// `frame` to `nextFrame` (texture coordinates from `frame`), and their box.
// A frame number out of range prints "frame (%d) out of bounds.\n" or
// "nextFrame (%d) out of bounds.\n" and frame 0 is used instead. A mesh
// without frames writes nothing and a zero box.
void md2GetFractionalFrame(const AnimMesh* mesh, int frame, int nextFrame, float fraction, FrameVertex* out,
                           FrameBounds* bounds);

// Copies the corners of one frame, five 16-bit values each (s, t, x, y, z),
// and returns the triangle count; 0, copying nothing, for a frame that does
// not exist.
int md2UpdateDoubleFrame(const AnimMesh* mesh, int frame, int16_t* out);
