// vantrope-level: checks, renders and summarises level files without the
// editor's windows, for build servers and level pipelines.
#include "document/level_check.h"
#include "document/level_file.h"
#include "document/records.h"
#include "gfx/image.h"
#include "maps/segment_render.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const char kProgram[] = "vantrope-level";

const char kUsage[] =
    "Usage: vantrope-level COMMAND [OPTION]... ARGUMENT...\n"
    "Checks, renders and summarises Vantrope level files.\n"
    "\n"
    "Commands:\n"
    "  check LEVEL...                report what the editor's reader passes over and what\n"
    "                                the game would not cope with\n"
    "  render LEVEL SEGMENT OUT.png  write a segment's map as a PNG picture\n"
    "  info LEVEL                    print a short summary of a level\n"
    "\n"
    "Run 'vantrope-level COMMAND --help' for what a command does and its options.\n";

const char kCheckUsage[] =
    "Usage: vantrope-level check [--quiet] LEVEL...\n"
    "Reads each level with the editor's own reader and reports, one line each,\n"
    "  FILE:LINE: error: TEXT   or   FILE:LINE: warning: TEXT\n"
    "what the reader passes over silently (ignored lines, values that are not\n"
    "numbers or lie outside the editor's controls, clamped counts) and what the\n"
    "game would choke on (triggers outside the level's segments or without an\n"
    "enemy model, stage times out of order, missing custom maps, models and sounds,\n"
    "a song that cannot be decoded, is shorter than the level or whose detected\n"
    "tempo is more than 2 % from the level's).\n"
    "Custom maps and sounds are looked for beside the level, the song beside it and\n"
    "then in the working directory, enemy models in the preview's model folders\n"
    "from the working directory.\n"
    "\n"
    "Options:\n"
    "  -q, --quiet  print only errors (the exit status still counts warnings)\n"
    "  -h, --help   show this help\n"
    "\n"
    "Exit status: 0 when every level is clean, 1 with warnings only, 2 with errors\n"
    "or a level that cannot be read.\n";

const char kRenderUsage[] =
    "Usage: vantrope-level render [--colour] LEVEL SEGMENT OUT.png\n"
    "Writes the map of segment SEGMENT (from 0) as the editor computes it, 256 x 256\n"
    "pixels with the segment's first column at the left: the height index picture\n"
    "in grey, or with --colour the coloured map (the generator's picture in the\n"
    "segment's palette; for a Custom PNG segment its colour map, or the palette\n"
    "colour of each height when it has none). Custom PNG maps are read from the\n"
    "files named after the level.\n"
    "\n"
    "Options:\n"
    "  -c, --colour  write the coloured map\n"
    "  -h, --help    show this help\n"
    "\n"
    "Exit status: 0 when the picture was written, 2 otherwise.\n";

const char kInfoUsage[] =
    "Usage: vantrope-level info LEVEL\n"
    "Prints the level-wide settings, the level's length in seconds and in beats,\n"
    "the song (looked for beside the level, then in the working directory: its\n"
    "length m:ss.mmm, rate, channels and detected tempo),\n"
    "each segment's visualization, length and number of triggers, and the enemy\n"
    "models with where the preview finds them.\n"
    "\n"
    "Options:\n"
    "  -h, --help  show this help\n"
    "\n"
    "Exit status: 0, or 2 when the level cannot be read.\n";

const char* const kVisualizations[] = {"Wallpaper for the mind", "Plasma", "Julia Set", "Wallpaper squared",
                                       "Custom PNG"};

// The core prints its own diagnostic lines ("Generate plasma", "Couldn't
// load ..."); while it works they go to standard error, so that standard
// output holds only the report.
class CoreChatterToStderr {
  public:
    CoreChatterToStderr() {
        std::fflush(stdout);
        saved_ = dup(1);
        if (saved_ >= 0) dup2(2, 1);
    }
    ~CoreChatterToStderr() {
        std::fflush(stdout);
        if (saved_ < 0) return;
        dup2(saved_, 1);
        close(saved_);
    }

  private:
    int saved_;
};

// The words of a command line after the command: options and the rest.
struct Arguments {
    std::vector<std::string> options;
    std::vector<const char*> operands;
};

Arguments split(int argc, char** argv) {
    Arguments a;
    bool optionsEnd = false;
    for (int i = 2; i < argc; i++) {
        if (!optionsEnd && std::strcmp(argv[i], "--") == 0) {
            optionsEnd = true;
        } else if (!optionsEnd && argv[i][0] == '-' && argv[i][1]) {
            a.options.emplace_back(argv[i]);
        } else {
            a.operands.push_back(argv[i]);
        }
    }
    return a;
}

int usage_error(const char* command, const std::string& message) {
    std::fprintf(stderr, "%s: %s\nTry '%s%s%s --help'.\n", kProgram, message.c_str(), kProgram,
                 command ? " " : "", command ? command : "");
    return 2;
}

// Takes the options a command knows; anything else is an error. Returns -1
// to go on, or the exit status.
int take_options(const char* command, const Arguments& a, const char* help,
                 const std::vector<std::pair<std::string, bool*>>& known) {
    for (const std::string& option : a.options) {
        if (option == "-h" || option == "--help") {
            std::fputs(help, stdout);
            return 0;
        }
        bool found = false;
        for (const auto& [name, flag] : known) {
            if (option == name) *flag = found = true;
        }
        if (found) continue;
        std::string message = "unknown option '" + option + "' for " + command;
        if (option == "--color") message += " (did you mean --colour?)";
        return usage_error(command, message);
    }
    return -1;
}

int command_check(int argc, char** argv) {
    Arguments a = split(argc, argv);
    bool quiet = false;
    int status = take_options("check", a, kCheckUsage, {{"-q", &quiet}, {"--quiet", &quiet}});
    if (status >= 0) return status;
    if (a.operands.empty()) return usage_error("check", "no level given");

    int worst = 0;
    for (const char* path : a.operands) {
        LevelCheck check;
        {
            CoreChatterToStderr quiet;
            check = check_level(path);
        }
        for (const LevelDiagnostic& d : check.diagnostics) {
            if (quiet && !d.error) continue;
            const char* kind = d.error ? "error" : "warning";
            if (d.line > 0)
                std::printf("%s:%d: %s: %s\n", path, d.line, kind, d.text.c_str());
            else
                std::printf("%s: %s: %s\n", path, kind, d.text.c_str());
        }
        const int result = check.has_errors() ? 2 : check.has_warnings() ? 1 : 0;
        if (result > worst) worst = result;
    }
    return std::fflush(stdout) == 0 ? worst : 2;
}

// The level's segment count as the writer takes it: truncated, within 0..256.
int segment_count(const LevelSettings& s) {
    return s.segments >= kSegmentCapacity ? kSegmentCapacity : s.segments > 0 ? static_cast<int>(s.segments) : 0;
}

// Reads a level into the records, or says why it cannot.
bool read_level(const char* path, LevelContents& contents) {
    std::string error;
    if (read_level_file(path, contents, error)) return true;
    std::fprintf(stderr, "%s: cannot read the level %s: %s\n", kProgram, path, error.c_str());
    return false;
}

int command_render(int argc, char** argv) {
    Arguments a = split(argc, argv);
    bool colour = false;
    int status = take_options("render", a, kRenderUsage, {{"-c", &colour}, {"--colour", &colour}});
    if (status >= 0) return status;
    if (a.operands.size() != 3)
        return usage_error("render", "render needs a level, a segment number and an output file");
    const char* path = a.operands[0];
    const char* out = a.operands[2];

    LevelContents contents;
    if (!read_level(path, contents)) return 2;
    const int segments = segment_count(contents.settings);
    char* end = nullptr;
    errno = 0;
    const long index = std::strtol(a.operands[1], &end, 10);
    if (end == a.operands[1] || *end || errno || index < 0 || index >= segments) {
        std::fprintf(stderr, "%s: segment '%s' is not one of the level's segments (0 to %d)\n", kProgram,
                     a.operands[1], segments - 1);
        return 2;
    }

    SegmentRender r;
    {
        CoreChatterToStderr quiet;
        r = render_segment(path, static_cast<int>(index), colour);
    }
    if (!r.map) {
        std::fprintf(stderr, "%s: segment %ld of %s: %s\n", kProgram, index, path, r.error.c_str());
        return 2;
    }
    if (!r.warning.empty()) std::fprintf(stderr, "%s: warning: segment %ld: %s\n", kProgram, index, r.warning.c_str());
    const bool written = write_map_png(out, r.map, !colour);
    freeImage(r.map);
    if (!written) {
        std::fprintf(stderr, "%s: cannot write %s\n", kProgram, out);
        return 2;
    }
    return 0;
}

// The song: where it is, its length, rate and channels, and its tempo.
void print_song(const char* path, const std::string& name) {
    if (name.empty()) {
        std::printf("  song         none\n");
        return;
    }
    LevelSong song;
    {
        CoreChatterToStderr quiet;
        song = examine_song(path, name);
    }
    std::printf("  song         %s\n", name.c_str());
    if (!song.found) {
        std::printf("               not found (looked for %s)\n", song.path.c_str());
        return;
    }
    std::printf("               found: %s\n", song.path.c_str());
    const Song* s = song.read.song.get();
    if (song.read.problem != SongProblem::none)
        std::printf("               cannot be decoded%s: %s\n", s ? " completely" : "",
                    song_reason(song.read, name).c_str());
    if (!s) return;
    std::printf("               %s, %d Hz, %d channel%s\n", format_song_time(s->seconds()).c_str(), s->rate,
                s->channels, s->channels == 1 ? "" : "s");
    if (song.tempo.found)
        std::printf("               detected tempo %.2f bpm\n", song.tempo.bpm);
    else
        std::printf("               detected tempo none (no steady beat)\n");
}

int command_info(int argc, char** argv) {
    Arguments a = split(argc, argv);
    int status = take_options("info", a, kInfoUsage, {});
    if (status >= 0) return status;
    if (a.operands.size() != 1) return usage_error("info", "info needs exactly one level");
    const char* path = a.operands[0];

    LevelContents contents;
    if (!read_level(path, contents)) return 2;
    const LevelSettings& s = contents.settings;
    const int segments = segment_count(s);
    const int triggers = static_cast<int>(contents.triggerLines.size());
    const int enemies = static_cast<int>(contents.enemyLines.size());

    std::printf("Level %s\n", path);
    std::printf("  duration     %g min = %g s = %g beats at %g bpm\n", s.duration, s.duration * 60.0,
                s.duration * s.bpm, s.bpm);
    print_song(path, s.song);
    std::printf("  evolution    initial %g, automatic up %g\n", s.initialEvo, s.evoDropRate);
    std::printf("  chaos        initial %g, automatic up %g\n", s.initialChaos, s.chaosDropRate);

    std::printf("  segments     %d\n", segments);
    int placed = 0;
    for (int n = 0; n < segments; n++) {
        const Segment& seg = segment[n];
        int count = 0;
        for (int t = 1; t <= triggers && t < kTriggerCapacity; t++) count += trigger[t].triggerSegment == n;
        placed += count;
        std::string vis = seg.visualization >= 0 && seg.visualization <= 4
                              ? kVisualizations[seg.visualization]
                              : "visualization " + std::to_string(seg.visualization);
        std::printf("    %3d  %-22s  %-9s  length %-8g  %d trigger%s\n", n, vis.c_str(),
                    seg.isTunnel ? "tunnel" : "landscape", seg.length, count, count == 1 ? "" : "s");
    }
    std::printf("  triggers     %d", triggers);
    if (placed < triggers) std::printf(" (%d outside the level's segments)", triggers - placed);
    std::printf("\n  enemy models %d\n", enemies);
    for (int e = 1; e <= enemies && e < kEnemyModelCapacity; e++) {
        const char* name = enemyModel[e].enemyModelName;
        std::string where;
        if (find_model(name, where))
            std::printf("    %-24s found: %s\n", name, where.c_str());
        else
            std::printf("    %-24s not found\n", name);
    }
    return std::fflush(stdout) == 0 ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string command = argv[1];
    if (command == "-h" || command == "--help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == "check") return command_check(argc, argv);
    if (command == "render") return command_render(argc, argv);
    if (command == "info") return command_info(argc, argv);
    if (command[0] == '-') return usage_error(nullptr, "unknown option '" + command + "'");
    return usage_error(nullptr, "unknown command '" + command + "'");
}
