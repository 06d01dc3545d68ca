// The MD2 reader against real models and hand-made damaged files, and the
// pose between frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "preview/actors.h"
#include "preview/md2.h"

namespace {

using Bytes = std::vector<unsigned char>;
using MeshPtr = std::unique_ptr<AnimMesh>;

// Little-endian fields, read and written here without the reader's help.
uint32_t u32(const Bytes& b, size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24; }
int u16(const Bytes& b, size_t at) { return b[at] | b[at + 1] << 8; }
float f32(const Bytes& b, size_t at) { const uint32_t bits = u32(b, at); float f; std::memcpy(&f, &bits, 4); return f; }
void put32(Bytes& b, size_t at, uint32_t v) { for (int i = 0; i < 4; i++) b[at + i] = uint8_t(v >> (8 * i)); }

// Corner j of triangle i of `frame` from the file's bytes: MD2 position P =
// byte x scale + translate, shown at (-P.y, P.z, -P.x), with s / skin width, t / skin height.
FrameVertex expected_corner(const Bytes& file, int frame, int i, int j) {
    const size_t tri = u32(file, 52) + 12 * i, st = u32(file, 48) + 4 * u16(file, tri + 6 + 2 * j);
    const size_t head = u32(file, 56) + size_t(40 + 4 * u32(file, 24)) * frame, pos = head + 40 + 4 * u16(file, tri + 2 * j);
    float p[3];
    for (int a = 0; a < 3; a++) p[a] = file[pos + a] * f32(file, head + 4 * a) + f32(file, head + 12 + 4 * a);
    return {int16_t(u16(file, st)) * (1.0f / u32(file, 8)), int16_t(u16(file, st + 2)) * (1.0f / u32(file, 12)), -p[1], p[2], -p[0]};
}

// 296 bytes: two triangles over four vertices in two frames (scale 1,
// translate 0); vertex k of frame f has bytes (10 + k + f, 20 + k, 30 + k);
// skin 256 x 128. Skins at 68, texture coordinates 132, triangles 148,
// frames 172 (56 bytes each), then 3 GL commands at 284.
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

MeshPtr load(const Bytes& b, std::string* printed = nullptr) {
    testing::internal::CaptureStdout();
    MeshPtr mesh(md2LoadMemory(b.data(), b.size(), "tiny.md2"));
    const std::string out = testing::internal::GetCapturedStdout();
    if (printed) *printed = out;
    return mesh;
}

}  // namespace

// (The box around a pose: Md2Pose.)
TEST(Md2Real, ModelsLoadWithTheirCountsAndCorners) {
    const struct { const char* name; int frames, triangles; } models[] = {{"camera1", 17, 517}, {"lamp", 198, 164}, {"enc_plasma_clip", 1, 12}};
    for (const auto& m : models) {
        const std::string path = std::string(VANTROPE_TESTDATA) + "/md2/" + m.name + ".md2";
        std::ifstream in(path, std::ios::binary);
        const Bytes file(std::istreambuf_iterator<char>(in), {});
        if (file.empty()) GTEST_SKIP() << "no test data at " << path;
        MeshPtr mesh(md2Load(path.c_str()));
        ASSERT_NE(mesh, nullptr) << m.name;
        EXPECT_TRUE(mesh->frameCount == m.frames && mesh->triangleCount == m.triangles && !mesh->skin) << m.name;
        for (int frame : {0, m.frames / 2, m.frames - 1}) {
            std::vector<FrameVertex> out(3 * m.triangles);
            md2GetFractionalFrame(mesh.get(), frame, frame, 0.0f, out.data(), nullptr);
            for (int k = 0; k < 3 * m.triangles; k++) {
                const FrameVertex v = expected_corner(file, frame, k / 3, k % 3);
                EXPECT_EQ(std::memcmp(&out[k], &v, sizeof v), 0) << m.name << " frame " << frame << " corner " << k;
            }
        }
    }
}

TEST(Md2Pose, FractionsFramesOutOfBoundsBoxesAndCopies) {
    MeshPtr mesh = load(tiny_model());
    ASSERT_NE(mesh, nullptr);
    // Frame 1 as stored: corner c is vertex k (bytes 11 + k, 20 + k, 30 + k) in mesh axes (x, -z, y)
    // with texture coordinate j (s = 128 j, t = 32 j + 1).
    std::vector<int16_t> copy(30), stored;
    for (int c = 0; c < 6; c++) {
        const int16_t k = "012013"[c] - '0', j = "012123"[c] - '0';
        stored.insert(stored.end(), {int16_t(128 * j), int16_t(32 * j + 1), int16_t(11 + k), int16_t(-30 - k), int16_t(20 + k)});
    }
    EXPECT_EQ(md2UpdateDoubleFrame(mesh.get(), 1, copy.data()), 2);
    EXPECT_EQ(copy, stored);
    EXPECT_EQ(md2UpdateDoubleFrame(mesh.get(), 2, copy.data()), 0);
    // Corner 0 is vertex 0, shown at (-20, 30, -10) in frame 0 and (-20, 30, -11) in frame 1;
    // vertices 1..3 lie 1..3 further along each axis, so the box follows from z.
    const struct { int frame, next; float fraction, z; const char* printed; } rows[] = {{0, 1, 0.0f, -10, ""}, {0, 1, 1.0f, -11, ""}, {1, 0, 0.25f, -10.75f, ""},
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
    // Texture coordinates come from the current frame; s = 128 of 256 is u = 0.5.
    mesh->frames[1].vertices[1].s = 999;
    md2GetFractionalFrame(mesh.get(), 0, 1, 1.0f, out.data(), nullptr);
    EXPECT_EQ(out[1].u, 0.5f);
    const FrameBounds zero = {};  // no triangles: a zero box
    FrameBounds box;
    mesh->triangleCount = 0;
    md2GetFractionalFrame(mesh.get(), 0, 0, 0.0f, out.data(), &box);
    EXPECT_EQ(std::memcmp(&box, &zero, sizeof box), 0);
}

TEST(Md2Refused, DamagedFilesGiveNullAndOneLineNamingTheFile) {
    const Bytes good = tiny_model();
    std::vector<std::pair<std::string, Bytes>> bad;
    for (int at : {0, 67, 68, 100, 140, 150, 170, 172, 228, 280, 290, 295})  // cut at and inside every block
        bad.emplace_back("cut at " + std::to_string(at), Bytes(good.begin(), good.begin() + at));
    // Header fields: skin sizes, negative or too large counts, offsets outside the file; then
    // triangle 1's third vertex and first texture coordinate made 4 of 4.
    const std::pair<int, uint32_t> patches[] = {
        {8, 0},           {12, uint32_t(-4)}, {20, uint32_t(-1)}, {24, uint32_t(-1)}, {28, 0x7FFFFFFF}, {32, 3},
        {36, 0x40000000}, {40, 3},            {40, uint32_t(-2)}, {24, 0x20000000},   {48, uint32_t(-4)}, {52, 290},
        {56, 0x7FFFFFF0}, {60, 1000},         {164, 4},           {166, 4}};
    for (const auto& [at, value] : patches) {
        Bytes b = good;
        put32(b, at, value);
        bad.emplace_back("byte " + std::to_string(at) + " = " + std::to_string(int(value)), b);
    }
    Bytes big = good;  // 4000 frames of 4000 triangles fit in the file, but need 480 MB to draw
    for (const auto& [at, value] : {std::pair<int, uint32_t>{40, 4000}, {32, 4000}, {24, 1}, {52, 296}, {56, 296 + 4000 * 12}})
        put32(big, at, value);
    big.resize(296 + 4000 * 12 + 4000 * 44);
    bad.emplace_back("4000 x 4000", big);
    for (const auto& [what, bytes] : bad) {
        std::string printed;
        EXPECT_EQ(load(bytes, &printed), nullptr) << what;
        EXPECT_TRUE(printed.rfind("MD2 model 'tiny.md2' refused: ", 0) == 0 && std::count(printed.begin(), printed.end(), '\n') == 1)
            << what << ": " << printed;
    }

    const std::string path = testing::TempDir() + "/damaged.md2";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(good.data()), 150);
    testing::internal::CaptureStdout();
    EXPECT_EQ(md2Load(path.c_str()), nullptr);
    EXPECT_EQ(md2Load((path + ".missing").c_str()), nullptr);  // silently
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(printed.rfind("MD2 model '" + path + "' refused: ", 0) == 0 && std::count(printed.begin(), printed.end(), '\n') == 1)
        << printed;
}

// Frame and triangle counts are not limited as such: a real model of 1,007
// frames in about 1 MB opens, and its animation frames pose as the file says.
TEST(Md2Long, AThousandFramesOpenAndPose) {
    const int frames = 1007, vertices = 240, triangles = 400, frameSize = 40 + 4 * vertices;
    const int header[17] = {0x32504449, 8, 64, 64, frameSize, 0, vertices, 4, triangles, 0, frames,
                            68, 68, 84, 84 + 12 * triangles, 0, 84 + 12 * triangles + frames * frameSize};
    Bytes b(header[16]);
    for (int i = 0; i < 17; i++) put32(b, 4 * i, header[i]);
    for (int i = 0; i < 8; i++) b[68 + 2 * i] = uint8_t(9 * i);
    for (int i = 0; i < triangles; i++)
        for (int j = 0; j < 6; j++) b[84 + 12 * i + 2 * j] = uint8_t(j < 3 ? (7 * i + 13 * j) % vertices : (i + j) % 4);
    for (int f = 0; f < frames; f++) {
        const size_t head = header[14] + size_t(frameSize) * f;
        for (int a = 0; a < 6; a++) put32(b, head + 4 * a, a < 3 ? 0x3F000000 : 0x40000000 + 4096 * (f % 97));  // 0.5, 2 and up
        for (int k = 0; k < 4 * vertices; k++) b[head + 40 + k] = uint8_t(k * 3 + f);
    }
    MeshPtr mesh = load(b);
    ASSERT_TRUE(mesh && mesh->frameCount == frames);
    std::vector<FrameVertex> out(3 * triangles);
    // A step of the preview's animation, and the last two frames, half way between.
    for (const auto& [frame, next] : {std::pair{actorFrame(frames, 0), actorFrame(frames, 1)}, std::pair{1005, 1006}}) {
        md2GetFractionalFrame(mesh.get(), frame, next, 0.5f, out.data(), nullptr);
        for (int k = 0; k < 3 * triangles; k++) {
            const FrameVertex a = expected_corner(b, frame, k / 3, k % 3), c = expected_corner(b, next, k / 3, k % 3);
            EXPECT_TRUE(out[k].u == a.u && out[k].v == a.v && out[k].x == a.x * 0.5f + c.x * 0.5f &&
                        out[k].y == a.y * 0.5f + c.y * 0.5f && out[k].z == a.z * 0.5f + c.z * 0.5f)
                << "frames " << frame << ", " << next << " corner " << k;
        }
    }
}
