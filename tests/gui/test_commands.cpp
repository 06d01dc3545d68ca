// The File commands: New, Open, Save, Save As, and the window title.
#include "gui_test_support.h"

#include "app/main_window.h"
#include "document/document_ui.h"
#include "document/records.h"
#include "panels/enemy_page.h"
#include "panels/segments_page.h"
#include "panels/targets_page.h"

#include <FL/Fl_Browser.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Counter.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Value_Slider.H>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <string>

namespace {

const char kTitle[] = "Vantrope Level Segment Editor";

class Commands : public ::testing::Test {
protected:
    void SetUp() override {
        cb_New(nullptr, nullptr);
        currentlevel[0] = '\0';
        rootWindow->label(kTitle);
        dir = make_temp_dir();
    }
    void TearDown() override { rootWindow->label(kTitle); }
    std::string dir;
};

bool exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

void write_text(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

}  // namespace

TEST_F(Commands, SaveWithoutANameFallsBackToSaveAs) {
    ScriptDialogs dialogs;
    const std::string chosen = dir + "/a";
    dialogs.script.choices = {chosen};
    cb_Save(nullptr, nullptr);
    ASSERT_EQ(dialogs.script.chooserTitles.size(), 1u);
    EXPECT_EQ(dialogs.script.chooserTitles[0], "Save As Level");
    EXPECT_TRUE(exists(chosen + ".txt"));
    EXPECT_FALSE(exists(chosen));
    EXPECT_EQ(std::string(currentlevel), chosen);
    EXPECT_STREQ(rootWindow->label(), kTitle);

    // The second Save writes silently and names the window after the file.
    std::remove((chosen + ".txt").c_str());
    cb_Save(nullptr, nullptr);
    EXPECT_EQ(dialogs.script.chooserTitles.size(), 1u);
    EXPECT_TRUE(exists(chosen + ".txt"));
    EXPECT_STREQ(rootWindow->label(), "a - Vantrope Level Editor");
}

TEST_F(Commands, TitleUsesTheBaseNameAndOwnsItsText) {
    struct Row {
        const char* level;
        const char* title;
    } rows[] = {
        {"/one/two/three.txt", "three.txt - Vantrope Level Editor"},
        {"levels\\one.txt", "one.txt - Vantrope Level Editor"},
        {"plain.txt", "plain.txt - Vantrope Level Editor"},
    };
    for (const Row& row : rows) {
        // Relative names are written under the working directory: use ours.
        std::string level = row.level[0] == '/' ? dir + row.level : dir + "/" + row.level;
        if (row.level[0] == '/') mkdir((dir + "/one").c_str(), 0700), mkdir((dir + "/one/two").c_str(), 0700);
        copy_text(currentlevel, row.level[0] == '/' ? level.c_str() : row.level);
        ScriptDialogs dialogs;
        if (row.level[0] == '/') {
            cb_Save(nullptr, nullptr);
        } else {
            // Keep relative files out of the working directory.
            char cwd[4096];
            ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
            ASSERT_EQ(chdir(dir.c_str()), 0);
            cb_Save(nullptr, nullptr);
            ASSERT_EQ(chdir(cwd), 0);
        }
        currentlevel[0] = '\0';  // the title must not point into currentlevel
        EXPECT_STREQ(rootWindow->label(), row.title);
    }
}

TEST_F(Commands, ShortNamesBehaveLikeSaveAs) {
    ScriptDialogs dialogs;
    copy_text(currentlevel, "a.tx");
    dialogs.script.choices = {""};  // cancel
    cb_Save(nullptr, nullptr);
    EXPECT_EQ(dialogs.script.chooserTitles.size(), 1u);
    EXPECT_STREQ(currentlevel, "a.tx");
    EXPECT_STREQ(rootWindow->label(), kTitle);
}

TEST_F(Commands, SaveFailureIsReported) {
    ScriptDialogs dialogs;
    std::string level = dir + "/missing/level";
    copy_text(currentlevel, level.c_str());
    cb_Save(nullptr, nullptr);
    ASSERT_EQ(dialogs.script.asked.size(), 1u);
    EXPECT_EQ(dialogs.script.asked[0], "Couldn't create the file.  Bad filename?");
    // The title follows the save whatever its outcome.
    EXPECT_STREQ(rootWindow->label(), "level - Vantrope Level Editor");
}

TEST_F(Commands, SaveAsRefusesPathsThatWouldNotFit) {
    ScriptDialogs dialogs;
    std::string longPath = dir + "/" + std::string(252 - dir.size(), 'x');  // 253 characters
    ASSERT_EQ(longPath.size(), 253u);
    dialogs.script.choices = {longPath};
    cb_Save1(nullptr, nullptr);
    ASSERT_EQ(dialogs.script.asked.size(), 1u);
    EXPECT_EQ(dialogs.script.asked[0], "Couldn't create the file.  Bad filename?");
    EXPECT_STREQ(currentlevel, "");
    EXPECT_FALSE(exists(longPath + ".txt"));
}

TEST_F(Commands, SaveAndOpenRestoreTheLevel) {
    ScriptDialogs dialogs;
    levelDuration->value(4.5);
    levelSegments->value(12);
    levelSegments->do_callback();
    bpm->value(120.25);
    evoDropRate->value(3);
    chaosDropRate->value(7);
    initialEvo->value(2);
    initialChaos->value(5);
    song->value("tune.ogg");
    segment[11].seedA = 1.5f;
    segment[11].fogColor = 0xFF102030;
    segment[11].palette[200] = 0x00abcdef;
    const std::string path = dir + "/level.txt";
    dialogs.script.choices = {path};
    cb_Save1(nullptr, nullptr);
    ASSERT_TRUE(exists(path));

    cb_New(nullptr, nullptr);
    song->value("");
    EXPECT_EQ(segment[11].seedA, 1.0f / 6.0f);

    dialogs.script.choices = {path};
    testing::internal::CaptureStdout();
    cb_Open(nullptr, nullptr);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("Attempting to load level '" + path + "'"), std::string::npos);
    EXPECT_EQ(std::string(currentlevel), path);
    EXPECT_EQ(levelDuration->value(), 4.5);
    EXPECT_EQ(levelSegments->value(), 12);
    EXPECT_EQ(pathPosition->maximum(), 11);
    EXPECT_EQ(bpm->value(), 120.25);
    EXPECT_EQ(evoDropRate->value(), 3);
    EXPECT_EQ(chaosDropRate->value(), 7);
    EXPECT_EQ(initialEvo->value(), 2);
    EXPECT_EQ(initialChaos->value(), 5);
    EXPECT_STREQ(song->value(), "tune.ogg");
    EXPECT_EQ(segment[11].seedA, 1.5f);
    EXPECT_EQ(segment[11].fogColor, 0xFF102030u);
    EXPECT_EQ(segment[11].palette[200], 0x00abcdefu);
    EXPECT_EQ(activeSegment, 0);
    EXPECT_EQ(pathPosition->value(), 0);
    EXPECT_STREQ(rootWindow->label(), kTitle);  // Open leaves the title alone
    song->value("");
}

TEST_F(Commands, OpenFillsTheBrowsersAndTheTypeChoice) {
    ScriptDialogs dialogs;
    const std::string path = dir + "/t.txt";
    write_text(path,
               "[trigger]\ntriggerType=drone.md2\n[trigger]\ntriggerType=saucer.md2\n"
               "[enemy]\nenemyModelName=drone.md2\n");
    dialogs.script.choices = {path};
    cb_Open(nullptr, nullptr);
    ASSERT_EQ(triggerList->size(), 2);
    EXPECT_STREQ(triggerList->text(1), "[trigger]001");
    EXPECT_STREQ(triggerList->text(2), "[trigger]002");
    ASSERT_EQ(enemyList->size(), 2);
    EXPECT_STREQ(enemyList->text(1), "drone.md2");
    EXPECT_STREQ(enemyList->text(2), "saucer.md2");  // added for the trigger that names it
    EXPECT_GE(find_trigger_type("drone.md2"), 0);
    EXPECT_GE(find_trigger_type("saucer.md2"), 0);
    EXPECT_EQ(activeTrigger, 2);
    EXPECT_EQ(activeEnemy, 2);

    // Opening again does not add a second item for a known type.
    int items = triggerType->size();
    dialogs.script.choices = {path};
    cb_Open(nullptr, nullptr);
    EXPECT_EQ(triggerType->size(), items);
    EXPECT_EQ(triggerList->size(), 2);

    // New empties both browsers.
    cb_New(nullptr, nullptr);
    EXPECT_EQ(triggerList->size(), 0);
    EXPECT_EQ(enemyList->size(), 0);
    EXPECT_EQ(activeTrigger, 0);
    EXPECT_EQ(activeEnemy, 0);
}

TEST_F(Commands, OpenCancelledReturnsToSegmentZero) {
    ScriptDialogs dialogs;
    activeSegment = 4;
    dialogs.script.choices = {""};
    cb_Open(nullptr, nullptr);
    EXPECT_EQ(activeSegment, 0);
    EXPECT_TRUE(dialogs.script.asked.empty());
}

TEST_F(Commands, OpenMissingFileKeepsTheLevel) {
    ScriptDialogs dialogs;
    segment[1].scale = 99.0f;
    const std::string missing = dir + "/nope.txt";
    dialogs.script.choices = {missing};
    cb_Open(nullptr, nullptr);
    ASSERT_EQ(dialogs.script.asked.size(), 1u);
    EXPECT_EQ(dialogs.script.asked[0], "Failed to load level.");
    EXPECT_EQ(segment[1].scale, 99.0f);
    EXPECT_EQ(std::string(currentlevel), missing);
}

TEST_F(Commands, NewResetsRecordsButKeepsNameAndTitle) {
    copy_text(currentlevel, "/somewhere/level.txt");
    rootWindow->copy_label("level.txt - Vantrope Level Editor");
    segment[0].scale = 3.0f;
    trigger[4].health = 9;
    enemyModel[2].explosionRadius = 1.0f;
    cb_New(nullptr, nullptr);
    EXPECT_EQ(segment[0].scale, 50.0f);
    EXPECT_EQ(trigger[4].health, 1);
    EXPECT_EQ(enemyModel[2].explosionRadius, 60.0f);
    EXPECT_STREQ(currentlevel, "/somewhere/level.txt");
    EXPECT_STREQ(rootWindow->label(), "level.txt - Vantrope Level Editor");
}

TEST_F(Commands, BadFilesNeitherCrashNorLoseTheLevel) {
    // A folder is refused like a missing file.
    {
        ScriptDialogs dialogs;
        segment[1].scale = 42.0f;
        dialogs.script.choices = {dir};
        cb_Open(nullptr, nullptr);
        ASSERT_EQ(dialogs.script.asked.size(), 1u);
        EXPECT_EQ(dialogs.script.asked[0], "Failed to load level.");
        EXPECT_EQ(segment[1].scale, 42.0f);
    }
    // Binary data: the level shows what could be read.
    {
        std::string data("[segment]\0\xff\xfe binary\nscale=7\n\x01\x02=\x03\n", 40);
        for (int i = 0; i < 5000; i++) data += static_cast<char>((i * 7919) % 256);
        write_text(dir + "/binary.txt", data);
        ScriptDialogs dialogs;
        dialogs.script.choices = {dir + "/binary.txt"};
        cb_Open(nullptr, nullptr);
        EXPECT_TRUE(dialogs.script.asked.empty());
        EXPECT_EQ(segment[0].scale, 7.0f);
    }
    // A path too long to keep as the level's name is refused.
    {
        ScriptDialogs dialogs;
        dialogs.script.choices = {"/" + std::string(300, 'p')};
        cb_Open(nullptr, nullptr);
        ASSERT_EQ(dialogs.script.asked.size(), 1u);
        EXPECT_EQ(dialogs.script.asked[0], "Failed to load level.");
    }
}
