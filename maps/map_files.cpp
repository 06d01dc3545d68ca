#include "maps/map_files.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "document/records.h"

bool custom_map_path(const char* levelPath, int segmentIndex, bool colorMap, std::string& out) {
    char name[48];
    std::snprintf(name, sizeof name, colorMap ? "seg%dcolor.png" : "seg%dheight.png", segmentIndex);

    const std::string level = levelPath ? levelPath : "";
    const size_t dot = level.rfind('.');
    std::string path = dot == std::string::npos ? std::string() : level.substr(0, dot);
    path += name;
    if (path.size() > static_cast<size_t>(kTextCapacity - 1)) return false;
    out = path;
    return true;
}

namespace {

bool same_file(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

int file_copy(const char* source, const char* destination) {
    if (!source || !destination) return -1;
    FILE* in = std::fopen(source, "rb");
    if (!in) return -1;

    // Opening the destination with "wb" would empty the source if both name
    // the same file, so that case is settled before the destination is touched.
    struct stat sourceInfo, destinationInfo;
    if (std::strcmp(source, destination) == 0 ||
        (fstat(fileno(in), &sourceInfo) == 0 && stat(destination, &destinationInfo) == 0 &&
         same_file(sourceInfo, destinationInfo))) {
        std::fclose(in);
        return 0;
    }

    FILE* out = std::fopen(destination, "wb");
    if (!out) {
        std::fclose(in);
        return -1;
    }

    bool failed = false;
    char buffer[4096];
    while (!std::feof(in)) {
        const size_t got = std::fread(buffer, 1, sizeof buffer, in);
        if (got == 0) break;
        if (std::fwrite(buffer, 1, got, out) != got) {
            failed = true;
            break;
        }
    }
    if (std::ferror(in)) failed = true;
    std::fclose(in);
    if (std::fclose(out) != 0) failed = true;
    return failed ? -1 : 0;
}

void map_preview_rgb(const Image* map, unsigned char* raw) {
    const size_t bytes = static_cast<size_t>(kMapPreviewSize) * kMapPreviewSize * 3;
    if (!map || !map->pixels || map->width <= 0 || map->height <= 0) {
        std::memset(raw, 0, bytes);
        return;
    }
    const int64_t stride = map->texWidth;
    for (int r = 0; r < kMapPreviewSize; r++) {
        const int64_t column = static_cast<int64_t>(r) * map->width / kMapPreviewSize;
        unsigned char* out = raw + static_cast<size_t>(r) * kMapPreviewSize * 3;
        for (int c = 0; c < kMapPreviewSize; c++) {
            const int64_t row = static_cast<int64_t>(c) * map->height / kMapPreviewSize;
            const uint32_t word = map->pixels[row * stride + column];
            out[0] = static_cast<unsigned char>(word);
            out[1] = static_cast<unsigned char>(word >> 8);
            out[2] = static_cast<unsigned char>(word >> 16);
            out += 3;
        }
    }
}
