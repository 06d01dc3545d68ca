// The MD2 reader against real models and hand-made damaged files, and the pose between frames.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "preview/md2.h"

namespace {

using Bytes = std::vector<unsigned char>;
using MeshPtr = std::unique_ptr<AnimMesh>;

// Little-endian fields, read and written here without the reader's help.
int u16(const Bytes& b, size_t at) { return b[at] | b[at + 1] << 8; }
uint32_t u32(const Bytes& b, size_t at) { return uint32_t(u16(b, at)) | uint32_t(u16(b, at + 2)) << 16; }
float f32(const Bytes& b, size_t at) { const uint32_t bits = u32(b, at); float f; std::memcpy(&f, &bits, 4); return f; }
void put32(Bytes& b, size_t at, uint32_t v) { for (int i = 0; i < 4; i++) b[at + i] = uint8_t(v >> (8 * i)); }

// Corner j of triangle i of `frame` from the file's bytes: MD2 position P = byte x scale +
// translate, shown at (-P.y, P.z, -P.x), with s / skin width, t / skin height.
FrameVertex expected_corner(const Bytes& file, int frame, int i, int j) {
    const size_t tri = u32(file, 52) + 12 * i, st = u32(file, 48) + 4 * u16(file, tri + 6 + 2 * j);
    const size_t head = u32(file, 56) + size_t(40 + 4 * u32(file, 24)) * frame, pos = head + 40 + 4 * u16(file, tri + 2 * j);
    float p[3];
    for (int a = 0; a < 3; a++) p[a] = file[pos + a] * f32(file, head + 4 * a) + f32(file, head + 12 + 4 * a);
    return {int16_t(u16(file, st)) * (1.0f / u32(file, 8)), int16_t(u16(file, st + 2)) * (1.0f / u32(file, 12)),
            -p[1], p[2], -p[0]};
}

// 296 bytes: 2 triangles over 4 vertices in 2 frames (scale 1); vertex k of frame f has bytes (10 + k + f, 20 + k,
// 30 + k); skin 256 x 128. Skins at 68, texture coordinates 132, triangles 148, frames 172, GL commands 284.
Bytes tiny_model() {
    const int header[17] = {0x32504449, 8, 256, 128, 56, 1, 4, 4, 2, 3, 2, 68, 132, 148, 172, 284, 296};
    Bytes b(296);
    for (int i = 0; i < 17; i++) put32(b, 4 * i, header[i]);
    const int st[8] = {0, 1, 128, 33, 256, 65, 384, 97}, tris[12] = {0, 1, 2, 0, 1, 2, 0, 1, 3, 1, 2, 3};
    for (int i = 0; i < 8; i++) b[132 + 2 * i] = st[i] & 0xFF, b[133 + 2 * i] = st[i] >> 8;
    for (int i = 0; i < 12; i++) b[148 + 2 * i] = tris[i];
    for (int f = 0; f < 2; f++) {
        for (int a = 0; a < 3; a++) put32(b, 172 + 56 * f + 4 * a, 0x3F800000);  // 1.0f
        for (int k = 0; k < 4; k++)
            for (int a = 0; a < 3; a++) b[172 + 56 * f + 40 + 4 * k + a] = 10 * (a + 1) + k + (a ? 0 : f);
    }
    return b;
}

}  // namespace

TEST(Md2Real, ModelsLoadWithTheirCountsAndCorners) {
    const struct { const char* name; int frames, triangles; } models[] = {
        {"camera1", 17, 517}, {"lamp", 198, 164}, {"enc_plasma_clip", 1, 12}};
    for (const auto& m : models) {
        const std::string path = std::string(VANTROPE_TESTDATA) + "/md2/" + m.name + ".md2";
        std::ifstream in(path, std::ios::binary);
        const Bytes file(std::istreambuf_iterator<char>(in), {});
        if (file.empty()) GTEST_SKIP() << "no test data at " << path;
        MeshPtr mesh(md2Load(path.c_str()));
        ASSERT_NE(mesh, nullptr) << m.name;
        EXPECT_TRUE(mesh->frameCount == m.frames && mesh->triangleCount == m.triangles && !mesh->skin) << m.name;
        std::vector<FrameVertex> out(3 * m.triangles);
        for (int frame : {0, m.frames / 2, m.frames - 1}) {  // posed a quarter of the way to another frame
            const int next = m.frames - 1 - frame;
            md2GetFractionalFrame(mesh.get(), frame, next, 0.25f, out.data(), nullptr);
            for (int k = 0; k < 3 * m.triangles; k++) {
                const FrameVertex a = expected_corner(file, frame, k / 3, k % 3), c = expected_corner(file, next, k / 3, k % 3);
                EXPECT_TRUE(out[k].u == a.u && out[k].v == a.v && out[k].x == a.x * 0.75f + c.x * 0.25f &&
                            out[k].y == a.y * 0.75f + c.y * 0.25f && out[k].z == a.z * 0.75f + c.z * 0.25f)
                    << m.name << " frames " << frame << ", " << next << " corner " << k;
            }
        }
    }
}

// Corner 0 is vertex 0, at (-20, 30, -10) in frame 0 and (-20, 30, -11) in frame 1; vertices
// 1..3 lie 1..3 further along each axis, so the box follows from z. Bad frames print and pose frame 0.
TEST(Md2Pose, FractionsFramesOutOfBoundsAndBoxes) {
    const Bytes file = tiny_model();
    MeshPtr mesh(md2LoadMemory(file.data(), file.size(), "tiny.md2"));
    ASSERT_NE(mesh, nullptr);
    const struct { int frame, next; float fraction, z; const char* printed; } rows[] = {
        {0, 1, 0.0f, -10, ""}, {0, 1, 1.0f, -11, ""}, {1, 0, 0.25f, -10.75f, ""},
        {-1, 1, 1.0f, -11, "frame (-1) out of bounds.\n"}, {0, 2, 1.0f, -10, "nextFrame (2) out of bounds.\n"},
        {5, -3, 0.0f, -10, "frame (5) out of bounds.\nnextFrame (-3) out of bounds.\n"}};
    std::vector<FrameVertex> out(6);
    for (const auto& r : rows) {
        FrameBounds box;
        testing::internal::CaptureStdout();
        md2GetFractionalFrame(mesh.get(), r.frame, r.next, r.fraction, out.data(), &box);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), r.printed);
        const FrameVertex want = {0.0f, 1.0f / 128, -20, 30, r.z};
        const FrameBounds wantBox = {{-23, 30, r.z - 3}, {-20, 33, r.z}};
        EXPECT_EQ(std::memcmp(&out[0], &want, sizeof want), 0) << r.frame << " -> " << r.next << " at " << r.fraction;
        EXPECT_EQ(std::memcmp(&box, &wantBox, sizeof box), 0) << r.frame << " -> " << r.next << " at " << r.fraction;
    }
}

// Cuts in every block; bad skin sizes, counts and offsets; triangle 1 naming vertex or texture
// coordinate 4 of 4; 4000 frames of 4000 triangles that fit in the file but need 480 MB to draw.
TEST(Md2Refused, DamagedFilesGiveNullAndOneLineNamingTheFile) {
    const Bytes good = tiny_model();
    std::vector<std::pair<std::string, Bytes>> bad;
    for (int at : {0, 67, 68, 100, 140, 150, 170, 172, 228, 280, 290, 295})
        bad.emplace_back("cut at " + std::to_string(at), Bytes(good.begin(), good.begin() + at));
    const std::pair<int, uint32_t> patches[] = {
        {8, 0},           {12, uint32_t(-4)}, {20, uint32_t(-1)}, {24, uint32_t(-1)}, {28, 0x7FFFFFFF}, {32, 3},
        {36, 0x40000000}, {40, 3},            {40, uint32_t(-2)}, {24, 0x20000000},   {48, uint32_t(-4)}, {52, 290},
        {56, 0x7FFFFFF0}, {60, 1000},         {164, 4},           {166, 4}};
    for (const auto& [at, value] : patches) {
        bad.emplace_back("byte " + std::to_string(at) + " = " + std::to_string(int(value)), good);
        put32(bad.back().second, at, value);
    }
    bad.emplace_back("4000 x 4000", good);
    for (const auto& [at, value] : {std::pair<int, uint32_t>{40, 4000}, {32, 4000}, {24, 1}, {52, 296}, {56, 296 + 48000}})
        put32(bad.back().second, at, value);
    bad.back().second.resize(296 + 4000 * 12 + 4000 * 44);
    for (const auto& [what, bytes] : bad) {
        testing::internal::CaptureStdout();
        EXPECT_EQ(MeshPtr(md2LoadMemory(bytes.data(), bytes.size(), "tiny.md2")), nullptr) << what;
        const std::string printed = testing::internal::GetCapturedStdout();
        EXPECT_TRUE(printed.rfind("MD2 model 'tiny.md2' refused: ", 0) == 0 && printed.find('\n') == printed.size() - 1)
            << what << ": " << printed;
    }
}
