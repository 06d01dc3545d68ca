#include "app/file_commands.h"

#include "app/dialogs.h"
#include "app/main_window.h"
#include "app/transport.h"
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

static const char kCreateFailed[] = "Couldn't create the file.  Bad filename?";

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

void load_level(const char* path) {
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
        return;
    }
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

bool save_level(const char* path) {
    LevelSettings settings = level_settings_from_controls();
    if (!save_level_file(path, settings, triggerList->size(), enemyList->size())) {
        dialog_ask("%s", kCreateFailed);
        return false;
    }
    return true;
}

static void set_title_from_currentlevel() {
    const char* base = std::strrchr(currentlevel, '/');
    if (!base) base = std::strrchr(currentlevel, '\\');
    base = base ? base + 1 : currentlevel;
    std::string title = std::string(base) + " - Vantrope Level Editor";
    // The window keeps its own copy: currentlevel changes later.
    rootWindow->copy_label(title.c_str());
}

void save_level() {
    if (std::strlen(currentlevel) <= 4) {
        saveas_level();
        return;
    }
    save_level(currentlevel);
    set_title_from_currentlevel();
}

void saveas_level() {
    const char* path = dialog_file_chooser("Save As Level", "*.txt", nullptr, 0);
    if (!path) return;
    std::string chosen = path;  // the chooser's buffer is reused by later dialogs
    std::string written;
    if (!level_file_name(chosen.c_str(), written)) {
        dialog_ask("%s", kCreateFailed);
        return;
    }
    copy_text(currentlevel, chosen.c_str());
    save_level(chosen.c_str());
}

void open_level() { open_level_file(dialog_file_chooser("Open Level File", "*.txt", nullptr, 0)); }

void open_level_file(const char* path) {
    if (path) {
        stop_playback();
        std::string chosen = path;
        std::printf("Attempting to load level '%s'\n", chosen.c_str());
        std::fflush(stdout);
        if (chosen.size() >= sizeof currentlevel) {
            // A path this long could not be kept as the level's name.
            dialog_ask("Failed to load level.");
        } else {
            copy_text(currentlevel, chosen.c_str());
            load_level(chosen.c_str());
        }
    }
    activeSegment = 0;
    show_segment();
    // The song's name and the level's folder may both have changed.
    if (path) reload_song();
}

void cb_New(Fl_Menu_*, void*) {
    stop_playback();
    new_level();
    // A new level is truly empty: no triggers or enemy models are listed.
    triggerList->clear();
    enemyList->clear();
    activeTrigger = 0;
    activeEnemy = 0;
    reload_song();
}

void cb_Open(Fl_Menu_*, void*) { open_level(); }
void cb_Save(Fl_Menu_*, void*) { save_level(); }
void cb_Save1(Fl_Menu_*, void*) { saveas_level(); }

void cb_Quit(Fl_Menu_*, void*) { std::exit(1); }
