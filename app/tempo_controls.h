// Hearing and finding the tempo: the metronome ("Click") and the playback
// speed in the transport, and "Detect" beside "Beats per Minute", which
// estimates the song's tempo in the background and offers it for the level.
#pragma once

#include "panels/segments_page.h"

class Fl_Button;
class Fl_Check_Button;
class Fl_Choice;

extern Fl_Check_Button* clickButton;
extern Fl_Choice* playSpeed;  // "100%", "75%", "50%", "25%"

// "Click" and the speed choice, inside the open transport group.
void make_tempo_transport();
// Gives "Detect" (`detectTempo`, built with the Segments page) its callback.
void attach_detect_tempo();

// Hands the playback the click's state and the level's beat grid as the
// widgets hold them now: at Play, and while playing, so that a changed
// "Beats per Minute" moves the next clicks.
void push_click_settings();
// "Detect" works on the song loaded: call when it changes. A detection of
// a song that is no longer loaded is given up.
void update_detect_tempo();

void cb_clickButton(Fl_Check_Button*, void*);
void cb_playSpeed(Fl_Choice*, void*);
void cb_detectTempo(Fl_Button*, void*);
