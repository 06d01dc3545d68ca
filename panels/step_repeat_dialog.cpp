#include "panels/step_repeat_dialog.h"

#include "app/widget_helpers.h"

#include "app/dialogs.h"
#include "document/records.h"
#include "document/step_repeat.h"
#include "document/trigger_commands.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Output.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Value_Input.H>

#include <algorithm>
#include <string>

Fl_Double_Window* stepAndRepeat = nullptr;
Fl_Value_Input* snrCount = nullptr;
Fl_Value_Input* snrAngle = nullptr;
Fl_Value_Input* snrCentreX = nullptr;
Fl_Value_Input* snrCentreXInc = nullptr;
Fl_Value_Input* snrCentreY = nullptr;
Fl_Value_Input* snrCentreYInc = nullptr;
Fl_Value_Input* snrTriggerInc = nullptr;
Fl_Value_Input* snrZInc = nullptr;
Fl_Output* snrConversion = nullptr;
Fl_Value_Input* snrRXInc = nullptr;
Fl_Value_Input* snrRYInc = nullptr;
Fl_Value_Input* snrRZInc = nullptr;

namespace {

Fl_Value_Input* field(int x, int y, const char* label, double lo, double hi, double step) {
    Fl_Value_Input* v = new Fl_Value_Input(x, y, 55, 25, label);
    v->bounds(lo, hi);
    v->step(step);
    return v;
}

// Depth and stage time are linked through the active segment's length.
float active_length() { return segment[std::clamp(activeSegment, 0, kSegmentCapacity - 1)].length; }

void close_dialog() {
    stepAndRepeat->hide();
    Fl::delete_widget(stepAndRepeat);
    stepAndRepeat = nullptr;
    for (Fl_Value_Input** f : {&snrCount, &snrAngle, &snrCentreX, &snrCentreXInc, &snrCentreY, &snrCentreYInc,
                               &snrTriggerInc, &snrZInc, &snrRXInc, &snrRYInc, &snrRZInc})
        *f = nullptr;
    snrConversion = nullptr;
}

}  // namespace

// Two columns: the count and the centre at the left with the two Match
// buttons, the increments at the right; the conversion line across, and
// OK with Reset at the bottom right.
Fl_Double_Window* make_stepandrepeat() {
    Fl_Group* saved = Fl_Group::current();
    Fl_Group::current(nullptr);
    stepAndRepeat = new Fl_Double_Window(345, 335, "Vantrope - Step and Repeat");
    const int left = 70, right = 280;
    snrCount = field(left, 10, "Count", 0, 255, 1);
    snrAngle = field(right, 10, "Angle Increment", -360, 360, 1);
    snrCentreX = field(left, 38, "Centre X", -200, 200, 0.1);
    snrCentreXInc = field(right, 38, "Centre X Increment", -200, 200, 0.1);
    snrCentreY = field(left, 66, "Centre Y", -200, 200, 0.1);
    snrCentreYInc = field(right, 66, "Centre Y Increment", -200, 200, 0.1);
    Fl_Button* matchZ = new Fl_Button(10, 94, 125, 25, "Match to Z");
    matchZ->callback(CB(cb_Match1));
    matchZ->tooltip("Set the Trigger Increment from the Z Increment");
    snrTriggerInc = field(right, 94, "Trigger Increment", 0, 1, 0.001);
    snrTriggerInc->callback(CB(cb_snrTriggerInc));
    Fl_Button* matchTrigger = new Fl_Button(10, 122, 125, 25, "Match to Trigger");
    matchTrigger->callback(CB(cb_Match));
    matchTrigger->tooltip("Set the Z Increment from the Trigger Increment");
    snrZInc = field(right, 122, "Z Increment", -2000, 2000, 1);
    snrZInc->callback(CB(cb_snrZInc));
    snrConversion = new Fl_Output(10, 172, 325, 25, "Z/Trigger Conversion");
    snrConversion->align(FL_ALIGN_TOP_LEFT);
    snrRXInc = field(right, 207, "Rotate X Increment", -360, 360, 1);
    snrRYInc = field(right, 235, "Rotate Y Increment", -360, 360, 1);
    snrRZInc = field(right, 263, "Rotate Z Increment", -360, 360, 1);
    Fl_Return_Button* ok = new Fl_Return_Button(255, 300, 80, 25, "OK");
    ok->callback(CB(cb_OK1));
    Fl_Button* reset = new Fl_Button(175, 300, 75, 25, "Reset");
    reset->callback(CB(cb_Reset));
    stepAndRepeat->end();
    Fl_Group::current(saved);
    return stepAndRepeat;
}

int step_repeat_dialog_count() { return snrCount ? whole_number(snrCount->value()) : 0; }

void cb_Step(Fl_Button*, void*) {
    // One dialog at a time: the fields can name only one.
    if (!stepAndRepeat) make_stepandrepeat();
    stepAndRepeat->show();
}

void cb_snrTriggerInc(Fl_Value_Input*, void*) {
    snrConversion->value(trigger_to_depth_text(snrTriggerInc->value(), active_length()).c_str());
}

void cb_snrZInc(Fl_Value_Input*, void*) {
    snrConversion->value(depth_to_trigger_text(snrZInc->value(), active_length()).c_str());
}

void cb_Match(Fl_Button*, void*) { snrZInc->value(depth_for_trigger(snrTriggerInc->value(), active_length())); }
void cb_Match1(Fl_Button*, void*) { snrTriggerInc->value(trigger_for_depth(snrZInc->value(), active_length())); }

void cb_Reset(Fl_Button*, void*) {
    snrCount->value(1);
    snrCentreY->value(-35);
    for (Fl_Value_Input* f : {snrAngle, snrCentreX, snrCentreXInc, snrCentreYInc, snrTriggerInc, snrZInc, snrRXInc,
                              snrRYInc, snrRZInc})
        f->value(0);
}

void cb_OK1(Fl_Return_Button*, void*) {
    if (!stepAndRepeat) return;
    const StepRepeatParams p = step_repeat_params(
        snrCount->value(), snrAngle->value(), snrCentreX->value(), snrCentreXInc->value(), snrCentreY->value(),
        snrCentreYInc->value(), snrTriggerInc->value(), snrZInc->value(), snrRXInc->value(), snrRYInc->value(),
        snrRZInc->value());
    int room = 0;
    if (!step_and_repeat(p, room)) {
        // The dialog stays open, so that the count can be lowered.
        dialog_alert("This level has room for %d more triggers, not %d: a level holds at most 255.\n"
                     "Lower the Count and press OK again.",
                     room, p.count);
        return;
    }
    close_dialog();
}
