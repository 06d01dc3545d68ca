// Recovery files in the editor: written from the level it holds, offered
// when the level is opened again, gone after Save; problems in the status row.
#include "gui_test_support.h"

#include "app/autosave.h"
#include "app/status_row.h"
#include "document/recovery.h"

#include <FL/Fl_Box.H>

#include <regex>

#include <sys/wait.h>

namespace {

class Recovering : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_STATE_HOME", state.dir.c_str(), 1);
        restart();
        cb_Add(nullptr, nullptr);
        cb_Add(nullptr, nullptr);
        dialogs.choices = {level};
        cb_Save1(nullptr, nullptr);
        saved = file_text(level);
    }
    // Trigger 1 gets 7 hit points and stage 0 x 12.5, as a user types them.
    void edit() {
        open_level_file(level.c_str());
        choose(triggerList, 1);
        enter(triggerHitPoints, 7);
        enter(triggerX, 12.5);
    }
    // The editor as it starts again.
    void restart() {
        cb_New(nullptr, nullptr);
        currentlevel[0] = '\0';
        start_autosave();
    }
    size_t recovery_files() { return fs::exists(folder) ? entries(folder) : 0; }
    TempFolder tmp, state;
    const std::string level = tmp / "level.txt", folder = state / "vantrope-editor";
    const std::string file = recovery_file_for(folder, level);
    std::string saved;
    ScriptDialogs dialogs;
};

}  // namespace

// The editor started again after the edits were kept (as if killed), then
// the level opened: Yes gives the edits, No the level file's own
// records with the recovery file set aside.
TEST_F(Recovering, OpenOffersTheEditsYesTakesThemNoSetsThemAside) {
    const std::regex question("Recover unsaved changes to " + level +
                              " from \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\?");
    for (int yes : {1, 0}) {
        restart();
        fs::remove_all(folder);
        edit();
        autosave_now();
        ASSERT_EQ(recovery_files(), 1u);
        restart();
        dialogs.asked.clear();
        dialogs.answers = {yes};
        open_level_file(level.c_str());
        ASSERT_EQ(dialogs.asked.size(), 1u);
        EXPECT_TRUE(std::regex_match(dialogs.asked[0], question)) << dialogs.asked[0];
        EXPECT_EQ(std::make_tuple(trigger[1].health, trigger[1].stage[0].x, triggerList->size()),
                  std::make_tuple(yes ? 7 : 1, yes ? 12.5f : 0.0f, 2));
        EXPECT_EQ(file_text(level), saved);  // untouched until saved
        EXPECT_EQ(fs::exists(file), yes == 1);
        EXPECT_EQ(fs::exists(file + ".old"), yes == 0);
    }
}

// Opened and looked at: nothing written. Saved: the recovery file goes and
// nothing is offered. Closing the window keeps the edits first.
TEST_F(Recovering, WrittenOnlyForEditsAndRemovedBySave) {
    open_level_file(level.c_str());
    choose(triggerList, 2);
    pageTabs->value(targetsPage);
    autosave_now();
    EXPECT_EQ(recovery_files(), 0u);

    edit();
    rootWindow->do_callback();  // the window's close control
    EXPECT_FALSE(rootWindow->visible());
    rootWindow->show();
    EXPECT_EQ(recovery_files(), 1u);
    cb_Save(nullptr, nullptr);
    EXPECT_EQ(recovery_files(), 0u);
    EXPECT_NE(file_text(level), saved);
    open_level_file(level.c_str());
    EXPECT_TRUE(dialogs.asked.empty());
    EXPECT_EQ(trigger[1].health, 7);
}

// A damaged recovery file and a folder the files cannot be written to are
// reported in the status row, once, and the editor goes on.
TEST_F(Recovering, ProblemsGoToTheStatusRow) {
    fs::create_directories(folder);
    put_file(file, "# Vantrope recovery file\n# level=");
    open_level_file(level.c_str());
    EXPECT_TRUE(dialogs.asked.empty());
    EXPECT_EQ(std::string(songStatus->label()), "The recovery file " + file + " is truncated or damaged; kept as " + file + ".old");
    EXPECT_EQ(triggerList->size(), 2);

    setenv("XDG_STATE_HOME", level.c_str(), 1);  // a file, not a folder
    edit();
    testing::internal::CaptureStderr();
    autosave_now();
    enter(triggerHitPoints, 8);
    autosave_now();
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(printed.find("Could not write the recovery file: "), 0u);
    EXPECT_EQ(printed.find("Could not write", 1), std::string::npos);  // shown once
    EXPECT_EQ(std::string(songStatus->label()) + "\n", printed);
    EXPECT_TRUE(dialogs.alerted.empty() && dialogs.asked.empty());
}

// Started without a level: the new level another editor left is offered.
TEST_F(Recovering, NewLevelLeftBehindIsOffered) {
    cb_Add(nullptr, nullptr);
    std::string text = editor_level_text(), error;
    pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    Recovery r{"", {1700000000, 0}, child, text};
    ASSERT_TRUE(write_recovery(folder + "/new-level-1-2.recovery", r, error)) << error;
    cb_New(nullptr, nullptr);
    dialogs.answers = {1};
    recover_new_level();
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].find("Recover unsaved changes to a new level from "), 0u);
    EXPECT_EQ(triggerList->size(), 3);
}
