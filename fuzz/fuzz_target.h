// Declares a fuzz target: FUZZ_TARGET(name, data, size) { ... } is the body
// that takes one input; fuzz/fuzz_<name>.cpp holds the target <name>. The
// body is libFuzzer's entry point, and the loaders' diagnostics on standard
// output are sent to /dev/null. Each run starts from the inputs kept in
// fuzz/corpus/<name>/ and fuzz/regressions/<name>/ (inputs a fuzzer once
// found a fault with), so every kept input is run again each time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include <unistd.h>

#define FUZZ_TARGET(name, data, size)                                                    \
    static int fuzz_body(const uint8_t*, size_t);                                        \
    extern "C" int LLVMFuzzerInitialize(int*, char***) {                                 \
        FILE* sink = std::freopen("/dev/null", "w", stdout);                             \
        (void)sink;                                                                      \
        return 0;                                                                        \
    }                                                                                    \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t* d, size_t n) { return fuzz_body(d, n); } \
    static int fuzz_body(const uint8_t* data, size_t size)

// Writes the input to a file of its own (one per process and target, removed
// at exit) for loaders that read from a path; null when that fails.
inline const char* fuzz_input_file(const char* name, const uint8_t* data, size_t size) {
    static std::map<std::string, std::string> paths;
    static const bool cleanup = std::atexit([] {
        for (const auto& p : paths) std::remove(p.second.c_str());
    }) == 0;
    (void)cleanup;
    std::string& path = paths[name];
    if (path.empty()) path = "/tmp/fuzz_" + std::string(name) + "_" + std::to_string(getpid());
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return nullptr;
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written ? path.c_str() : nullptr;
}
