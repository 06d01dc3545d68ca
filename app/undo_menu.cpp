#include "app/undo_menu.h"

#include "app/main_window.h"

#include <FL/Fl_Menu_Item.H>

#include <cstdio>

// A menu item keeps only a pointer to its text, so the texts live here.
static char undoMenuText[64] = "Undo";
static char redoMenuText[64] = "Redo";

void refresh_undo_menu_text() {
    std::snprintf(undoMenuText, sizeof undoMenuText, "Undo %s", undo_type());
    if (Fl_Menu_Item* item = undo_menu_item()) item->label(undoMenuText);
    const bool canRedo = !redoList.empty();
    if (canRedo) std::snprintf(redoMenuText, sizeof redoMenuText, "Redo %s", redo_type());
    else std::snprintf(redoMenuText, sizeof redoMenuText, "Redo");
    if (Fl_Menu_Item* item = redo_menu_item()) {
        item->label(redoMenuText);
        // The item and its invisible twin for Ctrl+Y.
        for (Fl_Menu_Item* redo : {item, item + 1})
            if (redo->callback() == item->callback()) canRedo ? redo->activate() : redo->deactivate();
    }
}

void cb_undoMenuItem(Fl_Menu_*, void*) { undo(); }
void cb_redoMenuItem(Fl_Menu_*, void*) { redo(); }
