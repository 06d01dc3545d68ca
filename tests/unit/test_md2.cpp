// The MD2 reader against real models and hand-made damaged files, and the
// pose between frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "preview/md2.h"

namespace {

using Bytes = std::vector<unsigned char>;
using MeshPtr = std::unique_ptr<AnimMesh>;

std::string testdata() {
    const char* env = std::getenv("VANTROPE_TESTDATA");
    return env ? env : VANTROPE_TESTDATA;
}

Bytes read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// Little-endian fields, read here without the reader's help.
uint32_t u32(const Bytes& b, size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24; }
int i32(const Bytes& b, size_t at) { return static_cast<int>(u32(b, at)); }
int u16(const Bytes& b, size_t at) { return b[at] | b[at + 1] << 8; }
float f32(const Bytes& b, size_t at) {
    uint32_t bits = u32(b, at);
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}
void put32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; i++) b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}
void put16(Bytes& b, uint32_t v) {
    b.push_back(v & 0xFF);
    b.push_back(v >> 8);
}

// Corner j of triangle i of `frame` in the preview's axes with its (u, v),
// worked out from the file: MD2 position P = byte x scale + translate,
// preview position (-P.y, P.z, -P.x).
FrameVertex expected_corner(const Bytes& file, int frame, int i, int j) {
    const int vertices = i32(file, 24);
    const size_t tri = i32(file, 52) + 12 * i;
    const size_t st = i32(file, 48) + 4 * u16(file, tri + 6 + 2 * j);
    const size_t head = i32(file, 56) + size_t(40 + 4 * vertices) * frame;
    const size_t pos = head + 40 + 4 * u16(file, tri + 2 * j);
    float p[3];
    for (int a = 0; a < 3; a++) p[a] = file[pos + a] * f32(file, head + 4 * a) + f32(file, head + 12 + 4 * a);
    const float s = int16_t(u16(file, st)), t = int16_t(u16(file, st + 2));
    return {s * (1.0f / i32(file, 8)), t * (1.0f / i32(file, 12)), -p[1], p[2], -p[0]};
}

std::vector<FrameVertex> pose(const AnimMesh* mesh, int frame, int next, float fraction, FrameBounds* box) {
    std::vector<FrameVertex> out(3 * mesh->triangleCount);
    md2GetFractionalFrame(mesh, frame, next, fraction, out.data(), box);
    return out;
}

void expect_same(const FrameVertex& got, const FrameVertex& want, const std::string& where) {
    EXPECT_TRUE(got.u == want.u && got.v == want.v && got.x == want.x && got.y == want.y && got.z == want.z)
        << where << ": got " << got.u << "," << got.v << " (" << got.x << "," << got.y << "," << got.z << ") want "
        << want.u << "," << want.v << " (" << want.x << "," << want.y << "," << want.z << ")";
}

// A small well-formed model of 296 bytes: `frames` frames of two triangles
// over four vertices; vertex k of frame f has bytes (10 + k + f, 20 + k,
// 30 + k), scale (1, 1, 1) and translate (0, 0, 0); skin 256 x 128.
// Blocks: skins at 68, texture coordinates 132, triangles 148, frames 172
// (56 bytes each), GL commands after the frames.
Bytes tiny_model(int frames = 2) {
    const int skins = 1, st = 4, tris = 2, verts = 4, gl = 3;
    const int ofsSkins = 68, ofsSt = ofsSkins + 64 * skins, ofsTris = ofsSt + 4 * st, ofsFrames = ofsTris + 12 * tris;
    const int frameSize = 40 + 4 * verts, ofsGl = ofsFrames + frameSize * frames, end = ofsGl + 4 * gl;
    const int header[17] = {0x32504449, 8,        256,   128,     frameSize, skins, verts, st,  tris,
                            gl,         frames,   ofsSkins, ofsSt, ofsTris, ofsFrames, ofsGl, end};
    Bytes b(ofsSt);
    for (int i = 0; i < 17; i++) put32(b, 4 * i, header[i]);
    for (int k = 0; k < st; k++) put16(b, 128 * k), put16(b, 32 * k + 1);
    const int vi[2][3] = {{0, 1, 2}, {0, 1, 3}}, ti[2][3] = {{0, 1, 2}, {1, 2, 3}};
    for (int t = 0; t < tris; t++) {
        for (int j = 0; j < 3; j++) put16(b, vi[t][j]);
        for (int j = 0; j < 3; j++) put16(b, ti[t][j]);
    }
    const float one = 1.0f;
    uint32_t oneBits;
    std::memcpy(&oneBits, &one, 4);
    for (int f = 0; f < frames; f++) {
        const size_t at = b.size();
        b.resize(at + frameSize);
        for (int a = 0; a < 3; a++) put32(b, at + 4 * a, oneBits);
        for (int k = 0; k < verts; k++) {
            b[at + 40 + 4 * k] = 10 + k + f;
            b[at + 41 + 4 * k] = 20 + k;
            b[at + 42 + 4 * k] = 30 + k;
        }
    }
    b.resize(end, 0);
    return b;
}

MeshPtr load(const Bytes& b, std::string* printed = nullptr) {
    testing::internal::CaptureStdout();
    MeshPtr mesh(md2LoadMemory(b.data(), b.size(), "tiny.md2"));
    const std::string out = testing::internal::GetCapturedStdout();
    if (printed) *printed = out;
    return mesh;
}

}  // namespace

TEST(Md2Real, ModelsLoadWithTheirCountsAndFileValues) {
    const struct {
        const char* name;
        int frames, triangles;
    } models[] = {{"camera1", 17, 517}, {"lamp", 198, 164}, {"enc_plasma_clip", 1, 12}};
    for (const auto& m : models) {
        const std::string path = testdata() + "/md2/" + m.name + ".md2";
        const Bytes file = read_bytes(path);
        if (file.empty()) GTEST_SKIP() << "no test data at " << path;
        MeshPtr mesh(md2Load(path.c_str()));
        ASSERT_NE(mesh, nullptr) << m.name;
        EXPECT_EQ(mesh->frameCount, m.frames);
        EXPECT_EQ(mesh->triangleCount, m.triangles);
        EXPECT_EQ(mesh->skin, nullptr);
        for (int frame : {0, m.frames / 2, m.frames - 1}) {
            FrameBounds box;
            const std::vector<FrameVertex> out = pose(mesh.get(), frame, frame, 0.0f, &box);
            FrameBounds want = {{1e30f, 1e30f, 1e30f}, {-1e30f, -1e30f, -1e30f}};
            for (int i = 0; i < m.triangles; i++)
                for (int j = 0; j < 3; j++) {
                    const FrameVertex v = expected_corner(file, frame, i, j);
                    if (i % 37 == 0 || i == m.triangles - 1)
                        expect_same(out[3 * i + j], v, std::string(m.name) + " frame " + std::to_string(frame));
                    const float p[3] = {v.x, v.y, v.z};
                    for (int a = 0; a < 3; a++) want.min[a] = std::min(want.min[a], p[a]), want.max[a] = std::max(want.max[a], p[a]);
                }
            EXPECT_EQ(std::memcmp(&box, &want, sizeof box), 0) << m.name << " bounds of frame " << frame;
        }
    }
}

TEST(Md2Pose, FractionsFramesOutOfBoundsAndUpdateDoubleFrame) {
    MeshPtr mesh = load(tiny_model());
    ASSERT_NE(mesh, nullptr);
    // Corner 0 is vertex 0: bytes (10, 20, 30) in frame 0, (11, 20, 30) in frame 1.
    EXPECT_EQ(std::memcmp(&mesh->frames[0].vertices[0], std::vector<int16_t>{0, 1, 10, -30, 20}.data(), 10), 0);
    const struct {
        int frame, next;
        float fraction;
        const char* printed;
        float x, y, z;
    } rows[] = {{0, 1, 0.0f, "", -20, 30, -10},  {0, 1, 1.0f, "", -20, 30, -11}, {0, 1, 0.5f, "", -20, 30, -10.5f},
                {1, 0, 0.25f, "", -20, 30, -10.75f}, {-1, 1, 1.0f, "frame (-1) out of bounds.\n", -20, 30, -11},
                {0, 2, 1.0f, "nextFrame (2) out of bounds.\n", -20, 30, -10},
                {5, -3, 0.0f, "frame (5) out of bounds.\nnextFrame (-3) out of bounds.\n", -20, 30, -10}};
    for (const auto& r : rows) {
        testing::internal::CaptureStdout();
        const std::vector<FrameVertex> out = pose(mesh.get(), r.frame, r.next, r.fraction, nullptr);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), r.printed);
        expect_same(out[0], {0.0f, 1.0f / 128, r.x, r.y, r.z}, std::to_string(r.frame) + "->" + std::to_string(r.next));
    }
    // Texture coordinates come from the current frame only; s = 128 of 256 is u = 0.5.
    mesh->frames[1].vertices[1].s = 999;
    EXPECT_EQ(pose(mesh.get(), 0, 1, 1.0f, nullptr)[1].u, 0.5f);
    std::vector<int16_t> copy(2 * 3 * 5);
    EXPECT_EQ(md2UpdateDoubleFrame(mesh.get(), 1, copy.data()), 2);
    EXPECT_EQ(std::memcmp(copy.data(), mesh->frames[1].vertices.data(), copy.size() * 2), 0);
    EXPECT_EQ(md2UpdateDoubleFrame(mesh.get(), 2, copy.data()), 0);
    // No triangles: a zero box; no frames: nothing written.
    const FrameBounds zero = {};
    FrameBounds box = {{1, 1, 1}, {1, 1, 1}};
    mesh->triangleCount = 0;
    pose(mesh.get(), 0, 0, 0.0f, &box);
    EXPECT_EQ(std::memcmp(&box, &zero, sizeof box), 0);
    MeshPtr empty = load(tiny_model(0));
    ASSERT_NE(empty, nullptr);
    FrameVertex untouched{7, 7, 7, 7, 7};
    md2GetFractionalFrame(empty.get(), 0, 0, 0.0f, &untouched, &box);
    EXPECT_EQ(untouched.x, 7);
}

TEST(Md2Refused, DamagedFilesGiveNullAndOneLine) {
    const Bytes good = tiny_model();
    ASSERT_NE(load(good), nullptr);
    std::vector<std::pair<std::string, Bytes>> bad;
    // Cut at and inside every block, the header included.
    for (int at : {0, 40, 67, 68, 100, 140, 150, 170, 172, 200, 228, 280, 290, 295})
        bad.emplace_back("cut at " + std::to_string(at), Bytes(good.begin(), good.begin() + at));
    const struct {
        const char* what;
        int field;
        uint32_t value;
    } fields[] = {{"skin width 0", 2, 0},          {"skin height -4", 3, uint32_t(-4)}, {"skins -1", 5, uint32_t(-1)},
                  {"vertices -1", 6, uint32_t(-1)}, {"st 2^31-1", 7, 0x7FFFFFFF},       {"triangles 3", 8, 3},
                  {"gl huge", 9, 0x40000000},       {"frames 3", 10, 3},                {"frames -2", 10, uint32_t(-2)},
                  {"vertices huge", 6, 0x20000000}, {"st offset -4", 12, uint32_t(-4)}, {"triangle offset", 13, 290},
                  {"frame offset", 14, 0x7FFFFFF0}, {"gl offset", 15, 1000}};
    for (const auto& f : fields) {
        Bytes b = good;
        put32(b, 4 * f.field, f.value);
        bad.emplace_back(f.what, b);
    }
    // Triangle 1's third vertex index (4 of 4) and first texture index (4 of 4).
    for (size_t at : {size_t(148 + 12 + 4), size_t(148 + 12 + 6)}) {
        Bytes b = good;
        b[at] = 4;
        bad.emplace_back("index at " + std::to_string(at), b);
    }
    // More frames x triangles than the format's largest model, in a file that holds them.
    Bytes big = good;
    put32(big, 4 * 10, 513);  // frames
    put32(big, 4 * 8, 4096);  // triangles, all zero indices
    put32(big, 4 * 6, 1);
    put32(big, 4 * 13, 296);
    put32(big, 4 * 14, 296 + 4096 * 12);
    big.resize(296 + 4096 * 12 + 513 * 44);
    bad.emplace_back("513 x 4096", big);
    for (const auto& [what, bytes] : bad) {
        std::string printed;
        EXPECT_EQ(load(bytes, &printed), nullptr) << what;
        EXPECT_EQ(printed.rfind("MD2 model 'tiny.md2' refused: ", 0), 0u) << what << ": " << printed;
        EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << what << ": " << printed;
    }
    put32(big, 4 * 10, 512);  // the largest model is still read
    EXPECT_NE(load(big), nullptr);
}

TEST(Md2Refused, FilesByPath) {
    const std::string dir = testing::TempDir();
    const std::string path = dir + "/damaged.md2";
    Bytes cut = tiny_model();
    cut.resize(150);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(cut.data()), cut.size());
    testing::internal::CaptureStdout();
    EXPECT_EQ(md2Load(path.c_str()), nullptr);
    EXPECT_EQ(md2Load((dir + "/missing.md2").c_str()), nullptr);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed.find("MD2 model '" + path + "' refused: "), 0u) << printed;
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << printed;
    std::remove(path.c_str());
}
