#include "app/level_bridge.h"

#include "app/dialogs.h"
#include "app/window_handles.h"
#include "document/level_file.h"
#include "document/records.h"
#include "app/undo_menu.h"
#include "panels/segment_maps.h"
#include "panels/enemy_page.h"
#include "panels/segments_page.h"
#include "panels/targets_page.h"

#include <FL/Fl_Browser.H>
#include <FL/Fl_Counter.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Value_Slider.H>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

LevelSettings level_settings_from_controls() {
    LevelSettings s;
    s.duration = levelDuration->value();
    s.segments = levelSegments->value();
    s.bpm = bpm->value();
    s.evoDropRate = evoDropRate->value();
    s.chaosDropRate = chaosDropRate->value();
    s.initialEvo = initialEvo->value();
    s.initialChaos = initialChaos->value();
    s.song = song->value();
    return s;
}

void level_settings_to_controls(const LevelSettings& s) {
    levelDuration->value(s.duration);
    levelSegments->value(s.segments);
    bpm->value(s.bpm);
    evoDropRate->value(s.evoDropRate);
    chaosDropRate->value(s.chaosDropRate);
    initialEvo->value(s.initialEvo);
    initialChaos->value(s.initialChaos);
    song->value(s.song.c_str());
}

void new_level() {
    reset_undo();
    activeSegment = 0;
    LevelSettings defaults;
    defaults.song = song->value();  // the song is kept
    level_settings_to_controls(defaults);
    set_segment_range(8);
    reset_level_records();
    pathPosition->value(0);
    show_segment();
}

// Replaces the level by what `file` holds, and closes it.
static void read_into_editor(FILE* file) {
    new_level();
    activeSegment = 0;
    activeTrigger = 0;
    activeEnemy = 0;
    triggerList->clear();
    enemyList->clear();

    LevelContents contents;
    contents.settings = level_settings_from_controls();
    read_level(file, contents);
    std::fclose(file);

    level_settings_to_controls(contents.settings);
    if (contents.selectorSegments > 0) set_segment_range(contents.selectorSegments);
    for (const std::string& line : contents.triggerLines) triggerList->add(line.c_str());
    for (const std::string& line : contents.enemyLines) enemyList->add(line.c_str());
    for (const std::string& type : contents.triggerTypes) add_trigger_type(type.c_str());

    pathPosition->value(0);
    activeSegment = 0;
    mapPosition->value(0);
    show_segment();
}

bool load_level(const char* path) {
    FILE* file = std::fopen(path, "r");
    struct stat st;
    // A folder opens on this platform but holds no level: refuse it rather
    // than replace the level in memory with an empty one.
    if (file && (fstat(fileno(file), &st) != 0 || S_ISDIR(st.st_mode))) {
        std::fclose(file);
        file = nullptr;
    }
    if (!file) {
        dialog_ask("Failed to load level.");
        return false;
    }
    read_into_editor(file);
    return true;
}

void load_level_text(const std::string& text) {
    std::string copy = text + "\n";  // never empty, which the memory stream refuses
    FILE* file = fmemopen(&copy[0], copy.size(), "r");
    if (file) read_into_editor(file);
}

std::string editor_level_text() {
    std::string text;
    level_text(level_settings_from_controls(), triggerList->size(), enemyList->size(), text);
    return text;
}
