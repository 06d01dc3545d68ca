#include "panels/enemy_page.h"

#include "app/widget_helpers.h"

#include "app/dialogs.h"
#include "document/colour_text.h"
#include "document/enemy_models.h"
#include "document/level_file.h"
#include "document/records.h"
#include "document/stored_text.h"
#include "panels/browser_lines.h"
#include "panels/trigger_type_choice.h"

#include <FL/Fl_Button.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Value_Input.H>

#include <algorithm>
#include <string>

Fl_Browser* enemyList;
Fl_Input* explosionFirstColor;
Fl_Input* explosionLastColor;
Fl_Value_Input* explosionRadius;
Fl_Value_Input* explosionHeight;
Fl_Input* soundLockOn;
Fl_Input* soundExplode;
Fl_Value_Input* explosionDuration;

static const char kModelsFull[] =
    "This level already has 63 enemy models, the most a level can hold.";
static const char kModelName[] = "The model's file name";
static const char kSoundName[] = "The sound's file name";

namespace {

EnemyModel& model() { return enemyModel[std::clamp(activeEnemy, 0, kEnemyLinesMax)]; }

Fl_Input* make_text(int x, int y, int w, const char* label, Fl_Callback* cb) {
    Fl_Input* in = new Fl_Input(x, y, w, 25, label);
    // Every change is kept at once, so a Save right after typing has it.
    in->when(FL_WHEN_CHANGED);
    in->callback(cb);
    return in;
}

Fl_Value_Input* make_number(int x, int y, const char* label, Fl_Callback* cb) {
    Fl_Value_Input* v = new Fl_Value_Input(x, y, 80, 25, label);
    v->bounds(0, 1000);
    v->callback(cb);
    return v;
}

void set_colour(uint32_t& colour, Fl_Input* field) {
    uint32_t value;
    // Text that is not "#" and hexadecimal digits leaves the colour as it was.
    if (parse_colour_text(field->value(), value)) colour = value | 0xFF000000u;
}

StoredTextEdits soundEdits;

// Stores a sound name typed or pasted into `field`; a refused one leaves the
// field showing the stored name again.
void set_sound(char* sound, Fl_Input* field) {
    StoredTextEdits::Outcome out = soundEdits.edit(field, sound, field->value());
    if (out.fault == TextFault::None) return;
    field->value(sound);
    if (out.alert) dialog_alert("%s", stored_text_alert(out.fault, kSoundName).c_str());
}

void choose_sound(char* sound, Fl_Input* field) {
    const char* path = dialog_file_chooser("Open WAV Sound", "*.wav", nullptr, 0);
    if (!path) return;
    std::string name = file_name_part(path);
    if (TextFault fault = stored_text_fault(name.c_str()); fault != TextFault::None) {
        dialog_alert("%s", stored_text_alert(fault, kSoundName).c_str());
        return;
    }
    copy_text(sound, name.c_str());
    soundEdits.end_run();
    field->value(name.c_str());
}

}  // namespace

void make_enemy_page() {
    enemyList = new Fl_Hold_Browser(20, 100, 250, 600, "Enemy");
    enemyList->align(FL_ALIGN_TOP);
    enemyList->format_char(0);  // model names are shown as written
    enemyList->callback(CB(cb_enemyList));

    Fl_Group* g = new Fl_Group(290, 100, 420, 260, "Enemy Properties");
    g->box(FL_DOWN_BOX);
    g->align(FL_ALIGN_TOP_LEFT);
    explosionFirstColor = make_text(480, 115, 120, "Explosion First Color", CB(cb_explosionFirstColor));
    explosionLastColor = make_text(480, 150, 120, "Explosion Last Color", CB(cb_explosionLastColor));
    explosionRadius = make_number(480, 185, "Explosion Radius", CB(cb_explosionRadius));
    explosionHeight = make_number(480, 220, "Explosion Height Factor", CB(cb_explosionHeight));
    soundLockOn = make_text(480, 290, 180, "Lock On Sound", CB(cb_soundLockOn));
    (new Fl_Button(665, 290, 35, 25, "..."))->callback(CB(cb_6));
    soundExplode = make_text(480, 325, 180, "Explode Sound", CB(cb_soundExplode));
    (new Fl_Button(665, 325, 35, 25, "..."))->callback(CB(cb_7));
    explosionDuration = make_number(480, 255, "Explosion Duration (sec)", CB(cb_explosionDuration));
    g->end();
}

void update_enemy() {
    const EnemyModel& e = model();
    explosionFirstColor->value(format_colour_text(e.explosionFirstColor).c_str());
    explosionLastColor->value(format_colour_text(e.explosionLastColor).c_str());
    explosionRadius->value(e.explosionRadius);
    explosionHeight->value(e.explosionHeightScale);
    explosionDuration->value(e.explosionDuration);
    soundLockOn->value(e.lockOnSound);
    soundExplode->value(e.explodeSound);
    soundEdits.end_run();
}

void cb_enemyList(Fl_Browser*, void*) {
    activeEnemy = enemyList->value();
    update_enemy();
}

void cb_explosionFirstColor(Fl_Input*, void*) { set_colour(model().explosionFirstColor, explosionFirstColor); }
void cb_explosionLastColor(Fl_Input*, void*) { set_colour(model().explosionLastColor, explosionLastColor); }

void cb_explosionRadius(Fl_Value_Input*, void*) {
    model().explosionRadius = static_cast<float>(explosionRadius->value());
}

void cb_explosionHeight(Fl_Value_Input*, void*) {
    model().explosionHeightScale = static_cast<float>(explosionHeight->value());
}

void cb_explosionDuration(Fl_Value_Input*, void*) {
    model().explosionDuration = static_cast<float>(explosionDuration->value());
}

void cb_soundLockOn(Fl_Input*, void*) { set_sound(model().lockOnSound, soundLockOn); }
void cb_soundExplode(Fl_Input*, void*) { set_sound(model().explodeSound, soundExplode); }
void cb_6(Fl_Button*, void*) { choose_sound(model().lockOnSound, soundLockOn); }
void cb_7(Fl_Button*, void*) { choose_sound(model().explodeSound, soundExplode); }

void cb_Add1(Fl_Button*, void*) {
    // Refused before a file is chosen, so no choice is made in vain.
    if (enemyList->size() >= kEnemyLinesMax) {
        dialog_alert("%s", kModelsFull);
        return;
    }
    const char* path = dialog_file_chooser("Open MD2 Model", "*.md2", nullptr, 0);
    if (!path) return;
    std::string name = file_name_part(path);
    if (TextFault fault = stored_text_fault(name.c_str()); fault != TextFault::None) {
        dialog_alert("%s", stored_text_alert(fault, kModelName).c_str());
        return;
    }
    add_trigger_type(name.c_str());
    BrowserLineList lines(enemyList);
    add_enemy_model(lines, name.c_str());
}
