// Prints what the editor should show for segment 0 of a level file, as a
// binary PPM on standard output: the 256 x 256 map preview, or with the
// argument "palette" the 180 x 55 palette strip. Used by the end-to-end tests
// to find them in a screenshot.
#include "document/level_file.h"
#include "document/records.h"
#include "gfx/image.h"
#include "maps/generators.h"
#include "maps/map_files.h"

#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s level.txt [palette] > picture.ppm\n", argv[0]);
        return 2;
    }
    std::FILE* file = std::fopen(argv[1], "r");
    if (!file) return 1;
    reset_level_records();
    LevelContents contents;
    read_level(file, contents);
    std::fclose(file);

    const Segment& s = segment[0];
    if (argc == 3) {
        // Column c of the strip shows entry c * 256 / width.
        const int w = 180, h = 55;
        std::printf("P6\n%d %d\n255\n", w, h);
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                uint32_t word = s.palette[x * 256 / w];
                unsigned char rgb[3] = {static_cast<unsigned char>(word), static_cast<unsigned char>(word >> 8),
                                        static_cast<unsigned char>(word >> 16)};
                std::fwrite(rgb, 1, 3, stdout);
            }
        return 0;
    }
    Image* map = newImage(256, 256);
    copyPalette(s.palette);
    // The plasma prints a line; keep standard output for the picture.
    std::FILE* saved = stdout;
    stdout = stderr;
    generateVisualization(s.seedA, s.seedB, map, s.visualization);
    stdout = saved;
    std::vector<unsigned char> raw(256 * 256 * 3);
    map_preview_rgb(map, raw.data());
    std::printf("P6\n256 256\n255\n");
    std::fwrite(raw.data(), 1, raw.size(), stdout);
    freeImage(map);
    return 0;
}
