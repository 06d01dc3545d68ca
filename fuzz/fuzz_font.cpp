// Feeds arbitrary bytes to the font loader as a .fnt file, then measures and
// draws the bytes themselves with whatever glyph table came out of it.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "gfx/image.h"
#include "gfx/sprites.h"

namespace {

char fontPath[64];
uint32_t sheetPixels[1];
Image sheet = {1, 1, 1, 1, 0, 0, sheetPixels};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    snprintf(fontPath, sizeof fontPath, "/tmp/fuzz_font_%d.fnt", static_cast<int>(getpid()));
    std::atexit([] { std::remove(fontPath); });
    // The loader's diagnostics would drown the fuzzer's own report.
    FILE* sink = freopen("/dev/null", "w", stdout);
    (void)sink;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* file = fopen(fontPath, "wb");
    if (!file) return 0;
    fwrite(data, 1, size, file);
    fclose(file);

    static FastFont font;
    std::memset(&font, 0, sizeof font);
    loadFastFont(&font, fontPath);
    freeImage(font.bitmap);
    font.bitmap = nullptr;

    // Draw the input as text with the glyphs just read, on a stand-in sheet.
    fastFont[0] = font;
    fastFont[0].bitmap = &sheet;
    char text[256];
    size_t n = size < sizeof text - 1 ? size : sizeof text - 1;
    std::memcpy(text, data, n);
    text[n] = '\0';
    int w = 0, h = 0;
    extentMessage(&w, &h, 0, text);
    drawMessage(w, h, 0, text);
    drawMessageAlpha(-w, h, 0, text, 255);
    drawMessageFormat(0, -h, 0, text);
    fastFont[0].bitmap = nullptr;
    return 0;
}
