// The song transport below the pages: "Play"/"Stop", the song time read-out
// and the loading progress; the Space key plays and stops whenever no text
// field has the keyboard focus. While the song plays, "Pos" and the active
// segment follow it, and the preview and the time views are redrawn up to
// 60 times a second.
#pragma once

#include "panels/song_hooks.h"

class Fl_Button;
class Fl_Box;
class Fl_Progress;

extern Fl_Button* playButton;
extern Fl_Box* songTime;        // m:ss.mmm
extern Fl_Progress* songProgress;  // shown while a song takes a while to load

// Builds the transport's widgets inside the open group (`transportBar`).
void make_transport();



void start_playback();
void stop_playback();
void toggle_playback();

void cb_playButton(Fl_Button*, void*);
