// Prints what the editor should show for segment 0 of a level file, as a
// binary PPM on standard output: the 256 x 256 map preview made by the
// reference generators, or with the argument "palette" the 180 x 55 palette
// strip. Used by the end-to-end tests to find them in a screenshot.
#include "document/level_file.h"
#include "document/records.h"
#include "tests/reference/visualizations.h"

#include <cstdio>

namespace {

void put_rgb(uint32_t word) {
    const unsigned char rgb[3] = {static_cast<unsigned char>(word), static_cast<unsigned char>(word >> 8),
                                  static_cast<unsigned char>(word >> 16)};
    std::fwrite(rgb, 1, 3, stdout);
}

}  // namespace

int main(int argc, char** argv) {
    std::FILE* file = argc == 2 || argc == 3 ? std::fopen(argv[1], "r") : nullptr;
    if (!file) return 1;  // usage: expected_preview level.txt [palette] > picture.ppm
    reset_level_records();
    LevelContents contents;
    read_level(file, contents);
    std::fclose(file);

    const Segment& s = segment[0];
    if (argc == 3) {
        // Column c of the strip shows entry c * 256 / width.
        std::printf("P6\n180 55\n255\n");
        for (int y = 0; y < 55; y++)
            for (int x = 0; x < 180; x++) put_rgb(s.palette[x * 256 / 180]);
        return 0;
    }
    if (s.visualization < 0 || s.visualization > 3) return 1;
    const auto map = reference::picture(s.palette, s.visualization, s.seedA, s.seedB, 256, 256, 256);
    // The preview shows the map transposed: row r is map column r.
    std::printf("P6\n256 256\n255\n");
    for (int r = 0; r < 256; r++)
        for (int c = 0; c < 256; c++) put_rgb(map[c * 256 + r]);
    return 0;
}
