// The "Targets" page: the trigger list and the trigger's attributes.
#pragma once

class Fl_Browser;
class Fl_Choice;
struct Fl_Menu_Item;

extern Fl_Browser* triggerList;
extern Fl_Choice* triggerType;
extern Fl_Menu_Item menu_triggerType[];

// Builds the page's widgets inside the currently open group.
void make_targets_page();

// Adds a name to the trigger-type choice unless an item already has that text.
void add_trigger_type(const char* name);
// Index of the trigger-type item whose text equals name exactly, or -1.
int find_trigger_type(const char* name);
