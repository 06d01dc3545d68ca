// "Targets > Undo" and "Targets > Redo": each item's text names the step it
// would take back or put back.
#pragma once

#include "document/undo.h"

class Fl_Menu_;

// Sets the "Undo" menu item's text to "Undo " and the newest step's kind,
// and the "Redo" item's to "Redo " and the kind Redo would put back; with
// nothing to redo, "Redo" is just "Redo", greyed out.
void refresh_undo_menu_text();
void cb_undoMenuItem(Fl_Menu_*, void*);
void cb_redoMenuItem(Fl_Menu_*, void*);
