#include "app/main_window.h"

#include "app/status_row.h"
#include "app/widget_helpers.h"

#include "app/file_commands.h"
#include "app/tempo_controls.h"
#include "app/transport.h"
#include "app/undo_menu.h"
#include "panels/enemy_page.h"
#include "panels/segments_page.h"
#include "panels/targets_page.h"
#include "preview/perspective_preview_ui.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Output.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Tabs.H>

Fl_Double_Window* rootWindow = nullptr;
Fl_Menu_Bar* menuBar = nullptr;
Fl_Tabs* pageTabs = nullptr;
Fl_Group* segmentsPage = nullptr;
Fl_Group* targetsPage = nullptr;
Fl_Group* enemyPage = nullptr;
Fl_Double_Window* aboutBox = nullptr;
Fl_Group* transportBar = nullptr;

Fl_Menu_Item menu_[] = {
    {"&File", 0, nullptr, nullptr, FL_SUBMENU, FL_NORMAL_LABEL, 0, 14, 0},
    {"&New", FL_CTRL + 'n', CB(cb_New), nullptr, 0, FL_NORMAL_LABEL, 0, 14, 0},
    {"&Open", 0, CB(cb_Open), nullptr, 0, FL_NORMAL_LABEL, 0, 14, 0},
    {"&Save", FL_CTRL + 's', CB(cb_Save), nullptr, 0, FL_NORMAL_LABEL, 0, 14, 0},
    {"&Save As...", FL_CTRL + 'a', CB(cb_Save1), nullptr, 0, FL_NORMAL_LABEL, 0, 14, 0},
    {"&Quit", 0, CB(cb_Quit), nullptr, 0, FL_NORMAL_LABEL, 0, 14, 0},
    {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0},
    {"Targets", 0, nullptr, nullptr, FL_SUBMENU, FL_NORMAL_LABEL, 0, 14, 0},
    {"Undo", FL_CTRL + 'z', CB(cb_undoMenuItem), nullptr, 0, FL_NORMAL_LABEL, 0, 14, 0},
    // Redo answers Ctrl+Shift+Z, and through an invisible twin Ctrl+Y.
    {"Redo", FL_CTRL + FL_SHIFT + 'z', CB(cb_redoMenuItem), nullptr, FL_MENU_INACTIVE, FL_NORMAL_LABEL, 0, 14, 0},
    {"Redo", FL_CTRL + 'y', CB(cb_redoMenuItem), nullptr, FL_MENU_INACTIVE | FL_MENU_INVISIBLE, FL_NORMAL_LABEL, 0, 14, 0},
    {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0},
    {"&Help", 0, nullptr, nullptr, FL_SUBMENU, FL_NORMAL_LABEL, 0, 14, 0},
    {"&About", FL_F + 12, CB(cb_About), nullptr, 0, FL_NORMAL_LABEL, 0, 14, 0},
    {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0},
    {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0},
};

void build_editor() {
    rootWindow = new Fl_Double_Window(935, 770, "Vantrope Level Segment Editor");
    menuBar = new Fl_Menu_Bar(0, 0, 940, 25);
    menuBar->menu(menu_);

    pageTabs = new Fl_Tabs(5, 30, 925, 680);
    segmentsPage = new Fl_Group(15, 65, 880, 595, "Segments");
    make_segments_page();
    segmentsPage->end();

    targetsPage = new Fl_Group(5, 65, 920, 645, "Targets");
    targetsPage->hide();
    make_targets_page();
    targetsPage->end();

    enemyPage = new Fl_Group(10, 65, 920, 645, "Enemy");
    enemyPage->hide();
    make_enemy_page();
    enemyPage->end();
    pageTabs->end();

    // Below the pages, so it is there whichever page is shown.
    transportBar = new Fl_Group(5, 712, 925, 30);
    make_transport();
    make_tempo_transport();
    attach_detect_tempo();
    transportBar->end();
    songStatus = new Fl_Box(5, 744, 925, 24);
    songStatus->box(FL_THIN_DOWN_BOX);
    songStatus->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
    rootWindow->end();

    perspective_preview();
    new_level();
}

Fl_Double_Window* make_about() {
    Fl_Group* saved = Fl_Group::current();
    Fl_Group::current(nullptr);
    aboutBox = new Fl_Double_Window(280, 100, "About Vantrope Editor");
    Fl_Output* version = new Fl_Output(25, 25, 225, 30, "Vantrope Level Editor by Quorlin");
    version->align(FL_ALIGN_TOP);
    version->value("Version 0.9, 2008-04-22");
    Fl_Return_Button* ok = new Fl_Return_Button(100, 65, 85, 25, "OK");
    ok->callback(CB(cb_OK));
    aboutBox->end();
    Fl_Group::current(saved);
    return aboutBox;
}

void cb_About(Fl_Menu_*, void*) {
    if (aboutBox) {
        // One About window at a time: bring an open one to the front; one
        // closed by the window manager is only hidden, so it is replaced.
        if (aboutBox->shown() && aboutBox->visible()) {
            aboutBox->show();
            return;
        }
        Fl::delete_widget(aboutBox);
        aboutBox = nullptr;
    }
    make_about()->show();
}

void cb_OK(Fl_Return_Button*, void*) {
    if (!aboutBox) return;
    aboutBox->hide();
    Fl::delete_widget(aboutBox);
    aboutBox = nullptr;
}
