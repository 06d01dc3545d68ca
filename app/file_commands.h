// The File commands: New, Open, Save, Save As and Quit.
#pragma once

#include "app/level_bridge.h"

class Fl_Menu_;

// Writes the level to path (".txt" appended when missing); reports failure
// with "Couldn't create the file.  Bad filename?". True when written.
bool save_level(const char* path);

// Save: to currentlevel, or Save As when there is no usable file name.
void save_level();
void saveas_level();
void open_level();
// What Open does once a file is chosen (null: cancelled): reads the level
// into the editor and shows its first segment.
void open_level_file(const char* path);

void cb_New(Fl_Menu_*, void*);
void cb_Open(Fl_Menu_*, void*);
void cb_Save(Fl_Menu_*, void*);
void cb_Save1(Fl_Menu_*, void*);
void cb_Quit(Fl_Menu_*, void*);
