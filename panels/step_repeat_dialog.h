// The "Step and Repeat" dialog: copies of the selected trigger, each turned
// about a centre and moved on by its number times the increments, appended
// to the trigger list as one undoable step.
#pragma once

class Fl_Button;
class Fl_Double_Window;
class Fl_Output;
class Fl_Return_Button;
class Fl_Value_Input;

// The open dialog and its fields; all null while there is none.
extern Fl_Double_Window* stepAndRepeat;
extern Fl_Value_Input* snrCount;
extern Fl_Value_Input* snrAngle;
extern Fl_Value_Input* snrCentreX;
extern Fl_Value_Input* snrCentreXInc;
extern Fl_Value_Input* snrCentreY;
extern Fl_Value_Input* snrCentreYInc;
extern Fl_Value_Input* snrTriggerInc;
extern Fl_Value_Input* snrZInc;
extern Fl_Output* snrConversion;
extern Fl_Value_Input* snrRXInc;
extern Fl_Value_Input* snrRYInc;
extern Fl_Value_Input* snrRZInc;

// Builds the dialog with every field at 0 (not shown).
Fl_Double_Window* make_stepandrepeat();
// The copies that OK would make now: "Count" truncated, 0 without a dialog.
int step_repeat_dialog_count();

// "Step and Repeat" on the page: shows the dialog, or brings the one that
// is already open (or was closed) back to the front with its values.
void cb_Step(Fl_Button*, void*);
void cb_snrTriggerInc(Fl_Value_Input*, void*);
void cb_snrZInc(Fl_Value_Input*, void*);
void cb_Match(Fl_Button*, void*);
void cb_Match1(Fl_Button*, void*);
void cb_Reset(Fl_Button*, void*);
void cb_OK1(Fl_Return_Button*, void*);
