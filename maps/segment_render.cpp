#include "maps/segment_render.h"

#include "document/records.h"
#include "maps/generators.h"
#include "maps/map_files.h"

#include <png.h>
#include <sys/stat.h>
#include <zlib.h>

#include <csetjmp>
#include <cstdio>

namespace {

constexpr int kMapSize = 256;

bool is_map_size(const Image* image) { return image->width == kMapSize && image->height == kMapSize; }

uint32_t grey(uint32_t index) { return 0xff000000u | (index & 0xffu) * 0x010101u; }

// Loads a custom map; null, with the reason in `error`, when it is missing,
// unreadable or not 256 x 256 pixels.
Image* load_map(const char* levelPath, int index, bool colour, std::string& error) {
    const char* what = colour ? "colour map" : "height map";
    std::string path;
    if (!custom_map_path(levelPath, index, colour, path)) {
        error = std::string("the ") + what + " file name would be longer than 255 characters";
        return nullptr;
    }
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        error = std::string("the ") + what + " " + path + " is missing";
        return nullptr;
    }
    Image* image = loadPng(path.c_str());
    if (!image) {
        error = std::string("the ") + what + " " + path + " is not a readable PNG file";
    } else if (!is_map_size(image)) {
        error = std::string("the ") + what + " " + path + " is not 256 x 256 pixels";
        freeImage(image);
        image = nullptr;
    }
    return image;
}

// What a PNG write holds. libpng reports errors by a long jump, so
// everything to release afterwards lives here, in the caller's frame.
struct PngOut {
    FILE* file;
    png_structp png;
    png_infop info;
    unsigned char row[kMapSize * 3];
};

bool write_rows(PngOut* out, const Image* map, bool grey) {
    if (setjmp(png_jmpbuf(out->png))) return false;
    png_init_io(out->png, out->file);
    // Maps are written often and read rarely: speed before size.
    png_set_compression_level(out->png, Z_BEST_SPEED);
    png_set_filter(out->png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_set_IHDR(out->png, out->info, static_cast<png_uint_32>(map->width), static_cast<png_uint_32>(map->height),
                 8, grey ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(out->png, out->info);
    for (int y = 0; y < map->height; y++) {
        const uint32_t* pixel = map->pixels + static_cast<size_t>(y) * map->texWidth;
        unsigned char* p = out->row;
        for (int x = 0; x < map->width; x++, pixel++) {
            *p++ = static_cast<unsigned char>(*pixel);
            if (grey) continue;
            *p++ = static_cast<unsigned char>(*pixel >> 8);
            *p++ = static_cast<unsigned char>(*pixel >> 16);
        }
        png_write_row(out->png, out->row);
    }
    png_write_end(out->png, nullptr);
    return true;
}

}  // namespace

bool write_map_png(const char* path, const Image* map, bool grey) {
    if (!map || map->width <= 0 || map->width > kMapSize || map->height <= 0) return false;
    PngOut out = {};
    out.file = std::fopen(path, "wb");
    if (!out.file) return false;
    out.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (out.png) out.info = png_create_info_struct(out.png);
    bool ok = out.info && write_rows(&out, map, grey);
    if (out.png) png_destroy_write_struct(&out.png, out.info ? &out.info : nullptr);
    ok = std::fflush(out.file) == 0 && !std::ferror(out.file) && ok;
    ok = std::fclose(out.file) == 0 && ok;
    if (!ok) std::remove(path);
    return ok;
}

SegmentRender render_segment(const char* levelPath, int index, bool colour) {
    SegmentRender out;
    if (index < 0 || index >= kSegmentCapacity) {
        out.error = "no such segment";
        return out;
    }
    const Segment& s = segment[index];
    if (s.visualization != 4) {
        out.map = newImage(kMapSize, kMapSize);
        if (colour) {
            copyPalette(s.palette);
        } else {
            // With a grey ramp in the table, the low byte of a pixel is its index.
            uint32_t ramp[256];
            for (uint32_t i = 0; i < 256; i++) ramp[i] = i * 0x010101u;
            copyPalette(ramp);
        }
        generateVisualization(s.seedA, s.seedB, out.map, s.visualization);
        if (!colour)
            for (int i = 0; i < kMapSize * kMapSize; i++) out.map->pixels[i] = grey(out.map->pixels[i]);
        return out;
    }

    Image* height = load_map(levelPath, index, false, out.error);
    if (!height) return out;
    Image* colourMap = colour ? load_map(levelPath, index, true, out.warning) : nullptr;
    if (colour && !colourMap) out.warning += "; the palette colours the map";
    for (int y = 0; y < kMapSize; y++) {
        for (int x = 0; x < kMapSize; x++) {
            const size_t at = static_cast<size_t>(y) * height->texWidth + x;
            const uint32_t h = height->pixels[at] & 0xffu;
            height->pixels[at] = !colour ? grey(h) : colourMap ? colourMap->pixels[at] : s.palette[h];
        }
    }
    freeImage(colourMap);
    out.map = height;
    return out;
}
