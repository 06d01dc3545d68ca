// The main window, its menu bar and tab pages, and the About window.
#pragma once

class Fl_Double_Window;
class Fl_Menu_;
class Fl_Menu_Bar;
class Fl_Return_Button;
class Fl_Tabs;
class Fl_Group;
struct Fl_Menu_Item;

extern Fl_Double_Window* rootWindow;
extern Fl_Menu_Bar* menuBar;
extern Fl_Tabs* pageTabs;
extern Fl_Group* segmentsPage;
extern Fl_Group* targetsPage;
extern Fl_Group* enemyPage;
extern Fl_Menu_Item menu_[];
extern Fl_Double_Window* aboutBox;
// The row below the pages that holds the song transport.
extern Fl_Group* transportBar;

// Builds every window and widget, shows the preview window and starts a new
// level. The main window is left for the caller to show.
void build_editor();

// The "Undo" item of the "Targets" menu.
Fl_Menu_Item* undo_menu_item();
// Its "Redo" item; the invisible item for Ctrl+Y follows it.
Fl_Menu_Item* redo_menu_item();

Fl_Double_Window* make_about();
void cb_About(Fl_Menu_*, void*);
void cb_OK(Fl_Return_Button*, void*);
