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

// The sections of a level file; a key belongs to one of them.
enum class LevelSection { None, Global, Segment, Trigger, Enemy };

// What the reader passes over without a word. Reading is the same whether or
// not anyone is told.
enum class ReadIssue {
    IgnoredLine,        // neither comment, section head, blank nor key=value
    UnknownHead,        // a bracketed line that is no section head
    UnknownKey,         // ignored
    BadStageKey,        // "stage" without a number, or a suffix other than x..rz, trigger: ignored
    KeyBeforeSection,   // stored all the same; `number` is the record (-1 level-wide)
    KeyInOtherSection,  // stored into record `number` of the key's own section
    NotANumber,         // `number` is what was stored
    IndexOutOfRange,    // palette or stage number out of range: `number` is the one used instead
    CountClamped,       // segments or stageCount beyond the arrays: `number` is what was stored
    RecordsWrapped,     // a head past the capacity: `number` is the record it starts again with
    LongLine,           // over 254 characters; with a key, a later piece was read as that key
    CarriageReturn,     // the line ends in CR LF; the CR is dropped
};

struct ReadNote {
    int line;                  // from 1
    ReadIssue issue;
    LevelSection section;      // the key's or head's section, or the current one
    const char* key;           // the key, the head or the ignored text; null for LongLine alone
    const char* value;         // the value text, or null
    double number;
};

// Told, line by line, what the reader makes of a file: for checking levels.
class LevelReadObserver {
  public:
    virtual ~LevelReadObserver() = default;
    virtual void note(const ReadNote& note) = 0;
    // A section head and the record it makes current (-1 for [global]).
    virtual void head(int line, LevelSection section, int record) = 0;
    // A key that was stored into `record` of its section (-1 for level-wide keys).
    virtual void stored(int line, LevelSection section, int record, const char* key,
                        const char* value) = 0;
};

// Reads a level from `file` into the global records and `out`. The caller
// has reset the records and the selections (new_level) beforehand, and
// closes the file afterwards. On return activeTrigger is the number of
// trigger sections read, activeEnemy the number of enemy models and
// activeSegment 0. An observer, when given, hears of every head, stored key
// and tolerated problem.
void read_level(FILE* file, LevelContents& out, LevelReadObserver* observer = nullptr);

// Writes settings, segments 0..N-1 (N = settings.segments truncated, at most
// 256), triggers 1..triggerCount (at most 255, each with at most 8 stages) and
// enemy models 1..enemyCount (at most 63). False when a write failed.
bool write_level(FILE* file, const LevelSettings& settings, int triggerCount, int enemyCount);

// The explosion duration is held in seconds and written in whole
// milliseconds; a duration read from n milliseconds writes back as n.
float explosion_seconds_from_ms(float ms);
int32_t explosion_ms_from_seconds(float seconds);

// The text write_level gives for the level, without touching any file (the
// text save_level_file writes). False when it could not be made.
bool level_text(const LevelSettings& settings, int triggerCount, int enemyCount, std::string& text);

// The name save_level_file writes for `path`: ".txt" is appended unless the
// path ends in exactly ".txt". False when the result would not fit in 255
// characters.
bool level_file_name(const char* path, std::string& name);

// Writes the level to `path` (see level_file_name). A symbolic link is
// followed to the file it names and stays a link. The file is replaced
// through a short-named temporary file beside it once every write, the sync
// and the close succeeded; the new file keeps the permission bits, and where
// allowed the owner and group, of the one it replaces (a new file gets 0666
// less the umask). A file with more than one hard link, or in a folder where
// no new file can be made, is written in place instead. False on any
// failure, and for a read-only file, which is left as it is; no temporary
// file is left behind.
bool save_level_file(const char* path, const LevelSettings& settings, int triggerCount,
                     int enemyCount);

// The folder part of a path: "." for a bare name, "/" for a file at the root.
std::string folder_of(const std::string& path);
// Writes all of `text` to `fd`, retrying interrupted and partial writes.
// False (with errno set) on a failed write.
bool write_all(int fd, const std::string& text);
