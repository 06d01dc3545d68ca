// Start-up state, the menu bar, the About window and Quit.
#include "gui_test_support.h"

#include "preview/perspective_preview_ui.h"

#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Output.H>
#include <FL/Fl_Tabs.H>

TEST(Shell, WindowsAtStartUp) {
    ASSERT_EQ(pageTabs->children(), 3);
    const char* labels[] = {"Segments", "Targets", "Enemy"};
    for (int i = 0; i < 3; i++) EXPECT_STREQ(pageTabs->child(i)->label(), labels[i]);
    EXPECT_EQ(pageTabs->value(), segmentsPage);
    ASSERT_NE(perspectivePreview, nullptr);
    EXPECT_TRUE(perspectivePreview->shown() && !perspectivePreview->parent());  // a window of its own
    EXPECT_STREQ(perspectivePreview->label(), "Vantrope Perspective Preview");
    EXPECT_STREQ(undo_menu_item()->label(), "Undo Empty");
}

TEST(Shell, MenuItemsShortcutsAndCallbacks) {
    const struct {
        const char* label;
        int shortcut;
        void (*callback)(Fl_Menu_*, void*);
    } rows[] = {{"&New", FL_CTRL + 'n', cb_New},   {"&Open", 0, cb_Open},
                {"&Save", FL_CTRL + 's', cb_Save}, {"&Save As...", FL_CTRL + 'a', cb_Save1},
                {"&Quit", 0, cb_Quit},             {"&About", FL_F + 12, cb_About}};
    for (const auto& row : rows) {
        const Fl_Menu_Item* found = nullptr;
        for (int i = 0; i < menuBar->size(); i++)
            if (menuBar->menu()[i].label() && !std::strcmp(menuBar->menu()[i].label(), row.label))
                found = &menuBar->menu()[i];
        ASSERT_NE(found, nullptr) << row.label;
        EXPECT_EQ(found->shortcut(), row.shortcut) << row.label;
        EXPECT_EQ(found->callback(), reinterpret_cast<Fl_Callback*>(row.callback)) << row.label;
    }
    EXPECT_EQ(undo_menu_item()->shortcut(), FL_CTRL + 'z');
}

TEST(Shell, AboutWindowLifecycle) {
    cb_About(nullptr, nullptr);
    ASSERT_NE(aboutBox, nullptr);
    Fl_Double_Window* first = aboutBox;
    auto* version = dynamic_cast<Fl_Output*>(aboutBox->child(0));
    ASSERT_NE(version, nullptr);
    EXPECT_STREQ(version->value(), "Version 0.9, 2008-04-22");
    pump_events();
    cb_About(nullptr, nullptr);  // already open: the same window comes forward
    EXPECT_EQ(aboutBox, first);
    cb_OK(nullptr, nullptr);
    EXPECT_EQ(aboutBox, nullptr);
    // Closed by the window manager it is only hidden; About builds a new one.
    cb_About(nullptr, nullptr);
    pump_events();
    aboutBox->hide();
    cb_About(nullptr, nullptr);
    ASSERT_NE(aboutBox, nullptr);
    EXPECT_TRUE(aboutBox->visible());
    cb_OK(nullptr, nullptr);
    EXPECT_EQ(aboutBox, nullptr);
}

TEST(Shell, QuitExitsWithStatusOne) {
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(cb_Quit(nullptr, nullptr), ::testing::ExitedWithCode(1), "");
}
