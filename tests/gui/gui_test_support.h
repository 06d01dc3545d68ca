// The in-process GUI tests' set-up: the editor built once per process, the modal dialogs scripted,
// the undo history on the tests' clock; brings in the editor's globals and widget classes.
#pragma once

#include "app/dialogs.h"
#include "app/main_window.h"
#include "app/file_commands.h"
#include "document/records.h"
#include "document/trigger_commands.h"
#include "app/undo_menu.h"
#include "gfx/image.h"
#include "panels/segment_maps.h"
#include "panels/enemy_page.h"
#include "panels/segments_page.h"
#include "panels/stage_views.h"
#include "panels/step_repeat_dialog.h"
#include "panels/targets_page.h"
#include "preview/perspective_preview_ui.h"
#include "tests/test_files.h"

#include <FL/Fl_Browser.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Counter.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Output.H>
#include <FL/Fl_Roller.H>
#include <FL/Fl_Round_Button.H>
#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Value_Output.H>
#include <FL/Fl_Value_Slider.H>
#include <gtest/gtest.h>
// After gtest: fl_draw.H brings in the X headers, which define None.
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <array>
#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

// Scripted answers to the modal dialogs, and what they were asked, while the object lives;
// without one, every dialog answers "no" or "cancel".
struct ScriptDialogs {
    std::deque<int> answers;          // for ask(); 0 when the script runs out
    std::deque<std::string> choices;  // for file_chooser(); "" means Cancel
    std::vector<std::string> asked, alerted, chooserTitles;  // the messages and titles, in order
    ScriptDialogs* previous;
    ScriptDialogs();
    ~ScriptDialogs();
};

// The undo history's clock in every test; tests move it on.
extern std::time_t now;

void pump_events();  // lets FLTK process pending events and redraws
std::string printed(const std::function<void()>& run);  // what `run` prints on standard output
// A user's entry: a value typed into a field, or a browser line picked (0 for none); either runs
// the widget's callback.
void enter(Fl_Widget* field, double value);
void choose(Fl_Browser* list, int line);
// The child of `group` labelled `label`, or null.
Fl_Widget* labelled(Fl_Group* group, const char* label);

using Rgb = std::array<int, 3>;
// Draws one widget into an off-screen image of the window and reads it back.
std::vector<unsigned char> render(Fl_Widget* view);
// The colour at window pixel (x, y) of a widget's image from render().
Rgb pixel(const std::vector<unsigned char>& rgb, const Fl_Widget* view, int x, int y);

// Pixels of the map preview that differ from the 256 x 256 map `words` (-1 without a preview
// picture), and from the segment's picture as the reference generators make it.
int preview_mismatches(const uint32_t* words);
int mismatches_with_generated(const Segment& s);
