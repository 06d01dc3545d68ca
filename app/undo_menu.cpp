#include "app/undo_menu.h"

#include "app/main_window.h"

#include <FL/Fl_Menu_Item.H>

#include <cstdio>

// The menu item keeps only a pointer to its text, so the text lives here.
static char undoMenuText[64] = "Undo";

void refresh_undo_menu_text() {
    std::snprintf(undoMenuText, sizeof undoMenuText, "Undo %s", undo_type());
    if (Fl_Menu_Item* item = undo_menu_item()) item->label(undoMenuText);
}

void cb_undoMenuItem(Fl_Menu_*, void*) { undo(); }
