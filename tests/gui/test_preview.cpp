// The perspective preview: the model cache and its search folders, and the picture it draws.
#include "gui_test_support.h"

#include <FL/gl.h>

#include <cmath>

// Run in root/a/b of a fresh folder, so that every search folder lies inside it; names carry the
// folder's name, since the model cache outlives a test.
TEST(PreviewModels, PrefixOrderAndSkins) {
    const fs::path models = fs::path(VANTROPE_TESTDATA) / "md2";
    if (!fs::exists(models / "camera1.md2")) GTEST_SKIP() << "no test models in " << models;
    TempFolder root(true);
    fs::create_directories("a/b");
    fs::current_path("a/b");
    const std::string tag = root.dir.filename().string();
    auto put = [&](const char* model, const fs::path& path) {  // camera1 has 17 frames, enc_plasma_clip 1
        fs::create_directories(fs::absolute(path).parent_path());
        fs::copy_file(models / (std::string(model) + ".md2"), path, fs::copy_options::overwrite_existing);
    };
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
}

namespace {

struct Peek : Fl_Perspective_Preview { using Fl_Perspective_Preview::draw; };

// One redraw of the preview, read back as RGB rows from the top.
struct Frame {
    int w = perspectivePreview->w(), h = perspectivePreview->h();
    std::vector<unsigned char> rgb = std::vector<unsigned char>(3 * w * h);
    Frame() {
        perspectivePreview->make_current();
        (perspectivePreview->*(&Peek::draw))();
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    }
    Rgb at(std::pair<int, int> xy) const {
        const unsigned char* p = &rgb[3 * ((h - 1 - xy.second) * w + xy.first)];
        return {p[0], p[1], p[2]};
    }
    // The window pixel of a point for the front camera at depth 64: eye (0, 85, 64 - 155) looking at
    // (0, 0, 64), 45 degrees high, the window's aspect.
    std::pair<int, int> project(double x, double y, double z) const {
        const double n = std::hypot(85.0, 155.0), dy = y - 85, dz = z - 64 + 155, t = std::tan(M_PI / 8);
        const double depth = (-85 * dy + 155 * dz) / n, up = (155 * dy + 85 * dz) / n;
        return {int((1 - x / depth / (t * w / h)) * w / 2), int((1 - up / depth / t) * h / 2)};
    }
};

Rgb rgb(uint32_t word) { return {int(word & 255), int(word >> 8 & 255), int(word >> 16 & 255)}; }

}  // namespace

// A flat Custom PNG segment (y -155) without, then with its colour map; triggers with models that are nowhere:
// 1 (selected, stage 1 selected) and 2 in the segment, 3 in another. Colours have distinct red, green, blue.
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
    for (int n = 1; n <= 3; n++) {
        Trigger& t = trigger[n];
        copy_text(t.triggerType, "nowhere.md2");
        t.triggerSegment = n == 3, t.stageCount = 2;
        t.stage[0] = {40, -140.0f + 40 * n, 100, 0, 0, 0, 0};
        t.stage[1] = {120, -140.0f + 40 * n, 100, 0, 0, 0, 0.5f};
    }
    activeTrigger = 1, activeStage = 1, activeSegment = 0;
    mapPosition->value(0.25);  // depth 64; the enemies are half-way, at x 80
    for (bool withMap : {false, true}) {
        if (withMap) put_png(tmp / "picseg0color.png", 256, 256, [&](int, int) { return map; });
        ScriptDialogs dialogs;
        new_map();
        const Frame f;
        const auto terrain = rgb(withMap ? map : palette), fog = rgb(s.fogColor);
        const auto [edgeX, edgeY] = f.project(-60, -155, 254);  // the far edge of the terrain
        EXPECT_EQ(f.at({2, 2}), fog);
        EXPECT_EQ(f.at(f.project(-60, -155, 150)), terrain);
        EXPECT_EQ(f.at({edgeX, edgeY + 4}), terrain);
        EXPECT_EQ(f.at({edgeX, edgeY - 4}), fog);
        EXPECT_EQ(f.at(f.project(80, -92, 100)), rgb(0x3333FF));   // placeholder of the selected trigger
        EXPECT_EQ(f.at(f.project(120, -97, 100)), rgb(0x3333FF));  // its selected stage
        EXPECT_EQ(f.at(f.project(40, -97, 100)), rgb(0x993399));   // its other stage
        EXPECT_EQ(f.at(f.project(80, -52, 100)), rgb(0x993399));   // placeholder of the other trigger
        EXPECT_EQ(f.at(f.project(40, -57, 100)), rgb(0x990099));   // its stage
        EXPECT_EQ(f.at(f.project(80, -12, 100)), fog);             // the trigger of another segment is not drawn
    }
    currentlevel[0] = '\0';
}
