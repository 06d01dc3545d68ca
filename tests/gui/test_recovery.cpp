// Recovery files in the editor: written from the level it holds, offered
// when the level is opened again, gone after Save; problems in the status row.
#include "gui_test_support.h"

#include "app/autosave.h"
#include "app/status_row.h"
#include "document/recovery.h"

#include <FL/Fl_Box.H>

#include <regex>

namespace {

class Recovering : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_STATE_HOME", state.dir.c_str(), 1);
        restart();
        cb_Add(nullptr, nullptr);
        cb_Add(nullptr, nullptr);
        dialogs.choices = {level};
        cb_Save1(nullptr, nullptr);  // from a new level: its recovery file goes too
    }
    void restart() {  // the editor as it starts again
        cb_New(nullptr, nullptr);
        currentlevel[0] = '\0';
        start_autosave();
    }
    void edit() {  // as a user types them
        open_level_file(level.c_str());
        choose(triggerList, 1);
        enter(triggerHitPoints, 7);
        enter(triggerX, 12.5);
    }
    size_t recovery_files() { return fs::exists(folder) ? entries(folder) : 0; }
    TempFolder tmp, state;
    const std::string level = tmp / "level.txt", folder = state / "vantrope-editor", file = recovery_file_for(folder, level);
    ScriptDialogs dialogs;
};

}  // namespace

// Edits kept, the editor started again (as after a kill) and the level
// opened: No gives the file's records and sets the edits aside (Yes: the
// end-to-end test).
TEST_F(Recovering, OpenOffersTheEditsNoSetsThemAside) {
    const std::string saved = file_text(level);
    edit();
    autosave_now();
    restart();
    dialogs.answers = {0};
    open_level_file(level.c_str());
    ASSERT_EQ(dialogs.asked.size(), 1u);
    const std::regex question("Recover unsaved changes to " + level + " from \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\?");
    EXPECT_TRUE(std::regex_match(dialogs.asked[0], question)) << dialogs.asked[0];
    EXPECT_EQ(std::make_tuple(trigger[1].health, trigger[1].stage[0].x, triggerList->size(), file_text(level)),
              std::make_tuple(1, 0.0f, 2, saved));  // the file untouched
    EXPECT_EQ(std::make_pair(fs::exists(file), fs::exists(file + ".old")), std::make_pair(false, true));
}

// Quit (status 1) and closing the window keep the edits first. (Nothing
// written for a level only looked at: Recovery in tests/unit; Save removing
// the file: the end-to-end test.)
TEST_F(Recovering, EditsKeptOnQuitAndClose) {
    edit();
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(cb_Quit(nullptr, nullptr), ::testing::ExitedWithCode(1), "");
    EXPECT_EQ(recovery_files(), 1u);
    fs::remove_all(folder);
    rootWindow->do_callback();  // the window's close control
    EXPECT_EQ(std::make_pair(rootWindow->visible() != 0, recovery_files()), std::make_pair(false, size_t{1}));
    rootWindow->show();  // for the tests that run after this one in the same process
}

// A damaged recovery file and a folder that takes no files are reported in
// the status row, once, and the editor goes on.
TEST_F(Recovering, ProblemsGoToTheStatusRow) {
    fs::create_directories(folder);
    put_file(file, "# Vantrope recovery file\n# level=");
    open_level_file(level.c_str());
    EXPECT_EQ(std::string(songStatus->label()), "The recovery file " + file + " is truncated or damaged; kept as " + file + ".old");
    EXPECT_EQ(triggerList->size(), 2);
    setenv("XDG_STATE_HOME", level.c_str(), 1);  // a file, not a folder
    edit();
    testing::internal::CaptureStderr();
    autosave_now();
    enter(triggerHitPoints, 8);
    autosave_now();
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(printed, std::string("Could not write the recovery file: ") + level + "/vantrope-editor: Not a directory\n");
    EXPECT_EQ(std::string(songStatus->label()) + "\n", printed);
    EXPECT_TRUE(dialogs.alerted.empty() && dialogs.asked.empty());
}
