// The "Segments" page: level-wide settings, the segment selector and the
// settings of the active segment.
#pragma once

class Fl_Button;
class Fl_Box;
class Fl_Check_Button;
class Fl_Counter;
class Fl_Group;
class Fl_Input;
class Fl_Roller;
class Fl_Round_Button;
class Fl_Value_Input;
class Fl_Value_Slider;
class Fl_Widget;
class Fl_Palette_Map;

// Level-wide settings: the widgets' values are the settings.
extern Fl_Counter* levelDuration;
extern Fl_Counter* levelSegments;
extern Fl_Value_Input* evoDropRate;
extern Fl_Value_Input* chaosDropRate;
extern Fl_Value_Input* initialEvo;
extern Fl_Value_Input* initialChaos;
extern Fl_Counter* bpm;
// "Detect" beside "Beats per Minute": finds the song's tempo.
extern Fl_Button* detectTempo;
extern Fl_Input* song;
extern Fl_Button* songBrowse;

extern Fl_Value_Slider* pathPosition;

// Settings of segment[activeSegment].
extern Fl_Check_Button* isTunnel;
extern Fl_Round_Button* buttonLeft;
extern Fl_Round_Button* buttonFront;
extern Fl_Round_Button* buttonRight;
extern Fl_Round_Button* visWallp;
extern Fl_Round_Button* visJulia;
extern Fl_Round_Button* visPlasma;
extern Fl_Round_Button* visWallp2;
extern Fl_Round_Button* visCustom;
extern Fl_Button* customHeightButton;  // "..." on the "Custom PNG" row
extern Fl_Button* customColorButton;   // "CMap"
extern Fl_Value_Input* seedA;
extern Fl_Value_Input* seedB;
extern Fl_Value_Slider* segHeight;
extern Fl_Value_Slider* segLength;
extern Fl_Counter* fogNear;
extern Fl_Counter* fogFar;
extern Fl_Input* fogColor;
extern Fl_Value_Slider* mapPosition;
extern Fl_Box* mapPreview;
extern Fl_Button* loadPaletteButton;
extern Fl_Roller* hueRoller;
extern Fl_Palette_Map* palettePreview;

// Builds the page's widgets inside the currently open group.
void make_segments_page();

// Loads the page's widgets from segment[activeSegment] (without running
// their callbacks), redraws the palette preview and calls new_map.
void show_segment();
// Sets the segment selector to cover n segments (0..n-1, knob 1/n).
void set_segment_range(int n);

void cb_levelSegments(Fl_Counter*, void*);
void cb_song(Fl_Input*, void*);
void cb_songBrowse(Fl_Button*, void*);
void cb_pathPosition(Fl_Value_Slider*, void*);
void cb_isTunnel(Fl_Check_Button*, void*);
void cb_buttonLeft(Fl_Round_Button*, void*);
void cb_buttonFront(Fl_Round_Button*, void*);
void cb_buttonRight(Fl_Round_Button*, void*);
void cb_visWallp(Fl_Round_Button*, void*);
void cb_visJulia(Fl_Round_Button*, void*);
void cb_visPlasma(Fl_Round_Button*, void*);
void cb_visWallp2(Fl_Round_Button*, void*);
void cb_visCustom(Fl_Round_Button*, void*);
void cb_seedA(Fl_Value_Input*, void*);
void cb_seedB(Fl_Value_Input*, void*);
void cb_segHeight(Fl_Value_Slider*, void*);
void cb_segLength(Fl_Value_Slider*, void*);
void cb_fogNear(Fl_Counter*, void*);
void cb_fogFar(Fl_Counter*, void*);
void cb_fogColor(Fl_Input*, void*);
void cb_mapPosition(Fl_Value_Slider*, void*);
