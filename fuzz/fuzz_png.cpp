// Feeds arbitrary bytes to the PNG reader through a file, as the editor reads
// map, palette and skin pictures, and frees whatever comes back.
#include "fuzz/fuzz_target.h"
#include "gfx/image.h"

FUZZ_TARGET(png, data, size) {
    const char* path = fuzz_input_file("png", data, size);
    if (!path) return 0;
    Image* image = loadPng(path);
    if (image) {
        // Touch every word so reads past the buffer would be reported.
        uint32_t sum = 0;
        for (uint32_t i = 0; i < image->texWidth * image->texHeight; ++i) sum += image->pixels[i];
        volatile uint32_t keep = sum;
        (void)keep;
    }
    freeImage(image);
    return 0;
}
