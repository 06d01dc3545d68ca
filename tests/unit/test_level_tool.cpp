// vantrope-level: each check rule on a crafted level with its exact line, a
// clean level from the writer, hostile input, the program's statuses and
// options, and rendered maps against the generators.
#include "document/level_check.h"
#include "document/records.h"
#include "gfx/image.h"
#include "maps/generators.h"
#include "maps/segment_render.h"
#include "tests/song_files.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <regex>
#include <sys/wait.h>
#include <vector>

namespace {

uint32_t height_at(int x, int y) { return static_cast<uint32_t>((x * 7 + y * 3) & 255) | 0x5a0000u; }
uint32_t colour_at(int x, int y) { return static_cast<uint32_t>(x | (y << 8) | ((x ^ y) << 16)); }

// Pixels of a 256 x 256 map that differ from want(x, y).
int wrong_pixels(const Image* map, const std::function<uint32_t(int, int)>& want) {
    int wrong = 0;
    for (int y = 0; y < 256; y++)
        for (int x = 0; x < 256; x++) wrong += map->pixels[y * 256 + x] != want(x, y);
    return wrong;
}

// The diagnostics of a level text as "LINE error|warning: text" lines.
std::vector<std::string> check_text(const std::string& text, const char* path = "lv.txt") {
    FILE* f = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    const LevelCheck check = check_level(f, path);
    std::fclose(f);
    std::vector<std::string> out;
    for (const LevelDiagnostic& d : check.diagnostics)
        out.push_back(std::to_string(d.line) + (d.error ? " error: " : " warning: ") + d.text);
    return out;
}

std::string repeat(int n, const std::string& s) {
    std::string r;
    while (n-- > 0) r += s;
    return r;
}

// Runs the program; gives its exit status and what it printed (both
// streams, unless the arguments send standard error elsewhere).
int run_tool(const std::string& args, std::string& output) {
    FILE* p = popen((std::string(VANTROPE_LEVEL_TOOL) + " 2>&1 " + args).c_str(), "r");
    char buf[4096];
    output.clear();
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) output.append(buf, n);
    const int status = pclose(p);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs the program and expects its exit status and its whole output, or
// with a leading "~" a piece of it; gives the output.
std::string expect_tool(const std::string& args, int status, const std::string& want) {
    std::string output;
    EXPECT_EQ(run_tool(args, output), status) << args;
    if (want[0] == '~')
        EXPECT_NE(output.find(want.substr(1)), std::string::npos) << args << ": " << output;
    else
        EXPECT_EQ(output, want) << args;
    return output;
}

// Hostile input must finish in under a second (a guard against runaway
// work); sanitizer builds run the reader itself many times slower.
#ifndef __has_feature
#define __has_feature(feature) 0
#endif
#if __has_feature(address_sanitizer) || defined(__SANITIZE_ADDRESS__)
constexpr double kHostileSeconds = 30.0;
#else
constexpr double kHostileSeconds = 1.0;
#endif

const std::string kBase = "[global]\nsegments=4\n";                        // lines 1-2
const std::string kEnemy = "[enemy]\nenemyModelName=drone\n";               // lines 3-4
const std::string kTrigger = "[trigger]\ntriggerType=drone\n";              // lines 5-6

}  // namespace

TEST(LevelCheck, EveryRuleReportsItsLine) {
    TempFolder in(true);
    fs::create_directory("models");
    put_file("models/drone", "model");
    put_file("boom.wav", "RIFF");
    // Three minutes (the level's length) of silence: no tempo to compare.
    put_song("present.wav", SF_FORMAT_WAV, 8000, 1, std::vector<int16_t>(180 * 8000, 0));
    for (const char* level : {"small", "junk", "cmap", "good"}) {
        const std::string base = level;
        if (base == "junk") put_file(base + "seg0height.png", "not a picture");
        else put_png(base + "seg0height.png", base == "small" ? 128 : 256, base == "small" ? 128 : 256, height_at);
        put_png(base + "seg0color.png", base == "cmap" ? 64 : 256, base == "cmap" ? 64 : 256, colour_at);
    }
    const std::string custom = kBase + "[segment]\nvisualization=4\n", withTrigger = kBase + kEnemy + kTrigger;
    const struct {
        const char* rule;
        std::string text;
        std::vector<std::string> want;  // "LINE kind" and a piece of the text
        const char* path = "lv.txt";
    } cases[] = {
        {"clean", kBase + "song=present.wav\n" + kEnemy + kTrigger + "stage1trigger=1\n", {}},
        {"no =", kBase + "junk\n", {"3 warning: line ignored: no \"=\""}},
        {"unknown head", kBase + "[Segment]\n", {"3 warning: unknown section head \"[Segment]\""}},
        {"unknown key", kBase + "duration = 3\n", {"3 warning: unknown key \"duration \""}},
        {"key before a head", "health=2\n" + kBase, {"1 warning: goes to trigger 0, which is never saved"}},
        {"key in another section", kBase + "[segment]\n[enemy]\nscale=2\n", {"5 warning: in a [enemy] section goes to"}},
        {"not a number", kBase + "bpm=fast\n", {"3 warning: \"fast\" of \"bpm\" is not a number; read as 0"}},
        {"not hexadecimal", kBase + "[segment]\nfogColor=c0c000\n", {"4 warning: not a hexadecimal number"}},
        {"outside a widget", kBase + "[segment]\nseedA=7.5\n", {"4 warning: seedA=7.5 is outside -5..5"}},
        {"palette300", kBase + "[segment]\npalette300=0x10\npalettex=0x1\n",
         {"4 warning: \"palette300\" names no entry from 0 to 255", "5 warning: \"palettex\" names no entry",
          "5 warning: palette entry 0 is given again"}},
        {"repeated key", kBase + "bpm=100\nbpm=120\n", {"4 warning: \"bpm\" is given again"}},
        {"control character", kBase + "song=present.wav\tx\n", {"3 warning: the text of \"song\" holds a control character"}},
        {"long line", kBase + "#" + std::string(253, 'x') + "bpm=120\n",
         {"3 warning: longer than 254", "3 warning: read as the key \"bpm\""}},
        {"CR LF", kBase + "bpm=120\r\nduration=2\r\n\r\n", {"3 warning: line ends in CR LF: the editor drops the "
         "CR, but a reader that keeps it knows no section heads (so do 2 more lines)"}},
        {"segments over 256", "[global]\nsegments=300\n", {"2 error: outside 0..256"}},
        {"257 segment sections", "[global]\nsegments=256\n" + repeat(257, "[segment]\n"), {"259 error: segment 0"}},
        {"stageCount 9", withTrigger + "stageCount=9\n", {"7 error: outside 0..8"}},
        {"stageCount 1", withTrigger + "stageCount=1\n", {"7 error: needs 2 to 8 stages"}},
        {"256 triggers", kBase + kEnemy + repeat(256, kTrigger), {"515 error: overwrites trigger 1"}},
        {"64 enemies", kBase + repeat(64, "[enemy]\n"), {"66 error: overwrites enemy model 1"}},
        {"stage9x", withTrigger + "stage9x=1\n", {"7 warning: \"stage9x\" names no stage from 0 to 7"}},
        {"stage2w", withTrigger + "stage2w=1\n", {"7 warning: \"stage2w\" is ignored"}},
        {"trigger segment", withTrigger + "triggerSegment=4\n", {"7 error: segment 4, which is not one of the level's"}},
        {"no enemy model", kBase + kEnemy + "[trigger]\ntriggerType=ghost\n", {"6 error: \"ghost\" names no enemy"}},
        {"no type", kBase + kEnemy + "[trigger]\nhealth=2\n", {"5 error: trigger 1 has no type"}},
        {"time outside 0..1", withTrigger + "stage1trigger=1.5\n", {"7 error: stage 1, 1.5, is outside 0..1"}},
        {"times out of order", withTrigger + "stage0trigger=0.6\nstage1trigger=0.4\n", {"8 error: 0.4, is before"}},
        {"stage past the count", withTrigger + "stage2x=5\n", {"7 warning: stage 2 is beyond stageCount=2"}},
        {"section past the count", kBase + repeat(5, "[segment]\n"), {"7 warning: segment 4 is beyond segments=4"}},
        {"custom maps missing", custom, {"4 error: lvseg0height.png is missing", "4 warning: lvseg0color.png is missing"}},
        {"height map 128 x 128", custom, {"4 error: smallseg0height.png is 128 x 128 pixels"}, "small.txt"},
        {"height map no PNG", custom, {"4 error: junkseg0height.png is not a readable PNG"}, "junk.txt"},
        {"colour map 64 x 64", custom, {"4 error: colour map cmapseg0color.png is 64 x 64"}, "cmap.txt"},
        {"custom maps in place", custom, {}, "good.txt"},
        {"model not found", kBase + "[enemy]\nenemyModelName=ghost.md2\n", {"4 warning: \"ghost.md2\" is not found"}},
        {"model name too short", kBase + "[enemy]\nenemyModelName=ufo\n", {"4 warning: shorter than 5"}},
        {"sound missing", kBase + kEnemy + "lockOnSound=lock.wav\nexplodeSound=boom.wav\n", {"5 warning: \"lock.wav\""}},
        {"song missing", kBase + "song=track.ogg\n", {"3 warning: the song \"track.ogg\" is not found"}},
    };
    for (const auto& c : cases) {
        const std::vector<std::string> got = check_text(c.text, c.path);
        ASSERT_EQ(got.size(), c.want.size()) << c.rule << ": " << ::testing::PrintToString(got);
        for (size_t i = 0; i < got.size(); i++) {
            const std::string& w = c.want[i];
            const size_t colon = w.find(": ");
            EXPECT_EQ(got[i].substr(0, colon + 2), w.substr(0, colon + 2)) << c.rule;
            EXPECT_NE(got[i].find(w.substr(colon + 2)), std::string::npos) << c.rule << ": " << got[i];
        }
    }

    // What the editor writes for a level whose files are all in place reads back clean.
    reset_level_records();
    LevelSettings s;
    s.segments = 5;
    s.song = "present.wav";
    segment[0].visualization = 4;  // goodseg0height.png and goodseg0color.png
    for (int t = 1; t <= 3; t++) {
        copy_text(trigger[t].triggerType, "drone");
        trigger[t].triggerSegment = t;
        trigger[t].stageCount = 2 + t;
        for (int i = 0; i < 8; i++) trigger[t].stage[i] = {10.0f * i, -5.0f, 100.0f * i, 0, 90, -45, 0.125f * i};
    }
    copy_text(enemyModel[1].enemyModelName, "drone");
    copy_text(enemyModel[1].lockOnSound, "boom.wav");
    copy_text(enemyModel[1].explodeSound, "boom.wav");
    enemyModel[1].explosionFirstColor = 0xff102030;
    FILE* f = std::fopen("good.txt", "w");
    ASSERT_TRUE(write_level(f, s, 3, 1));
    std::fclose(f);
    const LevelCheck check = check_level("good.txt");
    EXPECT_TRUE(check.readable);
    EXPECT_EQ(check.diagnostics.size(), 0u) << check.diagnostics[0].line << " " << check.diagnostics[0].text;
}

TEST(LevelCheck, HostileInputEndsQuickly) {
    std::string bytes(1 << 20, '\0');
    for (uint32_t i = 0, x = 11; i < bytes.size(); i++, x = x * 1664525u + 1013904223u)
        bytes[i] = static_cast<char>((x >> 24) % 4 ? x >> 8 : "[=\n#"[(x >> 16) % 4]);
    const std::string cases[] = {bytes, repeat(250000, "[trigger]\ntriggerType=t\nbpm=x\n[enemy]\n"),
                                 "song=" + std::string(10 << 20, 'a') + "\nbpm=3\n"};
    for (const std::string& text : cases) {
        const auto start = std::chrono::steady_clock::now();
        const std::vector<std::string> got = check_text(text);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_FALSE(got.empty());
        EXPECT_LT(seconds, kHostileSeconds) << text.size() << " bytes";
    }
}

TEST(LevelTool, StatusesOptionsAndOutput) {
    TempFolder in(true);
    put_file("clean.txt", kBase);
    put_file("warn.txt", kBase + "junk\n");
    put_file("err.txt", kBase + "[segment]\nvisualization=4\n");
    const struct {
        std::string args;
        int status;
        std::string output;  // the whole output, or with a leading "~" a piece of it
    } cases[] = {
        {"check clean.txt", 0, ""},
        {"check warn.txt", 1, "warn.txt:3: warning: line ignored: no \"=\" in \"junk\"\n"},
        {"check --quiet warn.txt", 1, ""},
        {"check -q warn.txt err.txt clean.txt", 2, "err.txt:4: error: segment 0 uses Custom PNG, but its height map "
                                                   "errseg0height.png is missing\n"},
        {"check clean.txt nothing.txt", 2, "~nothing.txt: error: cannot read the level: No such file"},
        {"check", 2, "~no level given\nTry 'vantrope-level check --help'."},
        {"check --verbose clean.txt", 2, "~unknown option '--verbose' for check"},
        {"check --help", 0, "~Exit status: 0 when every level is clean, 1 with warnings only, 2 with errors"},
        {"render --color clean.txt 0 out.png", 2, "~(did you mean --colour?)"},
        {"render clean.txt 1 out.png 2>/dev/null", 0, ""},  // the plasma's line is not in the output
        {"render clean.txt 4 out.png", 2, "~segment '4' is not one of the level's segments (0 to 3)"},
        {"render err.txt 0 out.png", 2, "~segment 0 of err.txt: the height map errseg0height.png is missing"},
        {"render clean.txt 0 /no/such/folder/out.png", 2, "~cannot write /no/such/folder/out.png"},
        {"info clean.txt", 0, "~3 min = 180 s = 444 beats at 148 bpm"},
        {"", 2, "~Usage: vantrope-level COMMAND"},
        {"--help", 0, "~render LEVEL SEGMENT OUT.png"},
        {"frobnicate", 2, "~unknown command 'frobnicate'"},
    };
    for (const auto& c : cases) expect_tool(c.args, c.status, c.output);
}

// Levels with songs made here, checked and described: each case's line and
// exit status. The song is looked for beside the level, then in the working
// directory.
TEST(LevelTool, ChecksAndDescribesTheSong) {
    TempFolder in(true);
    fs::create_directory("models");
    fs::create_directory("levels");
    put_file("models/drone", "model");
    const int rate = 22050;
    const std::vector<int16_t> beat = make_test_pcm(TestBeat::drums, 128, 70, rate);
    ASSERT_TRUE(put_song("beat.wav", SF_FORMAT_WAV, rate, 1, beat));
    const std::string wav = file_text("beat.wav");
    const size_t header = wav.size() - 2 * beat.size();
    put_file("cut.wav", wav.substr(0, header + 2 * 30 * rate));  // the header promises 70 s, 30 s are there
    put_file("junk.wav", "RIFF but no sound");
    const auto level = [](const std::string& path, const std::string& song, double minutes, double bpm) {
        put_file(path, "[global]\nsegments=4\nsong=" + song + "\nduration=" + std::to_string(minutes) +
                           "\nbpm=" + std::to_string(bpm) + "\n" + kEnemy + kTrigger + "triggerSegment=1\n" +
                           kTrigger + "triggerSegment=3\n");
    };
    level("good.txt", "beat.wav", 1, 128);
    level("levels/here.txt", "beat.wav", 1, 128);  // the song is in the working directory
    level("cut.txt", "cut.wav", 1, 128);
    level("junk.txt", "junk.wav", 1, 128);
    level("fast.txt", "beat.wav", 1, 140);
    const struct {
        std::string args;
        int status;
        std::string output;  // the whole output, or with a leading "~" a piece of it
        double tempo = 0;    // a detected tempo in the output (after "tempo "), within 0.5 bpm
    } cases[] = {
        {"check good.txt levels/here.txt", 0, ""},
        {"check cut.txt", 1, "cut.txt:3: warning: the song \"cut.wav\" cannot be decoded completely: it is damaged "
                             "after 0:30.000; the rest is left out\ncut.txt:3: warning: the song \"cut.wav\" lasts "
                             "0:30.000, less than the level's 1:00.000 (duration=1); trigger 2 (segment 3) starts in a segment "
                             "that begins after the song's end\n"},
        {"check junk.txt", 1, "junk.txt:3: warning: the song \"junk.wav\" cannot be decoded: it is not a sound file "
                              "the editor can read\n"},
        {"check fast.txt", 1, "~fast.txt:3: warning: the level's tempo, bpm=140, differs from the song's detected "
                              "tempo, 12", 128},
        {"info levels/here.txt", 0, "~  song         beat.wav\n               found: " + in / "beat.wav" + "\n"
                                    "               1:10.000, 22050 Hz, 1 channel\n               detected tempo 12",
         128},
        {"info junk.txt", 0, "~               cannot be decoded: it is not a sound file the editor can read\n  "},
    };
    for (const auto& c : cases) {
        const std::string output = expect_tool(c.args, c.status, c.output);
        std::smatch tempo;  // the first number after "tempo" or "tempo,"
        if (c.tempo == 0) continue;
        ASSERT_TRUE(std::regex_search(output, tempo, std::regex("tempo,? ([0-9.]+)"))) << output;
        EXPECT_NEAR(std::stod(tempo[1]), c.tempo, 0.5) << output;
    }
}

// Rendered maps are the generators' pictures: grey heights from a grey ramp,
// colours from the segment's palette; Custom PNG maps come from their files.
TEST(LevelTool, RenderGivesTheEditorsMaps) {
    TempFolder in(true);
    reset_level_records();
    Image* expected = newImage(256, 256);
    for (int v = 0; v < 4; v++) {
        segment[v].visualization = v;
        segment[v].seedA = 0.35f + 0.4f * v;
        segment[v].seedB = 1.1f - 0.3f * v;
        for (int i = 0; i < 256; i++) segment[v].palette[i] = static_cast<uint32_t>(i * 0x030507 + v);
        for (bool colour : {false, true}) {
            uint32_t table[256];
            for (uint32_t i = 0; i < 256; i++) table[i] = colour ? segment[v].palette[i] : i * 0x010101u;
            copyPalette(table);
            generateVisualization(segment[v].seedA, segment[v].seedB, expected, v);
            SegmentRender r = render_segment("lv.txt", v, colour);
            ASSERT_NE(r.map, nullptr) << r.error;
            EXPECT_EQ(wrong_pixels(r.map, [&](int x, int y) {
                          const uint32_t e = expected->pixels[y * 256 + x];
                          return colour ? e : 0xff000000u | (e & 0xffu) * 0x010101u;
                      }), 0) << "visualization " << v << (colour ? " colour" : " grey");
            freeImage(r.map);
        }
    }
    freeImage(expected);

    // Custom PNG: the height map's low byte, and the colour map or else the palette.
    segment[5].visualization = 4;
    put_png("lvseg5height.png", 256, 256, height_at);
    put_png("lvseg5color.png", 256, 256, colour_at);
    const auto grey_at = [](int x, int y) { return 0xff000000u | (height_at(x, y) & 255) * 0x010101u; };
    SegmentRender grey = render_segment("lv.txt", 5, false), colour = render_segment("lv.txt", 5, true);
    ASSERT_TRUE(grey.map && colour.map);
    EXPECT_EQ(wrong_pixels(grey.map, grey_at), 0);
    EXPECT_EQ(wrong_pixels(colour.map, colour_at), 0);
    fs::remove("lvseg5color.png");
    SegmentRender palette = render_segment("lv.txt", 5, true);
    ASSERT_NE(palette.map, nullptr);
    EXPECT_EQ(wrong_pixels(palette.map, [](int x, int y) { return segment[5].palette[height_at(x, y) & 255]; }), 0);
    EXPECT_NE(palette.warning.find("colour map lvseg5color.png is missing"), std::string::npos);

    // The program writes the same pixels, first column at the left.
    put_file("lv.txt", "[global]\nsegments=8\n" + repeat(6, "[segment]\n") + "visualization=4\n");
    std::string output;
    ASSERT_EQ(run_tool("render lv.txt 5 grey.png", output), 0) << output;
    Image* written = loadPng("grey.png");
    ASSERT_NE(written, nullptr);
    EXPECT_EQ(wrong_pixels(written, grey_at), 0);
    for (Image* image : {grey.map, colour.map, palette.map, written}) freeImage(image);
}
