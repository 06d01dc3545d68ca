// The active segment's maps: regeneration, the map preview and showing a
// segment on the "Segments" page.
#pragma once

// Regenerates the active segment's maps and refreshes the map preview.
void new_map();
// Loads the segment page's widgets from segment[activeSegment] (without
// running their callbacks), redraws the palette preview and calls new_map.
void show_segment();
// Connects the custom-map and palette buttons of the segment page.
void attach_segment_map_callbacks();
