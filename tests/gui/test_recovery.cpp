// Recovery files in the editor: edits kept on Quit and on closing the window, problems in the
// status row (the question when a level is opened again: the end-to-end test).
#include "gui_test_support.h"

#include "app/autosave.h"
#include "app/status_row.h"
#include "document/recovery.h"

#include <FL/Fl_Box.H>

namespace {

class Recovering : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_STATE_HOME", state.dir.c_str(), 1);
        cb_New(nullptr, nullptr);
        currentlevel[0] = '\0';
        start_autosave();
        cb_Add(nullptr, nullptr);
        cb_Add(nullptr, nullptr);
        dialogs.choices = {level};
        cb_Save1(nullptr, nullptr);
    }
    void edit() {  // as a user types them
        open_level_file(level.c_str());
        choose(triggerList, 1);
        enter(triggerHitPoints, 7);
        enter(triggerX, 12.5);
    }
    TempFolder tmp, state;
    const std::string level = tmp / "level.txt", folder = state / "vantrope-editor", file = recovery_file_for(folder, level);
    ScriptDialogs dialogs;
};

}  // namespace

// Quit (status 1) and closing the window write the edits first.
TEST_F(Recovering, EditsKeptOnQuitAndClose) {
    edit();
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(cb_Quit(nullptr, nullptr), ::testing::ExitedWithCode(1), "");
    EXPECT_EQ(entries(folder), 1u);
    fs::remove_all(folder);
    rootWindow->do_callback();  // the window's close control
    EXPECT_EQ(std::make_pair(rootWindow->visible() != 0, entries(folder)), std::make_pair(false, size_t{1}));
    rootWindow->show();  // for the tests that run after this one in the same process
}

// A damaged recovery file and a folder that takes no files: said once in the status row, no dialog.
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
