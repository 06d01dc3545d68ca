// Cell cache and the two blitting entry points.

#include "gfx/sprites.h"

#include <cstdio>
#include <cstring>

Cell cell[kCellCapacity];
int cellNext = 0;

int drawSpriteCalls = 0;
int drawSpriteAlphaCalls = 0;
SpriteCall lastSpriteCall = {};

namespace {

constexpr size_t kPathMax = 255;  // characters of a path, without the NUL

// loadPng(name), else loadPng("data/" + name) when that path still fits.
Image* loadWithDataFallback(const char* name) {
    Image* image = loadPng(name);
    if (image) return image;
    char path[kPathMax + 1];
    int n = snprintf(path, sizeof path, "data/%s", name);
    if (n < 0 || static_cast<size_t>(n) > kPathMax) return nullptr;
    return loadPng(path);
}

}  // namespace

Image* loadCell(const char* name) {
    if (!name) return nullptr;
    for (int i = 0; i < cellNext; ++i) {
        if (std::strcmp(cell[i].cellName, name) == 0) return cell[i].cellImage;
    }
    // A name that does not fit in cellName could never be found again, and
    // no path may be that long anyway.
    if (std::strlen(name) > kPathMax) {
        printf("Could not load cell '%s'\n", name);
        return nullptr;
    }
    // Refuse before loading, so that a full cache costs no file read and
    // leaves no image behind.
    if (cellNext >= kCellCapacity) {
        printf("Cell cache full, cannot load '%s'\n", name);
        return nullptr;
    }
    Image* image = loadWithDataFallback(name);
    if (!image) {
        printf("Could not load cell '%s'\n", name);
        return nullptr;
    }
    Cell& entry = cell[cellNext++];
    std::memcpy(entry.cellName, name, std::strlen(name) + 1);
    entry.cellImage = image;
    return image;
}

void drawCell(int x, int y, const char* name) {
    Image* image = loadCell(name);
    if (!image) return;
    printf("Drawing cell '%s', loaded successfully\n", name);
    // The cell is drawn when it touches the screen; the right and bottom
    // edges (x = 480, y = 272) still count. Sums in 64 bits: x may be any int.
    long long right = static_cast<long long>(x) + image->width;
    long long bottom = static_cast<long long>(y) + image->height;
    if (right >= 0 && bottom >= 0 && x <= kSpriteScreenWidth && y <= kSpriteScreenHeight) {
        drawSprite(0, 0, image->width, image->height, image, x, y);
    }
}

void freeCells() {
    for (int i = 0; i < cellNext; ++i) {
        freeImage(cell[i].cellImage);
        cell[i].cellImage = nullptr;
        cell[i].cellName[0] = '\0';
    }
    cellNext = 0;
}

void drawSprite(int srcX, int srcY, int width, int height, Image* sheet, int x, int y) {
    ++drawSpriteCalls;
    lastSpriteCall = {srcX, srcY, width, height, sheet, x, y, -1};
}

void drawSpriteAlpha(int srcX, int srcY, int width, int height, Image* sheet, int x, int y,
                     int alpha) {
    ++drawSpriteAlphaCalls;
    lastSpriteCall = {srcX, srcY, width, height, sheet, x, y, alpha};
}
