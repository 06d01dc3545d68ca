// The bridge between the level file code and the editor's controls,
// browsers and choices: a new level, reading a level into the editor, and
// the text the editor's level would be written as.
#pragma once

#include <string>

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
// The level-wide settings as the controls hold them, and back.
LevelSettings level_settings_from_controls();
void level_settings_to_controls(const LevelSettings& settings);
