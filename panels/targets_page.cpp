#include "panels/targets_page.h"

#include <FL/Fl_Choice.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Hold_Browser.H>

#include <cstring>
#include <string>

Fl_Browser* triggerList;
Fl_Choice* triggerType;

Fl_Menu_Item menu_triggerType[] = {
    {"", 0, nullptr, nullptr, 0, FL_NORMAL_LABEL, 0, 14, 0},
    {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0},
};

void make_targets_page() {
    triggerList = new Fl_Hold_Browser(15, 135, 200, 565);

    Fl_Group* attributes = new Fl_Group(225, 90, 400, 260, "Trigger Attributes");
    attributes->box(FL_DOWN_FRAME);
    attributes->align(FL_ALIGN_TOP_LEFT);
    triggerType = new Fl_Choice(300, 135, 230, 25, "Type");
    triggerType->down_box(FL_BORDER_BOX);
    triggerType->menu(menu_triggerType);
    attributes->end();
}

int find_trigger_type(const char* name) {
    const Fl_Menu_Item* items = triggerType->menu();
    int n = triggerType->size();
    for (int i = 0; i < n && items; i++) {
        const char* text = items[i].label();
        if (text && std::strcmp(text, name) == 0) return i;
    }
    return -1;
}

void add_trigger_type(const char* name) {
    if (find_trigger_type(name) >= 0) return;
    // The menu treats "/" as a submenu separator and "\" as an escape, so both
    // are escaped to keep a model name as one plain item.
    std::string escaped;
    for (const char* p = name; *p; p++) {
        if (*p == '/' || *p == '\\') escaped += '\\';
        escaped += *p;
    }
    triggerType->add(escaped.c_str(), 0, nullptr, nullptr, 0);
}
