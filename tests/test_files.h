// Temporary folders, whole files and pictures for the unit and GUI tests.
#pragma once

#include "gfx/image.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

// A fresh folder others may enter, removed with everything in it (read-only folders too) when
// the object goes; with `enter`, the working directory meanwhile.
struct TempFolder {
    fs::path dir, previous;
    explicit TempFolder(bool enter = false) {
        char name[] = "/tmp/vantrope_test.XXXXXX";
        dir = mkdtemp(name);
        fs::permissions(dir, fs::perms(0755));
        if (enter) previous = fs::current_path(), fs::current_path(dir);
    }
    ~TempFolder() {
        if (!previous.empty()) fs::current_path(previous);
        for (const auto& e : fs::recursive_directory_iterator(dir))
            if (!e.is_symlink() && e.is_directory()) fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir);
    }
    std::string operator/(const std::string& name) const { return (dir / name).string(); }
};

inline std::string file_text(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
inline void put_file(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
inline size_t entries(const fs::path& dir) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

// Writes a w x h PNG of pixel(x, y), with its alpha bytes or opaque; gives its path.
inline std::string put_png(const std::string& path, int w, int h, const std::function<uint32_t(int, int)>& pixel,
                           bool alpha = true) {
    std::vector<uint32_t> p(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) p[static_cast<size_t>(y) * w + x] = pixel(x, y);
    saveImagePng(path.c_str(), p.data(), w, h, w, alpha);
    return path;
}
