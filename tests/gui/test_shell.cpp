// Start-up state and the About window.
#include "gui_test_support.h"

TEST(Shell, StartsOnTheSegmentsPageWithThePreviewInAWindowOfItsOwn) {
    EXPECT_EQ(pageTabs->value(), segmentsPage);
    ASSERT_NE(perspectivePreview, nullptr);
    EXPECT_TRUE(perspectivePreview->shown() && !perspectivePreview->parent());
    EXPECT_STREQ(undo_menu_item()->label(), "Undo Empty");
}

TEST(Shell, AboutWindowComesForwardOrIsBuiltAnew) {
    cb_About(nullptr, nullptr);
    Fl_Double_Window* first = aboutBox;
    ASSERT_NE(first, nullptr);
    pump_events();
    cb_About(nullptr, nullptr);  // already open: the same window comes forward
    EXPECT_EQ(aboutBox, first);
    // Closed by the window manager it is only hidden; About builds a new one.
    aboutBox->hide();
    cb_About(nullptr, nullptr);
    ASSERT_NE(aboutBox, nullptr);
    EXPECT_TRUE(aboutBox->visible());
    cb_OK(nullptr, nullptr);
    EXPECT_EQ(aboutBox, nullptr);
}
