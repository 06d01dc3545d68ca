// "Targets > Undo": the menu item's text names the step it would take back.
#pragma once

#include "document/undo.h"

class Fl_Menu_;

// Sets the "Undo" menu item's text to "Undo " and the newest step's kind.
void refresh_undo_menu_text();
void cb_undoMenuItem(Fl_Menu_*, void*);
