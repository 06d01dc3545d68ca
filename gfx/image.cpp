// Pixel buffers and PNG input/output on top of libpng 1.6.
//
// libpng reports fatal errors by long-jumping back to the setjmp point
// registered in its read or write structure. Each setjmp lives in a small
// helper (readPicture, writePicture) that only touches libpng and the job
// record it is handed; everything that must be released after a jump is kept
// in that record, which belongs to the caller's frame. So no local variable of
// the function that called setjmp is read after a jump, and the caller sees
// exactly what was acquired, whatever point the error came from. The helpers
// also hold no C++ objects with destructors, which a long jump would skip.

#include "gfx/image.h"

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Largest picture side: buffers double as textures of at most 512 x 512.
static const uint32_t kMaxSide = 512;

// Installed as libpng's warning callback when reading: warnings (bad CRC in an
// ancillary chunk, unknown sRGB profile and so on) are neither printed nor
// acted upon.
void user_warning_fn(png_structp png, png_const_charp message);

void user_warning_fn(png_structp png, png_const_charp message)
{
    (void)png;
    (void)message;
}

// Smallest power of two not below `size`, for sizes 1..512: start at 512 and
// halve while the size still fits in half of it.
static uint32_t textureSide(uint32_t size)
{
    uint32_t side = kMaxSide;
    while (side > 1 && size <= side / 2)
        side /= 2;
    return side;
}

// Sizes outside 1..512 give null instead of a buffer smaller than the picture
// (the power-of-two search never goes above 512 and needs a positive size).
Image* newImage(int width, int height)
{
    if (width < 1 || height < 1 || width > (int)kMaxSide || height > (int)kMaxSide)
        return nullptr;

    Image* image = (Image*)calloc(1, sizeof(Image));
    if (!image)
        return nullptr;
    image->width = width;
    image->height = height;
    image->texWidth = textureSide((uint32_t)width);
    image->texHeight = textureSide((uint32_t)height);
    image->pixels = (uint32_t*)calloc((size_t)image->texWidth * image->texHeight, sizeof(uint32_t));
    if (!image->pixels) {
        free(image);
        return nullptr;
    }
    return image;
}

void freeImage(Image* image)
{
    if (!image)
        return;
    // A pixel array in the video-memory window is not ours to free.
    if (image->pixels && !image->inVRam)
        free(image->pixels);
    image->pixels = nullptr;
    free(image);
}

namespace {

// Everything loadPng acquires, so that one place can release it whether the
// read finished, was refused, or was cut short by a libpng error.
struct PngReadJob {
    FILE* file;
    png_structp png;
    png_infop info;
    Image* image;
};

// Reads header and pixels into job->image. Returns false on any failure,
// including a libpng error, which arrives here through longjmp.
bool readPicture(PngReadJob* job)
{
    png_structp png = job->png;
    png_infop info = job->info;
    if (setjmp(png_jmpbuf(png)))
        return false;

    png_init_io(png, job->file);
    png_set_sig_bytes(png, 0);
    // Only the pixels and the transparency are used. Skipping every other
    // ancillary chunk unread also keeps a hostile length field (text, profile
    // or unknown chunks claiming a gigabyte) from making libpng allocate and
    // clear a buffer that size before finding the file is short.
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_read_info(png, info);

    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colorType = 0, interlaceType = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, &interlaceType, nullptr,
                 nullptr);
    if (width > kMaxSide || height > kMaxSide)
        return false;

    Image* image = job->image;
    image->width = (int32_t)width;
    image->height = (int32_t)height;
    image->texWidth = textureSide(width);
    image->texHeight = textureSide(height);

    // Turn every colour type and depth into 8-bit R, G, B, A.
    png_set_strip_16(png);
    png_set_packing(png);
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY) {
        if (bitDepth < 8)
            png_set_expand_gray_1_2_4_to_8(png);
        png_set_gray_to_rgb(png);
    }
    if (colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    png_set_filler(png, 0xff, PNG_FILLER_AFTER);
    // An interlaced file arrives in several passes over all rows, each pass
    // filling in its own pixels of rows that already hold the earlier ones.
    int passes = png_set_interlace_handling(png);

    // Zero-filled, so the padding right of and below the picture is black.
    image->pixels =
        (uint32_t*)calloc((size_t)image->texWidth * image->texHeight, sizeof(uint32_t));
    if (!image->pixels)
        return false;

    // libpng writes each row's R, G, B, A bytes straight into the buffer row.
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 y = 0; y < height; ++y)
            png_read_row(png, (png_bytep)(image->pixels + (size_t)y * image->texWidth), nullptr);

    // Pack the bytes into words (a no-op on the little-endian target).
    for (png_uint_32 y = 0; y < height; ++y) {
        uint32_t* row = image->pixels + (size_t)y * image->texWidth;
        for (png_uint_32 x = 0; x < width; ++x) {
            const unsigned char* b = (const unsigned char*)&row[x];
            row[x] = (uint32_t)b[0] | (uint32_t)b[1] << 8 | (uint32_t)b[2] << 16 |
                     (uint32_t)b[3] << 24;
        }
    }

    // Checksums and chunks after the pixels are checked too; a file that is
    // damaged there is refused like one damaged anywhere else.
    png_read_end(png, nullptr);
    return true;
}

struct PngWriteJob {
    FILE* file;
    png_structp png;
    png_infop info;
    png_bytep row;
};

bool writePicture(PngWriteJob* job, const uint32_t* pixels, int width, int height, int stride,
                  int withAlpha)
{
    png_structp png = job->png;
    png_infop info = job->info;
    if (setjmp(png_jmpbuf(png)))
        return false;

    png_init_io(png, job->file);
    // libpng itself refuses sizes that a PNG cannot hold.
    png_set_IHDR(png, info, (png_uint_32)width, (png_uint_32)height, 8,
                 withAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);

    const size_t bytesPerPixel = withAlpha ? 4 : 3;
    job->row = (png_bytep)malloc((size_t)width * bytesPerPixel);
    if (!job->row)
        return false;

    for (int y = 0; y < height; ++y) {
        const uint32_t* src = pixels + (size_t)y * (size_t)stride;
        png_bytep out = job->row;
        for (int x = 0; x < width; ++x) {
            uint32_t w = src[x];
            *out++ = (png_byte)(w & 0xff);
            *out++ = (png_byte)(w >> 8 & 0xff);
            *out++ = (png_byte)(w >> 16 & 0xff);
            if (withAlpha)
                *out++ = (png_byte)(w >> 24 & 0xff);
        }
        png_write_row(png, job->row);
    }
    png_write_end(png, nullptr);
    return true;
}

} // namespace

Image* loadPng(const char* path)
{
    Image* image = (Image*)calloc(1, sizeof(Image));
    if (!image)
        return nullptr;
    FILE* file = fopen(path, "rb");
    if (!file) {
        free(image);
        return nullptr;
    }

    PngReadJob job = {file, nullptr, nullptr, image};
    bool ok = false;
    job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (job.png) {
        // Default error handling (message on stderr, then the long jump);
        // warnings go to user_warning_fn.
        png_set_error_fn(job.png, nullptr, nullptr, user_warning_fn);
        job.info = png_create_info_struct(job.png);
        if (job.info)
            ok = readPicture(&job);
    }

    if (job.png)
        png_destroy_read_struct(&job.png, job.info ? &job.info : nullptr, nullptr);
    fclose(file);
    if (ok)
        return image;

    // The record's address only tells one failed load from another.
    unsigned tag = (unsigned)(uintptr_t)image;
    free(image->pixels);
    free(image);
    printf("Couldn't load %s (%08x)\n", path, tag);
    return nullptr;
}

void saveImagePng(const char* path, const uint32_t* pixels, int width, int height, int stride,
                  int withAlpha)
{
    FILE* file = fopen(path, "wb");
    if (!file)
        return;

    PngWriteJob job = {file, nullptr, nullptr, nullptr};
    job.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (job.png) {
        job.info = png_create_info_struct(job.png);
        if (job.info)
            writePicture(&job, pixels, width, height, stride, withAlpha);
    }

    free(job.row);
    if (job.png)
        png_destroy_write_struct(&job.png, job.info ? &job.info : nullptr);
    fclose(file);
}
