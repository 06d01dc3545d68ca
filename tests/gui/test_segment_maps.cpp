// The "Segments" page's maps: the map preview, custom height and colour maps, hue roller, palettes.
#include "gui_test_support.h"
#include "tests/reference/visualizations.h"

namespace {

// A new level named forest.txt in a fresh folder.
struct SegmentMaps : ::testing::Test {
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

}  // namespace

TEST_F(SegmentMaps, CustomMapsFromTheLevelsFolderMustBe256By256) {
    const struct { int height, colour; std::vector<std::string> alerts; } rows[] = {
        {256, 256, {}},
        {200, 300, {"height image is not the required 256x256", "Color map is not the required 256x256"}}};
    for (const auto& row : rows) {
        put_png(dir + "/forestseg0height.png", row.height, row.height, gradient);
        put_png(dir + "/forestseg0color.png", row.colour, row.colour, numbered);
        segment[0].visualization = 1;  // a generated map drops the colour map of the row before
        new_map();
        EXPECT_EQ(colorMap, nullptr);
        const std::vector<uint32_t> before(imageVis->pixels, imageVis->pixels + 256 * 256);
        ScriptDialogs dialogs;
        segment[0].visualization = 4;
        new_map();
        EXPECT_TRUE(dialogs.asked.empty());
        EXPECT_EQ(dialogs.alerted, row.alerts);
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
    dialogs.answers = {0, 1, 1};
    dialogs.choices = {dir + "/junk.png", put_png(dir + "/elsewhere.png", 256, 256, gradient)};
    segment[0].visualization = 4;
    new_map();  // no: the previous picture stays
    EXPECT_EQ(dialogs.asked[0], "Couldn't find custom level file\n" + target + "\nSearch for one now?");
    EXPECT_TRUE(dialogs.chooserTitles.empty());
    EXPECT_EQ(std::memcmp(before.data(), imageVis->pixels, before.size() * 4), 0);
    new_map();  // yes, then a file that is no picture
    EXPECT_EQ(dialogs.alerted, std::vector<std::string>{"Unable to load image.  Is it a valad PNG?"});
    std::remove(target.c_str());
    new_map();  // yes, then a good file: copied into place and shown
    EXPECT_EQ(dialogs.chooserTitles, std::vector<std::string>(2, "Open Level File"));
    EXPECT_EQ(file_text(target), file_text(dir + "/elsewhere.png"));
    EXPECT_EQ(imageVis->pixels[7 * 256 + 9], gradient(9, 7));
}

TEST_F(SegmentMaps, InstallButtonsCopyAndCheckTheFile) {
    const struct { Fl_Button* button; const char* title; std::string target, chosen; const char* alert; } rows[] = {
        {customHeightButton, "Open Height Map File", dir + "/forestseg0height.png",
         put_png(dir + "/small.png", 300, 300, gradient), "Image must be 256x256 not 300x300\n"},
        {customColorButton, "Open Color Map File", dir + "/forestseg0color.png",
         put_png(dir + "/good.png", 256, 256, numbered), nullptr}};
    for (const auto& row : rows) {
        ScriptDialogs dialogs;
        dialogs.choices = {row.chosen, ""};
        row.button->do_callback();
        EXPECT_EQ(dialogs.chooserTitles, std::vector<std::string>{row.title});
        EXPECT_EQ(file_text(row.target), file_text(row.chosen));  // copied whatever the check says
        EXPECT_EQ(dialogs.alerted, row.alert ? std::vector<std::string>{row.alert} : std::vector<std::string>{});
        std::remove(row.target.c_str());
        row.button->do_callback();  // cancelled: nothing copied
        EXPECT_FALSE(fs::exists(row.target));
    }
}

// Both palette commands rewrite the active segment's palette alone, and its map.
TEST_F(SegmentMaps, PaletteFromAPictureAfterOneThatIsNoneAndFromTheHueRoller) {
    std::ofstream(dir + "/junk.png") << "junk";
    ScriptDialogs dialogs;
    dialogs.choices = {dir + "/junk.png", put_png(dir + "/pal.png", 16, 16, numbered)};
    dialogs.answers = {1};  // "Try another?"
    activeSegment = 1;
    loadPaletteButton->do_callback();
    EXPECT_EQ(dialogs.asked, std::vector<std::string>{"Not a valid PNG.  Try another?"});
    for (int i = 0; i < 256; i++) ASSERT_EQ(segment[1].palette[i], numbered(i % 16, i / 16)) << i;
    EXPECT_EQ(mismatches_with_generated(segment[1]), 0);
    activeSegment = 2;
    enter(hueRoller, 0.3);
    EXPECT_EQ(std::vector<uint32_t>(segment[2].palette, segment[2].palette + 256), reference::hue_palette(0.3f));
    EXPECT_EQ(segment[0].palette[0], 16u << 16);  // other segments keep theirs
    EXPECT_EQ(segment[1].palette[0], numbered(0, 0));
    EXPECT_EQ(mismatches_with_generated(segment[2]), 0);
}
