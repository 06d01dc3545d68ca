// The "Targets" page: the trigger list and the attributes of the selected
// trigger and of its selected stage.
#pragma once

#include "document/line_list.h"

class Fl_Browser;
class Fl_Button;
class Fl_Choice;
class Fl_Input;
class Fl_Roller;
class Fl_Value_Input;
class Fl_Value_Slider;
struct Fl_Menu_Item;

extern Fl_Browser* triggerList;
extern Fl_Input* triggerName;
extern Fl_Choice* triggerScore;
extern Fl_Choice* triggerType;
extern Fl_Choice* triggerBonus;
extern Fl_Value_Input* triggerHitPoints;
extern Fl_Value_Slider* triggerSegment;
extern Fl_Value_Slider* triggerStage;
extern Fl_Value_Slider* triggerStageCount;
extern Fl_Value_Input* triggerTrigger;
extern Fl_Roller* triggerRoller;
extern Fl_Value_Input* triggerX;
extern Fl_Value_Input* triggerY;
extern Fl_Value_Input* triggerZ;
extern Fl_Value_Input* triggerRX;
extern Fl_Value_Input* triggerRY;
extern Fl_Value_Input* triggerRZ;
// "Step and Repeat", the last widget of the page.
extern Fl_Button* stepAndRepeatButton;

extern Fl_Menu_Item menu_triggerScore[];
extern Fl_Menu_Item menu_triggerBonus[];
extern Fl_Menu_Item menu_triggerType[];

// A browser's lines as the document code works on them.
class BrowserLineList : public LineList {
public:
    explicit BrowserLineList(Fl_Browser* browser) : browser_(browser) {}
    int size() const override;
    void add(const char* text) override;
    void insert(int line, const char* text) override;
    void remove(int line) override;
    void text(int line, const char* text) override;
    void select(int line) override;
    std::string text_of(int line) const override;
    int selected_line() const override;

private:
    Fl_Browser* browser_;
};

// Builds the page's widgets inside the currently open group and makes the
// page the panel that the trigger commands and undo refresh.
void make_targets_page();

// Shows trigger[activeTrigger] in the whole page, selecting its stage 0.
void update_trigger();
// Shows the selected stage in the stage fields and redraws the views.
void update_stage();
// Redraws what shows the selected trigger's path.
void redraw_stage_views();

// Adds a name to the trigger-type choice unless an item already has that
// text. Items show their names as written, whatever characters they hold.
void add_trigger_type(const char* name);
// Index of the trigger-type item whose text equals name exactly, or -1.
int find_trigger_type(const char* name);
// The text of trigger-type item `item`, or null when there is no such item.
const char* trigger_type_name(int item);

void cb_triggerList(Fl_Browser*, void*);
void cb_Add(Fl_Button*, void*);
void cb_Clone(Fl_Button*, void*);
void cb_Delete(Fl_Button*, void*);
void cb_x(Fl_Button*, void*);
void cb_y(Fl_Button*, void*);
void cb_triggerScore(Fl_Choice*, void*);
void cb_triggerType(Fl_Choice*, void*);
void cb_triggerBonus(Fl_Choice*, void*);
void cb_triggerHitPoints(Fl_Value_Input*, void*);
void cb_triggerSegment(Fl_Value_Slider*, void*);
void cb_triggerStageCount(Fl_Value_Slider*, void*);
void cb_triggerStage(Fl_Value_Slider*, void*);
void cb_triggerTrigger(Fl_Value_Input*, void*);
void cb_triggerRoller(Fl_Roller*, void*);
void cb_triggerX(Fl_Value_Input*, void*);
void cb_triggerY(Fl_Value_Input*, void*);
void cb_triggerZ(Fl_Value_Input*, void*);
void cb_triggerRX(Fl_Value_Input*, void*);
void cb_triggerRY(Fl_Value_Input*, void*);
void cb_triggerRZ(Fl_Value_Input*, void*);
