#include "panels/segment_maps.h"

#include "app/dialogs.h"
#include "app/widget_helpers.h"
#include "document/records.h"
#include "gfx/image.h"
#include "maps/generators.h"
#include "maps/map_files.h"
#include "maps/palette.h"
#include "panels/palette_map.h"
#include "preview/perspective_preview_ui.h"

#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Roller.H>

#include <cstdio>
#include <string>

Image* imageVis = nullptr;
Image* colorMap = nullptr;

namespace {

// The segment page's map preview and palette strip.
Fl_Box* mapBox = nullptr;
Fl_Palette_Map* paletteStrip = nullptr;

const char kNotPng[] = "Unable to load image.  Is it a valad PNG?";

// The preview's pixels; the preview image refers to this storage.
unsigned char raw[kMapPreviewSize * kMapPreviewSize * 3];

// Custom maps must be exactly 256 x 256 pixels, which is what the messages ask for.
bool is_map_size(const Image* image) { return image->width == 256 && image->height == 256; }

// The custom map path of the active segment, or false (after telling the
// user) when it would not fit in a path.
bool active_map_path(bool colour, std::string& path) {
    if (custom_map_path(currentlevel, activeSegment, colour, path)) return true;
    dialog_alert("The custom %s map file name for segment %d would be longer than 255 characters.\n"
                 "Save the level under a shorter name first.",
                 colour ? "colour" : "height", activeSegment);
    return false;
}

void replace_visualization(Image* loaded) {
    freeImage(imageVis);
    imageVis = loaded;
}

// Copies a chosen picture to `path` and loads it; on success the loaded map
// is returned, otherwise the user is told why and null is returned.
Image* install_map(const std::string& chosen, const std::string& path) {
    file_copy(chosen.c_str(), path.c_str());
    Image* loaded = loadPng(path.c_str());
    if (!loaded) {
        dialog_alert("%s", kNotPng);
        return nullptr;
    }
    if (!is_map_size(loaded)) {
        dialog_alert("Image must be 256x256 not %dx%d\n", loaded->width, loaded->height);
        freeImage(loaded);
        return nullptr;
    }
    return loaded;
}

void load_custom_height_map() {
    std::string path;
    if (!active_map_path(false, path)) return;
    if (Image* loaded = loadPng(path.c_str())) {
        if (is_map_size(loaded)) {
            replace_visualization(loaded);
        } else {
            dialog_alert("height image is not the required 256x256");
            freeImage(loaded);
        }
        return;
    }
    if (!dialog_ask("Couldn't find custom level file\n%s\nSearch for one now?", path.c_str())) return;
    const char* picked = dialog_file_chooser("Open Level File", "*.png", nullptr, 0);
    if (!picked) return;
    if (Image* loaded = install_map(picked, path)) replace_visualization(loaded);
}

void load_custom_colour_map() {
    std::string path;
    if (!custom_map_path(currentlevel, activeSegment, true, path)) return;  // reported for the height map
    Image* loaded = loadPng(path.c_str());
    if (!loaded) return;  // a colour map is optional
    if (!is_map_size(loaded)) {
        dialog_alert("Color map is not the required 256x256");
        freeImage(loaded);
        return;
    }
    colorMap = loaded;
}

void install_custom_map(bool colour) {
    std::string path;
    if (!active_map_path(colour, path)) return;
    const char* picked = dialog_file_chooser(colour ? "Open Color Map File" : "Open Height Map File",
                                             "*.png", nullptr, 0);
    if (!picked) return;
    // The file stays in place whatever the check says; new_map uses it.
    freeImage(install_map(picked, path));
    new_map();
}

}  // namespace

void cb_(Fl_Button*, void*) { install_custom_map(false); }
void cb_CMap(Fl_Button*, void*) { install_custom_map(true); }

void cb_1(Fl_Roller* roller, void*) {
    hue_palette(static_cast<float>(roller->value()));
    paletteStrip->redraw();
    genTerrain();
    new_map();
}

void cb_Load(Fl_Button*, void*) {
    load_palette();
    paletteStrip->redraw();
    new_map();
}

void load_palette() {
    for (;;) {
        const char* picked = dialog_file_chooser("Open PNG Image", "*.png", nullptr, 0);
        if (!picked) break;
        Image* picture = loadPng(picked);
        if (!picture) {
            if (dialog_ask("Not a valid PNG.  Try another?")) continue;
            break;
        }
        palette_from_image(picture, segment[activeSegment].palette);
        freeImage(picture);
        paletteStrip->redraw();
        break;
    }
    genTerrain();
    new_map();
}

void new_map() {
    const Segment& s = segment[activeSegment];
    if (!imageVis) imageVis = newImage(256, 256);
    copyPalette(s.palette);
    freeImage(colorMap);
    colorMap = nullptr;
    if (s.visualization != 4) {
        generateVisualization(s.seedA, s.seedB, imageVis, s.visualization);
    } else {
        load_custom_height_map();
        load_custom_colour_map();
    }

    map_preview_rgb(imageVis, raw);
    Fl_Image* previous = mapBox->image();
    mapBox->image(new Fl_RGB_Image(raw, kMapPreviewSize, kMapPreviewSize, 3));
    delete previous;

    std::puts("New map generated.");
    std::fflush(stdout);
    mapBox->redraw();
    if (perspectivePreview) perspectivePreview->redraw();
}

void attach_segment_maps(Fl_Box* preview, Fl_Palette_Map* palette, Fl_Button* customHeight,
                         Fl_Button* customColour, Fl_Button* loadPalette, Fl_Roller* hue) {
    mapBox = preview;
    paletteStrip = palette;
    customHeight->callback(CB(cb_));
    customColour->callback(CB(cb_CMap));
    loadPalette->callback(CB(cb_Load));
    hue->callback(CB(cb_1));
}
