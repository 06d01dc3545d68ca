// Start-up state, the menu bar and the About window.
#include "gui_test_support.h"

#include "app/main_window.h"
#include "document/document_ui.h"
#include "document/records.h"
#include "document/undo_ui.h"
#include "panels/enemy_page.h"
#include "panels/segments_page.h"
#include "panels/targets_page.h"
#include "preview/perspective_preview_ui.h"

#include <FL/Fl.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Output.H>
#include <FL/Fl_Tabs.H>
#include <gtest/gtest.h>

#include <cstring>

TEST(Shell, MainWindowFrameAndTabs) {
    EXPECT_STREQ(rootWindow->label(), "Vantrope Level Segment Editor");
    EXPECT_EQ(rootWindow->w(), 935);
    EXPECT_EQ(rootWindow->h(), 715);
    ASSERT_EQ(pageTabs->children(), 3);
    const char* labels[] = {"Segments", "Targets", "Enemy"};
    for (int i = 0; i < 3; i++) EXPECT_STREQ(pageTabs->child(i)->label(), labels[i]);
    EXPECT_EQ(pageTabs->value(), segmentsPage);
}

TEST(Shell, PreviewWindowIsItsOwnTopLevelWindow) {
    ASSERT_NE(perspectivePreview, nullptr);
    EXPECT_STREQ(perspectivePreview->label(), "Vantrope Perspective Preview");
    EXPECT_EQ(perspectivePreview->w(), 480);
    EXPECT_EQ(perspectivePreview->h(), 272);
    EXPECT_EQ(perspectivePreview->parent(), nullptr);
    EXPECT_TRUE(perspectivePreview->shown());
}

TEST(Shell, MenuTable) {
    struct Row {
        const char* path;
        int shortcut;
        Fl_Callback* callback;
    } rows[] = {
        {"&File/&New", FL_CTRL + 'n', reinterpret_cast<Fl_Callback*>(cb_New)},
        {"&File/&Open", 0, reinterpret_cast<Fl_Callback*>(cb_Open)},
        {"&File/&Save", FL_CTRL + 's', reinterpret_cast<Fl_Callback*>(cb_Save)},
        {"&File/&Save As...", FL_CTRL + 'a', reinterpret_cast<Fl_Callback*>(cb_Save1)},
        {"&File/&Quit", 0, reinterpret_cast<Fl_Callback*>(cb_Quit)},
        {"&Help/&About", FL_F + 12, reinterpret_cast<Fl_Callback*>(cb_About)},
    };
    for (const Row& row : rows) {
        // "&Save" and "&Save As..." share a prefix; find each by exact label.
        const Fl_Menu_Item* found = nullptr;
        const char* item = std::strrchr(row.path, '/') + 1;
        for (int i = 0; i < menuBar->size(); i++) {
            const Fl_Menu_Item& m = menuBar->menu()[i];
            if (m.label() && std::strcmp(m.label(), item) == 0) found = &m;
        }
        ASSERT_NE(found, nullptr) << row.path;
        EXPECT_EQ(found->shortcut(), row.shortcut) << row.path;
        EXPECT_EQ(found->callback(), row.callback) << row.path;
    }
    const Fl_Menu_Item* undo = undo_menu_item();
    EXPECT_EQ(undo->shortcut(), FL_CTRL + 'z');
    EXPECT_STREQ(undo->label(), "Undo Empty");
}

TEST(Shell, AboutWindowOpensOnceAndOkDestroysIt) {
    cb_About(nullptr, nullptr);
    ASSERT_NE(aboutBox, nullptr);
    Fl_Double_Window* first = aboutBox;
    EXPECT_STREQ(aboutBox->label(), "About Vantrope Editor");
    EXPECT_EQ(aboutBox->w(), 280);
    EXPECT_EQ(aboutBox->h(), 100);
    Fl_Output* version = dynamic_cast<Fl_Output*>(aboutBox->child(0));
    ASSERT_NE(version, nullptr);
    EXPECT_STREQ(version->label(), "Vantrope Level Editor by Quorlin");
    EXPECT_STREQ(version->value(), "Version 0.9, 2008-04-22");
    pump_events();

    cb_About(nullptr, nullptr);  // already open: the same window comes forward
    EXPECT_EQ(aboutBox, first);

    cb_OK(nullptr, nullptr);
    EXPECT_EQ(aboutBox, nullptr);
    pump_events();

    cb_About(nullptr, nullptr);
    ASSERT_NE(aboutBox, nullptr);
    EXPECT_STREQ(aboutBox->label(), "About Vantrope Editor");
    cb_OK(nullptr, nullptr);
    EXPECT_EQ(aboutBox, nullptr);
}

TEST(Shell, AboutAfterWindowManagerCloseBuildsAFreshWindow) {
    cb_About(nullptr, nullptr);
    ASSERT_NE(aboutBox, nullptr);
    pump_events();
    aboutBox->hide();  // what the window manager's close control does
    cb_About(nullptr, nullptr);
    ASSERT_NE(aboutBox, nullptr);
    EXPECT_TRUE(aboutBox->shown());
    cb_OK(nullptr, nullptr);
    EXPECT_EQ(aboutBox, nullptr);
}

TEST(Shell, QuitExitsWithStatusOne) {
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(cb_Quit(nullptr, nullptr), ::testing::ExitedWithCode(1), "");
}
