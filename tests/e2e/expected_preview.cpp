// Prints the map preview that the editor should show for segment 0 of a
// level file, as a binary PPM on standard output. Used by the end-to-end
// tests to find the preview in a screenshot.
#include "document/level_file.h"
#include "document/records.h"
#include "gfx/image.h"
#include "maps/generators.h"
#include "maps/map_files.h"

#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s level.txt > preview.ppm\n", argv[0]);
        return 2;
    }
    std::FILE* file = std::fopen(argv[1], "r");
    if (!file) return 1;
    reset_level_records();
    LevelContents contents;
    read_level(file, contents);
    std::fclose(file);

    const Segment& s = segment[0];
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
