// The active segment's maps: regeneration, the map preview, custom maps
// and palettes.
#pragma once

struct Image;
class Fl_Box;
class Fl_Button;
class Fl_Palette_Map;
class Fl_Roller;

// The active segment's visualization picture (256 x 256), created by the
// first new_map and kept; and its custom colour map, or null.
extern Image* imageVis;
extern Image* colorMap;

// Regenerates the active segment's maps and refreshes the map preview.
void new_map();
// Lets the user pick a PNG picture whose first pixels become the active
// segment's palette (asking again for a picture that does not load).
void load_palette();
// "..." and "CMap" on the "Custom PNG" row: install a picked PNG file as the
// active segment's custom height or colour map.
void cb_(Fl_Button*, void*);
void cb_CMap(Fl_Button*, void*);
// The hue roller and "Load Palette...".
void cb_1(Fl_Roller*, void*);
void cb_Load(Fl_Button*, void*);
// Connects the segment page's custom-map and palette buttons, and gives
// new_map and the palette commands the map preview and the palette strip
// they refresh.
void attach_segment_maps(Fl_Box* preview, Fl_Palette_Map* palette, Fl_Button* customHeight,
                         Fl_Button* customColour, Fl_Button* loadPalette, Fl_Roller* hue);
