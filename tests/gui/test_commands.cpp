// The File commands: New, Open, Save, Save As, and the window title.
#include "gui_test_support.h"

namespace {

const char kTitle[] = "Vantrope Level Segment Editor";

class Commands : public ::testing::Test {
protected:
    void SetUp() override {
        cb_New(nullptr, nullptr);
        currentlevel[0] = '\0';
    }
    void TearDown() override { rootWindow->label(kTitle); }
    TempFolder tmp{true};  // relative names are written here
    const std::string dir = tmp.dir.string();
    ScriptDialogs dialogs;
};

}  // namespace

// Save without a usable name is Save As (no title); Save titles the window with the level's base name.
TEST_F(Commands, SaveFallsBackToSaveAsAndTitlesTheWindow) {
    const std::string chosen = dir + "/a", tooLong = dir + "/" + std::string(252 - dir.size(), 'x');  // 253 + ".txt"
    dialogs.choices = {tooLong, ""};
    const struct { std::string level, after; const char* title; } rows[] = {  // the name before Save, after, the title
        {"", "", kTitle},       // Save As to a name that would not fit
        {chosen, chosen, "a - Vantrope Level Editor"},
        {"levels\\two.txt", "levels\\two.txt", "two.txt - Vantrope Level Editor"},  // a backslash, no slash
        {dir + "/missing/three", dir + "/missing/three", "three - Vantrope Level Editor"},  // not written
        {"a.tx", "a.tx", "three - Vantrope Level Editor"}};  // too short a name: Save As, cancelled
    for (const auto& [level, after, title] : rows) {
        copy_text(currentlevel, level.c_str());
        cb_Save(nullptr, nullptr);
        EXPECT_EQ(currentlevel, after);
        currentlevel[0] = '\0';  // the window keeps its own copy of the title
        EXPECT_STREQ(rootWindow->label(), title) << level;
    }
    EXPECT_EQ(dialogs.chooserTitles, std::vector<std::string>(2, "Save As Level"));
    EXPECT_TRUE(fs::exists(chosen + ".txt") && fs::exists(dir + "/levels\\two.txt"));
    // Only the name too long and the missing folder fail: Save to the name writes it.
    EXPECT_EQ(dialogs.asked, std::vector<std::string>(2, "Couldn't create the file.  Bad filename?"));
}

TEST_F(Commands, SaveAndOpenRestoreTheLevel) {
    Fl_Valuator* controls[] = {levelDuration, levelSegments, bpm, evoDropRate, chaosDropRate, initialEvo, initialChaos};
    const double values[] = {4.5, 12, 120.25, 3, 7, 2, 5};
    for (int i = 0; i < 7; i++) controls[i]->value(values[i]);
    song->value("tune.ogg");
    const std::string path = dir + "/level.txt";
    dialogs.choices = {path, path};
    cb_Save1(nullptr, nullptr);
    cb_New(nullptr, nullptr);
    song->value("");
    activeSegment = 4;
    cb_Open(nullptr, nullptr);
    for (int i = 0; i < 7; i++) EXPECT_EQ(controls[i]->value(), values[i]) << i;
    EXPECT_EQ(std::make_tuple(std::string(currentlevel), pathPosition->maximum(), std::string(song->value())),
              std::make_tuple(path, 11.0, std::string("tune.ogg")));
    EXPECT_EQ(activeSegment, 0);
    EXPECT_STREQ(rootWindow->label(), kTitle);  // Open leaves the title alone
    song->value("");
}

// Open fills the browsers and the types; a failed Open keeps the level; New empties it all.
TEST_F(Commands, OpenFillsTheLevelFailuresKeepItNewEmptiesIt) {
    const std::string path = dir + "/t.txt";
    put_file(path, "[trigger]\ntriggerType=drone.md2\n[trigger]\ntriggerType=a/b.md2\n[enemy]\nenemyModelName=drone.md2\n");
    open_level_file(path.c_str());
    const int types = triggerType->size();
    open_level_file(path.c_str());  // a known type is not added twice
    ASSERT_EQ(std::make_tuple(triggerList->size(), enemyList->size(), triggerType->size()),
              std::make_tuple(2, 2, types));
    EXPECT_EQ(std::string(triggerList->text(2)) + " " + enemyList->text(2), "[trigger]002 a/b.md2");  // a model added
    EXPECT_EQ(std::make_pair(activeTrigger, activeEnemy), std::make_pair(2, 2));
    // Cancel, a missing file, a folder, a path too long to keep.
    segment[1].scale = 42.0f;
    activeSegment = 4;
    dialogs.choices = {"", dir + "/nope.txt", dir, "/" + std::string(300, 'p')};
    cb_Open(nullptr, nullptr);
    EXPECT_EQ(std::make_pair(activeSegment, dialogs.asked.size()), std::make_pair(0, size_t{0}));
    for (int i = 0; i < 3; i++) cb_Open(nullptr, nullptr);
    EXPECT_EQ(dialogs.asked, std::vector<std::string>(3, "Failed to load level."));
    EXPECT_EQ(std::make_tuple(segment[1].scale, triggerList->size(), std::string(currentlevel)),
              std::make_tuple(42.0f, 2, dir));  // the name is taken even when the file cannot be read
    segment[0].scale = 3.0f;
    cb_New(nullptr, nullptr);
    EXPECT_EQ(triggerList->size() + enemyList->size() + activeTrigger + activeEnemy, 0);
    EXPECT_EQ(std::make_pair(segment[0].scale, std::string(currentlevel)), std::make_pair(50.0f, dir));
}
