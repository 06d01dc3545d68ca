// Feeds arbitrary bytes to the level check: the reader telling what it
// passes over, and the rules that look across the records it read.
#include "document/level_check.h"
#include "fuzz/fuzz_target.h"

FUZZ_TARGET(level_check, data, size) {
    if (size == 0) return 0;
    FILE* in = fmemopen(const_cast<uint8_t*>(data), size, "r");
    if (!in) return 0;
    // Files the level names are looked for beside it, in a folder that is not there.
    check_level(in, "/nonexistent/level.txt");
    std::fclose(in);
    return 0;
}
