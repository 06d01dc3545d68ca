#include "app/autosave.h"

#include "app/dialogs.h"
#include "app/level_bridge.h"
#include "app/window_handles.h"
#include "app/status_row.h"
#include "document/records.h"
#include "document/recovery.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>

#include <cstdlib>
#include <string>

namespace {

Autosaver autosaver;
std::string failureShown;  // the status row's text while it reports a failure

double autosave_seconds() {
    const char* env = std::getenv("VANTROPE_AUTOSAVE_SECONDS");
    char* end = nullptr;
    double seconds = env ? std::strtod(env, &end) : 0;
    return env && end != env && !*end && seconds >= 0.1 && seconds <= 86400 ? seconds : 30;
}

void autosave_tick(void*) {
    autosave_now();
    Fl::repeat_timeout(autosave_seconds(), autosave_tick);
}

// The question for a recovery file found for the level key; Yes reads it
// into the editor, No moves it aside.
void offer(const std::string& key, const std::string& text) {
    RecoveryOffer found = find_recovery(recovery_folder(), key, text);
    if (found.kind == RecoveryOffer::Bad) set_status(found.problem);
    if (found.kind != RecoveryOffer::Ask) return;
    const std::string level = key.empty() ? "a new level" : key;
    if (dialog_ask("Recover unsaved changes to %s from %s?", level.c_str(),
                   recovery_time_text(found.recovery.saved).c_str())) {
        load_level_text(found.recovery.text);
        autosaver.adopt(found.file, found.recovery);
        set_status("Recovered unsaved changes from " + found.file);
    } else if (!move_recovery_aside(found.file)) {
        set_status("Could not move the recovery file " + found.file + " aside");
    }
}

}  // namespace

void start_autosave() {
    autosaver.hold(recovery_folder(), "", editor_level_text());
    rootWindow->callback(cb_rootWindow);
    Fl::add_timeout(autosave_seconds(), autosave_tick);
}

void autosave_now() {
    std::string error;
    switch (autosaver.update(editor_level_text(), error)) {
        case Autosaver::Result::Failed:
            if (failureShown.empty()) set_status(failureShown = "Could not write the recovery file: " + error);
            break;
        case Autosaver::Result::Written:
        case Autosaver::Result::Removed:
            // The report goes once writing works again, unless the row shows something else by now.
            if (!failureShown.empty()) withdraw_status(failureShown);
            failureShown.clear();
            break;
        case Autosaver::Result::Unchanged: break;
    }
}

void recover_after_open() {
    const std::string key = recovery_level_key(currentlevel), text = editor_level_text();
    autosaver.hold(recovery_folder(), key, text);
    offer(key, text);
}

void recover_new_level() { offer("", editor_level_text()); }

void autosave_after_save(const char* path) { autosaver.saved(recovery_level_key(path), editor_level_text()); }

void cb_rootWindow(Fl_Widget* window, void*) {
    autosave_now();
    Fl::default_atclose(static_cast<Fl_Window*>(window), nullptr);
}
