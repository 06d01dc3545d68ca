// "Targets > Undo": the menu item's text names the step it would take back.
#pragma once

#include "document/undo.h"

class Fl_Menu_;
struct Fl_Menu_Item;

// The "Undo" item of the "Targets" menu, or null before the menu is built.
Fl_Menu_Item* undo_menu_item();

// Sets the "Undo" menu item's text to "Undo " and the newest step's kind.
void refresh_undo_menu_text();
void cb_undoMenuItem(Fl_Menu_*, void*);
