// What the pages ask of the song transport: the Segments page names the
// song, the time views draw its waveform and playhead. The transport
// (app/transport.cpp) defines these, so the pages depend on no window code.
#pragma once

class SongSession;

// The editor's song, loaded and playing.
SongSession& song_session();
// Stops playing and reads the song named in "Song" again, looked for beside
// the level file, then in the working folder (Open, New, the chooser).
void reload_song();
// The "Song" text changed: read it at once (`now`: Enter), else after a
// short pause in typing.
void song_name_edited(bool now);
// The song time the time views draw their playhead at; false while stopped.
bool playhead_seconds(double& seconds);
// One segment's share of the song, S, from the level-wide settings.
double level_segment_seconds();
