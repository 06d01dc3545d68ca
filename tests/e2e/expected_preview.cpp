// Prints what the editor should show for segment 0 of a level file, as a binary PPM on standard
// output: the 256 x 256 map preview made by the reference generators, or with the argument "palette"
// the 180 x 55 palette strip. The end-to-end tests look for them in screenshots.
#include "document/level_file.h"
#include "document/records.h"
#include "tests/reference/visualizations.h"

#include <cstdio>

int main(int argc, char** argv) {
    std::FILE* file = argc == 2 || argc == 3 ? std::fopen(argv[1], "r") : nullptr;
    if (!file) return 1;  // usage: expected_preview level.txt [palette] > picture.ppm
    reset_level_records();
    LevelContents contents;
    read_level(file, contents);
    std::fclose(file);
    const Segment& s = segment[0];
    const bool strip = argc == 3;
    std::vector<uint32_t> map;
    if (!strip) map = reference::picture(s.palette, s.visualization, s.seedA, s.seedB, 256, 256, 256);
    const int w = strip ? 180 : 256, h = strip ? 55 : 256;
    std::printf("P6\n%d %d\n255\n", w, h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            // The strip's column x shows entry x * 256 / 180; the preview shows the map transposed.
            const uint32_t word = strip ? s.palette[x * 256 / 180] : map[x * 256 + y];
            const unsigned char rgb[3] = {static_cast<unsigned char>(word), static_cast<unsigned char>(word >> 8),
                                          static_cast<unsigned char>(word >> 16)};
            std::fwrite(rgb, 1, 3, stdout);
        }
    return 0;
}
