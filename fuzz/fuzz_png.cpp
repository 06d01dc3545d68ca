// Feeds arbitrary bytes to the PNG reader through a file, as the editor reads
// map, palette and skin pictures, and frees whatever comes back.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "gfx/image.h"

namespace {

char pngPath[64];

void removeTempFile()
{
    remove(pngPath);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // One file per process, so parallel fuzzing jobs don't share it.
    snprintf(pngPath, sizeof pngPath, "/tmp/fuzz_png_%d.png", static_cast<int>(getpid()));
    atexit(removeTempFile);
    // "Couldn't load" lines for every refused input would drown the report.
    FILE* sink = freopen("/dev/null", "w", stdout);
    (void)sink;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FILE* file = fopen(pngPath, "wb");
    if (!file)
        return 0;
    fwrite(data, 1, size, file);
    fclose(file);

    Image* image = loadPng(pngPath);
    if (image) {
        // Touch every word so reads past the buffer would be reported.
        uint32_t sum = 0;
        for (uint32_t i = 0; i < image->texWidth * image->texHeight; ++i)
            sum += image->pixels[i];
        volatile uint32_t keep = sum;
        (void)keep;
    }
    freeImage(image);
    return 0;
}
