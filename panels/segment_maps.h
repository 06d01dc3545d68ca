// The active segment's maps: regeneration, the map preview and showing a
// segment on the "Segments" page.
#pragma once

struct Image;
class Fl_Button;
class Fl_Roller;

// The active segment's visualization picture (256 x 256), created by the
// first new_map and kept; and its custom colour map, or null.
extern Image* imageVis;
extern Image* colorMap;

// Regenerates the active segment's maps and refreshes the map preview.
void new_map();
// Loads the segment page's widgets from segment[activeSegment] (without
// running their callbacks), redraws the palette preview and calls new_map.
void show_segment();
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
// Connects the custom-map and palette buttons of the segment page.
void attach_segment_map_callbacks();
