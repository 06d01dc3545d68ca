// The segment maps on the "Segments" page: the map preview, custom height
// and colour maps, the hue roller and palettes loaded from pictures.
#include "gui_test_support.h"

namespace {

class SegmentMaps : public ::testing::Test {
protected:
    void SetUp() override {
        cb_New(nullptr, nullptr);
        copy_text(currentlevel, (dir + "/forest.txt").c_str());
    }
    void TearDown() override {
        currentlevel[0] = '\0';
        new_level();
    }
    TempFolder tmp;
    const std::string dir = tmp.dir.string();
};

uint32_t gradient(int x, int y) { return 0xFF000000u | (y << 8) | x; }
uint32_t numbered(int x, int y) { return 0x80000000u | (y * 1000 + x); }

std::string write_png(const std::string& path, int w, int h, uint32_t (*pixel)(int, int) = gradient) {
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) pixels[y * w + x] = pixel(x, y);
    saveImagePng(path.c_str(), pixels.data(), w, h, w, 1);
    return path;
}

}  // namespace

TEST_F(SegmentMaps, CustomMapsFromTheLevelsFolderMustBe256By256) {
    const struct { int height, colour; std::vector<std::string> alerts; } rows[] = {
        {256, 256, {}},
        {200, 300, {"height image is not the required 256x256", "Color map is not the required 256x256"}}};
    for (const auto& row : rows) {
        write_png(dir + "/forestseg0height.png", row.height, row.height);
        write_png(dir + "/forestseg0color.png", row.colour, row.colour, numbered);
        segment[0].visualization = 1;  // a generated map drops the colour map of the row before
        new_map();
        EXPECT_EQ(colorMap, nullptr);
        const std::vector<uint32_t> before(imageVis->pixels, imageVis->pixels + 256 * 256);
        ScriptDialogs dialogs;
        segment[0].visualization = 4;
        new_map();
        EXPECT_TRUE(dialogs.script.asked.empty());
        EXPECT_EQ(dialogs.script.alerted, row.alerts);
        const bool good = row.alerts.empty();  // else the previous picture stays, and no colour map
        const std::vector<uint32_t> after(imageVis->pixels, imageVis->pixels + 256 * 256);
        EXPECT_TRUE(good ? after[10 * 256 + 20] == gradient(20, 10) : after == before);
        EXPECT_EQ(preview_mismatches(after.data()), 0);
        EXPECT_EQ(colorMap ? colorMap->pixels[3 * 256 + 4] : 0, good ? numbered(4, 3) : 0);
    }
}

TEST_F(SegmentMaps, MissingHeightMapAsksAndInstallsTheChosenFile) {
    const std::string target = dir + "/forestseg0height.png";
    std::ofstream(dir + "/junk.png") << "not a picture";
    std::vector<uint32_t> before(imageVis->pixels, imageVis->pixels + 256 * 256);
    ScriptDialogs dialogs;
    dialogs.script.answers = {0, 1, 1};
    dialogs.script.choices = {dir + "/junk.png", write_png(dir + "/elsewhere.png", 256, 256)};
    segment[0].visualization = 4;
    new_map();  // no: the previous picture stays
    EXPECT_EQ(dialogs.script.asked[0], "Couldn't find custom level file\n" + target + "\nSearch for one now?");
    EXPECT_TRUE(dialogs.script.chooserTitles.empty());
    EXPECT_EQ(std::memcmp(before.data(), imageVis->pixels, before.size() * 4), 0);
    new_map();  // yes, then a file that is no picture
    EXPECT_EQ(dialogs.script.alerted, std::vector<std::string>{"Unable to load image.  Is it a valad PNG?"});
    std::remove(target.c_str());
    new_map();  // yes, then a good file: copied into place and shown
    EXPECT_EQ(dialogs.script.chooserTitles, std::vector<std::string>(2, "Open Level File"));
    EXPECT_EQ(file_text(target), file_text(dir + "/elsewhere.png"));
    EXPECT_EQ(imageVis->pixels[7 * 256 + 9], gradient(9, 7));
}

TEST_F(SegmentMaps, InstallButtonsCopyAndCheckTheFile) {
    const struct { Fl_Button* button; const char* title; std::string target, chosen; const char* alert; } rows[] = {
        {customHeightButton, "Open Height Map File", dir + "/forestseg0height.png",
         write_png(dir + "/small.png", 300, 300), "Image must be 256x256 not 300x300\n"},
        {customColorButton, "Open Color Map File", dir + "/forestseg0color.png",
         write_png(dir + "/good.png", 256, 256, numbered), nullptr}};
    for (const auto& row : rows) {
        ScriptDialogs dialogs;
        dialogs.script.choices = {row.chosen, ""};
        row.button->do_callback();
        EXPECT_EQ(dialogs.script.chooserTitles, std::vector<std::string>{row.title});
        EXPECT_EQ(file_text(row.target), file_text(row.chosen));  // copied whatever the check says
        EXPECT_EQ(dialogs.script.alerted, row.alert ? std::vector<std::string>{row.alert} : std::vector<std::string>{});
        std::remove(row.target.c_str());
        row.button->do_callback();  // cancelled: nothing copied
        EXPECT_NE(access(row.target.c_str(), F_OK), 0);
    }
    // A map name too long for a path is refused before anything is asked.
    copy_text(currentlevel, ("/tmp/" + std::string(240, 'l') + ".txt").c_str());
    ScriptDialogs dialogs;
    customHeightButton->do_callback();
    EXPECT_TRUE(dialogs.script.chooserTitles.empty());
    ASSERT_EQ(dialogs.script.alerted.size(), 1u);
    EXPECT_NE(dialogs.script.alerted[0].find("longer than 255"), std::string::npos);
}

TEST_F(SegmentMaps, PaletteFromAPictureAfterOneThatIsNone) {
    std::ofstream(dir + "/junk.png") << "junk";
    ScriptDialogs dialogs;
    dialogs.script.choices = {dir + "/junk.png", write_png(dir + "/pal.png", 16, 16, numbered)};
    dialogs.script.answers = {1};  // "Try another?"
    activeSegment = 1;
    loadPaletteButton->do_callback();
    EXPECT_EQ(dialogs.script.asked, std::vector<std::string>{"Not a valid PNG.  Try another?"});
    for (int i = 0; i < 256; i++) ASSERT_EQ(segment[1].palette[i], numbered(i % 16, i / 16)) << i;
    EXPECT_EQ(segment[0].palette[0], 16u << 16);  // other segments keep theirs
    EXPECT_EQ(mismatches_with_generated(segment[1]), 0);
}

TEST_F(SegmentMaps, HueRollerRewritesTheActivePaletteAndMap) {
    activeSegment = 2;
    hueRoller->value(0.0);
    hueRoller->do_callback();
    EXPECT_EQ(segment[2].palette[0], (16u << 16) | (16u << 8));  // cyan ramp to light grey
    EXPECT_EQ(segment[2].palette[255], (144u << 16) | (144u << 8) | 143u);
    EXPECT_EQ(segment[1].palette[0], 16u << 16);
    EXPECT_EQ(mismatches_with_generated(segment[2]), 0);
}
