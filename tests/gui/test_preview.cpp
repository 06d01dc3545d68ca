// The perspective preview: the model cache and its search folders, the
// triggers it draws, the mouse, and the palette commands' terrain rebuild.
#include "gui_test_support.h"

#include "document/document_ui.h"
#include "document/records.h"
#include "maps/segment_maps_ui.h"
#include "panels/segments_page.h"
#include "panels/targets_page.h"
#include "preview/perspective_preview_ui.h"

#include <FL/Fl.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Roller.H>
#include <FL/Fl_Value_Slider.H>
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

fs::path models_dir() {
    const char* env = std::getenv("VANTROPE_TESTDATA");
    return fs::path(env ? env : VANTROPE_TESTDATA) / "md2";
}

// Runs each test in root/a/b of a fresh folder, so that every search folder
// ("../../models/" and "../../vantrope/models/" included) lies inside it.
class PreviewModels : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(models_dir() / "camera1.md2")) GTEST_SKIP() << "no test models in " << models_dir();
        root = make_temp_dir();
        fs::create_directories(root / "a/b");
        saved = fs::current_path();
        fs::current_path(root / "a/b");
    }
    void TearDown() override {
        if (!saved.empty()) fs::current_path(saved);
    }
    // Copies test model `model` (camera1: 17 frames, enc_plasma_clip: 1) to `path`.
    static void put(const char* model, const fs::path& path) {
        fs::create_directories(fs::absolute(path).parent_path());
        fs::copy_file(models_dir() / (std::string(model) + ".md2"), path, fs::copy_options::overwrite_existing);
    }
    fs::path root, saved;
};

}  // namespace

TEST_F(PreviewModels, PrefixOrderAndSkinBesideTheModel) {
    const char* folders[] = {"", "models/", "../models/", "../../models/", "vantrope/models/",
                             "../vantrope/models/", "../../vantrope/models/"};
    for (int k = 0; k < 7; k++) {
        const std::string name = "order" + std::to_string(k) + ".md2";
        put("camera1", std::string(folders[k]) + name);
        if (k < 6) put("enc_plasma_clip", std::string(folders[k + 1]) + name);  // later in the list
        if (k % 2 == 0) {
            const uint32_t word = 0xFF000000u + k;
            saveImagePng((std::string(folders[k]) + "order" + std::to_string(k) + ".png").c_str(), &word, 1, 1, 1, 1);
        }
        AnimMesh* mesh = perspectivePreview->findModel(name.c_str());
        ASSERT_NE(mesh, nullptr) << folders[k];
        EXPECT_EQ(mesh->frameCount, 17) << folders[k];
        if (k % 2 == 0) {
            ASSERT_NE(mesh->skin, nullptr) << folders[k];
            EXPECT_EQ(mesh->skin->pixels[0], 0xFF000000u + k);
        } else {
            EXPECT_EQ(mesh->skin, nullptr) << folders[k];
        }
    }
}

TEST_F(PreviewModels, NameLengthsRetriesAndTheCacheGrowing) {
    put("camera1", "abcd");
    put("camera1", "abcde");
    EXPECT_EQ(perspectivePreview->findModel("abcd"), nullptr);  // under five characters: not looked up
    AnimMesh* five = perspectivePreview->findModel("abcde");
    ASSERT_NE(five, nullptr);
    const int count = perspectivePreview->modelCount;
    EXPECT_EQ(perspectivePreview->findModel("abcde"), five);
    EXPECT_EQ(perspectivePreview->findModel("later.md2"), nullptr);  // not there yet, not kept
    EXPECT_EQ(perspectivePreview->modelCount, count);
    put("enc_plasma_clip", "../models/later.md2");
    EXPECT_NE(perspectivePreview->findModel("later.md2"), nullptr);
    const std::string longName = std::string(240, 'n') + ".md2";  // too long behind most folders
    put("enc_plasma_clip", "models/" + longName);
    EXPECT_NE(perspectivePreview->findModel(longName.c_str()), nullptr);
    EXPECT_EQ(perspectivePreview->findModel(std::string(300, 'x').c_str()), nullptr);

    // More names than the cache's first size: every model is still found.
    std::vector<AnimMesh*> meshes;
    for (int i = 0; i < 300; i++) {
        const std::string name = "grow" + std::to_string(i) + ".md2";
        fs::create_symlink(models_dir() / "enc_plasma_clip.md2", "models/" + name);
        meshes.push_back(perspectivePreview->findModel(name.c_str()));
        ASSERT_NE(meshes.back(), nullptr) << i;
    }
    EXPECT_EQ(perspectivePreview->modelCount, count + 2 + 300);
    for (int i = 0; i < 300; i += 37)
        EXPECT_EQ(perspectivePreview->findModel(("grow" + std::to_string(i) + ".md2").c_str()), meshes[i]);
}

TEST_F(PreviewModels, DrawsTheModelsOfTheSegmentsTriggersOnTheirPaths) {
    new_level();
    const struct {
        const char* type;
        int segment;
        float firstTime;
        bool looked;  // whether a draw asks for its model
    } rows[] = {{"drawn1.md2", 0, 0.0f, true}, {"other.md2", 1, 0.0f, false},
                {"later1.md2", 0, 0.5f, false}, {"unlisted.md2", 0, 0.0f, false}};
    for (int n = 1; n <= 4; n++) {
        const auto& row = rows[n - 1];
        put("enc_plasma_clip", std::string("models/") + row.type);
        copy_text(trigger[n].triggerType, row.type);
        trigger[n].triggerSegment = row.segment;
        trigger[n].stageCount = 2;
        trigger[n].stage[0].trigger = row.firstTime;
        trigger[n].stage[1].trigger = 0.9f;
        if (n < 4) triggerList->add("[trigger]");  // trigger 4 is not in the list
    }
    mapPosition->value(0.25);
    const int count = perspectivePreview->modelCount;
    perspectivePreview->redraw();
    testing::internal::CaptureStdout();  // the one-frame model's nextFrame line
    pump_events();
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(perspectivePreview->modelCount, count + 1);
    for (const auto& row : rows) {
        bool cached = false;
        for (int i = 0; i < perspectivePreview->modelCount; i++)
            cached |= std::string(perspectivePreview->models[i].modelName) == row.type;
        EXPECT_EQ(cached, row.looked) << row.type;
    }
    triggerList->clear();
    mapPosition->value(0);
    new_level();
}

TEST(PreviewMouse, RightDragMovesTheMapPositionOtherButtonsOrbit) {
    int callbacks = 0;
    Fl_Callback* saved = mapPosition->callback();
    mapPosition->callback([](Fl_Widget*, void* n) { ++*static_cast<int*>(n); }, &callbacks);
    const struct {
        int button;
        double start;
        int fromX, fromY, toX, toY;
        double position;
        float yaw, pitch;
    } rows[] = {
        {FL_BUTTON3, 0.3, 240, 272, 240, 0, 1.0, 0, 0},        {FL_BUTTON3, 0.5, 10, 200, 90, 132, 0.75, 0, 0},
        {FL_BUTTON3, 0.2, 240, 50, 240, 150, 0.0, 0, 0},       {FL_BUTTON1, 0.4, 100, 100, 150, 80, 0.4, 0.5f, -0.2f},
        {FL_BUTTON2, 0.4, 300, 10, 200, 110, 0.4, -1.0f, 1.0f},
    };
    for (const auto& r : rows) {
        mapPosition->value(r.start);
        Fl::e_state = r.button;
        Fl::e_x = r.fromX;
        Fl::e_y = r.fromY;
        EXPECT_EQ(perspectivePreview->handle(FL_PUSH), 1);
        pump_events();  // draws, so that the drag's redraw shows
        Fl::e_x = r.toX;
        Fl::e_y = r.toY;
        EXPECT_EQ(perspectivePreview->handle(FL_DRAG), 1);
        EXPECT_NE(perspectivePreview->damage(), 0);
        EXPECT_FLOAT_EQ(mapPosition->value(), r.position) << r.button << " " << r.start;
        EXPECT_FLOAT_EQ(perspectivePreview->cameraYaw, r.yaw);
        EXPECT_FLOAT_EQ(perspectivePreview->cameraPitch, r.pitch);
        Fl::e_state = 0;
        EXPECT_EQ(perspectivePreview->handle(FL_RELEASE), 1);
        EXPECT_TRUE(perspectivePreview->cameraYaw == 0 && perspectivePreview->cameraPitch == 0);
    }
    pump_events();
    for (int event : {FL_MOVE, FL_KEYBOARD, FL_MOUSEWHEEL, FL_ENTER}) {
        EXPECT_EQ(perspectivePreview->handle(event), 0) << event;
        EXPECT_EQ(perspectivePreview->damage(), 0) << event;
    }
    EXPECT_EQ(callbacks, 0);
    mapPosition->callback(saved, nullptr);
}

TEST(PreviewTerrain, PaletteCommandsRebuildItAndEveryDrawCounts) {
    new_level();
    const Image* heights = perspectivePreview->heightImage;
    for (auto command : {+[] { hueRoller->value(0.4); hueRoller->do_callback(); },
                         +[] { ScriptDialogs cancel; loadPaletteButton->do_callback(); }}) {
        perspectivePreview->terrain.clear();
        testing::internal::CaptureStdout();
        command();
        testing::internal::GetCapturedStdout();
        ASSERT_EQ(perspectivePreview->terrain.size(), 128u * 128 * 2);
        heights = perspectivePreview->heightImage;
        const int h = heights->pixels[20 * heights->texWidth + 10] & 0xFF;  // map row 10, column 5 of the grid
        EXPECT_EQ(perspectivePreview->terrain[terrainVertexIndex(128, 9, 5, true)].packedColor, segment[0].palette[h]);
    }
    const uint32_t before = perspectivePreview->frameCounter;
    perspectivePreview->redraw();
    testing::internal::CaptureStdout();
    pump_events();
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(perspectivePreview->frameCounter, before + 1);
}
