#include "app/undo_menu.h"

#include "app/widget_helpers.h"
#include "app/window_handles.h"

#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Menu_Item.H>

#include <cstdio>

namespace {

// Found by its callback, so the menu can change around it.
Fl_Menu_Item* menu_item_of(Fl_Callback* callback) {
    int index = menuBar ? menuBar->find_index(callback) : -1;
    return index < 0 ? nullptr : const_cast<Fl_Menu_Item*>(menuBar->menu()) + index;
}

}  // namespace

Fl_Menu_Item* undo_menu_item() { return menu_item_of(CB(cb_undoMenuItem)); }
Fl_Menu_Item* redo_menu_item() { return menu_item_of(CB(cb_redoMenuItem)); }

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
