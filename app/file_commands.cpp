#include "app/file_commands.h"

#include "app/autosave.h"
#include "app/dialogs.h"
#include "app/transport.h"
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

static const char kCreateFailed[] = "Couldn't create the file.  Bad filename?";

bool save_level(const char* path) {
    LevelSettings settings = level_settings_from_controls();
    if (!save_level_file(path, settings, triggerList->size(), enemyList->size())) {
        dialog_ask("%s", kCreateFailed);
        return false;
    }
    autosave_after_save(path);
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
            autosave_now();  // the level given up keeps its recovery file
            copy_text(currentlevel, chosen.c_str());
            if (load_level(chosen.c_str())) recover_after_open();
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

void cb_Quit(Fl_Menu_*, void*) {
    autosave_now();
    std::exit(1);
}
