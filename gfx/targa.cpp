// Uncompressed 24-bit Targa output.

#include "gfx/sprites.h"

#include <cstdio>
#include <vector>

namespace {

void put16(uint8_t* at, unsigned value) {
    at[0] = static_cast<uint8_t>(value & 0xFF);
    at[1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

}  // namespace

// The 18-byte header (little-endian): no identifier, no colour map, image
// type 2 (uncompressed true colour), origin 0, 0, the size, 24 bits per
// pixel, descriptor 0 (rows stored bottom-up). Then the rows from the bottom
// one up, each pixel as blue, green, red.
//
// Sizes that the header cannot hold (outside 1..65535) and a stride smaller
// than the width, which would make rows overlap, are refused: nothing is
// written and no file is created.
void saveImageTarga(const char* path, const uint32_t* pixels, int width, int height, int stride) {
    if (!path || !pixels || width <= 0 || height <= 0 || width > 0xFFFF || height > 0xFFFF ||
        stride < width)
        return;
    FILE* file = fopen(path, "wb");
    if (!file) return;

    uint8_t header[18] = {};
    header[2] = 2;  // uncompressed true colour
    put16(header + 12, static_cast<unsigned>(width));
    put16(header + 14, static_cast<unsigned>(height));
    header[16] = 24;
    fwrite(header, 1, sizeof header, file);

    std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
    for (int y = height - 1; y >= 0; --y) {
        const uint32_t* in = pixels + static_cast<size_t>(y) * static_cast<size_t>(stride);
        uint8_t* out = row.data();
        for (int x = 0; x < width; ++x) {
            uint32_t w = in[x];
            *out++ = static_cast<uint8_t>((w >> 16) & 0xFF);
            *out++ = static_cast<uint8_t>((w >> 8) & 0xFF);
            *out++ = static_cast<uint8_t>(w & 0xFF);
        }
        fwrite(row.data(), 1, row.size(), file);
    }
    fclose(file);
}
