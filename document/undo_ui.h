// The trigger edit history behind "Targets > Undo".
#pragma once

class Fl_Menu_;

// Empties the history and sets the menu item's text to "Undo Empty".
void reset_undo();
// Label of the newest step's kind, or "Empty".
const char* undo_type();
void cb_undoMenuItem(Fl_Menu_*, void*);
