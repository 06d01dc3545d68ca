// The File commands: New, Open, Save, Save As, and the window title.
#include "gui_test_support.h"

namespace {

const char kTitle[] = "Vantrope Level Segment Editor";
const char kCreateFailed[] = "Couldn't create the file.  Bad filename?";

class Commands : public ::testing::Test {
protected:
    void SetUp() override {
        cb_New(nullptr, nullptr);
        currentlevel[0] = '\0';
    }
    void TearDown() override { rootWindow->label(kTitle); }
    TempFolder tmp;
    const std::string dir = tmp.dir.string();
    ScriptDialogs dialogs;
};

}  // namespace

// Save without a usable name is Save As, which names the level but not the
// window; Save titles the window with the level's base name, whatever the outcome.
TEST_F(Commands, SaveFallsBackToSaveAsAndTitlesTheWindow) {
    const std::string chosen = dir + "/a", tooLong = dir + "/" + std::string(252 - dir.size(), 'x');  // 253 + ".txt"
    dialogs.choices = {tooLong, chosen};
    cb_Save(nullptr, nullptr);  // Save As, to a name that would not fit
    EXPECT_STREQ(currentlevel, "");
    cb_Save(nullptr, nullptr);
    EXPECT_EQ(dialogs.chooserTitles, std::vector<std::string>(2, "Save As Level"));
    EXPECT_EQ(std::make_pair(std::string(currentlevel), fs::exists(chosen + ".txt")), std::make_pair(chosen, true));
    EXPECT_STREQ(rootWindow->label(), kTitle);
    std::remove((chosen + ".txt").c_str());

    const std::pair<std::string, const char*> rows[] = {  // the level's name, the title
        {chosen, "a - Vantrope Level Editor"},
        {"levels\\two.txt", "two.txt - Vantrope Level Editor"},  // a backslash, no slash
        {dir + "/missing/three", "three - Vantrope Level Editor"},
    };
    const fs::path cwd = fs::current_path();
    fs::current_path(dir);  // relative names are written here
    for (const auto& [level, title] : rows) {
        copy_text(currentlevel, level.c_str());
        cb_Save(nullptr, nullptr);
        currentlevel[0] = '\0';  // the window keeps its own copy of the title
        EXPECT_STREQ(rootWindow->label(), title);
    }
    fs::current_path(cwd);
    EXPECT_TRUE(fs::exists(chosen + ".txt"));  // Save to the name: no chooser
    EXPECT_EQ(dialogs.asked, std::vector<std::string>(2, kCreateFailed));  // too long, the missing folder
    copy_text(currentlevel, "a.tx");  // too short a name: Save As again (cancelled)
    cb_Save(nullptr, nullptr);
    EXPECT_EQ(dialogs.chooserTitles.size(), 3u);
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
    EXPECT_NE(printed([] { cb_Open(nullptr, nullptr); }).find("Attempting to load level '" + path + "'"),
              std::string::npos);
    EXPECT_EQ(std::string(currentlevel), path);
    for (int i = 0; i < 7; i++) EXPECT_EQ(controls[i]->value(), values[i]) << i;
    EXPECT_EQ(pathPosition->maximum(), 11);
    EXPECT_STREQ(song->value(), "tune.ogg");
    EXPECT_EQ(activeSegment, 0);
    EXPECT_STREQ(rootWindow->label(), kTitle);  // Open leaves the title alone
    song->value("");
}

TEST_F(Commands, OpenFillsBrowsersAndTypesAndNewEmptiesThem) {
    const std::string path = dir + "/t.txt";
    put_file(path, "[trigger]\ntriggerType=drone.md2\n[trigger]\ntriggerType=a/b.md2\n[enemy]\nenemyModelName=drone.md2\n");
    dialogs.choices = {path, path};
    cb_Open(nullptr, nullptr);
    int items = triggerType->size();
    cb_Open(nullptr, nullptr);  // a known type is not added twice
    EXPECT_EQ(triggerType->size(), items);
    ASSERT_EQ(triggerList->size(), 2);
    EXPECT_STREQ(triggerList->text(2), "[trigger]002");
    ASSERT_EQ(enemyList->size(), 2);
    EXPECT_STREQ(enemyList->text(2), "a/b.md2");  // added for the trigger that names it
    EXPECT_EQ(std::make_pair(activeTrigger, activeEnemy), std::make_pair(2, 2));

    copy_text(currentlevel, "/somewhere/level.txt");
    segment[0].scale = 3.0f;
    cb_New(nullptr, nullptr);
    EXPECT_EQ(triggerList->size() + enemyList->size() + activeTrigger + activeEnemy, 0);
    EXPECT_EQ(segment[0].scale, 50.0f);
    EXPECT_STREQ(currentlevel, "/somewhere/level.txt");
}

TEST_F(Commands, OpenFailuresKeepTheLevel) {
    segment[1].scale = 42.0f;
    activeSegment = 4;
    const std::string missing = dir + "/nope.txt";
    // Cancel, a missing file, a folder, a path too long to keep.
    dialogs.choices = {"", missing, dir, "/" + std::string(300, 'p')};
    cb_Open(nullptr, nullptr);
    EXPECT_EQ(activeSegment, 0);
    EXPECT_TRUE(dialogs.asked.empty());
    cb_Open(nullptr, nullptr);
    EXPECT_EQ(std::string(currentlevel), missing);
    cb_Open(nullptr, nullptr);
    cb_Open(nullptr, nullptr);
    EXPECT_EQ(dialogs.asked, std::vector<std::string>(3, "Failed to load level."));
    EXPECT_EQ(segment[1].scale, 42.0f);
}
