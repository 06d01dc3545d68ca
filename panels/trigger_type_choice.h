// The "Type" choice of the "Targets" page: one item per enemy model name,
// shared by the trigger fields, which show and pick a type, and the enemy
// commands, which add names.
#pragma once

class Fl_Choice;
struct Fl_Menu_Item;

extern Fl_Choice* triggerType;
extern Fl_Menu_Item menu_triggerType[];

// Adds a name to the trigger-type choice unless an item already has that
// text. Items show their names as written, whatever characters they hold.
void add_trigger_type(const char* name);
// Index of the trigger-type item whose text equals name exactly, or -1.
int find_trigger_type(const char* name);
// The text of trigger-type item `item`, or null when there is no such item.
const char* trigger_type_name(int item);
