// vantrope-level: each check rule on a crafted level with its exact line, a clean level, the
// program's statuses, options and output, and its maps against the generators.
#include "document/level_check.h"
#include "document/records.h"
#include "gfx/image.h"
#include "maps/generators.h"
#include "tests/song_files.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/wait.h>
#include <vector>

namespace {

uint32_t height_at(int x, int y) { return static_cast<uint32_t>((x * 7 + y * 3) & 255) | 0x5a0000u; }
uint32_t colour_at(int x, int y) { return static_cast<uint32_t>(x | (y << 8) | ((x ^ y) << 16)); }

// The diagnostics of a level text as "LINE error|warning: text" lines.
std::vector<std::string> check_text(const std::string& text, const char* path) {
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

// Runs the program; gives its exit status and what it printed (both streams, unless the
// arguments send standard error elsewhere).
int run_tool(const std::string& args, std::string& output) {
    FILE* p = popen((std::string(VANTROPE_LEVEL_TOOL) + " 2>&1 " + args).c_str(), "r");
    char buf[4096];
    output.clear();
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) output.append(buf, n);
    const int status = pclose(p);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const std::string kBase = "[global]\nsegments=4\n";            // lines 1-2
const std::string kEnemy = "[enemy]\nenemyModelName=drone\n";   // lines 3-4
const std::string kTrigger = "[trigger]\ntriggerType=drone\n";  // lines 5-6

}  // namespace

TEST(LevelCheck, EveryRuleReportsItsLine) {
    TempFolder in(true);
    fs::create_directory("models");
    put_file("models/drone", "model");
    put_file("boom.wav", "RIFF");
    // Three minutes (the level's length) of silence: no tempo to compare.
    put_song("present.wav", SF_FORMAT_WAV, 8000, 1, std::vector<int16_t>(180 * 8000, 0));
    put_png("lvseg1height.png", 128, 128, height_at);  // segment 2 has no colour map, 3 no maps
    put_png("lvseg1color.png", 64, 64, colour_at);
    put_file("lvseg2height.png", "not a picture");
    for (const char* map : {"lvseg0height.png", "lvseg0color.png"}) put_png(map, 256, 256, height_at);
    const std::string withTrigger = kBase + kEnemy + kTrigger;
    const struct { const char* rule; std::string text; std::vector<std::string> want; } cases[] = {
        // Every kind of file in place, stage times in order, values at the ends of their ranges.
        {"clean", "[global]\nsegments=5\nsong=present.wav\n[segment]\nvisualization=4\n" + kEnemy + "lockOnSound=boom.wav\n"
         "explodeSound=boom.wav\n" + kTrigger + "triggerSegment=4\nstageCount=3\nstage1trigger=0.5\nstage2trigger=1\n"
         "stage2z=-8000\n" + kTrigger + "stageCount=8\nstage7trigger=1\nstage7x=200\n", {}},
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
        {"control character", kBase + "song=present.wav\tx\n", {"3 warning: the text of \"song\" holds a control"}},
        {"long line", kBase + "#" + std::string(253, 'x') + "bpm=120\n",
         {"3 warning: longer than 254", "3 warning: read as the key \"bpm\""}},
        {"CR LF", kBase + "bpm=120\r\nduration=2\r\n\r\n", {"3 warning: knows no section heads (so do 2 more lines)"}},
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
        {"custom maps", kBase + repeat(4, "[segment]\nvisualization=4\n"),
         {"6 error: height map lvseg1height.png is 128 x 128 pixels", "6 error: colour map lvseg1color.png is 64 x 64",
          "8 error: lvseg2height.png is not a readable PNG", "8 warning: lvseg2color.png is missing",
          "10 error: lvseg3height.png is missing", "10 warning: lvseg3color.png is missing"}},
        {"model not found", kBase + "[enemy]\nenemyModelName=ghost.md2\n", {"4 warning: \"ghost.md2\" is not found"}},
        {"model name too short", kBase + "[enemy]\nenemyModelName=ufo\n", {"4 warning: shorter than 5"}},
        {"sound missing", kBase + kEnemy + "lockOnSound=lock.wav\nexplodeSound=boom.wav\n", {"5 warning: \"lock.wav\""}},
        {"song missing", kBase + "song=track.ogg\n", {"3 warning: the song \"track.ogg\" is not found"}},
        // Segment 3 of four in four minutes starts at 3:00, where the song ends.
        {"song shorter", kBase + "song=present.wav\nduration=4\n" + kEnemy + kTrigger + "triggerSegment=3\n",
         {"3 warning: lasts 3:00.000, less than the level's 4:00.000 (duration=4); trigger 1 (segment 3) starts in"}},
    };
    for (const auto& c : cases) {
        const std::vector<std::string> got = check_text(c.text, "lv.txt");
        ASSERT_EQ(got.size(), c.want.size()) << c.rule << ": " << ::testing::PrintToString(got);
        for (size_t i = 0; i < got.size(); i++) {
            const size_t head = c.want[i].find(": ") + 2;  // "LINE kind: " exactly, then the piece anywhere
            EXPECT_TRUE(got[i].compare(0, head, c.want[i], 0, head) == 0 &&
                        got[i].find(c.want[i].substr(head)) != std::string::npos) << c.rule << ": " << got[i];
        }
    }
}

TEST(LevelTool, StatusesOptionsAndOutput) {
    TempFolder in(true);
    put_file("clean.txt", kBase);
    put_file("warn.txt", kBase + "junk\n");
    put_file("err.txt", kBase + "[segment]\nvisualization=4\n");
    // Arguments, exit status, the whole output or with a leading "~" a piece of it.
    const std::tuple<std::string, int, std::string> runs[] = {
        {"check clean.txt", 0, ""},
        {"check warn.txt", 1, "warn.txt:3: warning: line ignored: no \"=\" in \"junk\"\n"},
        {"check --quiet warn.txt", 1, ""},
        {"check -q warn.txt err.txt clean.txt", 2, "err.txt:4: error: segment 0 uses Custom PNG, but its height map "
                                                   "errseg0height.png is missing\n"},
        {"check clean.txt nothing.txt", 2, "~nothing.txt: error: cannot read the level: No such file"},
        {"render --color clean.txt 0 out.png", 2, "~unknown option '--color' for render (did you mean --colour?)"},
        {"render clean.txt 1 out.png 2>/dev/null", 0, ""},  // the plasma's line is not in the output
        {"render clean.txt 4 out.png", 2, "~segment '4' is not one of the level's segments (0 to 3)"},
        {"render err.txt 0 out.png", 2, "~segment 0 of err.txt: the height map errseg0height.png is missing"},
        {"render clean.txt 0 /no/such/folder/out.png", 2, "~cannot write /no/such/folder/out.png"},
        {"info clean.txt", 0, "~3 min = 180 s = 444 beats at 148 bpm"},
    };
    for (const auto& [args, status, want] : runs) {
        std::string output;
        EXPECT_EQ(run_tool(args, output), status) << args;
        if (want[0] == '~') EXPECT_NE(output.find(want.substr(1)), std::string::npos) << args << ": " << output;
        else EXPECT_EQ(output, want) << args;
    }
}

// The program's pictures are the editor's maps, first column at the left, every pixel opaque: a
// generated map's height index in grey, or with --colour in the segment's palette.
TEST(LevelTool, RenderGivesTheEditorsMaps) {
    TempFolder in(true);
    reset_level_records();
    for (int v = 0; v < 4; v++) {
        segment[v].visualization = v;
        segment[v].seedA = 0.25f + 0.5f * v;  // exact in the file's six decimals
        segment[v].seedB = 1.0f - 0.25f * v;
        for (int i = 0; i < 256; i++) segment[v].palette[i] = static_cast<uint32_t>(i * 0x030507 + v) & 0xffffffu;
    }
    std::string text;
    ASSERT_TRUE(level_text(LevelSettings{}, 0, 0, text));
    put_file("lv.txt", text);
    Image* expected = newImage(256, 256);
    for (int s = 0; s < 4; s++)
        for (bool colour : {false, true}) {
            uint32_t table[256];
            for (uint32_t i = 0; i < 256; i++) table[i] = colour ? segment[s].palette[i] : i * 0x010101u;
            copyPalette(table);
            generateVisualization(segment[s].seedA, segment[s].seedB, expected, s);
            std::string output, args = std::string(colour ? "--colour" : "") + " lv.txt " + std::to_string(s);
            ASSERT_EQ(run_tool("render " + args + " out.png", output), 0) << output;
            Image* written = loadPng("out.png");
            ASSERT_NE(written, nullptr);
            int wrong = 0;  // pixels unlike the generator's (in grey through the grey table), made opaque
            for (int i = 0; i < 256 * 256; i++)
                wrong += written->pixels[i] != (0xff000000u | (expected->pixels[i] & 0xffffffu));
            EXPECT_EQ(wrong, 0) << args;
            freeImage(written);
        }
    freeImage(expected);
}
