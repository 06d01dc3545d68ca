#include "document/level_check.h"

#include "document/records.h"
#include "gfx/image.h"
#include "maps/map_files.h"
#include "document/model_paths.h"
#include "document/stored_text.h"

#include <algorithm>
#include <bitset>
#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>

namespace {

constexpr int kTriggersNamed = 10;        // a short song's late triggers named, at most
constexpr double kTempoTolerance = 0.02;  // of the detected tempo

std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* fmt, ...) {
    char text[1024];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(text, sizeof text, fmt, args);
    va_end(args);
    return text;
}

// Text from the file in double quotes: control bytes escaped, long texts cut.
std::string quoted(const char* text) {
    std::string q = "\"";
    size_t n = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; p++, n++) {
        if (n == 60) {
            q += "...";
            break;
        }
        if (*p < 32 || *p == 127 || *p == '"' || *p == '\\') {
            q += format(*p == '"' || *p == '\\' ? "\\%c" : "\\x%02x", *p);
        } else {
            q += static_cast<char>(*p);
        }
    }
    return q + "\"";
}

// A value from the file shown after its key: as quoted() gives it, without the quotes.
std::string plain(const char* text) {
    std::string q = quoted(text);
    return q.substr(1, q.size() - 2);
}

const char* head_name(LevelSection s) {
    switch (s) {
        case LevelSection::Global: return "[global]";
        case LevelSection::Segment: return "[segment]";
        case LevelSection::Trigger: return "[trigger]";
        case LevelSection::Enemy: return "[enemy]";
        case LevelSection::None: break;
    }
    return "no";
}

// Where a key's value went, in words.
std::string destination(LevelSection s, int record) {
    switch (s) {
        case LevelSection::Segment: return format("segment %d", record);
        case LevelSection::Trigger:
            return record == 0 ? "trigger 0, which is never saved" : format("trigger %d", record);
        case LevelSection::Enemy:
            return record == 0 ? "enemy model 0, which is never saved" : format("enemy model %d", record);
        case LevelSection::Global:
        case LevelSection::None: break;
    }
    return "the level-wide settings";
}

bool is_colour_key(const char* key) {
    return std::strncmp(key, "palette", 7) == 0 || std::strcmp(key, "fogColor") == 0 ||
           std::strncmp(key, "explosion", 9) == 0;
}

// The ranges of the editor's widgets for the keys they edit.
struct Range {
    const char* key;
    bool integer;
    double low, high;
    const char* widget;
    const char* unit;
};

const Range kRanges[] = {
    {"duration", false, 1, 1024, "Level Duration (in min)", ""},
    {"segments", true, 4, 256, "Level Segments", ""},
    {"bpm", false, 1, 1024, "Beats per Minute", ""},
    {"isTunnel", true, 0, 1, "Tunnel, not Landscape", ""},
    {"cameraAngle", true, 0, 2, "Camera View", ""},
    {"visualization", true, 0, 4, "Visualization", ""},
    {"seedA", false, -5, 5, "Seed A", ""},
    {"seedB", false, -5, 5, "Seed B", ""},
    {"scale", false, 1, 256, "Height", ""},
    {"length", false, 1, 256, "Length", ""},
    {"fogNear", false, -1e6, 1e6, "Fog Near", ""},
    {"fogFar", false, -1e6, 1e6, "Fog Far", ""},
    {"health", true, 1, 8, "Hit Points", ""},
    {"points", true, 0, 2, "Score", ""},
    {"bonusType", true, 0, 3, "Bonus", ""},
    {"explosionRadius", false, 0, 1000, "Explosion Radius", ""},
    {"explosionHeightScale", false, 0, 1000, "Explosion Height Factor", ""},
    {"explosionDuration", false, 0, 1000000, "Explosion Duration (sec)", " in milliseconds"},
};

// Stage fields by suffix; the stage time has rules of its own.
const Range kStageRanges[] = {
    {"x", false, -200, 200, "x", ""},       {"y", false, -200, 200, "y", ""},
    {"z", false, -8000, 8000, "z", ""},     {"rx", false, -180, 360, "rx", ""},
    {"ry", false, -180, 360, "ry", ""},     {"rz", false, -180, 360, "rz", ""},
};

// A stage key read as the reader reads it: number (0 when out of range) and suffix.
bool stage_key(const char* key, int& stage, std::string& suffix) {
    char* rest = nullptr;
    long n = std::strtol(key + 5, &rest, 10);
    if (rest == key + 5) return false;
    stage = n < 0 || n >= kStageCapacity ? 0 : static_cast<int>(n);
    while (*rest == ' ' || *rest == '\t') rest++;
    suffix.assign(rest, std::strcspn(rest, " \t\n\v\f\r"));
    return true;
}

// Lines where the records' keys stood; 0 when a key did not occur.
struct TriggerLines {
    int head = 0, segment = 0, type = 0, stageCount = 0;
    int time[kStageCapacity] = {};
    int stage[kStageCapacity] = {};  // first key of each stage
};
struct EnemyLines {
    int name = 0, lockOn = 0, explode = 0;
};

class Checker : public LevelReadObserver {
  public:
    explicit Checker(std::vector<LevelDiagnostic>& out) : out_(out) {}

    void note(const ReadNote& n) override;
    void head(int line, LevelSection section, int record) override;
    void stored(int line, LevelSection section, int record, const char* key,
                const char* value) override;

    // The rules that look across records, once the file is read.
    void finish(const char* path, const LevelContents& contents);
    // How many line problems went untold past the limit, as a last
    // diagnostic; false when none did.
    bool untold(LevelDiagnostic& summary) const;

  private:
    // A file of garbage has a problem on every line: past a limit they are
    // only counted. The rules across records are few and always told.
    static constexpr int kLineDiagnostics = 1000;
    bool over_limit(bool error) {
        if (finishing_ || told_ < kLineDiagnostics) return false;
        (error ? moreErrors_ : moreWarnings_)++;
        return true;
    }
    void say(int line, bool error, std::string text) {
        if (over_limit(error)) return;
        if (!finishing_) told_++;
        out_.push_back({line, error, std::move(text)});
    }
    void check_range(int line, const char* key, const char* value, const Range& r);
    void check_segments(const char* path, int segments);
    void check_triggers(int segments, int triggers);
    void check_enemies(const char* path, int enemies);
    void check_song(const char* path, const LevelSettings& settings, int segments, int triggers);

    std::vector<LevelDiagnostic>& out_;
    bool finishing_ = false;
    int told_ = 0, moreErrors_ = 0, moreWarnings_ = 0;
    int notedLine_ = 0;  // the last line the reader had something to say about
    int crlfLines_ = 0;
    size_t crlfAt_ = 0;  // the diagnostic that tells of them
    LevelSection section_ = LevelSection::None;
    // Keys of the current section, for repeats.
    std::unordered_set<std::string> keys_;
    std::bitset<256> paletteKeys_;
    int segmentHead_[kSegmentCapacity] = {};
    int visualizationLine_[kSegmentCapacity] = {};
    TriggerLines trigger_[kTriggerCapacity];
    EnemyLines enemy_[kEnemyModelCapacity];
    int songLine_ = 0;
    std::vector<std::string> enemyNames_;  // as [enemy] sections give them
};

void Checker::note(const ReadNote& n) {
    if (n.issue != ReadIssue::CarriageReturn) notedLine_ = n.line;
    if (over_limit(n.issue == ReadIssue::CountClamped || n.issue == ReadIssue::RecordsWrapped)) return;
    const char* key = n.key ? n.key : "";
    const std::string k = quoted(key);
    switch (n.issue) {
        case ReadIssue::IgnoredLine:
            say(n.line, false, "line ignored: no \"=\" in " + k);
            break;
        case ReadIssue::UnknownHead:
            say(n.line, false, "unknown section head " + k +
                                   " is ignored; the keys after it go on into the section before it");
            break;
        case ReadIssue::UnknownKey: {
            size_t len = std::strlen(key);
            bool blank = len && (key[0] == ' ' || key[0] == '\t' || key[len - 1] == ' ' || key[len - 1] == '\t');
            say(n.line, false, "unknown key " + k + " is ignored" +
                                   (blank ? " (blanks before \"=\" belong to the key)" : ""));
            break;
        }
        case ReadIssue::BadStageKey:
            say(n.line, false, "stage key " + k +
                                   " is ignored: it needs a stage number and then x, y, z, rx, ry, rz or trigger");
            break;
        case ReadIssue::KeyBeforeSection:
            if (n.section == LevelSection::Global)
                say(n.line, false, "level-wide key " + k + " stands before any section head; it belongs under [global]");
            else
                say(n.line, false, "key " + k + " stands before any section head and goes to " +
                                       destination(n.section, static_cast<int>(n.number)));
            break;
        case ReadIssue::KeyInOtherSection:
            if (n.section == LevelSection::Global)
                say(n.line, false, format("level-wide key %s stands in a %s section", k.c_str(), head_name(section_)));
            else
                say(n.line, false, format("%s key %s in a %s section goes to %s",
                                          n.section == LevelSection::Segment   ? "segment"
                                          : n.section == LevelSection::Trigger ? "trigger"
                                                                               : "enemy",
                                          k.c_str(), head_name(section_),
                                          destination(n.section, static_cast<int>(n.number)).c_str()));
            break;
        case ReadIssue::NotANumber:
            if (is_colour_key(key))
                say(n.line, false, format("value %s of %s is not a hexadecimal number (\"0x\"%s and digits); read as 0x%x",
                                          quoted(n.value).c_str(), k.c_str(),
                                          key[0] == 'e' ? " or \"#\"" : "", static_cast<unsigned>(n.number)));
            else
                say(n.line, false, format("value %s of %s is not a number; read as %.9g", quoted(n.value).c_str(),
                                          k.c_str(), n.number));
            break;
        case ReadIssue::IndexOutOfRange:
            if (key[0] == 'p')
                say(n.line, false, "palette key " + k + " names no entry from 0 to 255; it sets entry 0");
            else
                say(n.line, false, "stage key " + k + " names no stage from 0 to 7; it sets stage 0");
            break;
        case ReadIssue::CountClamped:
            if (std::strcmp(key, "segments") == 0)
                say(n.line, true, format("segments=%s is outside 0..256, the segments a level holds; read as %.0f",
                                         plain(n.value).c_str(), n.number));
            else
                say(n.line, true, format("stageCount=%s is outside 0..8, the stages a trigger holds; read as %.0f",
                                         plain(n.value).c_str(), n.number));
            break;
        case ReadIssue::RecordsWrapped:
            if (n.section == LevelSection::Segment)
                say(n.line, true, "more than 256 [segment] sections: this one overwrites segment 0");
            else if (n.section == LevelSection::Trigger)
                say(n.line, true, "more than 255 [trigger] sections: this one overwrites trigger 1");
            else
                say(n.line, true, "more than 63 [enemy] sections: this one overwrites enemy model 1");
            break;
        case ReadIssue::CarriageReturn:
            // One line says it for the whole file.
            if (crlfLines_++ == 0) {
                say(n.line, false, "line ends in CR LF: the editor drops the CR, but a reader that keeps it "
                                   "knows no section heads");
                crlfAt_ = out_.size() - 1;
            }
            break;
        case ReadIssue::LongLine:
            if (n.key)
                say(n.line, false, "part of this long line is read as the key " + k);
            else
                say(n.line, false, "line longer than 254 characters: the rest is read as lines of its own");
            break;
    }
}

void Checker::head(int line, LevelSection section, int record) {
    section_ = section;
    keys_.clear();
    paletteKeys_.reset();
    if (section == LevelSection::Segment) {
        segmentHead_[record] = line;
        visualizationLine_[record] = 0;
    } else if (section == LevelSection::Trigger) {
        trigger_[record] = TriggerLines();
        trigger_[record].head = line;
    } else if (section == LevelSection::Enemy) {
        enemy_[record] = EnemyLines();
    }
}

void Checker::check_range(int line, const char* key, const char* value, const Range& r) {
    if (notedLine_ == line) return;  // the reader has said what is wrong here
    double v = r.integer ? static_cast<double>(std::strtoll(value, nullptr, 10)) : std::strtof(value, nullptr);
    if (v >= r.low && v <= r.high) return;
    say(line, false, format("%s=%s is outside %g..%g, the range of \"%s\"%s", key, plain(value).c_str(), r.low,
                            r.high, r.widget, r.unit));
}

void Checker::stored(int line, LevelSection section, int record, const char* key,
                     const char* value) {
    // Palette lines are nearly all of a level; they only need the repeat test.
    if (key[0] == 'p' && std::strncmp(key, "palette", 7) == 0) {
        long n = std::strtol(key + 7, nullptr, 10);
        size_t entry = n < 0 || n > 255 ? 0 : static_cast<size_t>(n);
        if (paletteKeys_.test(entry))
            say(line, false, format("palette entry %zu is given again in this section; the last value counts", entry));
        paletteKeys_.set(entry);
        return;
    }
    if (!keys_.insert(key).second) {
        if (std::strcmp(key, "enemyModelName") == 0)
            say(line, false, "second enemyModelName in one [enemy] section: the first name is lost and the "
                             "enemy list gains a line for an enemy model without a name");
        else
            say(line, false, "key " + quoted(key) + " is given again in this section; the last value counts");
    }

    for (const Range& r : kRanges)
        if (std::strcmp(key, r.key) == 0) check_range(line, key, value, r);
    for (const char* text : {"song", "triggerType", "enemyModelName", "lockOnSound", "explodeSound"})
        if (std::strcmp(key, text) == 0 && value[writable_length(value)])
            say(line, false, "the text of " + quoted(key) + " holds a control character: the editor keeps only "
                             "what comes before it");

    if (section == LevelSection::Global) {
        if (std::strcmp(key, "song") == 0) songLine_ = line;
    } else if (section == LevelSection::Segment) {
        if (std::strcmp(key, "visualization") == 0) visualizationLine_[record] = line;
    } else if (section == LevelSection::Trigger) {
        TriggerLines& t = trigger_[record];
        int stage = 0;
        std::string suffix;
        if (std::strcmp(key, "triggerSegment") == 0) {
            t.segment = line;
        } else if (std::strcmp(key, "triggerType") == 0) {
            t.type = line;
        } else if (std::strcmp(key, "stageCount") == 0) {
            t.stageCount = line;
            if (notedLine_ != line && trigger[record].stageCount < 2)
                say(line, true, format("stageCount=%d: a path needs 2 to 8 stages", trigger[record].stageCount));
        } else if (stage_key(key, stage, suffix)) {
            if (!t.stage[stage]) t.stage[stage] = line;
            if (suffix == "trigger") t.time[stage] = line;
            for (const Range& r : kStageRanges)
                if (suffix == r.key) check_range(line, key, value, r);
        }
    } else if (section == LevelSection::Enemy) {
        EnemyLines& e = enemy_[record];
        if (std::strcmp(key, "enemyModelName") == 0) {
            e.name = line;
            if (record > 0) enemyNames_.emplace_back(enemyModel[record].enemyModelName);
        } else if (std::strcmp(key, "lockOnSound") == 0) {
            e.lockOn = line;
        } else if (std::strcmp(key, "explodeSound") == 0) {
            e.explode = line;
        }
    }
}

// Custom maps of the Custom PNG segments, and sections past the segment count.
void Checker::check_segments(const char* path, int segments) {
    for (int s = 0; s < kSegmentCapacity; s++) {
        const int line = visualizationLine_[s] ? visualizationLine_[s] : segmentHead_[s];
        if (s >= segments) {
            if (segmentHead_[s])
                say(segmentHead_[s], false, format("the section of segment %d is beyond segments=%d: it is not saved",
                                                   s, segments));
            continue;
        }
        if (segment[s].visualization != 4) continue;
        for (bool colour : {false, true}) {
            const char* what = colour ? "colour map" : "height map";
            std::string map;
            if (!custom_map_path(path, s, colour, map)) {
                say(line, true, format("segment %d: the custom %s's file name would be longer than 255 characters",
                                       s, what));
                continue;
            }
            struct stat st;
            if (stat(map.c_str(), &st) != 0) {
                // The colour map is optional: the palette colours the terrain without it.
                say(line, !colour, format("segment %d uses Custom PNG, but its %s %s is missing", s, what,
                                          map.c_str()));
                continue;
            }
            Image* image = loadPng(map.c_str());
            if (!image) {
                say(line, true, format("segment %d: the %s %s is not a readable PNG file", s, what, map.c_str()));
            } else if (image->width != 256 || image->height != 256) {
                say(line, true, format("segment %d: the %s %s is %d x %d pixels, not 256 x 256", s, what,
                                       map.c_str(), image->width, image->height));
            }
            freeImage(image);
        }
    }
}

void Checker::check_triggers(int segments, int triggers) {
    for (int n = 1; n <= triggers && n < kTriggerCapacity; n++) {
        const Trigger& t = trigger[n];
        const TriggerLines& at = trigger_[n];
        if (t.triggerSegment < 0 || t.triggerSegment >= segments)
            say(at.segment ? at.segment : at.head, true,
                format("trigger %d is in segment %d, which is not one of the level's %d segments", n,
                       t.triggerSegment, segments));
        if (!t.triggerType[0]) {
            say(at.type ? at.type : at.head, true, format("trigger %d has no type: it names no enemy model", n));
        } else if (std::find(enemyNames_.begin(), enemyNames_.end(), t.triggerType) == enemyNames_.end()) {
            say(at.type, true, format("trigger %d's type %s names no enemy model of the level", n,
                                      quoted(t.triggerType).c_str()));
        }
        for (int i = 0; i < t.stageCount && i < kStageCapacity; i++) {
            const float time = t.stage[i].trigger;
            const int line = at.time[i] ? at.time[i] : at.head;
            if (!(time >= 0.0f && time <= 1.0f)) {
                say(line, true, format("trigger %d: the time of stage %d, %g, is outside 0..1", n, i, time));
            } else if (i > 0 && time < t.stage[i - 1].trigger) {
                say(line, true, format("trigger %d: the time of stage %d, %g, is before that of stage %d, %g", n,
                                       i, time, i - 1, t.stage[i - 1].trigger));
            }
        }
        for (int i = t.stageCount; i >= 0 && i < kStageCapacity; i++) {
            if (!at.stage[i]) continue;
            say(at.stage[i], false, format("trigger %d: stage %d is beyond stageCount=%d: it is not saved", n, i,
                                           t.stageCount));
            break;
        }
    }
}

void Checker::check_enemies(const char* path, int enemies) {
    for (int e = 1; e <= enemies && e < kEnemyModelCapacity; e++) {
        const EnemyModel& m = enemyModel[e];
        const EnemyLines& at = enemy_[e];
        if (!at.name) continue;  // added by the reader for a trigger type: reported with the trigger
        std::string found;
        if (!m.enemyModelName[0]) {
            say(at.name, false, format("enemy model %d has no name", e));
        } else if (std::strlen(m.enemyModelName) < kModelNameMinLength) {
            say(at.name, false, format("enemy model name %s is shorter than %zu characters: the preview never "
                                       "looks it up", quoted(m.enemyModelName).c_str(), kModelNameMinLength));
        } else if (!find_model(m.enemyModelName, found)) {
            say(at.name, false, format("enemy model %s is not found in any folder the preview searches "
                                       "(., models/, ../models/, ../../models/ and vantrope/models/ beside them)",
                                       quoted(m.enemyModelName).c_str()));
        }
        const struct {
            const char* sound;
            int line;
            const char* what;
        } sounds[] = {{m.lockOnSound, at.lockOn, "lock-on sound"}, {m.explodeSound, at.explode, "explode sound"}};
        for (const auto& s : sounds) {
            if (!s.sound[0]) continue;
            const std::string file = beside_level(path, s.sound);
            if (!readable_file(file))
                say(s.line, false, format("the %s %s of enemy model %d is not found beside the level (%s)",
                                          s.what, quoted(s.sound).c_str(), e, file.c_str()));
        }
    }
}

bool Checker::untold(LevelDiagnostic& summary) const {
    if (moreErrors_ + moreWarnings_ == 0) return false;
    summary = {0, moreErrors_ > 0,
               format("%d more errors and %d more warnings in the lines after the last one listed are not shown",
                      moreErrors_, moreWarnings_)};
    return true;
}

void Checker::finish(const char* path, const LevelContents& contents) {
    finishing_ = true;
    if (crlfLines_ > 1 && crlfAt_ < out_.size())
        out_[crlfAt_].text += format(" (so do %d more lines)", crlfLines_ - 1);
    const double count = contents.settings.segments;
    const int segments = count >= kSegmentCapacity ? kSegmentCapacity : count > 0 ? static_cast<int>(count) : 0;
    check_segments(path, segments);
    check_triggers(segments, static_cast<int>(contents.triggerLines.size()));
    check_enemies(path, static_cast<int>(contents.enemyLines.size()));
    check_song(path, contents.settings, segments, static_cast<int>(contents.triggerLines.size()));
}

void Checker::check_song(const char* path, const LevelSettings& settings, int segments, int triggers) {
    if (settings.song.empty()) return;
    const LevelSong song = examine_song(path, settings.song);
    const std::string name = quoted(settings.song.c_str());
    if (!song.found) {
        say(songLine_, false, format("the song %s is not found beside the level or in the working directory (%s)",
                                     name.c_str(), song.path.c_str()));
        return;
    }
    if (song.read.problem != SongProblem::none)
        say(songLine_, false, format("the song %s cannot be decoded%s: %s", name.c_str(),
                                     song.read.song ? " completely" : "", song_reason(song.read, settings.song).c_str()));
    if (!song.read.song) return;

    const double seconds = song.read.song->seconds(), levelSeconds = settings.duration * 60.0;
    if (seconds < levelSeconds) {
        std::string text = format("the song %s lasts %s, less than the level's %s (duration=%g)", name.c_str(),
                                  format_song_time(seconds).c_str(), format_song_time(levelSeconds).c_str(),
                                  settings.duration);
        // Segment k starts k segment-lengths into the song.
        const double segmentSeconds = levelSeconds / settings.segments;
        std::string late;
        int count = 0;
        for (int n = 1; n <= triggers && n < kTriggerCapacity; n++) {
            const int k = trigger[n].triggerSegment;
            if (k < 0 || k >= segments || k * segmentSeconds < seconds) continue;
            if (++count <= kTriggersNamed) late += format("%s%d (segment %d)", count > 1 ? ", " : "", n, k);
        }
        if (count > kTriggersNamed) late += format(" and %d more", count - kTriggersNamed);
        if (count > 0)
            text += format(count > 1 ? "; triggers %s start in segments that begin after the song's end"
                                     : "; trigger %s starts in a segment that begins after the song's end",
                           late.c_str());
        say(songLine_, false, text);
    }
    if (song.tempo.found && std::fabs(settings.bpm - song.tempo.bpm) > kTempoTolerance * song.tempo.bpm)
        say(songLine_, false, format("the level's tempo, bpm=%g, differs from the song's detected tempo, %.2f bpm, "
                                     "by %.1f %%", settings.bpm, song.tempo.bpm,
                                     100.0 * std::fabs(settings.bpm - song.tempo.bpm) / song.tempo.bpm));
}

void start_reading(LevelContents& contents) {
    reset_level_records();
    activeSegment = activeTrigger = activeStage = activeEnemy = 0;
    contents = LevelContents();
}

// Opens a level for reading; a folder opens on this platform but is refused.
FILE* open_level(const char* path, std::string& error) {
    FILE* file = std::fopen(path, "r");
    struct stat st;
    if (file && fstat(fileno(file), &st) == 0 && S_ISDIR(st.st_mode)) {
        std::fclose(file);
        file = nullptr;
        errno = EISDIR;
    }
    if (!file) error = std::strerror(errno);
    return file;
}

}  // namespace

LevelSong examine_song(const char* levelPath, const std::string& name, const std::atomic<bool>* cancel) {
    LevelSong song;
    std::error_code error;
    const std::string workingDir = std::filesystem::current_path(error).string();
    song.path = locate_song(name, levelPath, workingDir);
    struct stat st;
    song.found = stat(song.path.c_str(), &st) == 0;
    if (!song.found) return song;
    SongReadOptions options;
    options.cancel = cancel;
    song.read = read_song_file(song.path, name, options);
    if (const Song* s = song.read.song.get())
        song.tempo = detect_tempo(s->samples.data(), static_cast<std::size_t>(s->frames), s->channels, s->rate, cancel);
    return song;
}

std::string song_reason(const SongRead& read, const std::string& name) {
    const std::string named = "Song \"" + name + "\"";
    if (read.message.compare(0, named.size(), named) != 0) return read.message;
    const std::string rest = read.message.substr(named.size());
    return rest.compare(0, 2, ": ") == 0 ? rest.substr(2) : "it" + rest;
}

bool LevelCheck::has_errors() const {
    return std::any_of(diagnostics.begin(), diagnostics.end(), [](const LevelDiagnostic& d) { return d.error; });
}

bool LevelCheck::has_warnings() const {
    return std::any_of(diagnostics.begin(), diagnostics.end(), [](const LevelDiagnostic& d) { return !d.error; });
}

LevelCheck check_level(FILE* file, const char* path) {
    LevelCheck check;
    start_reading(check.contents);
    check.readable = true;
    Checker checker(check.diagnostics);
    read_level(file, check.contents, &checker);
    if (std::ferror(file)) {
        check.readable = false;
        check.diagnostics.assign(1, {0, true, "cannot read the level: read error"});
        return check;
    }
    checker.finish(path, check.contents);
    std::stable_sort(check.diagnostics.begin(), check.diagnostics.end(),
                     [](const LevelDiagnostic& a, const LevelDiagnostic& b) { return a.line < b.line; });
    LevelDiagnostic summary;
    if (checker.untold(summary)) check.diagnostics.push_back(summary);
    return check;
}

LevelCheck check_level(const char* path) {
    std::string error;
    FILE* file = open_level(path, error);
    if (!file) {
        LevelCheck check;
        check.diagnostics.push_back({0, true, "cannot read the level: " + error});
        return check;
    }
    LevelCheck check = check_level(file, path);
    std::fclose(file);
    return check;
}

bool read_level_file(const char* path, LevelContents& contents, std::string& error) {
    FILE* file = open_level(path, error);
    if (!file) return false;
    start_reading(contents);
    read_level(file, contents);
    bool ok = !std::ferror(file);
    std::fclose(file);
    if (!ok) error = "read error";
    return ok;
}

bool readable_file(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st;
    bool regular = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    close(fd);
    return regular;
}

bool find_model(const char* name, std::string& path) {
    if (std::strlen(name) < kModelNameMinLength) return false;
    for (int folder = 0; folder < kModelFolderCount; folder++) {
        std::string candidate;
        if (model_path(folder, name, candidate) && readable_file(candidate)) {
            path = candidate;
            return true;
        }
    }
    return false;
}

std::string beside_level(const char* levelPath, const char* name) {
    if (name[0] == '/') return name;
    const char* slash = std::strrchr(levelPath, '/');
    return std::string(levelPath, slash ? static_cast<size_t>(slash - levelPath + 1) : 0) + name;
}
