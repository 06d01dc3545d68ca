#include "panels/targets_page.h"

#include "app/widget_helpers.h"

#include "app/dialogs.h"
#include "document/records.h"
#include "document/trigger_commands.h"
#include "app/undo_menu.h"
#include "panels/segment_maps.h"
#include "panels/enemy_page.h"
#include "panels/segments_page.h"
#include "panels/stage_views.h"
#include "panels/step_repeat_dialog.h"
#include "preview/perspective_preview_ui.h"

#include <FL/Fl_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Roller.H>
#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Value_Slider.H>

#include <algorithm>
#include <string>
#include <vector>

Fl_Browser* triggerList;
Fl_Input* triggerName;
Fl_Choice* triggerScore;
Fl_Choice* triggerBonus;
Fl_Value_Input* triggerHitPoints;
Fl_Value_Slider* triggerSegment;
Fl_Value_Slider* triggerStage;
Fl_Value_Slider* triggerStageCount;
Fl_Value_Input* triggerTrigger;
Fl_Roller* triggerRoller;
Fl_Value_Input* triggerX;
Fl_Value_Input* triggerY;
Fl_Value_Input* triggerZ;
Fl_Value_Input* triggerRX;
Fl_Value_Input* triggerRY;
Fl_Value_Input* triggerRZ;
Fl_Button* stepAndRepeatButton;

#define ITEM(text) {text, 0, nullptr, nullptr, 0, FL_NORMAL_LABEL, 0, 14, 0}
#define END_OF_MENU {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0}

Fl_Menu_Item menu_triggerScore[] = {ITEM("100"), ITEM("250"), ITEM("1000"), END_OF_MENU};
Fl_Menu_Item menu_triggerBonus[] = {ITEM("No Bonus"), ITEM("Evolution Up"), ITEM("Chaos Up"),
                                    ITEM("Next Level"), END_OF_MENU};

static const char kTriggersFull[] =
    "This level already has 255 triggers, the most a level can hold.\n"
    "Delete a trigger before adding another.";

namespace {

class TargetsPanel : public TriggerPanel {
public:
    LineList& lines() override { return lines_; }
    void update_trigger() override { ::update_trigger(); }
    void update_stage() override { ::update_stage(); }
    void show_stage_selector() override { triggerStage->value(activeStage); }
    int step_repeat_count() override { return step_repeat_dialog_count(); }
    void undo_changed() override { refresh_undo_menu_text(); }

    BrowserLineList lines_{nullptr};
};

TargetsPanel targetsPanel;

// A choice whose items 0..count-1 stand for the values 0..count-1 of a
// record field. Any other value (a level may hold one) is shown as it is,
// by an extra last item "(value)" that lasts until the choice shows another
// value; picking that item changes nothing.
class ValueChoice {
  public:
    ValueChoice(const Fl_Menu_Item* items, int count) : fixed_(items), count_(count) {}
    void show(Fl_Choice* choice, int value) {
        if (value >= 0 && value < count_) {
            choice->menu(fixed_);
            choice->value(value);
        } else {
            label_ = "(" + std::to_string(value) + ")";
            items_.assign(fixed_, fixed_ + count_);
            items_.push_back(fixed_[0]);
            items_.back().text = label_.c_str();
            items_.push_back(Fl_Menu_Item{});
            choice->menu(items_.data());
            choice->value(count_);
        }
        choice->redraw();
    }
    // The value of the item picked in `choice`; false for the extra item.
    bool picked(Fl_Choice* choice, int& value) {
        value = choice->value();
        if (value < 0 || value >= count_) return false;
        show(choice, value);  // the extra item goes: the record now holds a listed value
        return true;
    }

  private:
    const Fl_Menu_Item* fixed_;
    int count_;
    std::vector<Fl_Menu_Item> items_;
    std::string label_;
};

ValueChoice scoreChoice(menu_triggerScore, 3);
ValueChoice bonusChoice(menu_triggerBonus, 4);

// The stage selector covers the stages in use.
void show_stage_range(int count) {
    count = std::max(count, 1);
    triggerStage->maximum(count - 1);
    triggerStage->slider_size(1.0 / count);
    triggerStage->redraw();
}

Fl_Button* make_button(int x, int y, int w, const char* label, Fl_Callback* cb) {
    Fl_Button* b = new Fl_Button(x, y, w, 25, label);
    if (cb) b->callback(cb);
    return b;
}

Fl_Choice* make_choice(int x, int y, int w, const char* label, Fl_Menu_Item* menu, Fl_Callback* cb) {
    Fl_Choice* c = new Fl_Choice(x, y, w, 25, label);
    c->down_box(FL_BORDER_BOX);
    c->menu(menu);
    c->callback(cb);
    return c;
}

Fl_Value_Input* make_value_input(int x, int y, int w, const char* label, double lo, double hi,
                                 double step, Fl_Callback* cb) {
    Fl_Value_Input* v = new Fl_Value_Input(x, y, w, 25, label);
    v->bounds(lo, hi);
    v->step(step);
    v->callback(cb);
    return v;
}

void make_stage_settings() {
    Fl_Group* g = make_frame(280, 318, 235, 104, "Stage Settings");
    triggerTrigger = make_value_input(340, 325, 70, "Trigger", 0, 1, 0.001, CB(cb_triggerTrigger));
    triggerRoller = new Fl_Roller(415, 325, 92, 25);
    triggerRoller->type(FL_HORIZONTAL);
    triggerRoller->bounds(0, 1);
    triggerRoller->step(0.001);
    triggerRoller->callback(CB(cb_triggerRoller));
    triggerX = make_value_input(300, 357, 55, "x", -200, 200, 1, CB(cb_triggerX));
    triggerY = make_value_input(380, 357, 55, "y", -200, 200, 1, CB(cb_triggerY));
    triggerZ = make_value_input(455, 357, 52, "z", -8000, 8000, 1, CB(cb_triggerZ));
    triggerRX = make_value_input(300, 389, 55, "rx", -180, 360, 1, CB(cb_triggerRX));
    triggerRY = make_value_input(380, 389, 55, "ry", -180, 360, 1, CB(cb_triggerRY));
    triggerRZ = make_value_input(455, 389, 52, "rz", -180, 360, 1, CB(cb_triggerRZ));
    g->end();
}

void make_trigger_attributes() {
    Fl_Group* g = make_frame(225, 90, 300, 340, "Trigger Attributes");
    triggerName = new Fl_Input(300, 98, 215, 25, "Name");
    triggerScore = make_choice(300, 128, 90, "Score", menu_triggerScore, CB(cb_triggerScore));
    triggerType = make_choice(300, 158, 155, "Type", menu_triggerType, CB(cb_triggerType));
    make_button(460, 158, 55, "Add...", CB(cb_Add1))->tooltip("Add an enemy model from an MD2 file");
    triggerBonus = make_choice(300, 188, 105, "Bonus", menu_triggerBonus, CB(cb_triggerBonus));
    triggerHitPoints = make_value_input(480, 188, 35, "Hit Points", 1, 8, 0, CB(cb_triggerHitPoints));
    triggerHitPoints->value(1);

    triggerSegment = new Fl_Value_Slider(300, 218, 215, 25, "Segment");
    triggerSegment->type(FL_HOR_SLIDER);
    triggerSegment->align(FL_ALIGN_LEFT);
    triggerSegment->bounds(0, 7);
    triggerSegment->step(1);
    triggerSegment->callback(CB(cb_triggerSegment));

    triggerStage = new Fl_Value_Slider(235, 262, 30, 145, "Stage");
    triggerStage->type(FL_VERT_SLIDER);
    triggerStage->bounds(0, 7);
    triggerStage->step(1);
    triggerStage->callback(CB(cb_triggerStage));

    triggerStageCount = new Fl_Value_Slider(280, 272, 235, 22, "Stage Count");
    triggerStageCount->type(FL_HOR_FILL_SLIDER);
    triggerStageCount->align(FL_ALIGN_TOP_LEFT);
    triggerStageCount->bounds(2, 8);
    triggerStageCount->step(1);
    triggerStageCount->value(2);
    triggerStageCount->callback(CB(cb_triggerStageCount));

    make_stage_settings();
    g->end();
}

}  // namespace

// The page, left to right: the list with its buttons, the attributes, and
// the stage views, which take the rest of the page.
void make_targets_page() {
    triggerList = new Fl_Hold_Browser(10, 130, 205, 300);
    triggerList->callback(CB(cb_triggerList));
    triggerList->format_char(0);
    make_button(10, 72, 65, "Add", CB(cb_Add));
    make_button(150, 72, 65, "Clone", CB(cb_Clone));
    make_button(80, 72, 65, "Delete", CB(cb_Delete));
    make_button(10, 100, 30, "-x", CB(cb_x))->tooltip("Mirror the path: x and rx change sign");
    make_button(45, 100, 30, "-y", CB(cb_y))->tooltip("Mirror the path: y and ry change sign");

    make_trigger_attributes();

    stepAndRepeatButton = make_button(80, 100, 135, "Step and Repeat", CB(cb_Step));
    stepAndRepeatButton->tooltip("Copies of the selected trigger in a ring, a spiral or a line");
    make_stage_views();
    on_stage_moved(update_stage);

    targetsPanel.lines_ = BrowserLineList(triggerList);
    set_trigger_panel(&targetsPanel);
}

void update_trigger() {
    std::string label = begin_update_trigger(targetsPanel.lines());
    Trigger& t = selected_trigger();
    triggerSegment->value(t.triggerSegment);
    triggerName->value(label.c_str());
    bonusChoice.show(triggerBonus, t.bonusType);
    scoreChoice.show(triggerScore, t.points);
    triggerHitPoints->value(t.health);
    if (t.triggerType[0]) {
        int item = find_trigger_type(t.triggerType);
        if (item >= 0) triggerType->value(item);
        else add_trigger_type(t.triggerType);
    } else if (const char* shown = trigger_type_name(triggerType->value())) {
        // A trigger without a type takes the one shown.
        copy_text(t.triggerType, shown);
    }
    triggerStage->value(0);
    show_stage_range(t.stageCount);
    triggerStageCount->value(t.stageCount);
    reset_time_views();
    update_stage();
}

void update_stage() {
    const Stage& s = selected_stage();
    triggerX->value(s.x);
    triggerY->value(s.y);
    triggerZ->value(s.z);
    triggerRX->value(s.rx);
    triggerRY->value(s.ry);
    triggerRZ->value(s.rz);
    triggerTrigger->value(s.trigger);
    redraw_stage_views();
}


void cb_triggerList(Fl_Browser*, void*) { select_trigger(triggerList->value()); }

void cb_Add(Fl_Button*, void*) {
    if (!add_trigger()) dialog_alert("%s", kTriggersFull);
}

void cb_Clone(Fl_Button*, void*) {
    if (!clone_trigger()) dialog_alert("%s", kTriggersFull);
}

// With no listed trigger selected there is nothing to delete.
void cb_Delete(Fl_Button*, void*) { delete_trigger(); }

void cb_x(Fl_Button*, void*) { mirror_x(); }
void cb_y(Fl_Button*, void*) { mirror_y(); }

void cb_triggerScore(Fl_Choice*, void*) {
    int item;
    if (scoreChoice.picked(triggerScore, item)) change_trigger().points = item;
}

void cb_triggerBonus(Fl_Choice*, void*) {
    int item;
    if (bonusChoice.picked(triggerBonus, item)) change_trigger().bonusType = item;
}

void cb_triggerType(Fl_Choice*, void*) {
    Trigger& t = change_trigger();
    if (const char* name = trigger_type_name(triggerType->value())) copy_text(t.triggerType, name);
}

void cb_triggerHitPoints(Fl_Value_Input*, void*) {
    change_trigger().health = whole_number(triggerHitPoints->value());
}

void cb_triggerSegment(Fl_Value_Slider*, void*) {
    int32_t n = whole_number(triggerSegment->value());
    change_trigger().triggerSegment = n;
    activeSegment = std::clamp(n, 0, kSegmentCapacity - 1);
    pathPosition->value(activeSegment);
    show_segment();
}

void cb_triggerStageCount(Fl_Value_Slider*, void*) {
    int32_t n = whole_number(triggerStageCount->value());
    change_trigger().stageCount = n;
    show_stage_range(n);
    update_stage();
}

void cb_triggerStage(Fl_Value_Slider*, void*) { select_stage(whole_number(triggerStage->value())); }

void cb_triggerTrigger(Fl_Value_Input*, void*) {
    change_stage().trigger = static_cast<float>(triggerTrigger->value());
    redraw_stage_views();
}

void cb_triggerRoller(Fl_Roller*, void*) {
    Stage& s = change_stage();
    triggerTrigger->value(triggerRoller->value());
    s.trigger = static_cast<float>(triggerRoller->value());
    redraw_stage_views();
}

void cb_triggerX(Fl_Value_Input*, void*) {
    change_stage().x = static_cast<float>(triggerX->value());
    redraw_stage_views();
}

void cb_triggerY(Fl_Value_Input*, void*) {
    change_stage().y = static_cast<float>(triggerY->value());
    redraw_stage_views();
}

void cb_triggerZ(Fl_Value_Input*, void*) {
    change_stage().z = static_cast<float>(triggerZ->value());
    redraw_stage_views();
}

// Rotations show only in the perspective preview, at its next redraw.
void cb_triggerRX(Fl_Value_Input*, void*) { change_stage().rx = static_cast<float>(triggerRX->value()); }
void cb_triggerRY(Fl_Value_Input*, void*) { change_stage().ry = static_cast<float>(triggerRY->value()); }
void cb_triggerRZ(Fl_Value_Input*, void*) { change_stage().rz = static_cast<float>(triggerRZ->value()); }
