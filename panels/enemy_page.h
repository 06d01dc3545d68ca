// The "Enemy" page: the enemy models and their explosion settings.
#pragma once

class Fl_Browser;

extern Fl_Browser* enemyList;

// Builds the page's widgets inside the currently open group.
void make_enemy_page();
