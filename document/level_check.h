// Checking a level file: everything the editor's reader passes over without
// a word, and what the game would not cope with, each tied to its line.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "audio/song.h"
#include "audio/tempo.h"
#include "document/level_file.h"

#include <atomic>

struct LevelDiagnostic {
    int line;     // from 1; 0 for the file as a whole
    bool error;   // otherwise a warning
    std::string text;
};

struct LevelCheck {
    bool readable = false;
    LevelContents contents;
    std::vector<LevelDiagnostic> diagnostics;  // in line order

    bool has_errors() const;
    bool has_warnings() const;
};

// Reads the level at `path` into the global records, as the editor's Open
// does, and checks it. Files it names (custom maps, sounds) are looked for
// beside it, enemy models on the preview's search list from the working
// directory. An unreadable file gives readable false and one error.
LevelCheck check_level(const char* path);
// The same for a level already open; `path` places the files it names.
LevelCheck check_level(FILE* file, const char* path);

// The level's song, looked for as the editor does (beside the level, then in
// the working directory), read and its tempo detected.
struct LevelSong {
    std::string path;   // where it is, or where it was looked for first
    bool found = false; // something is there
    SongRead read;      // read.song is null when it cannot be played
    TempoEstimate tempo;
};
LevelSong examine_song(const char* levelPath, const std::string& name, const std::atomic<bool>* cancel = nullptr);
// Why the song named `name` could not be read, without the reader's own
// naming of the song ("it is not a sound file ...").
std::string song_reason(const SongRead& read, const std::string& name);

// Reads the level at `path` into the global records without checking it.
// False, with `error` saying why, when it cannot be read.
bool read_level_file(const char* path, LevelContents& contents, std::string& error);

// The first path on the preview's model search list that holds a readable
// file called `name`. False when there is none, or when the name is too
// short for the preview to look it up.
bool find_model(const char* name, std::string& path);

// A file that a level names by file name (a sound) lives beside the level.
std::string beside_level(const char* levelPath, const char* name);

// A regular file that can be opened for reading.
bool readable_file(const std::string& path);
