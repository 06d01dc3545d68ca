#include "app/undo_menu.h"

#include "app/widget_helpers.h"
#include "app/window_handles.h"

#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Menu_Item.H>

#include <cstdio>

Fl_Menu_Item* undo_menu_item() {
    // Found by its callback, so the menu can change around it.
    int index = menuBar ? menuBar->find_index(CB(cb_undoMenuItem)) : -1;
    return index < 0 ? nullptr : const_cast<Fl_Menu_Item*>(menuBar->menu()) + index;
}

// The menu item keeps only a pointer to its text, so the text lives here.
static char undoMenuText[64] = "Undo";

void refresh_undo_menu_text() {
    std::snprintf(undoMenuText, sizeof undoMenuText, "Undo %s", undo_type());
    if (Fl_Menu_Item* item = undo_menu_item()) item->label(undoMenuText);
}

void cb_undoMenuItem(Fl_Menu_*, void*) { undo(); }
