// The "Enemy" page: the enemy models and their explosion settings and sounds.
#pragma once

class Fl_Browser;
class Fl_Button;
class Fl_Input;
class Fl_Value_Input;

extern Fl_Browser* enemyList;
extern Fl_Input* explosionFirstColor;
extern Fl_Input* explosionLastColor;
extern Fl_Value_Input* explosionRadius;
extern Fl_Value_Input* explosionHeight;
extern Fl_Input* soundLockOn;
extern Fl_Input* soundExplode;
extern Fl_Value_Input* explosionDuration;

// Builds the page's widgets inside the currently open group.
void make_enemy_page();

// Shows enemyModel[activeEnemy] in the property fields.
void update_enemy();

void cb_enemyList(Fl_Browser*, void*);
void cb_explosionFirstColor(Fl_Input*, void*);
void cb_explosionLastColor(Fl_Input*, void*);
void cb_explosionRadius(Fl_Value_Input*, void*);
void cb_explosionHeight(Fl_Value_Input*, void*);
void cb_explosionDuration(Fl_Value_Input*, void*);
void cb_soundLockOn(Fl_Input*, void*);
void cb_soundExplode(Fl_Input*, void*);
// "..." beside the lock-on and the explode sound: choose a WAV file.
void cb_6(Fl_Button*, void*);
void cb_7(Fl_Button*, void*);
// "Add..." beside the trigger type: add an enemy model from an MD2 file.
void cb_Add1(Fl_Button*, void*);
