// Saving over a read-only level file tells the user and changes nothing.
#include "gui_test_support.h"

#include "app/main_window.h"
#include "document/document_ui.h"
#include "document/records.h"

#include <FL/Fl_Double_Window.H>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>

TEST(SaveRefused, ReadOnlyFileShowsTheMessageAndIsKept) {
    ScriptDialogs dialogs;
    cb_New(nullptr, nullptr);
    const std::string path = make_temp_dir() + "/kept.txt";
    std::ofstream(path) << "mine";
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    copy_text(currentlevel, path.c_str());
    cb_Save(nullptr, nullptr);
    EXPECT_EQ(dialogs.script.asked, std::vector<std::string>{"Couldn't create the file.  Bad filename?"});
    EXPECT_EQ(read_file(path), "mine");
    currentlevel[0] = '\0';
    rootWindow->label("Vantrope Level Segment Editor");
}
