// The segment maps on the "Segments" page: the map preview, custom height
// and colour maps, the hue roller and palettes loaded from pictures.
#include "gui_test_support.h"

#include "document/document_ui.h"
#include "document/records.h"
#include "gfx/image.h"
#include "maps/generators.h"
#include "maps/segment_maps_ui.h"
#include "panels/segments_page.h"

#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Roller.H>
#include <FL/Fl_Round_Button.H>
#include <FL/Fl_Value_Input.H>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

class SegmentMaps : public ::testing::Test {
protected:
    void SetUp() override {
        cb_New(nullptr, nullptr);
        dir = make_temp_dir();
        copy_text(currentlevel, (dir + "/forest.txt").c_str());
    }
    void TearDown() override {
        currentlevel[0] = '\0';
        new_level();
    }
    std::string dir;
};

const unsigned char* preview_bytes() {
    const Fl_RGB_Image* image = dynamic_cast<const Fl_RGB_Image*>(mapPreview->image());
    if (!image || image->w() != 256 || image->h() != 256 || image->d() != 3) return nullptr;
    return reinterpret_cast<const unsigned char*>(image->data()[0]);
}

// The preview shows the map transposed: preview row r, column c is map column r, row c.
void expect_preview_shows(const Image* map) {
    const unsigned char* raw = preview_bytes();
    ASSERT_NE(raw, nullptr);
    int mismatches = 0;
    for (int r = 0; r < 256; r++)
        for (int c = 0; c < 256; c++) {
            uint32_t px = map->pixels[c * map->texWidth + r];
            const unsigned char* p = raw + (r * 256 + c) * 3;
            if (p[0] != (px & 0xFF) || p[1] != ((px >> 8) & 0xFF) || p[2] != ((px >> 16) & 0xFF))
                mismatches++;
        }
    EXPECT_EQ(mismatches, 0);
}

// The picture the generator makes for a segment, made independently of new_map.
Image* generated(const Segment& s) {
    Image* image = newImage(256, 256);
    copyPalette(s.palette);
    generateVisualization(s.seedA, s.seedB, image, s.visualization);
    return image;
}

std::string write_png(const std::string& path, int w, int h, uint32_t (*pixel)(int, int)) {
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) pixels[y * w + x] = pixel(x, y);
    saveImagePng(path.c_str(), pixels.data(), w, h, w, 1);
    return path;
}

uint32_t gradient(int x, int y) { return 0xFF000000u | (y << 8) | x; }
uint32_t numbered(int x, int y) { return 0x80000000u | (y * 1000 + x); }

bool exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

}  // namespace

TEST_F(SegmentMaps, PreviewIsTheGeneratedMapTransposed) {
    for (int vis : {0, 1, 2, 3}) {
        Segment& s = segment[0];
        s.visualization = vis;
        s.seedA = 0.37f + vis;
        s.seedB = -1.25f;
        new_map();
        Image* expected = generated(s);
        expect_preview_shows(expected);
        // imageVis holds the same picture.
        EXPECT_EQ(std::memcmp(imageVis->pixels, expected->pixels, 256 * 256 * 4), 0) << vis;
        freeImage(expected);
    }
}

TEST_F(SegmentMaps, SwitchingSegmentsShowsEachOwnMapAndPalette) {
    segment[1].visualization = 2;
    segment[1].seedA = 0.8f;
    segment[2].visualization = 0;
    segment[2].seedB = 3.0f;
    segment[2].palette[255] = 0x123456;
    for (int n : {1, 2, 1}) {
        activeSegment = n;
        show_segment();
        Image* expected = generated(segment[n]);
        expect_preview_shows(expected);
        freeImage(expected);
    }
}

TEST_F(SegmentMaps, SeedAndVisualizationControlsRegenerate) {
    seedA->value(2.5);
    testing::internal::CaptureStdout();
    seedA->do_callback();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("Generate plasma"), std::string::npos);
    EXPECT_NE(out.find("New map generated."), std::string::npos);
    Image* expected = generated(segment[0]);
    expect_preview_shows(expected);
    freeImage(expected);

    visJulia->setonly();
    visJulia->do_callback();
    expected = generated(segment[0]);
    expect_preview_shows(expected);
    freeImage(expected);
}

TEST_F(SegmentMaps, CustomHeightMapFromTheLevelsFolder) {
    write_png(dir + "/forestseg0height.png", 256, 256, gradient);
    ScriptDialogs dialogs;
    segment[0].visualization = 4;
    new_map();
    EXPECT_TRUE(dialogs.script.asked.empty());
    EXPECT_TRUE(dialogs.script.alerted.empty());
    ASSERT_NE(imageVis, nullptr);
    EXPECT_EQ(imageVis->pixels[10 * 256 + 20], gradient(20, 10));
    expect_preview_shows(imageVis);
    EXPECT_EQ(colorMap, nullptr);  // no colour map file: silently none
}

TEST_F(SegmentMaps, CustomColourMapIsKeptOnlyForCustomSegments) {
    write_png(dir + "/forestseg0height.png", 256, 256, gradient);
    write_png(dir + "/forestseg0color.png", 256, 256, numbered);
    segment[0].visualization = 4;
    new_map();
    ASSERT_NE(colorMap, nullptr);
    EXPECT_EQ(colorMap->pixels[3 * 256 + 4], numbered(4, 3));
    segment[0].visualization = 1;
    new_map();
    EXPECT_EQ(colorMap, nullptr);
}

TEST_F(SegmentMaps, WrongSizedCustomMapsAreRefused) {
    write_png(dir + "/forestseg0height.png", 200, 200, gradient);
    write_png(dir + "/forestseg0color.png", 300, 300, numbered);
    segment[0].visualization = 1;
    new_map();
    std::vector<uint32_t> before(imageVis->pixels, imageVis->pixels + 256 * 256);
    ScriptDialogs dialogs;
    segment[0].visualization = 4;
    new_map();
    ASSERT_EQ(dialogs.script.alerted.size(), 2u);
    EXPECT_EQ(dialogs.script.alerted[0], "height image is not the required 256x256");
    EXPECT_EQ(dialogs.script.alerted[1], "Color map is not the required 256x256");
    EXPECT_EQ(colorMap, nullptr);
    // The previous picture stays.
    EXPECT_EQ(std::memcmp(before.data(), imageVis->pixels, before.size() * 4), 0);
}

TEST_F(SegmentMaps, MissingHeightMapAsksAndInstallsTheChosenFile) {
    const std::string target = dir + "/forestseg0height.png";
    const std::string source = write_png(dir + "/elsewhere.png", 256, 256, gradient);

    // No: nothing is loaded and the previous picture stays.
    segment[0].visualization = 1;
    new_map();
    std::vector<uint32_t> before(imageVis->pixels, imageVis->pixels + 256 * 256);
    {
        ScriptDialogs dialogs;
        dialogs.script.answers = {0};
        segment[0].visualization = 4;
        testing::internal::CaptureStdout();
        new_map();
        std::string out = testing::internal::GetCapturedStdout();
        ASSERT_EQ(dialogs.script.asked.size(), 1u);
        EXPECT_EQ(dialogs.script.asked[0],
                  "Couldn't find custom level file\n" + target + "\nSearch for one now?");
        EXPECT_TRUE(dialogs.script.chooserTitles.empty());
        EXPECT_EQ(std::memcmp(before.data(), imageVis->pixels, before.size() * 4), 0);
        EXPECT_NE(out.find("New map generated."), std::string::npos);
    }
    // Yes, then a file: it is copied into place and shown.
    {
        ScriptDialogs dialogs;
        dialogs.script.answers = {1};
        dialogs.script.choices = {source};
        new_map();
        ASSERT_EQ(dialogs.script.chooserTitles.size(), 1u);
        EXPECT_EQ(dialogs.script.chooserTitles[0], "Open Level File");
        EXPECT_TRUE(exists(target));
        EXPECT_EQ(imageVis->pixels[7 * 256 + 9], gradient(9, 7));
    }
}

TEST_F(SegmentMaps, SearchedFileThatIsNotAPictureIsReported) {
    const std::string junk = dir + "/junk.png";
    std::FILE* f = std::fopen(junk.c_str(), "wb");
    std::fputs("not a picture", f);
    std::fclose(f);
    ScriptDialogs dialogs;
    dialogs.script.answers = {1};
    dialogs.script.choices = {junk};
    segment[0].visualization = 4;
    new_map();
    ASSERT_EQ(dialogs.script.alerted.size(), 1u);
    EXPECT_EQ(dialogs.script.alerted[0], "Unable to load image.  Is it a valad PNG?");
}

TEST_F(SegmentMaps, HeightAndColourButtonsInstallAndCheckTheFile) {
    const std::string small = write_png(dir + "/small.png", 300, 300, gradient);
    const std::string good = write_png(dir + "/good.png", 256, 256, numbered);
    struct Row {
        Fl_Button* button;
        const char* title;
        const char* target;
        std::string chosen;
        const char* alert;  // null: accepted
    } rows[] = {
        {customHeightButton, "Open Height Map File", "/forestseg0height.png", small,
         "Image must be 256x256 not 300x300\n"},
        {customColorButton, "Open Color Map File", "/forestseg0color.png", good, nullptr},
        {customHeightButton, "Open Height Map File", "/forestseg0height.png", good, nullptr},
    };
    for (const Row& row : rows) {
        ScriptDialogs dialogs;
        dialogs.script.choices = {row.chosen};
        row.button->do_callback();
        ASSERT_EQ(dialogs.script.chooserTitles.size(), 1u);
        EXPECT_EQ(dialogs.script.chooserTitles[0], row.title);
        // The file is copied whatever the check says.
        EXPECT_EQ(read_file(dir + row.target), read_file(row.chosen));
        if (row.alert) {
            ASSERT_EQ(dialogs.script.alerted.size(), 1u);
            EXPECT_EQ(dialogs.script.alerted[0], row.alert);
        } else {
            EXPECT_TRUE(dialogs.script.alerted.empty());
        }
    }
    // Cancelling copies nothing.
    ScriptDialogs dialogs;
    dialogs.script.choices = {""};
    std::remove((dir + "/forestseg0color.png").c_str());
    customColorButton->do_callback();
    EXPECT_FALSE(exists(dir + "/forestseg0color.png"));
}

TEST_F(SegmentMaps, OverlongMapPathIsRefused) {
    std::string level = "/tmp/" + std::string(240, 'l') + ".txt";
    copy_text(currentlevel, level.c_str());
    ScriptDialogs dialogs;
    dialogs.script.choices = {dir + "/whatever.png"};
    customHeightButton->do_callback();
    EXPECT_TRUE(dialogs.script.chooserTitles.empty());
    ASSERT_EQ(dialogs.script.alerted.size(), 1u);
    EXPECT_NE(dialogs.script.alerted[0].find("longer than 255"), std::string::npos);
}

TEST_F(SegmentMaps, PaletteFromPictures) {
    struct Row {
        int w, h;
        uint32_t (*pixel)(int, int);
        int takenPixels;  // entries that come from the picture
    } rows[] = {
        {16, 16, numbered, 256},
        {256, 1, numbered, 256},
        {20, 20, numbered, 256},  // width not a power of two: row by row from inside it
        {8, 8, numbered, 64},     // fewer pixels: the rest of the palette stays
    };
    for (const Row& row : rows) {
        new_level();
        const std::string path = write_png(dir + "/pal.png", row.w, row.h, row.pixel);
        uint32_t before[256];
        std::memcpy(before, segment[0].palette, sizeof before);
        ScriptDialogs dialogs;
        dialogs.script.choices = {path};
        loadPaletteButton->do_callback();
        for (int i = 0; i < 256; i++) {
            uint32_t expected = i < row.takenPixels ? row.pixel(i % row.w, i / row.w) : before[i];
            ASSERT_EQ(segment[0].palette[i], expected) << row.w << "x" << row.h << " entry " << i;
        }
    }
}

TEST_F(SegmentMaps, PaletteLoaderAsksAgainForBadFiles) {
    const std::string junk = dir + "/junk.png";
    std::FILE* f = std::fopen(junk.c_str(), "wb");
    std::fputs("junk", f);
    std::fclose(f);
    const std::string good = write_png(dir + "/pal.png", 256, 1, numbered);
    ScriptDialogs dialogs;
    dialogs.script.choices = {junk, good};
    dialogs.script.answers = {1};
    loadPaletteButton->do_callback();
    ASSERT_EQ(dialogs.script.asked.size(), 1u);
    EXPECT_EQ(dialogs.script.asked[0], "Not a valid PNG.  Try another?");
    EXPECT_EQ(dialogs.script.chooserTitles.size(), 2u);
    EXPECT_EQ(segment[0].palette[5], numbered(5, 0));
}

TEST_F(SegmentMaps, HueRollerRewritesTheActivePaletteAndMap) {
    activeSegment = 2;
    show_segment();
    hueRoller->value(0.0);
    hueRoller->do_callback();
    // Hue 0: a cyan ramp, then toward light grey.
    EXPECT_EQ(segment[2].palette[0], (16u << 16) | (16u << 8));
    EXPECT_EQ(segment[2].palette[255], (144u << 16) | (144u << 8) | 143u);
    EXPECT_EQ(segment[1].palette[0], 16u << 16);  // other segments keep theirs
    Image* expected = generated(segment[2]);
    expect_preview_shows(expected);
    freeImage(expected);
}
