// Level file reader and writer. See level_file.h for the layout.
#include "document/level_file.h"

#include "document/records.h"

#include <climits>
#include <cstdarg>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>

namespace {

// A line is read in pieces of at most 254 characters (fgets with 255).
constexpr int kLineBuffer = 256;
constexpr int kPieceRead = 255;

int32_t clamp_int32(long long v) {
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(v);
}

// Whole number toward zero, saturating at the int32 range; NaN gives 0.
int32_t truncate_int32(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(v);
}

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Decimal integer after optional blanks and sign; 0 when there is none.
// `ok` tells whether digits were found, `end` where they stopped.
int32_t parse_int(const char* s, bool* ok = nullptr, const char** end = nullptr) {
    char* stop = nullptr;
    long long v = std::strtoll(s, &stop, 10);
    bool found = stop != s;
    if (ok) *ok = found;
    if (end) *end = found ? stop : s;
    if (!found) return 0;
    return clamp_int32(v);  // strtoll saturates at its own range on overflow
}

float parse_float(const char* s) {
    char* stop = nullptr;
    float v = std::strtof(s, &stop);
    return stop == s ? 0.0f : v;
}

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Hexadecimal digits, saturating at 0xffffffff; 0 when there are none.
uint32_t parse_hex_digits(const char* s) {
    uint64_t v = 0;
    for (; hex_digit(*s) >= 0; s++) {
        v = v * 16 + static_cast<uint64_t>(hex_digit(*s));
        if (v > UINT32_MAX) v = UINT32_MAX + uint64_t{1};  // keep it from growing further
    }
    return v > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(v);
}

// "0x" then hexadecimal digits; with `hash_too` also "#" then digits.
uint32_t parse_hex(const char* s, bool hash_too) {
    if (s[0] == '0' && s[1] == 'x') return parse_hex_digits(s + 2);
    if (hash_too && s[0] == '#') return parse_hex_digits(s + 1);
    return 0;
}

void add_distinct(std::vector<std::string>& list, std::unordered_set<std::string>& seen,
                  const char* text) {
    if (seen.insert(text).second) list.emplace_back(text);
}

void keep_index(int& index, int lowest, int highest) {
    if (index < lowest || index > highest) index = lowest;
}

// Reads the next piece of a line into `buf`, cut at its line feed, with a
// carriage return right before the line feed dropped. Gives the first "=" of
// the piece in `eq` (null when there is none). False at the end.
bool read_piece(FILE* file, char* buf, char*& eq) {
    if (!std::fgets(buf, kPieceRead, file)) return false;
    eq = nullptr;
    char* p = buf;
    for (; *p && *p != '\n'; p++)
        if (*p == '=' && !eq) eq = p;
    if (*p == '\n') {
        *p = '\0';
        if (p > buf && p[-1] == '\r') p[-1] = '\0';
        return true;
    }
    // A full piece that ends in CR: if the line feed comes next, the line
    // ends here, just as it would have without the CR.
    size_t len = static_cast<size_t>(p - buf);
    if (len == kPieceRead - 1 && buf[len - 1] == '\r') {
        int next = std::getc(file);
        if (next == '\n') {
            buf[len - 1] = '\0';
        } else if (next != EOF) {
            std::ungetc(next, file);
        }
    }
    return true;
}

bool starts_with(const char* text, const char* prefix) {
    for (; *prefix; prefix++, text++)
        if (*text != *prefix) return false;
    return true;
}

void apply_head(const char* line, int& segmentHeads, LevelContents& out) {
    if (std::strcmp(line, "[segment]") == 0) {
        // Only whether a head came before matters; the count stops at 2.
        if (segmentHeads > 0) activeSegment++;
        if (segmentHeads < 2) segmentHeads++;
        if (activeSegment > kSegmentCapacity - 1) activeSegment = 0;
    } else if (std::strcmp(line, "[trigger]") == 0) {
        activeTrigger++;
        if (activeTrigger > kTriggerCapacity - 1) {
            activeTrigger = 1;
        } else if (static_cast<int>(out.triggerLines.size()) < kTriggerLinesMax) {
            char label[32];
            std::snprintf(label, sizeof label, "[trigger]%03d",
                          static_cast<int>(out.triggerLines.size()) + 1);
            out.triggerLines.emplace_back(label);
        }
    } else if (std::strcmp(line, "[enemy]") == 0) {
        activeEnemy++;
        if (activeEnemy > kEnemyModelCapacity - 1) activeEnemy = 1;
    }
}

void apply_stage_key(const char* key, const char* value) {
    const char* rest = nullptr;
    bool ok = false;
    int n = parse_int(key + 5, &ok, &rest);
    if (!ok) return;
    if (n < 0 || n >= kStageCapacity) n = 0;
    // The suffix is the next run of non-blank characters.
    while (is_blank(*rest)) rest++;
    size_t len = 0;
    while (rest[len] && !is_blank(rest[len])) len++;
    auto is = [&](const char* suffix) {
        return std::strlen(suffix) == len && std::strncmp(rest, suffix, len) == 0;
    };
    Stage& st = trigger[activeTrigger].stage[n];
    float* field = is("x")         ? &st.x
                   : is("y")       ? &st.y
                   : is("z")       ? &st.z
                   : is("rx")      ? &st.rx
                   : is("ry")      ? &st.ry
                   : is("rz")      ? &st.rz
                   : is("trigger") ? &st.trigger
                                   : nullptr;
    if (field) *field = parse_float(value);
}

struct Reader {
    LevelContents& out;
    std::unordered_set<std::string> typesSeen;

    void apply_key(const char* key, const char* value);
};

void Reader::apply_key(const char* key, const char* value) {
    Segment& seg = segment[activeSegment];
    Trigger& trg = trigger[activeTrigger];
    EnemyModel& enm = enemyModel[activeEnemy];
    LevelSettings& set = out.settings;
    auto is = [key](const char* k) { return std::strcmp(key, k) == 0; };

    // Palette lines are the most frequent. Checking their prefix first keeps
    // the documented order, since no key compared before it starts with "palette".
    if (starts_with(key, "palette")) {
        int n = parse_int(key + 7);
        if (n < 0 || n > 255) n = 0;
        seg.palette[n] = parse_hex(value, false);
    } else if (is("segments")) {
        int32_t n = parse_int(value);
        if (n > kSegmentCapacity) n = kSegmentCapacity;
        if (n < 0) n = 0;
        set.segments = n;
        if (n > 0) out.selectorSegments = n;
    } else if (is("duration")) {
        set.duration = parse_float(value);
    } else if (is("bpm")) {
        set.bpm = parse_float(value);
    } else if (is("evoDropRate")) {
        set.evoDropRate = parse_float(value);
    } else if (is("chaosDropRate")) {
        set.chaosDropRate = parse_float(value);
    } else if (is("initialChaos")) {
        set.initialChaos = parse_float(value);
    } else if (is("initialEvo")) {
        set.initialEvo = parse_float(value);
    } else if (is("song")) {
        set.song = value;
    } else if (is("isTunnel")) {
        seg.isTunnel = parse_int(value) != 0;
    } else if (is("visualization")) {
        seg.visualization = parse_int(value);
    } else if (is("cameraAngle")) {
        seg.cameraAngle = parse_int(value);
    } else if (is("fogNear")) {
        seg.fogNear = parse_float(value);
    } else if (is("fogFar")) {
        seg.fogFar = parse_float(value);
    } else if (is("fogColor")) {
        seg.fogColor = parse_hex(value, false);
    } else if (is("scale")) {
        seg.scale = parse_float(value);
    } else if (is("length")) {
        seg.length = parse_float(value);
    } else if (is("seedA")) {
        seg.seedA = parse_float(value);
    } else if (is("seedB")) {
        seg.seedB = parse_float(value);
    } else if (is("triggerType")) {
        copy_text(trg.triggerType, value);
        add_distinct(out.triggerTypes, typesSeen, trg.triggerType);
    } else if (is("triggerSegment")) {
        trg.triggerSegment = parse_int(value);
    } else if (is("health")) {
        trg.health = parse_int(value);
    } else if (is("points")) {
        trg.points = parse_int(value);
    } else if (is("bonusType")) {
        trg.bonusType = parse_int(value);
    } else if (is("stageCount")) {
        int32_t n = parse_int(value);
        trg.stageCount = n < 0 ? 0 : n > kStageCapacity ? kStageCapacity : n;
    } else if (starts_with(key, "stage")) {
        apply_stage_key(key, value);
    } else if (is("enemyModelName")) {
        copy_text(enm.enemyModelName, value);
        if (static_cast<int>(out.enemyLines.size()) < kEnemyLinesMax)
            out.enemyLines.emplace_back(enm.enemyModelName);
    } else if (is("explosionFirstColor")) {
        enm.explosionFirstColor = parse_hex(value, true);
    } else if (is("explosionLastColor")) {
        enm.explosionLastColor = parse_hex(value, true);
    } else if (is("explosionDuration")) {
        enm.explosionDuration = explosion_seconds_from_ms(parse_float(value));
    } else if (is("explosionRadius")) {
        enm.explosionRadius = parse_float(value);
    } else if (is("explosionHeightScale")) {
        enm.explosionHeightScale = parse_float(value);
    } else if (is("lockOnSound")) {
        copy_text(enm.lockOnSound, value);
    } else if (is("explodeSound")) {
        copy_text(enm.explodeSound, value);
    }
}

// Gives every trigger type that no enemy record names an enemy model of its own.
void add_missing_enemies(LevelContents& out) {
    int triggers = static_cast<int>(out.triggerLines.size());
    for (int t = 1; t <= triggers && t < kTriggerCapacity; t++) {
        const char* type = trigger[t].triggerType;
        bool found = false;
        for (const EnemyModel& e : enemyModel) {
            if (std::strcmp(e.enemyModelName, type) == 0) {
                found = true;
                break;
            }
        }
        if (found || static_cast<int>(out.enemyLines.size()) >= kEnemyLinesMax) continue;
        activeEnemy++;
        if (activeEnemy > kEnemyModelCapacity - 1) activeEnemy = 1;
        copy_text(enemyModel[activeEnemy].enemyModelName, type);
        out.enemyLines.emplace_back(enemyModel[activeEnemy].enemyModelName);
    }
}

// Prints the writer's lines; after the first failed write it prints nothing more.
struct Writer {
    FILE* f;
    bool ok = true;

    void line(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void palette(const Palette& palette);
};

// The 256 palette lines are most of a level file, so they are formatted here
// rather than by printf ("palette%d=0x%06x" with the alpha byte masked off)
// and written in one piece.
void Writer::palette(const Palette& palette) {
    static const char digits[] = "0123456789abcdef";
    char block[256 * 20];
    char* p = block;
    for (int i = 0; i < 256; i++) {
        std::memcpy(p, "palette", 7);
        p += 7;
        if (i >= 100) *p++ = static_cast<char>('0' + i / 100);
        if (i >= 10) *p++ = static_cast<char>('0' + i / 10 % 10);
        *p++ = static_cast<char>('0' + i % 10);
        *p++ = '=';
        *p++ = '0';
        *p++ = 'x';
        for (int shift = 20; shift >= 0; shift -= 4) *p++ = digits[(palette[i] >> shift) & 15];
        *p++ = '\n';
    }
    size_t size = static_cast<size_t>(p - block);
    if (ok && std::fwrite(block, 1, size, f) != size) ok = false;
}

void Writer::line(const char* format, ...) {
    if (!ok) return;
    va_list args;
    va_start(args, format);
    if (std::vfprintf(f, format, args) < 0) ok = false;
    va_end(args);
}

int clamp_count(int n, int highest) { return n < 0 ? 0 : n > highest ? highest : n; }

}  // namespace

float explosion_seconds_from_ms(float ms) { return ms / 1000.0f; }

int32_t explosion_ms_from_seconds(float seconds) {
    // The product of a float and 1000 is exact in double precision.
    double product = static_cast<double>(seconds) * 1000.0;
    if (!(std::fabs(product) < 2147483648.0)) return truncate_int32(product);
    // A duration read from n milliseconds is the float nearest n/1000, which
    // may lie just below it, so plain truncation would give n - 1. When the
    // value is exactly what reading the nearest whole number gives, write that.
    double nearest = std::nearbyint(product);
    if (explosion_seconds_from_ms(static_cast<float>(nearest)) == seconds)
        return static_cast<int32_t>(nearest);
    return truncate_int32(product);
}

void read_level(FILE* file, LevelContents& out) {
    keep_index(activeSegment, 0, kSegmentCapacity - 1);
    keep_index(activeTrigger, 0, kTriggerCapacity - 1);
    keep_index(activeEnemy, 0, kEnemyModelCapacity - 1);

    Reader reader{out, {}};
    for (const std::string& t : out.triggerTypes) reader.typesSeen.insert(t);

    int segmentHeads = 0;
    char buf[kLineBuffer];
    char* eq = nullptr;
    while (file && read_piece(file, buf, eq)) {
        if (buf[0] == '#') continue;
        if (buf[0] == '[') apply_head(buf, segmentHeads, out);
        if (!eq) continue;
        *eq = '\0';
        reader.apply_key(buf, eq + 1);
    }
    add_missing_enemies(out);
    activeSegment = 0;
}

bool write_level(FILE* file, const LevelSettings& settings, int triggerCount, int enemyCount) {
    if (!file) return false;
    Writer w{file};
    w.line("# Autogenerated level created in Vantrope Editor\n");
    w.line("[global]\n");
    w.line("duration=%f\n", settings.duration);
    w.line("segments=%.0f\n", settings.segments);
    w.line("bpm=%f\n", settings.bpm);
    w.line("chaosDropRate=%d\n", truncate_int32(settings.chaosDropRate));
    w.line("initialChaos=%d\n", truncate_int32(settings.initialChaos));
    w.line("evoDropRate=%d\n", truncate_int32(settings.evoDropRate));
    w.line("initialEvo=%d\n", truncate_int32(settings.initialEvo));
    w.line("song=%s\n", settings.song.c_str());
    w.line("\n");

    int segments = clamp_count(truncate_int32(settings.segments), kSegmentCapacity);
    for (int s = 0; s < segments && w.ok; s++) {
        const Segment& seg = segment[s];
        w.line("[segment]\n");
        w.line("isTunnel=%d\n", seg.isTunnel ? 1 : 0);
        w.line("seedA=%f\n", seg.seedA);
        w.line("seedB=%f\n", seg.seedB);
        w.line("length=%f\n", seg.length);
        w.line("scale=%f\n", seg.scale);
        w.line("cameraAngle=%d\n", seg.cameraAngle);
        w.line("visualization=%d\n", seg.visualization);
        w.line("fogNear=%f\n", seg.fogNear);
        w.line("fogFar=%f\n", seg.fogFar);
        w.line("fogColor=0x%06x\n", seg.fogColor);
        w.palette(seg.palette);
        w.line("\n");
    }

    int triggers = clamp_count(triggerCount, kTriggerLinesMax);
    for (int t = 1; t <= triggers && w.ok; t++) {
        const Trigger& trg = trigger[t];
        int stages = clamp_count(trg.stageCount, kStageCapacity);
        w.line("[trigger]\n");
        w.line("triggerType=%.255s\n", trg.triggerType);
        w.line("triggerSegment=%d\n", trg.triggerSegment);
        w.line("health=%d\n", trg.health);
        w.line("points=%d\n", trg.points);
        w.line("bonusType=%d\n", trg.bonusType);
        w.line("stageCount=%d\n", stages);
        for (int i = 0; i < stages; i++) {
            const Stage& st = trg.stage[i];
            w.line("stage%dtrigger=%g\n", i, st.trigger);
            w.line("stage%dx=%g\n", i, st.x);
            w.line("stage%dy=%g\n", i, st.y);
            w.line("stage%dz=%g\n", i, st.z);
            w.line("stage%drx=%g\n", i, st.rx);
            w.line("stage%dry=%g\n", i, st.ry);
            w.line("stage%drz=%g\n", i, st.rz);
        }
        w.line("\n");
    }

    int enemies = clamp_count(enemyCount, kEnemyLinesMax);
    for (int e = 1; e <= enemies && w.ok; e++) {
        const EnemyModel& enm = enemyModel[e];
        w.line("[enemy]\n");
        w.line("enemyModelName=%.255s\n", enm.enemyModelName);
        w.line("explosionFirstColor=#%06x\n", enm.explosionFirstColor);
        w.line("explosionLastColor=#%06x\n", enm.explosionLastColor);
        w.line("explosionRadius=%f\n", enm.explosionRadius);
        w.line("explosionHeightScale=%f\n", enm.explosionHeightScale);
        w.line("explosionDuration=%d\n", explosion_ms_from_seconds(enm.explosionDuration));
        w.line("lockOnSound=%.255s\n", enm.lockOnSound);
        w.line("explodeSound=%.255s\n", enm.explodeSound);
        w.line("\n");
    }
    if (w.ok && std::ferror(file)) w.ok = false;
    return w.ok;
}

bool level_file_name(const char* path, std::string& name) {
    if (!path) return false;
    size_t len = std::strlen(path);
    if (len > static_cast<size_t>(kTextCapacity - 1)) return false;
    const char* dot = std::strrchr(path, '.');
    name.assign(path, len);
    if (!dot || std::strcmp(dot, ".txt") != 0) name += ".txt";
    return name.size() <= static_cast<size_t>(kTextCapacity - 1);
}

bool save_level_file(const char* path, const LevelSettings& settings, int triggerCount,
                     int enemyCount) {
    std::string name;
    if (!level_file_name(path, name)) return false;

    // The new level goes to a temporary file in the same folder, so that the
    // rename that puts it in place cannot cross file systems.
    std::string temp = name + ".XXXXXX";
    int fd = mkstemp(&temp[0]);
    if (fd < 0) return false;

    mode_t mode;
    struct stat previous;
    if (stat(name.c_str(), &previous) == 0 && S_ISREG(previous.st_mode)) {
        mode = previous.st_mode & 07777;
    } else {
        mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }

    bool ok = fchmod(fd, mode) == 0;
    FILE* file = ok ? fdopen(fd, "w") : nullptr;
    if (!file) {
        close(fd);
        unlink(temp.c_str());
        return false;
    }
    ok = write_level(file, settings, triggerCount, enemyCount);
    ok = ok && std::fflush(file) == 0;
    ok = ok && fsync(fileno(file)) == 0;
    ok = (std::fclose(file) == 0) && ok;
    ok = ok && std::rename(temp.c_str(), name.c_str()) == 0;
    if (!ok) {
        unlink(temp.c_str());
        return false;
    }

    // Make the rename itself durable; the level is in place either way.
    std::string folder = name;
    size_t slash = folder.rfind('/');
    folder = slash == std::string::npos ? "." : slash == 0 ? "/" : folder.substr(0, slash);
    int dirfd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dirfd >= 0) {
        fsync(dirfd);
        close(dirfd);
    }
    return true;
}
