// Feeds arbitrary bytes to the level reader, then writes what it read.
#include "document/level_file.h"
#include "document/records.h"
#include "fuzz/fuzz_target.h"

FUZZ_TARGET(level, data, size) {
    reset_level_records();
    activeSegment = activeTrigger = activeStage = activeEnemy = 0;
    LevelContents out;
    FILE* in = size ? fmemopen(const_cast<uint8_t*>(data), size, "r") : nullptr;
    read_level(in, out);
    if (in) std::fclose(in);

    static FILE* sink = std::fopen("/dev/null", "w");
    write_level(sink, out.settings, static_cast<int>(out.triggerLines.size()),
                static_cast<int>(out.enemyLines.size()));
    std::fflush(sink);
    return 0;
}
