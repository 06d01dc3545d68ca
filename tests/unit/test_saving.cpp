// Saving a level respects the file system: symbolic links, hard links,
// folders that take no new file, permissions and owners, read-only files,
// and names up to 255 characters.
#include "document/level_file.h"
#include "document/records.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
constexpr uid_t kNobody = 65534;

// A fresh folder that another user may enter.
struct Folder {
    std::string dir;
    Folder() {
        char name[] = "/tmp/vantrope_save.XXXXXX";
        dir = mkdtemp(name);
        chmod(dir.c_str(), 0755);
    }
    ~Folder() {
        for (const auto& e : fs::recursive_directory_iterator(dir))
            if (!e.is_symlink() && e.is_directory()) fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir);
    }
    std::string operator/(const std::string& name) const { return dir + "/" + name; }
};

std::string text_of(const std::string& path) {
    return (std::ostringstream() << std::ifstream(path).rdbuf()).str();
}
void put(const std::string& path, const std::string& text) { std::ofstream(path) << text; }
size_t entries(const std::string& dir) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

// The level a save with this song writes.
std::string level_with(const char* song) {
    char* data = nullptr;
    size_t size = 0;
    FILE* f = open_memstream(&data, &size);
    LevelSettings s;
    s.song = song;
    write_level(f, s, 0, 0);
    std::fclose(f);
    std::string text(data, size);
    std::free(data);
    return text;
}
bool save(const std::string& path, const char* song) {
    LevelSettings s;
    s.song = song;
    return save_level_file(path.c_str(), s, 0, 0);
}

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

TEST(Saving, FollowsSymbolicLinksWhichStayLinks) {
    reset_level_records();
    Folder f;
    fs::create_directory(f / "real");
    fs::create_directory(f / "links");
    put(f / "real/level.txt", "old");
    fs::create_symlink("../real/level.txt", f / "links/one.txt");  // relative to the link's folder
    fs::create_symlink(f / "links/one.txt", f / "links/two.txt");  // a chain
    fs::create_symlink("../real/new.txt", f / "links/dangling.txt");
    fs::create_symlink("loop2.txt", f / "links/loop1.txt");
    fs::create_symlink("loop1.txt", f / "links/loop2.txt");

    ASSERT_TRUE(save(f / "links/two", "through two links"));
    EXPECT_EQ(text_of(f / "real/level.txt"), level_with("through two links"));
    ASSERT_TRUE(save(f / "links/dangling", "made at the far end"));
    EXPECT_EQ(text_of(f / "real/new.txt"), level_with("made at the far end"));
    EXPECT_FALSE(save(f / "links/loop1", "never"));
    for (const char* link : {"one.txt", "two.txt", "dangling.txt", "loop1.txt", "loop2.txt"})
        EXPECT_TRUE(fs::is_symlink(f / (std::string("links/") + link))) << link;
    EXPECT_EQ(entries(f / "links") + entries(f / "real"), 7u);  // no temporary file left
}

TEST(Saving, HardLinkedFileIsWrittenInPlace) {
    reset_level_records();
    Folder f;
    put(f / "level.txt", "old");
    fs::create_hard_link(f / "level.txt", f / "other.txt");
    struct stat st;
    ASSERT_EQ(stat((f / "level.txt").c_str(), &st), 0);
    const ino_t inode = st.st_ino;
    ASSERT_TRUE(save(f / "level", "shared"));
    EXPECT_EQ(text_of(f / "other.txt"), level_with("shared"));
    ASSERT_EQ(stat((f / "level.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_ino, inode);
    EXPECT_EQ(st.st_nlink, 2u);

    // A write that fails in place (over the file size limit) is reported.
    EXPECT_FALSE(in_child(false, [&] {
        const rlimit limit = {4096, 4096};
        signal(SIGXFSZ, SIG_IGN);
        return setrlimit(RLIMIT_FSIZE, &limit) == 0 && save(f / "level", "too long");
    }));
    EXPECT_EQ(entries(f.dir), 2u);
}

TEST(Saving, FileInAFolderThatTakesNoNewFileIsWrittenInPlace) {
    reset_level_records();
    Folder f;
    const std::string locked = f / "locked";
    fs::create_directory(locked);
    put(locked + "/level.txt", "old");
    // As root, the folder stays root's and the file is given to the user who saves.
    if (geteuid() == 0) {
        ASSERT_EQ(chown((locked + "/level.txt").c_str(), kNobody, kNobody), 0);
    } else {
        fs::permissions(locked, fs::perms(0555));
    }
    EXPECT_TRUE(in_child(true, [&] { return save(locked + "/level", "in place"); }));
    EXPECT_EQ(text_of(locked + "/level.txt"), level_with("in place"));
    EXPECT_FALSE(in_child(true, [&] { return save(locked + "/another", "nowhere"); }));
    EXPECT_EQ(entries(locked), 1u);
}

// A replaced file keeps its bits and owner; a read-only one is not replaced.
TEST(Saving, KeepsPermissionsAndOwnerAndRefusesReadOnlyFiles) {
    reset_level_records();
    Folder f;
    put(f / "level.txt", "old");
    put(f / "kept.txt", "keep me");
    fs::permissions(f / "level.txt", fs::perms(0604));
    fs::permissions(f / "kept.txt", fs::perms(0444));
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown((f / "level.txt").c_str(), kNobody, kNobody), 0);
    }
    ASSERT_TRUE(save(f / "level", "kept"));
    struct stat st;
    ASSERT_EQ(stat((f / "level.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
    EXPECT_EQ(st.st_uid, root ? kNobody : geteuid());
    EXPECT_EQ(st.st_gid, root ? kNobody : getegid());
    EXPECT_EQ(text_of(f / "level.txt"), level_with("kept"));

    EXPECT_FALSE(save(f / "kept.txt", "replaced"));
    EXPECT_EQ(text_of(f / "kept.txt"), "keep me");
    EXPECT_EQ(fs::status(f / "kept.txt").permissions(), fs::perms(0444));
    EXPECT_EQ(entries(f.dir), 2u);
}

TEST(Saving, NamesUpTo255Characters) {
    reset_level_records();
    Folder f;
    const fs::path previous = fs::current_path();
    fs::current_path(f.dir);
    for (size_t length : {250, 255}) {
        const std::string name = std::string(length - 4, 'n') + ".txt";
        EXPECT_TRUE(save(name, "long")) << length;
        EXPECT_EQ(text_of(name), level_with("long")) << length;
        EXPECT_TRUE(save(name, "again")) << length;  // replacing it as well
    }
    EXPECT_FALSE(save(std::string(252, 'n') + ".txt", "too long"));
    fs::current_path(previous);
    EXPECT_EQ(entries(f.dir), 2u);
}
