// The File commands and the bridge between the level file code and the
// editor's controls, browsers and choices.
#pragma once

#include <string>

class Fl_Menu_;
struct LevelSettings;

// Puts the editor into the state of a new, empty level.
void new_level();

// Replaces the level by the file's contents ("Failed to load level." when it
// cannot be opened; the level in memory is then kept, and false returned).
bool load_level(const char* path);
// Replaces the level by the level text (a recovered level).
void load_level_text(const std::string& text);
// The text Save would write for the level the editor holds.
std::string editor_level_text();
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

// The level-wide settings as the controls hold them, and back.
LevelSettings level_settings_from_controls();
void level_settings_to_controls(const LevelSettings& settings);

void cb_New(Fl_Menu_*, void*);
void cb_Open(Fl_Menu_*, void*);
void cb_Save(Fl_Menu_*, void*);
void cb_Save1(Fl_Menu_*, void*);
void cb_Quit(Fl_Menu_*, void*);
