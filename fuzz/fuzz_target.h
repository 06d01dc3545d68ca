// Declares a fuzz target: FUZZ_TARGET(name, data, size) { ... } is the body
// that takes one input. fuzz/fuzz_<name>.cpp holds the target <name>.
//
// In a libFuzzer build (VANTROPE_FUZZER defined) the body is the fuzzer's
// entry point, and the loaders' diagnostics on standard output are sent to
// /dev/null. Everywhere else the body registers itself under its name, and
// the unit tests run it on every input kept in fuzz/corpus/<name>/ and
// fuzz/regressions/<name>/ (inputs a fuzzer once found a fault with), so the
// plain and the sanitizer builds replay them on every run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include <unistd.h>

using FuzzBody = int (*)(const uint8_t* data, size_t size);

// The registered targets by name.
inline std::map<std::string, FuzzBody>& fuzz_targets() {
    static std::map<std::string, FuzzBody> targets;
    return targets;
}

inline bool register_fuzz_target(const char* name, FuzzBody body) {
    fuzz_targets()[name] = body;
    return true;
}

#ifdef VANTROPE_FUZZER
#define FUZZ_TARGET(name, data, size)                                                    \
    static int fuzz_body(const uint8_t*, size_t);                                        \
    extern "C" int LLVMFuzzerInitialize(int*, char***) {                                 \
        FILE* sink = std::freopen("/dev/null", "w", stdout);                             \
        (void)sink;                                                                      \
        return 0;                                                                        \
    }                                                                                    \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t* d, size_t n) { return fuzz_body(d, n); } \
    static int fuzz_body(const uint8_t* data, size_t size)
#else
#define FUZZ_TARGET(name, data, size)                                                     \
    static int fuzz_body(const uint8_t*, size_t);                                         \
    [[maybe_unused]] static const bool fuzz_registered = register_fuzz_target(#name, fuzz_body); \
    static int fuzz_body(const uint8_t* data, size_t size)
#endif

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
