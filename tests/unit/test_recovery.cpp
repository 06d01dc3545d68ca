// Recovery files: where they go, what they hold, when they are written, removed and offered.
#include "document/recovery.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <optional>

namespace {

using Result = Autosaver::Result;
using Text = std::optional<std::string>;

Text recovered(const std::string& path) {
    Recovery r;
    return read_recovery(path, r) == RecoveryRead::Ok ? Text(r.text) : std::nullopt;
}

void put(const std::string& path, const std::string& level, const std::string& text, long pid = getpid()) {
    Recovery r{level, {}, pid, text};
    clock_gettime(CLOCK_REALTIME, &r.saved);
    std::string error;
    ASSERT_TRUE(write_recovery(path, r, error)) << error;
}

}  // namespace

TEST(Recovery, OneFilePerFullLevelPath) {
    TempFolder tmp(true);
    const std::string dir = fs::canonical(tmp.dir).string();
    fs::create_directory(tmp.dir / "real");
    fs::create_directory_symlink("real", tmp.dir / "link");
    const std::pair<const char*, std::string> keys[] = {  // the level's name, the file Save writes
        {"a.tx", ""},  {"level", dir + "/level.txt"}, {"./real/../level.txt", dir + "/level.txt"},
        {"link/x.txt", dir + "/real/x.txt"}, {"/nowhere/b", "/nowhere/b.txt"}};
    for (const auto& [name, key] : keys) EXPECT_EQ(recovery_level_key(name), key) << name;
    const std::string a = recovery_file_for("/f", "/a/my level.txt");
    EXPECT_EQ(a.find("/f/my_level.txt-"), 0u);
    EXPECT_NE(a, recovery_file_for("/f", "/b/my level.txt"));
    EXPECT_EQ(recovery_file_for("/f", "").find("/f/new-level-" + std::to_string(getpid()) + "-"), 0u);
}

TEST(Recovery, HeaderThenTextAndDamageFound) {
    const Recovery r{"/a\\b\nc.txt", {1700000000, 12345}, 42, "# level\n[global]\n"};
    const std::string contents = recovery_contents(r);
    EXPECT_EQ(contents.substr(0, contents.find("# hash=")),
              "# Vantrope recovery file\n# level=/a\\\\b\\nc.txt\n# saved=1700000000.000012345\n# pid=42\n# size=17\n");
    Recovery back;
    ASSERT_EQ(parse_recovery(contents, back), RecoveryRead::Ok);
    EXPECT_EQ(std::tie(back.level, back.saved.tv_sec, back.saved.tv_nsec, back.pid, back.text),
              std::tie(r.level, r.saved.tv_sec, r.saved.tv_nsec, r.pid, r.text));
    std::string flipped = contents, badTime = contents;
    flipped[flipped.size() - 3] ^= 1;
    badTime.replace(badTime.find("saved=") + 6, 1, "x");
    const auto cut = RecoveryRead::Truncated, other = RecoveryRead::NotRecovery;
    const std::pair<std::string, RecoveryRead> damaged[] = {{contents.substr(0, contents.size() - 1), cut},
        {contents.substr(0, contents.find("# size")), cut}, {"", cut}, {flipped, cut}, {contents + "x", cut},
        {"[global]\n", other}, {badTime, other}};
    for (const auto& [text, expected] : damaged) EXPECT_EQ(parse_recovery(text, back), expected) << text;
}

// Steps of three editors: a and b on two levels, c on a's level.
TEST(Recovery, WrittenOnlyWhileTheTextDiffersFromTheLevelFile) {
    TempFolder tmp;
    const std::string folder = tmp / "state/vantrope-editor";  // made on the first write
    Autosaver a, b, c;
    a.hold(folder, "/levels/one.txt", "clean");
    b.hold(folder, "/levels/two.txt", "two");
    c.hold(folder, "/levels/one.txt", "clean");
    const struct { Autosaver* editor; const char* text; Result result; const char *aFile, *bFile; } steps[] = {
        {&a, "clean", Result::Unchanged, nullptr, nullptr},  // only looked at: nothing written
        {&a, "edit1", Result::Written, "edit1", nullptr},    {&a, "edit1", Result::Unchanged, "edit1", nullptr},
        {&b, "two+", Result::Written, "edit1", "two+"},      {&a, "clean", Result::Removed, nullptr, "two+"},
        {&a, "edit2", Result::Written, "edit2", "two+"},     {&c, "other", Result::Written, "other", "two+"},  // later wins
        {&a, "edit2", Result::Unchanged, "other", "two+"},   {&a, "edit3", Result::Written, "edit3", "two+"},
    };
    std::string error;
    for (const auto& s : steps) {
        EXPECT_EQ(s.editor->update(s.text, error), s.result) << s.text;
        EXPECT_EQ(std::make_pair(recovered(a.file()), recovered(b.file())),
                  std::make_pair(s.aFile ? Text(s.aFile) : Text(), s.bFile ? Text(s.bFile) : Text())) << s.text;
        EXPECT_EQ(fs::exists(folder) ? entries(folder) : 0u, !!s.aFile + !!s.bFile) << s.text;
    }
    c.saved("/levels/one.txt", "other");  // the third editor saves: a's edits are written again
    EXPECT_EQ(a.update("edit3", error), Result::Written);
    const std::string bFile = b.file();
    b.saved("/levels/three.txt", "two+");  // Save As: the file held so far goes
    EXPECT_EQ(std::make_pair(recovered(bFile), b.update("two+", error)), std::make_pair(Text(), Result::Unchanged));
}

// Offered for a level when newer than its file and different; a damaged one is set aside.
TEST(Recovery, OfferedWhenNewerAndDifferent) {
    TempFolder tmp;
    const std::string folder = tmp / "state", level = tmp / "level.txt", file = recovery_file_for(folder, level);
    put_file(level, "on disk");
    const auto kind = [&](const std::function<void()>& arrange, bool aside) {
        for (const std::string& f : {file, file + ".old"}) fs::remove(f);
        fs::last_write_time(level, fs::file_time_type::clock::now() - std::chrono::hours(1));
        arrange();
        RecoveryOffer offer = find_recovery(folder, level, "level");
        EXPECT_EQ(std::make_pair(fs::exists(file + ".old"), offer.problem.empty()), std::make_pair(aside, !aside));
        return offer.kind == RecoveryOffer::Ask && offer.recovery.text == "edited" ? RecoveryOffer::Ask : offer.kind;
    };
    const auto later = fs::file_time_type::clock::now() + std::chrono::hours(1);
    EXPECT_EQ(kind([] {}, false), RecoveryOffer::Nothing);
    EXPECT_EQ(kind([&] { put(file, level, "edited"); }, false), RecoveryOffer::Ask);
    EXPECT_EQ(kind([&] { put(file, level, "level"); }, false), RecoveryOffer::Nothing);  // the same text
    EXPECT_EQ(kind([&] { put(file, level, "edited"), fs::last_write_time(level, later); }, false),
              RecoveryOffer::Nothing);  // saved since
    EXPECT_EQ(kind([&] { put(file, level + "x", "edited"); }, false), RecoveryOffer::Nothing);  // another level's
    EXPECT_EQ(kind([&] { put(file, level, "edited"), fs::resize_file(file, 90); }, true), RecoveryOffer::Bad);
    EXPECT_EQ(kind([&] { put_file(file, "[global]\n"); }, true), RecoveryOffer::Bad);
    put_file(tmp / "plain", "");  // a folder that cannot be read
    EXPECT_EQ(find_recovery(tmp / "plain", level, "level").kind, RecoveryOffer::Bad);
    put(file, level, "second");  // No once more: one generation kept
    ASSERT_TRUE(move_recovery_aside(file));
    EXPECT_EQ(recovered(file + ".old"), Text("second"));
}

// A new level: the newest file whose editor has ended, never one set aside.
TEST(Recovery, NewLevelOfferedFromTheNewestEndedEditor) {
    TempFolder tmp;
    const long ended = 0;  // no process has this number
    const struct { const char* name; long pid; int minutesAgo; } files[] = {
        {"new-level-1-1.recovery", ended, 30}, {"new-level-2-2.recovery", ended, 20},
        {"new-level-3-3.recovery", getppid(), 10}, {"new-level-4-4.recovery.old", ended, 0}};
    for (const auto& f : files) {
        put(tmp / f.name, "", f.name, f.pid);
        fs::last_write_time(tmp / f.name, fs::file_time_type::clock::now() - std::chrono::minutes(f.minutesAgo));
    }
    RecoveryOffer offer = find_recovery(tmp.dir.string(), "", "new");
    EXPECT_EQ(std::tie(offer.kind, offer.recovery.text), std::make_tuple(RecoveryOffer::Ask, std::string("new-level-2-2.recovery")));
}
