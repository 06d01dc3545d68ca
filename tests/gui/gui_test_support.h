// Shared set-up for the in-process GUI tests: the editor is built once per
// process, and the modal dialogs are scripted. Brings in the editor's
// globals and the widget classes the tests use.
#pragma once

#include "app/dialogs.h"
#include "app/main_window.h"
#include "document/document_ui.h"
#include "document/records.h"
#include "maps/segment_maps_ui.h"
#include "panels/segments_page.h"

#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Counter.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Roller.H>
#include <FL/Fl_Round_Button.H>
#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Value_Slider.H>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

struct ScriptedDialogs {
    std::deque<int> answers;            // for ask(); 0 when the script runs out
    std::deque<std::string> choices;    // for file_chooser(); "" means Cancel
    std::vector<std::string> asked;     // every ask() message, in order
    std::vector<std::string> alerted;   // every alert() message, in order
    std::vector<std::string> chooserTitles;
};

// Installs scripted dialogs for the lifetime of the object.
class ScriptDialogs {
public:
    ScriptDialogs();
    ~ScriptDialogs();
    ScriptedDialogs& script;

private:
    DialogSeam previous_;
};

// Lets FLTK process pending events and redraws.
void pump_events();
// A fresh, empty folder under the system temporary folder, removed when the
// test process ends.
std::string make_temp_dir();
std::string read_file(const std::string& path);

// Pixels of the map preview that differ from the 256 x 256 map `words`; -1
// when there is no preview picture.
int preview_mismatches(const uint32_t* words);
// The same for the segment's picture as the reference generators make it.
int mismatches_with_generated(const Segment& s);
