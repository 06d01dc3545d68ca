// Pixel buffers with power-of-two dimensions, PNG reading and writing.
//
// A pixel is a packed colour: red in bits 0-7, green 8-15, blue 16-23,
// alpha 24-31. The picture occupies the top-left width x height corner of a
// texWidth x texHeight buffer; the rest of the buffer is zero.
#pragma once

#include <cstdint>

struct Image {
    uint32_t texWidth;   // row stride in pixels, power of two >= width (1..512)
    uint32_t texHeight;  // rows allocated, power of two >= height (1..512)
    int32_t width;
    int32_t height;
    int32_t swizzled;    // pixels rearranged into 16-byte x 8-row blocks
    int32_t inVRam;      // pixels live in the video-memory window: never freed
    uint32_t* pixels;    // texWidth x texHeight words, row-major
};

// Allocates a zero-filled image of width x height (each 1..512).
Image* newImage(int width, int height);
// Frees the image and, unless it lives in the video-memory window, its pixels.
void freeImage(Image* image);
// Reads a PNG file of any colour type into RGBA pixels; null on failure.
Image* loadPng(const char* path);
// Writes width x height pixels (rows `stride` words apart) as 8-bit RGB or RGBA.
void saveImagePng(const char* path, const uint32_t* pixels, int width, int height, int stride,
                  int withAlpha);
