// The perspective preview: the model cache and its search folders, the
// mouse, and the picture a draw makes.
#include "gui_test_support.h"

#include <FL/Fl.H>

#include <FL/gl.h>

#include <cmath>
#include <optional>

namespace {

// Each test runs in root/a/b of a fresh folder, so that every search folder
// ("../../models/" and "../../vantrope/models/" too) lies inside it.
class PreviewModels : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(models / "camera1.md2")) GTEST_SKIP() << "no test models in " << models;
        folder.emplace();
        root = folder->dir;
        tag = root.filename().string();  // the cache outlives a test: names are new in each run
        fs::create_directories(root / "a/b");
        saved = fs::current_path();
        fs::current_path(root / "a/b");
    }
    void TearDown() override {
        if (!saved.empty()) fs::current_path(saved);  // before the folder goes
    }
    // Copies camera1 (17 frames) or enc_plasma_clip (1 frame) to `path`.
    void put(const char* model, const fs::path& path) {
        fs::create_directories(fs::absolute(path).parent_path());
        fs::copy_file(models / (std::string(model) + ".md2"), path, fs::copy_options::overwrite_existing);
    }
    const fs::path models = fs::path(VANTROPE_TESTDATA) / "md2";
    std::optional<TempFolder> folder;
    fs::path root, saved;
    std::string tag;
};

// Lets the preview draw what is pending: on a busy machine the window can take
// longer than a few event checks to be shown.
void draw_pending() {
    for (int i = 0; i < 500 && perspectivePreview->damage(); i++) Fl::wait(0.01);
}

}  // namespace

TEST_F(PreviewModels, PrefixOrderSkinsRetriesAndGrowth) {
    const char* folders[] = {"", "models/", "../models/", "../../models/", "vantrope/models/",
                             "../vantrope/models/", "../../vantrope/models/"};
    for (int k = 0; k < 7; k++) {
        const std::string name = tag + "order" + std::to_string(k), folder = folders[k];
        put("camera1", folder + name + ".md2");
        if (k < 6) put("enc_plasma_clip", folders[k + 1] + name + ".md2");  // later in the list
        const uint32_t word = 0xFF000000u + k;
        if (k % 2 == 0) saveImagePng((folder + name + ".png").c_str(), &word, 1, 1, 1, 1);
        AnimMesh* mesh = perspectivePreview->findModel((name + ".md2").c_str());
        ASSERT_NE(mesh, nullptr) << folder;
        EXPECT_EQ(mesh->frameCount, 17) << folder;
        EXPECT_TRUE(k % 2 ? !mesh->skin : mesh->skin && mesh->skin->pixels[0] == word) << folder;
    }
    put("camera1", "abcd");
    EXPECT_EQ(perspectivePreview->findModel("abcd"), nullptr);  // under five characters: not looked up
    const int count = perspectivePreview->modelCount;
    const std::string late = tag + "later.md2";
    EXPECT_EQ(perspectivePreview->findModel(late.c_str()), nullptr);  // not there yet, and not kept
    put("enc_plasma_clip", "../models/" + late);
    AnimMesh* later = perspectivePreview->findModel(late.c_str());
    EXPECT_TRUE(later && perspectivePreview->findModel(late.c_str()) == later);
    // More names than the cache's first 256 entries: every model is still found.
    for (int i = 0; i < 300; i++) {
        const std::string name = tag + "grow" + std::to_string(i) + ".md2";
        fs::create_symlink(models / "enc_plasma_clip.md2", "models/" + name);
        ASSERT_NE(perspectivePreview->findModel(name.c_str()), nullptr) << i;
    }
    EXPECT_EQ(perspectivePreview->modelCount, count + 301);
    EXPECT_EQ(perspectivePreview->findModel(late.c_str()), later);
}

TEST(PreviewMouse, RightDragMovesTheMapPositionOtherButtonsOrbit) {
    int callbacks = 0;
    Fl_Callback* saved = mapPosition->callback();
    mapPosition->callback([](Fl_Widget*, void* n) { ++*static_cast<int*>(n); }, &callbacks);
    const struct { int button; double start; int fromX, fromY, toX, toY; double position; float yaw, pitch; } rows[] = {
        {FL_BUTTON3, 0.3, 240, 272, 240, 0, 1.0, 0, 0},        {FL_BUTTON3, 0.5, 10, 200, 90, 132, 0.75, 0, 0},
        {FL_BUTTON3, 0.2, 240, 50, 240, 150, 0.0, 0, 0},       {FL_BUTTON1, 0.4, 100, 100, 150, 80, 0.4, 0.5f, -0.2f},
        {FL_BUTTON2, 0.4, 300, 10, 200, 110, 0.4, -1.0f, 1.0f}};
    for (const auto& r : rows) {
        mapPosition->value(r.start);
        Fl::e_state = r.button;
        Fl::e_x = r.fromX;
        Fl::e_y = r.fromY;
        EXPECT_EQ(perspectivePreview->handle(FL_PUSH), 1);
        draw_pending();  // so that the drag's redraw request shows
        Fl::e_x = r.toX;
        Fl::e_y = r.toY;
        EXPECT_EQ(perspectivePreview->handle(FL_DRAG), 1);
        EXPECT_NE(perspectivePreview->damage(), 0);
        EXPECT_FLOAT_EQ(mapPosition->value(), r.position) << r.button << " " << r.start;
        EXPECT_TRUE(perspectivePreview->cameraYaw == r.yaw && perspectivePreview->cameraPitch == r.pitch) << r.button;
        EXPECT_EQ(perspectivePreview->handle(FL_RELEASE), 1);
        EXPECT_TRUE(perspectivePreview->cameraYaw == 0 && perspectivePreview->cameraPitch == 0);
    }
    draw_pending();
    for (int event : {FL_MOVE, FL_KEYBOARD, FL_MOUSEWHEEL, FL_ENTER})
        EXPECT_TRUE(perspectivePreview->handle(event) == 0 && perspectivePreview->damage() == 0) << event;
    EXPECT_EQ(callbacks, 0);  // the slider's callback is not run
    mapPosition->callback(saved, nullptr);
}

namespace {

struct Peek : Fl_Perspective_Preview {
    using Fl_Perspective_Preview::draw;
};

// One redraw of the preview, read back as rows of RGB from the top.
struct Frame {
    int w, h;
    std::vector<unsigned char> rgb;
    std::array<int, 3> at(int x, int y) const {
        const unsigned char* p = &rgb[3 * ((h - 1 - y) * w + x)];
        return {p[0], p[1], p[2]};
    }
};

// Every draw counts a frame.
Frame frame() {
    perspectivePreview->make_current();
    const uint32_t frames = perspectivePreview->frameCounter;
    (perspectivePreview->*(&Peek::draw))();
    EXPECT_EQ(perspectivePreview->frameCounter, frames + 1);
    Frame f{perspectivePreview->w(), perspectivePreview->h(), {}};
    f.rgb.resize(3 * f.w * f.h);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, f.w, f.h, GL_RGB, GL_UNSIGNED_BYTE, f.rgb.data());
    return f;
}

// Window pixel of a point for the front camera at depth `pos`: eye (0, 85,
// pos - 155) looking at (0, 0, pos), 45 degrees high, the window's aspect.
std::pair<int, int> project(const Frame& f, double x, double y, double z, double pos) {
    const double n = std::hypot(85.0, 155.0);
    const double dy = y - 85, dz = z - pos + 155;
    const double depth = (-85 * dy + 155 * dz) / n, up = (155 * dy + 85 * dz) / n;
    const double t = std::tan(M_PI / 8);
    return {int((1 - x / depth / (t * f.w / f.h)) * f.w / 2), int((1 - up / depth / t) * f.h / 2)};
}

std::array<int, 3> rgb(uint32_t word) { return {int(word & 255), int(word >> 8 & 255), int(word >> 16 & 255)}; }

}  // namespace

// A Custom PNG segment, flat at height index 255 (y -155), first without and
// then with its colour map; three triggers with models that are nowhere:
// 1 (selected, stage 1 selected) and 2 in the segment, 3 in another. Every
// colour has distinct red, green and blue.
TEST(PreviewPicture, TerrainColourMapSegmentFilterMarkersAndPlaceholders) {
    TempFolder tmp;
    cb_New(nullptr, nullptr);
    copy_text(currentlevel, (tmp / "pic.txt").c_str());
    Segment& s = segment[0];
    s.visualization = 4, s.length = 1, s.scale = 100, s.cameraAngle = 0, s.isTunnel = false;
    s.fogColor = 0x302010, s.fogNear = 5000, s.fogFar = 6000;  // no fog this near
    const uint32_t palette = 0xB07030, map = 0xFF50E020;
    for (uint32_t& p : s.palette) p = palette;
    put_png(tmp / "picseg0height.png", 256, 256, [](int, int) { return 0xFFFFFFFFu; });
    for (int i = 0; i < 3; i++) cb_Add(nullptr, nullptr);
    const float heights[] = {-100, -60, -20};
    for (int n = 1; n <= 3; n++) {
        Trigger& t = trigger[n];
        copy_text(t.triggerType, "nowhere.md2");
        t.triggerSegment = n == 3, t.stageCount = 2;
        t.stage[0] = {40, heights[n - 1], 100, 0, 0, 0, 0};
        t.stage[1] = {120, heights[n - 1], 100, 0, 0, 0, 0.5f};
    }
    activeTrigger = 1, activeStage = 1, activeSegment = 0;
    mapPosition->value(0.25);  // depth 64; the enemies are half-way, at x 80
    for (bool withMap : {false, true}) {
        if (withMap) put_png(tmp / "picseg0color.png", 256, 256, [&](int, int) { return map; });
        ScriptDialogs dialogs;
        new_map();
        const Frame f = frame();
        auto at = [&](double x, double y, double z) {
            const auto [px, py] = project(f, x, y, z, 64);
            return f.at(px, py);
        };
        const auto terrain = rgb(withMap ? map : palette), fog = rgb(s.fogColor);
        EXPECT_EQ(f.at(2, 2), fog);
        EXPECT_EQ(at(-60, -155, 150), terrain);
        const auto [edgeX, edgeY] = project(f, -60, -155, 254, 64);  // the far edge of the terrain
        EXPECT_EQ(f.at(edgeX, edgeY + 4), terrain);
        EXPECT_EQ(f.at(edgeX, edgeY - 4), fog);
        EXPECT_EQ(at(80, -92, 100), rgb(0x3333FF));   // placeholder of the selected trigger
        EXPECT_EQ(at(120, -97, 100), rgb(0x3333FF));  // its selected stage
        EXPECT_EQ(at(40, -97, 100), rgb(0x993399));   // its other stage
        EXPECT_EQ(at(80, -52, 100), rgb(0x993399));   // placeholder of the other trigger
        EXPECT_EQ(at(40, -57, 100), rgb(0x990099));   // its stage
        EXPECT_EQ(at(80, -12, 100), fog);             // the trigger of another segment is not drawn
    }
    currentlevel[0] = '\0';
}
