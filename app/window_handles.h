// The main window and its menu bar, for the code that changes their texts
// (the title, menu item labels) without building them.
#pragma once

class Fl_Double_Window;
class Fl_Menu_Bar;

extern Fl_Double_Window* rootWindow;
extern Fl_Menu_Bar* menuBar;
