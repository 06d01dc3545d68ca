// Saving a level replaces the file whole or not at all, and respects the file system: links,
// folders that take no new file, permissions and owners, read-only files, 255-character names.
#include "document/level_file.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <csignal>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr uid_t kNobody = 65534;

LevelSettings with(const char* song) { return {3, 8, 148, 8, 20, 0, 1, song}; }  // the song tells levels apart
std::string level_with(const char* song) {
    std::string text;
    level_text(with(song), 0, 0, text);
    return text;
}
bool save(const std::string& path, const char* song) { return save_level_file(path.c_str(), with(song), 0, 0); }

// Runs `body` in a child process, as root turned into an ordinary user.
bool in_child(bool ordinaryUser, const std::function<bool()>& body) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (ordinaryUser && geteuid() == 0 &&
            (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0))
            _exit(2);
        _exit(body() ? 0 : 1);
    }
    int status = -1;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

// Links stay links and a hard-linked file is written in place, cut to the new length.
TEST(Saving, FollowsSymbolicLinksAndWritesHardLinkedFilesInPlace) {
    TempFolder f;
    for (const char* folder : {"real", "links"}) fs::create_directory(f / folder);
    put_file(f / "real/level.txt", "old");
    put_file(f / "real/hard.txt", level_with("real/hard") + "left over");
    fs::create_hard_link(f / "real/hard.txt", f / "real/other.txt");
    const std::pair<const char*, const char*> links[] = {  // relative to the link's folder, a chain, dangling, a loop
        {"../real/level.txt", "one"}, {"one.txt", "two"}, {"../real/new.txt", "dangling"}, {"loop2.txt", "loop1"},
        {"loop1.txt", "loop2"}};
    for (const auto& [target, link] : links) fs::create_symlink(target, f / "links/" + link + ".txt");
    for (const auto& [name, file] : {std::pair{"links/two", "level.txt"}, {"links/dangling", "new.txt"}, {"real/hard", "other.txt"}}) {
        ASSERT_TRUE(save(f / name, name));
        EXPECT_EQ(file_text(f / "real/" + file), level_with(name));
    }
    EXPECT_FALSE(save(f / "links/loop1", "never"));
    for (const auto& [target, link] : links) EXPECT_TRUE(fs::is_symlink(f / "links/" + link + ".txt")) << link;
    EXPECT_EQ(entries(f / "links") + entries(f / "real"), 9u);  // no temporary file left
}

// A write that fails halfway (over the file size limit) is reported, in place or not; a file
// replaced through a temporary one is left as it was.
TEST(Saving, FailedWriteIsReported) {
    for (bool hardLinked : {false, true}) {
        TempFolder f;
        put_file(f / "level.txt", "old");
        if (hardLinked) fs::create_hard_link(f / "level.txt", f / "other.txt");
        EXPECT_FALSE(in_child(false, [&] {
            const rlimit limit = {4096, 4096};
            signal(SIGXFSZ, SIG_IGN);
            return setrlimit(RLIMIT_FSIZE, &limit) == 0 && save(f / "level", "too long");
        })) << hardLinked;
        EXPECT_EQ(entries(f.dir), hardLinked ? 2u : 1u);
        EXPECT_TRUE(hardLinked || file_text(f / "level.txt") == "old");
    }
}

// A file in a folder that takes no new file is written in place, and no other file is made there.
TEST(Saving, FileInAFolderThatTakesNoNewFileIsWrittenInPlace) {
    TempFolder f;
    const std::string locked = f / "locked";
    fs::create_directory(locked);
    put_file(locked + "/level.txt", "old");
    // As root, the folder stays root's and the file is given to the user who saves.
    if (geteuid() == 0) ASSERT_EQ(chown((locked + "/level.txt").c_str(), kNobody, kNobody), 0);
    else fs::permissions(locked, fs::perms(0555));
    EXPECT_TRUE(in_child(true, [&] { return save(locked + "/level", "in place"); }));
    EXPECT_EQ(file_text(locked + "/level.txt"), level_with("in place"));
    EXPECT_FALSE(in_child(true, [&] { return save(locked + "/another", "nowhere"); }));
    EXPECT_EQ(entries(locked), 1u);
}

// A replaced file keeps its bits and owner, a new one follows the umask; a read-only file or a
// folder is not replaced; names fit up to 255 characters with the ".txt".
TEST(Saving, KeepsPermissionsAndOwnerRefusesReadOnlyFilesAndTakes255CharacterNames) {
    TempFolder f(true);
    put_file("level.txt", "old");
    put_file("kept.txt", "keep me");
    fs::create_directory("sub.txt");
    fs::permissions("level.txt", fs::perms(0604));
    fs::permissions("kept.txt", fs::perms(0444));
    const bool root = geteuid() == 0;
    ASSERT_TRUE(!root || chown("level.txt", kNobody, kNobody) == 0);
    ASSERT_TRUE(save("level", "kept"));
    struct stat st;
    ASSERT_EQ(stat("level.txt", &st), 0);
    EXPECT_EQ(std::make_tuple(st.st_mode & 07777, st.st_uid, st.st_gid),
              std::make_tuple(0604u, root ? kNobody : geteuid(), root ? kNobody : getegid()));
    const mode_t mask = umask(022);
    EXPECT_TRUE(save("new", "fresh"));
    umask(mask);
    EXPECT_EQ(fs::status("new.txt").permissions(), fs::perms(0644));
    EXPECT_FALSE(save("kept.txt", "replaced") || save("sub", "replaced"));
    EXPECT_TRUE(file_text("kept.txt") == "keep me" && fs::is_empty("sub.txt"));
    for (size_t length : {250, 255}) {
        const std::string name = std::string(length - 4, 'n') + ".txt";
        EXPECT_TRUE(save(name, "long") && file_text(name) == level_with("long") && save(name, "again")) << length;
    }
    EXPECT_FALSE(save(std::string(252, 'n') + ".txt", "too long"));
    EXPECT_EQ(entries(f.dir), 6u);
}
