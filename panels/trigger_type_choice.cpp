#include "panels/trigger_type_choice.h"

#include <FL/Fl_Choice.H>

#include <string>
#include <vector>

Fl_Choice* triggerType;
Fl_Menu_Item menu_triggerType[] = {{"", 0, nullptr, nullptr, 0, FL_NORMAL_LABEL, 0, 14, 0},
                                   {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0}};

namespace {

// The type choice's items are built here, not with Fl_Menu_::add, which
// reads "/", "\", "&" and a leading "_" in a text as menu syntax. Each item
// draws its name as written: "&" and "@" are doubled in the drawn label.
std::vector<std::string> typeNames{""};
std::vector<std::string> typeLabels{""};
std::vector<Fl_Menu_Item> typeItems;

std::string drawn_label(const char* name) {
    std::string label;
    for (const char* p = name; *p; p++) {
        if (*p == '&' || *p == '@') label += *p;
        label += *p;
    }
    return label;
}

void install_type_items() {
    typeItems.assign(typeNames.size() + 1, Fl_Menu_Item{});
    for (size_t i = 0; i < typeNames.size(); i++) {
        typeItems[i] = menu_triggerType[0];
        typeItems[i].text = typeLabels[i].c_str();
    }
    int chosen = triggerType->value();
    triggerType->menu(typeItems.data());
    triggerType->value(chosen);
    triggerType->redraw();
}

}  // namespace

int find_trigger_type(const char* name) {
    for (size_t i = 0; i < typeNames.size(); i++)
        if (typeNames[i] == name) return static_cast<int>(i);
    return -1;
}

const char* trigger_type_name(int item) {
    if (item < 0 || item >= static_cast<int>(typeNames.size())) return nullptr;
    return typeNames[item].c_str();
}

void add_trigger_type(const char* name) {
    if (find_trigger_type(name) >= 0) return;
    typeNames.emplace_back(name);
    typeLabels.push_back(drawn_label(name));
    install_type_items();
}
