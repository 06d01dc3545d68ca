#include "preview/preview_inputs.h"

#include "panels/segment_maps.h"
#include "panels/segments_page.h"
#include "panels/targets_page.h"

#include <FL/Fl_Browser.H>
#include <FL/Fl_Value_Slider.H>

double preview_map_position() { return mapPosition ? mapPosition->value() : 0.0; }

void preview_set_map_position(double position) {
    if (mapPosition) mapPosition->value(position);
}

int preview_trigger_count() { return triggerList ? triggerList->size() : 0; }

const Image* preview_colour_map() { return colorMap; }
