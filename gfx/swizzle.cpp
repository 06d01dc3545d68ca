// The video-memory window and the block rearrangement ("swizzling") of pixel
// arrays for it.
//
// The window is known by its addresses 0x04154000 .. 0x04200000. On this
// desktop those addresses are not memory, so the window is a static array
// of the same size and an address maps to the byte at (address - kVRamStart)
// in it. Pixel arrays placed there stay valid for the life of the program
// and are never freed.

#include "gfx/sprites.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int swizzleToVRam = 0;
uint32_t nextVRam = kVRamStart;
uint32_t freeVRam = kVRamSize;

namespace {

alignas(64) uint8_t vramWindow[kVRamSize];

constexpr uint32_t kBlockBytes = 16;  // width of a block in bytes
constexpr uint32_t kBlockRows = 8;    // height of a block in rows

}  // namespace

uint8_t* vramPointer(uint32_t address) {
    if (address < kVRamStart || address - kVRamStart >= kVRamSize) return nullptr;
    return vramWindow + (address - kVRamStart);
}

void resetVRam() {
    nextVRam = kVRamStart;
    freeVRam = kVRamSize;
}

// Blocks of 16 bytes x 8 rows are written one after another: left to right
// within a band of 8 rows, bands from top to bottom, and inside a block its
// 8 rows of 16 bytes in order.
//
// Images made by newImage have power-of-two sizes, so a row is either a
// whole number of blocks wide (texWidth >= 4) or narrower than one block,
// and the rows are either a whole number of bands (texHeight >= 8) or fewer
// than one. An image narrower than a block or shorter than a band cannot be
// cut into blocks: it is returned unchanged, still unswizzled (swizzled = 0,
// pixels not moved), so that none of its pixels is lost. An image that is
// already swizzled is also returned unchanged, since a second pass would
// scramble it.
Image* swizzleFast(Image* image) {
    if (!image) return nullptr;
    if (image->swizzled || !image->pixels) return image;
    const size_t rowBytes = static_cast<size_t>(image->texWidth) * 4;
    const size_t rows = image->texHeight;
    if (rowBytes < kBlockBytes || rows < kBlockRows) return image;
    const size_t size = rowBytes * rows;

    uint8_t* dest = nullptr;
    bool toWindow = swizzleToVRam && size <= freeVRam;
    if (toWindow) {
        dest = vramPointer(nextVRam);
        freeVRam -= static_cast<uint32_t>(size);
        nextVRam += static_cast<uint32_t>(size);
        printf("texture to vram\n");
    } else {
        dest = static_cast<uint8_t*>(std::malloc(size));
        if (!dest) return nullptr;
    }

    const uint8_t* src = reinterpret_cast<const uint8_t*>(image->pixels);
    const size_t blocksPerBand = rowBytes / kBlockBytes;
    const size_t bands = rows / kBlockRows;
    uint8_t* out = dest;
    for (size_t band = 0; band < bands; ++band) {
        for (size_t block = 0; block < blocksPerBand; ++block) {
            const uint8_t* in = src + band * kBlockRows * rowBytes + block * kBlockBytes;
            for (uint32_t r = 0; r < kBlockRows; ++r) {
                std::memcpy(out, in + r * rowBytes, kBlockBytes);
                out += kBlockBytes;
            }
        }
    }

    if (!image->inVRam) std::free(image->pixels);
    image->pixels = reinterpret_cast<uint32_t*>(dest);
    image->inVRam = toWindow ? 1 : 0;
    image->swizzled = 1;
    return image;
}
