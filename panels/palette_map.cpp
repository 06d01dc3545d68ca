#include "panels/palette_map.h"

#include "document/records.h"

#include <FL/fl_draw.H>

#include <vector>

Fl_Palette_Map::Fl_Palette_Map(int x, int y, int w, int h, const char* label)
    : Fl_Box(x, y, w, h, label) {}

void Fl_Palette_Map::draw() {
    const int W = w(), H = h();
    if (W <= 0 || H <= 0) return;
    const uint32_t* palette = segment[activeSegment].palette;
    std::vector<unsigned char> rgb(static_cast<size_t>(W) * H * 3);
    for (int c = 0; c < W; c++) {
        int index = static_cast<int>(static_cast<long long>(c) * 256 / W);
        if (index > 255) index = 255;
        uint32_t word = palette[index];
        for (int r = 0; r < H; r++) {
            unsigned char* p = &rgb[(static_cast<size_t>(r) * W + c) * 3];
            p[0] = word & 0xFF;
            p[1] = (word >> 8) & 0xFF;
            p[2] = (word >> 16) & 0xFF;
        }
    }
    fl_push_clip(x(), y(), W, H);
    fl_draw_image(rgb.data(), x(), y(), W, H, 3);
    fl_pop_clip();
}
