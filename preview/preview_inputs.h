// What the perspective preview reads from the editor's controls. The
// preview declares these; the layer that owns the widgets defines them
// (panels/preview_inputs.cpp), so the preview depends on no page.
#pragma once

struct Image;

// The "Pos" value: the player's progress through the active segment.
double preview_map_position();
// A right-button drag in the preview moves "Pos" (without its callback).
void preview_set_map_position(double position);
// How many triggers the trigger list holds.
int preview_trigger_count();
// The active segment's custom colour map, or null when it has none.
const Image* preview_colour_map();
