// Recovery files: the level as the writer would write it, kept in the
// user's state folder while it differs from the level file, so that work
// survives a crash, a killed process, a closed window or Quit, and is
// offered back when the level is opened again.
//
// A recovery file is a level file with a header of comment lines before it:
//   # Vantrope recovery file
//   # level=<the level's full path, empty for a new level never saved>
//   # saved=<seconds>.<nanoseconds since the epoch>
//   # pid=<the process that wrote it>
//   # size=<bytes of the level text>
//   # hash=<16 hexadecimal digits of the level text's FNV-1a hash>
// then the level text. A backslash and a line feed in the path are written
// as "\\" and "\n". The size and the hash find a truncated or damaged file.
#pragma once

#include <ctime>
#include <string>

// $XDG_STATE_HOME/vantrope-editor when that is an absolute path, else
// $HOME/.local/state/vantrope-editor; "" when neither is known.
std::string recovery_folder();

// The full path of the file that Save writes for the level name
// `currentlevel` (".txt" appended as the writer does, relative names taken
// from the working directory, links resolved where they exist). "" when Save
// would ask for a name instead (four characters or fewer) or cannot write it.
std::string recovery_level_key(const char* currentlevel);

// The recovery file in `folder` for the level `key`: a readable stem from
// its base name and a hash of the whole path, so that levels of the same
// name in different folders never share one. A new level never saved ("")
// gets a name of this process's own.
std::string recovery_file_for(const std::string& folder, const std::string& key);

struct Recovery {
    std::string level;          // the level's full path, "" for a new level
    timespec saved{};           // when it was written
    long pid = 0;               // the process that wrote it
    std::string text;           // the level text
};

enum class RecoveryRead { Ok, Missing, Unreadable, NotRecovery, Truncated };

// The whole file as written, and back. Parsing fails with NotRecovery
// without the header and Truncated when the text is not the one recorded.
std::string recovery_contents(const Recovery& recovery);
RecoveryRead parse_recovery(const std::string& contents, Recovery& out);
RecoveryRead read_recovery(const std::string& path, Recovery& out);

// Writes through a temporary file renamed over `path`, making the folder
// when it is missing. On failure gives the reason and leaves nothing behind.
bool write_recovery(const std::string& path, const Recovery& recovery, std::string& error);
// Renames the file to <path>.old, replacing an older one: one generation kept.
bool move_recovery_aside(const std::string& path);

// The newest recovery file of a new level in `folder` whose writer is no
// longer running ("" when none). Unreadable folders set `error`.
std::string newest_new_level_recovery(const std::string& folder, std::string& error);

// The time as the question shows it: local "YYYY-MM-DD HH:MM:SS".
std::string recovery_time_text(const timespec& when);

// What opening a level finds in the recovery folder.
struct RecoveryOffer {
    enum Kind { Nothing, Ask, Bad } kind = Nothing;
    std::string file;           // the recovery file
    Recovery recovery;          // for Ask
    std::string problem;        // for Bad: what is wrong, for the status row
};

// For the level `key` whose file holds `levelText`: its recovery file when it
// is newer than the level file and holds other text. For a new level (key
// ""), the newest of a new level that another, ended editor left, when it
// differs from `levelText`. A damaged recovery file is moved aside (Bad).
RecoveryOffer find_recovery(const std::string& folder, const std::string& key,
                            const std::string& levelText);

// The recovery file of the level one editor holds: written while the
// level's text differs from what the level file holds, removed when it
// matches again or the level is saved.
class Autosaver {
  public:
    enum class Result { Unchanged, Written, Removed, Failed };

    // The level `key`, just read or started, whose text is `cleanText`.
    void hold(const std::string& folder, const std::string& key, const std::string& cleanText);
    // The recovery file `file`, whose level the editor now holds, becomes
    // the level's own.
    void adopt(const std::string& file, Recovery recovery);
    // Writes or removes the recovery file as `text` asks.
    Result update(const std::string& text, std::string& error);
    // The level was written to the file of `key` with `text`: removes the
    // recovery file held so far and the one of `key`.
    void saved(const std::string& key, const std::string& text);

    const std::string& file() const { return file_; }

  private:
    std::string folder_, key_, file_, clean_, written_;
    bool hasFile_ = false;
};
