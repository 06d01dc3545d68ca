// Reading and writing level files: a comment line, a [global] section, then
// one [segment], [trigger] and [enemy] section per record in use.
//
// The level-wide settings live in the editor's controls; these functions
// take and give them as a LevelSettings value so that they need no toolkit.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct LevelSettings {
    double duration = 3;
    double segments = 8;
    double bpm = 148;
    double evoDropRate = 8;
    double chaosDropRate = 20;
    double initialEvo = 0;
    double initialChaos = 1;
    std::string song;
};

constexpr int kTriggerLinesMax = 255;  // lines of the trigger browser
constexpr int kEnemyLinesMax = 63;     // lines of the enemy browser

// What reading a level gives besides the records: the settings, and what the
// trigger browser, the enemy browser and the trigger-type choice gain.
struct LevelContents {
    LevelSettings settings;          // start: the values before reading; segments kept in 0..256
    int selectorSegments = 0;        // last positive "segments" value (at most 256), 0 when none
    std::vector<std::string> triggerLines;
    std::vector<std::string> enemyLines;
    std::vector<std::string> triggerTypes;  // distinct, in order of first appearance
};

// Reads a level from `file` into the global records and `out`. The caller
// has reset the records and the selections (new_level) beforehand, and
// closes the file afterwards. On return activeTrigger is the number of
// trigger sections read, activeEnemy the number of enemy models and
// activeSegment 0.
void read_level(FILE* file, LevelContents& out);

// Writes settings, segments 0..N-1 (N = settings.segments truncated, at most
// 256), triggers 1..triggerCount (at most 255, each with at most 8 stages) and
// enemy models 1..enemyCount (at most 63). False when a write failed.
bool write_level(FILE* file, const LevelSettings& settings, int triggerCount, int enemyCount);

// The explosion duration is held in seconds and written in whole
// milliseconds; a duration read from n milliseconds writes back as n.
float explosion_seconds_from_ms(float ms);
int32_t explosion_ms_from_seconds(float seconds);

// The name save_level_file writes for `path`: ".txt" is appended unless the
// path ends in exactly ".txt". False when the result would not fit in 255
// characters.
bool level_file_name(const char* path, std::string& name);

// Writes the level to `path` (see level_file_name) through a temporary file
// beside it that replaces the target only when every write, the flush, the
// sync and the close succeeded. False on any failure; the previous file is
// then untouched and no temporary file is left. The new file keeps the
// permission bits of the file it replaces, otherwise 0666 less the umask.
bool save_level_file(const char* path, const LevelSettings& settings, int triggerCount,
                     int enemyCount);
