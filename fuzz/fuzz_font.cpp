// Feeds arbitrary bytes to the font loader as a .fnt file, then measures and
// draws the bytes themselves with whatever glyph table came out of it.

#include <climits>
#include <cstring>

#include "fuzz/fuzz_target.h"
#include "gfx/image.h"
#include "gfx/sprites.h"

namespace {

// -v, or INT_MAX for INT_MIN: a width or line height may be INT_MIN.
int negated(int v) { return v == INT_MIN ? INT_MAX : -v; }

}  // namespace

FUZZ_TARGET(font, data, size) {
    const char* path = fuzz_input_file("font", data, size);
    if (!path) return 0;

    static FastFont font;
    std::memset(&font, 0, sizeof font);
    loadFastFont(&font, path);
    freeImage(font.bitmap);
    font.bitmap = nullptr;

    // Draw the input as text with the glyphs just read, on a stand-in sheet.
    static uint32_t sheetPixels[1];
    static Image sheet = {1, 1, 1, 1, 0, 0, sheetPixels};
    fastFont[0] = font;
    fastFont[0].bitmap = &sheet;
    char text[256];
    size_t n = size < sizeof text - 1 ? size : sizeof text - 1;
    std::memcpy(text, data, n);
    text[n] = '\0';
    int w = 0, h = 0;
    extentMessage(&w, &h, 0, text);
    drawMessage(w, h, 0, text);
    drawMessageAlpha(negated(w), h, 0, text, 255);
    drawMessageFormat(0, negated(h), 0, text);
    fastFont[0] = FastFont{};
    return 0;
}
