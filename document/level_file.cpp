// Level file reader and writer. See level_file.h for the layout.
#include "document/level_file.h"

#include "document/records.h"
#include "document/stored_text.h"

#include <cerrno>
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

float parse_float(const char* s, const char** end = nullptr) {
    char* stop = nullptr;
    float v = std::strtof(s, &stop);
    if (end) *end = stop;
    return stop == s ? 0.0f : v;
}

// Nothing but blanks from `s` on.
bool only_blanks(const char* s) {
    while (is_blank(*s)) s++;
    return *s == '\0';
}

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Hexadecimal digits, saturating at 0xffffffff; 0 when there are none.
uint32_t parse_hex_digits(const char* s, const char** end) {
    uint64_t v = 0;
    for (*end = s; hex_digit(*s) >= 0; s++, *end = s) {
        v = v * 16 + static_cast<uint64_t>(hex_digit(*s));
        if (v > UINT32_MAX) v = UINT32_MAX + uint64_t{1};  // keep it from growing further
    }
    return v > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(v);
}

// "0x" then hexadecimal digits; with `hash_too` also "#" then digits. `ok`
// tells whether the value was that and nothing more.
uint32_t parse_hex(const char* s, bool hash_too, bool* ok = nullptr) {
    const char* digits = s[0] == '0' && s[1] == 'x' ? s + 2 : hash_too && s[0] == '#' ? s + 1 : nullptr;
    const char* end = digits;
    uint32_t v = digits ? parse_hex_digits(digits, &end) : 0;
    if (ok) *ok = digits && end != digits && only_blanks(end);
    return v;
}

// A text is kept up to its first control character (a tab, a lone carriage
// return), just as the writer would write it back.
std::string text_value(const char* value) { return std::string(value, writable_length(value)); }

void add_distinct(std::vector<std::string>& list, std::unordered_set<std::string>& seen,
                  const char* text) {
    if (seen.insert(text).second) list.emplace_back(text);
}

void keep_index(int& index, int lowest, int highest) {
    if (index < lowest || index > highest) index = lowest;
}

// Reads the next piece of a line into `buf`, cut at its line feed, with a
// carriage return right before the line feed dropped. Gives the first "=" of
// the piece in `eq` (null when there is none), in `ended` whether the line
// ends with this piece, and in `crlf` whether it ended in CR LF. False at
// the end.
bool read_piece(FILE* file, char* buf, char*& eq, bool& ended, bool& crlf) {
    if (!std::fgets(buf, kPieceRead, file)) return false;
    eq = nullptr;
    char* p = buf;
    for (; *p && *p != '\n'; p++)
        if (*p == '=' && !eq) eq = p;
    ended = true;
    crlf = false;
    if (*p == '\n') {
        *p = '\0';
        if (p > buf && p[-1] == '\r') {
            p[-1] = '\0';
            crlf = true;
        }
        return true;
    }
    // A full piece that ends in CR: if the line feed comes next, the line
    // ends here, just as it would have without the CR.
    size_t len = static_cast<size_t>(p - buf);
    if (len == kPieceRead - 1) {
        int next = std::getc(file);
        if (next == '\n' && buf[len - 1] == '\r') {
            buf[len - 1] = '\0';
            crlf = true;
        } else if (next != EOF) {
            std::ungetc(next, file);
            ended = false;
        }
    }
    return true;
}

bool starts_with(const char* text, const char* prefix) {
    for (; *prefix; prefix++, text++)
        if (*text != *prefix) return false;
    return true;
}

struct Reader {
    LevelContents& out;
    LevelReadObserver* observer;  // null when nobody listens
    std::unordered_set<std::string> typesSeen;
    int segmentHeads = 0;
    // Where the current piece stands, for the observer.
    int line = 0;
    int longLine = 0;  // the last line told to be long
    LevelSection section = LevelSection::None;
    const char* key = nullptr;

    void piece(char* buf, char* eq, bool continued);
    void apply_head(const char* text, bool hasKey);
    LevelSection apply_key(const char* key, const char* value);
    bool apply_global_key(const char* key, const char* value);
    bool apply_segment_key(const char* key, const char* value);
    bool apply_trigger_key(const char* key, const char* value);
    bool apply_enemy_key(const char* key, const char* value);
    bool apply_stage_key(const char* key, const char* value);
    void tell(ReadIssue issue, LevelSection where, const char* text, const char* value, double number) {
        if (observer) observer->note({line, issue, where, text, value, number});
    }
    // Number parses that tell the observer when a value is not wholly a number.
    int32_t integer(const char* value);
    float real(const char* value);
    uint32_t hex(const char* value, bool hashToo);
};

int32_t Reader::integer(const char* value) {
    bool ok = false;
    const char* end = nullptr;
    int32_t v = parse_int(value, &ok, &end);
    if (observer && !(ok && only_blanks(end))) tell(ReadIssue::NotANumber, section, key, value, v);
    return v;
}

float Reader::real(const char* value) {
    const char* end = nullptr;
    float v = parse_float(value, &end);
    if (observer && !(end != value && only_blanks(end))) tell(ReadIssue::NotANumber, section, key, value, v);
    return v;
}

uint32_t Reader::hex(const char* value, bool hashToo) {
    bool ok = false;
    uint32_t v = parse_hex(value, hashToo, &ok);
    if (observer && !ok) tell(ReadIssue::NotANumber, section, key, value, v);
    return v;
}

void Reader::apply_head(const char* text, bool hasKey) {
    if (std::strcmp(text, "[segment]") == 0) {
        // Only whether a head came before matters; the count stops at 2.
        if (segmentHeads > 0) activeSegment++;
        if (segmentHeads < 2) segmentHeads++;
        if (activeSegment > kSegmentCapacity - 1) {
            activeSegment = 0;
            tell(ReadIssue::RecordsWrapped, LevelSection::Segment, text, nullptr, 0);
        }
        section = LevelSection::Segment;
        if (observer) observer->head(line, section, activeSegment);
    } else if (std::strcmp(text, "[trigger]") == 0) {
        activeTrigger++;
        if (activeTrigger > kTriggerCapacity - 1) {
            activeTrigger = 1;
            tell(ReadIssue::RecordsWrapped, LevelSection::Trigger, text, nullptr, 1);
        } else if (static_cast<int>(out.triggerLines.size()) < kTriggerLinesMax) {
            char label[32];
            std::snprintf(label, sizeof label, "[trigger]%03d",
                          static_cast<int>(out.triggerLines.size()) + 1);
            out.triggerLines.emplace_back(label);
        }
        section = LevelSection::Trigger;
        if (observer) observer->head(line, section, activeTrigger);
    } else if (std::strcmp(text, "[enemy]") == 0) {
        activeEnemy++;
        if (activeEnemy > kEnemyModelCapacity - 1) {
            activeEnemy = 1;
            tell(ReadIssue::RecordsWrapped, LevelSection::Enemy, text, nullptr, 1);
        }
        section = LevelSection::Enemy;
        if (observer) observer->head(line, section, activeEnemy);
    } else if (std::strcmp(text, "[global]") == 0) {
        section = LevelSection::Global;
        if (observer) observer->head(line, section, -1);
    } else if (!hasKey) {
        tell(ReadIssue::UnknownHead, section, text, nullptr, 0);
    }
}

bool Reader::apply_stage_key(const char* key, const char* value) {
    const char* rest = nullptr;
    bool ok = false;
    int n = parse_int(key + 5, &ok, &rest);
    if (!ok) return false;
    if (n < 0 || n >= kStageCapacity) {
        tell(ReadIssue::IndexOutOfRange, LevelSection::Trigger, key, value, 0);
        n = 0;
    }
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
    if (field) *field = real(value);
    return field != nullptr;
}

// Stores one key and gives the section it belongs to (None when the key is
// unknown or could not be applied). Exact keys are compared within their
// section's group; the two prefixes keep their place in the documented
// order, since no key compared before "palette" starts with it and
// "stageCount" is compared before "stage".
LevelSection Reader::apply_key(const char* key, const char* value) {
    this->key = key;
    // Palette lines are the most frequent, so they come first.
    if (starts_with(key, "palette")) {
        bool ok = false;
        int n = parse_int(key + 7, &ok);
        if (!ok || n < 0 || n > 255) {
            tell(ReadIssue::IndexOutOfRange, LevelSection::Segment, key, value, 0);
            n = 0;
        }
        segment[activeSegment].palette[n] = hex(value, false);
        return LevelSection::Segment;
    }
    if (apply_global_key(key, value)) return LevelSection::Global;
    if (apply_segment_key(key, value)) return LevelSection::Segment;
    if (apply_trigger_key(key, value)) return LevelSection::Trigger;
    if (apply_enemy_key(key, value)) return LevelSection::Enemy;
    return LevelSection::None;
}

bool Reader::apply_global_key(const char* key, const char* value) {
    LevelSettings& set = out.settings;
    auto is = [key](const char* k) { return std::strcmp(key, k) == 0; };
    if (is("segments")) {
        int32_t n = integer(value);
        if (n > kSegmentCapacity || n < 0) {
            n = n < 0 ? 0 : kSegmentCapacity;
            tell(ReadIssue::CountClamped, LevelSection::Global, key, value, n);
        }
        set.segments = n;
        if (n > 0) out.selectorSegments = n;
    } else if (is("duration")) {
        set.duration = real(value);
    } else if (is("bpm")) {
        set.bpm = real(value);
    } else if (is("evoDropRate")) {
        set.evoDropRate = real(value);
    } else if (is("chaosDropRate")) {
        set.chaosDropRate = real(value);
    } else if (is("initialChaos")) {
        set.initialChaos = real(value);
    } else if (is("initialEvo")) {
        set.initialEvo = real(value);
    } else if (is("song")) {
        set.song = text_value(value);
    } else {
        return false;
    }
    return true;
}

bool Reader::apply_segment_key(const char* key, const char* value) {
    Segment& seg = segment[activeSegment];
    auto is = [key](const char* k) { return std::strcmp(key, k) == 0; };
    if (is("isTunnel")) {
        seg.isTunnel = integer(value) != 0;
    } else if (is("visualization")) {
        seg.visualization = integer(value);
    } else if (is("cameraAngle")) {
        seg.cameraAngle = integer(value);
    } else if (is("fogNear")) {
        seg.fogNear = real(value);
    } else if (is("fogFar")) {
        seg.fogFar = real(value);
    } else if (is("fogColor")) {
        seg.fogColor = hex(value, false);
    } else if (is("scale")) {
        seg.scale = real(value);
    } else if (is("length")) {
        seg.length = real(value);
    } else if (is("seedA")) {
        seg.seedA = real(value);
    } else if (is("seedB")) {
        seg.seedB = real(value);
    } else {
        return false;
    }
    return true;
}

bool Reader::apply_trigger_key(const char* key, const char* value) {
    Trigger& trg = trigger[activeTrigger];
    auto is = [key](const char* k) { return std::strcmp(key, k) == 0; };
    if (is("triggerType")) {
        copy_text(trg.triggerType, text_value(value).c_str());
        add_distinct(out.triggerTypes, typesSeen, trg.triggerType);
    } else if (is("triggerSegment")) {
        trg.triggerSegment = integer(value);
    } else if (is("health")) {
        trg.health = integer(value);
    } else if (is("points")) {
        trg.points = integer(value);
    } else if (is("bonusType")) {
        trg.bonusType = integer(value);
    } else if (is("stageCount")) {
        int32_t n = integer(value);
        trg.stageCount = n < 0 ? 0 : n > kStageCapacity ? kStageCapacity : n;
        if (trg.stageCount != n)
            tell(ReadIssue::CountClamped, LevelSection::Trigger, key, value, trg.stageCount);
    } else if (starts_with(key, "stage")) {
        return apply_stage_key(key, value);
    } else {
        return false;
    }
    return true;
}

bool Reader::apply_enemy_key(const char* key, const char* value) {
    EnemyModel& enm = enemyModel[activeEnemy];
    auto is = [key](const char* k) { return std::strcmp(key, k) == 0; };
    if (is("enemyModelName")) {
        copy_text(enm.enemyModelName, text_value(value).c_str());
        if (static_cast<int>(out.enemyLines.size()) < kEnemyLinesMax)
            out.enemyLines.emplace_back(enm.enemyModelName);
    } else if (is("explosionFirstColor")) {
        enm.explosionFirstColor = hex(value, true);
    } else if (is("explosionLastColor")) {
        enm.explosionLastColor = hex(value, true);
    } else if (is("explosionDuration")) {
        enm.explosionDuration = explosion_seconds_from_ms(real(value));
    } else if (is("explosionRadius")) {
        enm.explosionRadius = real(value);
    } else if (is("explosionHeightScale")) {
        enm.explosionHeightScale = real(value);
    } else if (is("lockOnSound")) {
        copy_text(enm.lockOnSound, text_value(value).c_str());
    } else if (is("explodeSound")) {
        copy_text(enm.explodeSound, text_value(value).c_str());
    } else {
        return false;
    }
    return true;
}

// Reads one piece of a line: a comment, a head, a key=value line, or
// something that is told about and passed over. `continued` is set for the
// later pieces of a long line.
void Reader::piece(char* buf, char* eq, bool continued) {
    if (buf[0] == '#') return;
    if (buf[0] == '[') apply_head(buf, eq != nullptr);
    if (!eq) {
        if (observer && !continued && buf[0] != '[' && !only_blanks(buf))
            tell(ReadIssue::IgnoredLine, section, buf, nullptr, 0);
        return;
    }
    *eq = '\0';
    const char* value = eq + 1;
    LevelSection kind = apply_key(buf, value);
    if (!observer) return;
    if (kind == LevelSection::None) {
        if (!continued)
            tell(starts_with(buf, "stage") ? ReadIssue::BadStageKey : ReadIssue::UnknownKey, section,
                 buf, value, 0);
        return;
    }
    int record = kind == LevelSection::Segment   ? activeSegment
                 : kind == LevelSection::Trigger ? activeTrigger
                 : kind == LevelSection::Enemy   ? activeEnemy
                                                 : -1;
    if (continued) tell(ReadIssue::LongLine, kind, buf, value, record);
    if (section == LevelSection::None)
        tell(ReadIssue::KeyBeforeSection, kind, buf, value, record);
    else if (section != kind)
        tell(ReadIssue::KeyInOtherSection, kind, buf, value, record);
    observer->stored(line, kind, record, buf, value);
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
    void text(const char* key, const char* value, size_t longest);
};

// A text value is written up to its first control character, and at most
// `longest` characters (a record's field may lack its terminating zero), so
// that no value, whatever a record holds, breaks its line and lets the rest
// be read as a key of its own.
void Writer::text(const char* key, const char* value, size_t longest) {
    size_t n = 0;
    while (n < longest && value[n] && !is_control_character(value[n])) n++;
    line("%s=%.*s\n", key, static_cast<int>(n), value);
}

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

void read_level(FILE* file, LevelContents& out, LevelReadObserver* observer) {
    keep_index(activeSegment, 0, kSegmentCapacity - 1);
    keep_index(activeTrigger, 0, kTriggerCapacity - 1);
    keep_index(activeEnemy, 0, kEnemyModelCapacity - 1);

    Reader reader{out, observer, {}};
    for (const std::string& t : out.triggerTypes) reader.typesSeen.insert(t);

    char buf[kLineBuffer];
    char* eq = nullptr;
    bool ended = true;  // whether the previous piece ended its line
    bool crlf = false;
    int nextLine = 1;
    while (file) {
        const bool continued = !ended;
        if (!read_piece(file, buf, eq, ended, crlf)) break;
        reader.line = nextLine;
        if (ended) nextLine++;
        if (crlf) reader.tell(ReadIssue::CarriageReturn, reader.section, nullptr, nullptr, 0);
        // The first piece that carries on a line says that the line is long.
        if (continued && buf[0] && observer && reader.line != reader.longLine) {
            reader.longLine = reader.line;
            reader.tell(ReadIssue::LongLine, reader.section, nullptr, nullptr, 0);
        }
        reader.piece(buf, eq, continued);
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
    w.text("song", settings.song.c_str(), settings.song.size());
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
        w.text("triggerType", trg.triggerType, kTextCapacity - 1);
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
        w.text("enemyModelName", enm.enemyModelName, kTextCapacity - 1);
        w.line("explosionFirstColor=#%06x\n", enm.explosionFirstColor);
        w.line("explosionLastColor=#%06x\n", enm.explosionLastColor);
        w.line("explosionRadius=%f\n", enm.explosionRadius);
        w.line("explosionHeightScale=%f\n", enm.explosionHeightScale);
        w.line("explosionDuration=%d\n", explosion_ms_from_seconds(enm.explosionDuration));
        w.text("lockOnSound", enm.lockOnSound, kTextCapacity - 1);
        w.text("explodeSound", enm.explodeSound, kTextCapacity - 1);
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

std::string folder_of(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

bool write_all(int fd, const std::string& text) {
    const char* p = text.data();
    size_t left = text.size();
    while (left > 0) {
        ssize_t n = write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

namespace {

// Follows symbolic links from `path` to the file they finally name, which
// need not exist yet. False for a loop or a chain too long to follow.
bool follow_links(std::string path, std::string& target) {
    for (int hops = 0; hops < 40; hops++) {
        struct stat st;
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            target = path;
            return true;
        }
        std::string link(PATH_MAX, '\0');
        ssize_t n = readlink(path.c_str(), &link[0], link.size());
        if (n < 0 || static_cast<size_t>(n) >= link.size()) return false;
        link.resize(static_cast<size_t>(n));
        // A relative link is read from the folder that holds it.
        path = link[0] == '/' ? link : folder_of(path) + "/" + link;
    }
    return false;
}


// Overwrites an existing file, keeping its inode, links, owner and
// permissions.
bool write_in_place(const std::string& target, const std::string& text) {
    int fd = open(target.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = write_all(fd, text);
    ok = ok && ftruncate(fd, static_cast<off_t>(text.size())) == 0;
    ok = ok && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    return ok;
}

enum class Replace { Done, Failed, NoTempFile, RenameFailed };

// Writes a temporary file beside the target and renames it over the target.
Replace replace_through_temp(const std::string& target, const std::string& text,
                             const struct stat* previous) {
    // A short name, so that any target name that fits a folder entry works.
    const std::string folder = folder_of(target);
    std::string temp = folder + "/.lvl-XXXXXX";
    int fd = mkstemp(&temp[0]);
    if (fd < 0) return Replace::NoTempFile;

    mode_t mode;
    if (previous) {
        // The owner first, since changing it may clear the set-id bits. Who
        // may not give the file away keeps the group where allowed; failing
        // that, the new file simply belongs to whoever saves it.
        if (fchown(fd, previous->st_uid, previous->st_gid) != 0) {
            int groupOnly = fchown(fd, static_cast<uid_t>(-1), previous->st_gid);
            (void)groupOnly;
        }
        mode = previous->st_mode & 07777;
    } else {
        mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    bool ok = fchmod(fd, mode) == 0;
    ok = ok && write_all(fd, text);
    ok = ok && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    if (!ok) {
        unlink(temp.c_str());
        return Replace::Failed;
    }
    if (std::rename(temp.c_str(), target.c_str()) != 0) {
        unlink(temp.c_str());
        return Replace::RenameFailed;
    }
    // Make the rename itself durable; the level is in place either way.
    int dirfd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirfd >= 0) {
        fsync(dirfd);
        close(dirfd);
    }
    return Replace::Done;
}

}  // namespace

bool level_text(const LevelSettings& settings, int triggerCount, int enemyCount, std::string& text) {
    char* data = nullptr;
    size_t size = 0;
    FILE* file = open_memstream(&data, &size);
    if (!file) return false;
    bool ok = write_level(file, settings, triggerCount, enemyCount);
    ok = (std::fclose(file) == 0) && ok;
    if (ok) text.assign(data, size);
    std::free(data);
    return ok;
}

bool save_level_file(const char* path, const LevelSettings& settings, int triggerCount,
                     int enemyCount) {
    std::string name, target, text;
    if (!level_file_name(path, name) || !follow_links(name, target)) return false;
    if (!level_text(settings, triggerCount, enemyCount, text)) return false;

    struct stat previous;
    const bool exists = stat(target.c_str(), &previous) == 0;
    if (!exists && errno != ENOENT) return false;
    if (exists) {
        if (!S_ISREG(previous.st_mode)) return false;
        // Read-only means no write permission for us, or none at all (which
        // the superuser, who may write anything, is held to as well).
        if (faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0 ||
            (previous.st_mode & 0222) == 0)
            return false;
        // Replacing would cut the other links off the new contents.
        if (previous.st_nlink > 1) return write_in_place(target, text);
    }
    switch (replace_through_temp(target, text, exists ? &previous : nullptr)) {
        case Replace::Done: return true;
        case Replace::Failed: return false;
        case Replace::NoTempFile:
        case Replace::RenameFailed: break;
    }
    // The folder takes no new file (or no rename), but the file itself is writable.
    return exists && write_in_place(target, text);
}
