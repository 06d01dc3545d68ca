// "Targets > Undo" and "Targets > Redo": each item's text names the step it
// would take back or put back.
#pragma once

#include "document/undo.h"

class Fl_Menu_;
struct Fl_Menu_Item;

// The "Undo" item of the "Targets" menu, or null before the menu is built.
Fl_Menu_Item* undo_menu_item();
// Its "Redo" item; the invisible item for Ctrl+Y follows it.
Fl_Menu_Item* redo_menu_item();

// Sets the "Undo" menu item's text to "Undo " and the newest step's kind,
// and the "Redo" item's to "Redo " and the kind Redo would put back; with
// nothing to redo, "Redo" is just "Redo", greyed out.
void refresh_undo_menu_text();
void cb_undoMenuItem(Fl_Menu_*, void*);
void cb_redoMenuItem(Fl_Menu_*, void*);
