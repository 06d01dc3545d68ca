// The song transport below the pages: "Play"/"Stop", the song time read-out
// and the loading progress; the Space key plays and stops whenever no text
// field has the keyboard focus. While the song plays, "Pos" and the active
// segment follow it, and the preview and the time views are redrawn up to
// 60 times a second.
#pragma once

class Fl_Button;
class Fl_Box;
class Fl_Progress;
class SongSession;

extern Fl_Button* playButton;
extern Fl_Box* songTime;        // m:ss.mmm
extern Fl_Progress* songProgress;  // shown while a song takes a while to load

// Builds the transport's widgets inside the open group (`transportBar`).
void make_transport();

// The editor's song, loaded and playing.
SongSession& song_session();

// Stops playing and reads the song named in "Song" again, looked for beside
// the level file, then in the working folder (Open, New, the chooser).
void reload_song();
// The "Song" text changed: read it at once (`now`: Enter), else after a
// short pause in typing.
void song_name_edited(bool now);

void start_playback();
void stop_playback();
void toggle_playback();
// The song time the time views draw their playhead at; false while stopped.
bool playhead_seconds(double& seconds);
// One segment's share of the song, S, from the level-wide settings.
double level_segment_seconds();

void cb_playButton(Fl_Button*, void*);
