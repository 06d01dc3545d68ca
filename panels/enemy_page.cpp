#include "panels/enemy_page.h"

#include <FL/Fl_Hold_Browser.H>

Fl_Browser* enemyList;

void make_enemy_page() {
    enemyList = new Fl_Hold_Browser(20, 100, 250, 600, "Enemy");
    enemyList->align(FL_ALIGN_TOP);
}
