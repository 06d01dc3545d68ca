#include "document/recovery.h"

#include "document/level_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char kMagic[] = "# Vantrope recovery file\n";
const char kNewLevelPrefix[] = "new-level-";
const char kSuffix[] = ".recovery";
// Far above the largest level (about 1.4 MB); a bigger file is no recovery file.
constexpr long long kLargestFile = 64ll << 20;

uint64_t fnv1a(const std::string& text) {
    uint64_t h = 14695981039346656037ull;
    for (unsigned char c : text) h = (h ^ c) * 1099511628211ull;
    return h;
}

std::string hex16(uint64_t v) {
    char buf[17];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(v));
    return buf;
}

bool ends_with(const std::string& s, const char* tail) {
    size_t n = std::strlen(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

bool make_folders(const std::string& folder) {
    for (size_t at = 1; at <= folder.size(); at++) {
        if (at < folder.size() && folder[at] != '/') continue;
        if (mkdir(folder.substr(0, at).c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    struct stat st;
    if (stat(folder.c_str(), &st) != 0) return false;
    if (!S_ISDIR(st.st_mode)) return errno = ENOTDIR, false;
    return true;
}

bool running(long pid) {
    if (pid <= 0 || pid > INT_MAX) return false;
    if (pid == getpid()) return true;
    return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

bool newer(const timespec& a, const timespec& b) {
    return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec > b.tv_nsec;
}

std::string escape_path(const std::string& path) {
    std::string out;
    for (char c : path) {
        if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else out += c;
    }
    return out;
}

bool unescape_path(const std::string& text, std::string& path) {
    path.clear();
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] != '\\') {
            path += text[i];
            continue;
        }
        if (++i == text.size()) return false;
        if (text[i] == '\\') path += '\\';
        else if (text[i] == 'n') path += '\n';
        else return false;
    }
    return true;
}

// A whole decimal number filling `text`, within [0, highest].
bool whole_number(const std::string& text, long long highest, long long& value) {
    if (text.empty() || text.size() > 18) return false;  // no overflow
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return value <= highest;
}

bool remove_file(const std::string& path) { return path.empty() || unlink(path.c_str()) == 0 || errno == ENOENT; }

}  // namespace

std::string recovery_folder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') return std::string(state) + "/vantrope-editor";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.local/state/vantrope-editor";
    return "";
}

std::string recovery_level_key(const char* currentlevel) {
    std::string name;
    if (!currentlevel || std::strlen(currentlevel) <= 4 || !level_file_name(currentlevel, name)) return "";
    if (name[0] != '/') {
        char cwd[PATH_MAX];
        if (!getcwd(cwd, sizeof cwd)) return "";
        name = std::string(cwd) + "/" + name;
    }
    char resolved[PATH_MAX];
    if (realpath(name.c_str(), resolved)) return resolved;
    // Not written yet: the folder resolved, the name kept.
    std::string folder = folder_of(name);
    if (!realpath(folder.c_str(), resolved)) return name;
    std::string real = resolved;
    return (real == "/" ? "" : real) + name.substr(name.rfind('/'));
}

std::string recovery_file_for(const std::string& folder, const std::string& key) {
    if (folder.empty()) return "";
    if (key.empty()) {
        static const long started = static_cast<long>(std::time(nullptr));
        return folder + "/" + kNewLevelPrefix + std::to_string(getpid()) + "-" + std::to_string(started) + kSuffix;
    }
    std::string stem;
    for (char c : key.substr(key.rfind('/') + 1)) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                     c == '-' || c == '_';
        stem += plain ? c : '_';
        if (stem.size() == 40) break;
    }
    // Never mistaken for a new level's file, nor hidden.
    if (stem.empty() || stem[0] == '.' || stem.compare(0, 10, kNewLevelPrefix) == 0) stem = "level" + stem;
    return folder + "/" + stem + "-" + hex16(fnv1a(key)) + kSuffix;
}

std::string recovery_contents(const Recovery& r) {
    char saved[48];
    std::snprintf(saved, sizeof saved, "%lld.%09ld", static_cast<long long>(r.saved.tv_sec),
                  static_cast<long>(r.saved.tv_nsec));
    return std::string(kMagic) + "# level=" + escape_path(r.level) + "\n# saved=" + saved +
           "\n# pid=" + std::to_string(r.pid) + "\n# size=" + std::to_string(r.text.size()) +
           "\n# hash=" + hex16(fnv1a(r.text)) + "\n" + r.text;
}

RecoveryRead parse_recovery(const std::string& contents, Recovery& out) {
    const size_t magic = std::strlen(kMagic);
    if (contents.compare(0, magic, kMagic) != 0)
        return contents.size() < magic && std::string(kMagic).compare(0, contents.size(), contents) == 0
                   ? RecoveryRead::Truncated
                   : RecoveryRead::NotRecovery;
    static const char* const keys[] = {"# level=", "# saved=", "# pid=", "# size=", "# hash="};
    std::string values[5];
    size_t at = magic;
    for (int k = 0; k < 5; k++) {
        size_t end = contents.find('\n', at);
        if (end == std::string::npos) return RecoveryRead::Truncated;
        std::string line = contents.substr(at, end - at);
        size_t n = std::strlen(keys[k]);
        if (line.compare(0, n, keys[k]) != 0) return RecoveryRead::NotRecovery;
        values[k] = line.substr(n);
        at = end + 1;
    }
    long long sec, nsec, pid, size;
    size_t dot = values[1].find('.');
    if (!unescape_path(values[0], out.level) || dot == std::string::npos ||
        !whole_number(values[1].substr(0, dot), LLONG_MAX, sec) ||
        !whole_number(values[1].substr(dot + 1), 999999999, nsec) || !whole_number(values[2], INT_MAX, pid) ||
        !whole_number(values[3], kLargestFile, size) || values[4].size() != 16)
        return RecoveryRead::NotRecovery;
    out.saved.tv_sec = static_cast<time_t>(sec);
    out.saved.tv_nsec = static_cast<long>(nsec);
    out.pid = static_cast<long>(pid);
    out.text = contents.substr(at);
    if (out.text.size() != static_cast<size_t>(size) || hex16(fnv1a(out.text)) != values[4])
        return RecoveryRead::Truncated;
    return RecoveryRead::Ok;
}

RecoveryRead read_recovery(const std::string& path, Recovery& out) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? RecoveryRead::Missing : RecoveryRead::Unreadable;
    struct stat st;
    if (fstat(fd, &st) != 0) {
        int why = errno;
        close(fd);
        errno = why;
        return RecoveryRead::Unreadable;
    }
    if (!S_ISREG(st.st_mode) || st.st_size > kLargestFile) {
        close(fd);
        return RecoveryRead::NotRecovery;
    }
    std::string contents(static_cast<size_t>(st.st_size), '\0');
    size_t got = 0;
    while (got < contents.size()) {
        ssize_t n = read(fd, &contents[got], contents.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            int why = errno;
            close(fd);
            errno = why;
            return RecoveryRead::Unreadable;
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    close(fd);
    contents.resize(got);
    return parse_recovery(contents, out);
}

bool write_recovery(const std::string& path, const Recovery& recovery, std::string& error) {
    const std::string folder = folder_of(path);
    std::string temp = folder + "/.recovery-XXXXXX";
    int fd = -1;
    if (make_folders(folder)) fd = mkstemp(&temp[0]);
    if (fd < 0) {
        error = folder + ": " + std::strerror(errno);
        return false;
    }
    // No sync: the file guards against the editor's end, which the written
    // pages survive; a file cut by a system crash is found by its size.
    const std::string contents = recovery_contents(recovery);
    bool ok = write_all(fd, contents);
    int why = ok ? 0 : errno;
    if (close(fd) != 0 && ok) {
        ok = false;
        why = errno;
    }
    if (ok && std::rename(temp.c_str(), path.c_str()) == 0) return true;
    if (ok) why = errno;
    unlink(temp.c_str());
    error = path + ": " + std::strerror(why ? why : EIO);
    return false;
}

bool move_recovery_aside(const std::string& path) { return std::rename(path.c_str(), (path + ".old").c_str()) == 0; }

std::string newest_new_level_recovery(const std::string& folder, std::string& error) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) {
        if (errno != ENOENT) error = "Cannot read the recovery folder " + folder + ": " + std::strerror(errno);
        return "";
    }
    std::string newest;
    timespec newestTime{};
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.compare(0, std::strlen(kNewLevelPrefix), kNewLevelPrefix) != 0 || !ends_with(name, kSuffix)) continue;
        const std::string path = folder + "/" + name;
        struct stat st;
        Recovery r;
        // Another editor's new level, still being edited, is not ours to offer.
        if (stat(path.c_str(), &st) != 0 || (read_recovery(path, r) == RecoveryRead::Ok && running(r.pid))) continue;
        if (newest.empty() || newer(st.st_mtim, newestTime)) newest = path, newestTime = st.st_mtim;
    }
    closedir(dir);
    return newest;
}

std::string recovery_time_text(const timespec& when) {
    struct tm local;
    char text[32];
    time_t seconds = when.tv_sec;
    if (!localtime_r(&seconds, &local) || !std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local)) return "?";
    return text;
}

RecoveryOffer find_recovery(const std::string& folder, const std::string& key, const std::string& levelText) {
    RecoveryOffer offer;
    if (folder.empty()) return offer;
    if (key.empty()) {
        offer.file = newest_new_level_recovery(folder, offer.problem);
        if (!offer.problem.empty()) offer.kind = RecoveryOffer::Bad;
        if (offer.file.empty()) return offer;
    } else {
        offer.file = recovery_file_for(folder, key);
    }
    const char* damage = "not a recovery file";
    switch (read_recovery(offer.file, offer.recovery)) {
        case RecoveryRead::Missing: return offer;
        case RecoveryRead::Unreadable:
            offer.kind = RecoveryOffer::Bad;
            offer.problem = "Cannot read the recovery file " + offer.file + ": " + std::strerror(errno);
            return offer;
        case RecoveryRead::Truncated: damage = "truncated or damaged"; [[fallthrough]];
        case RecoveryRead::NotRecovery:
            offer.kind = RecoveryOffer::Bad;
            offer.problem = "The recovery file " + offer.file + " is " + damage +
                            (move_recovery_aside(offer.file) ? "; kept as " + offer.file + ".old" : "");
            return offer;
        case RecoveryRead::Ok: break;
    }
    struct stat st;
    // Another level's file under the same name, a level saved since, or nothing new.
    if (offer.recovery.level != key || (!key.empty() && stat(key.c_str(), &st) == 0 && !newer(offer.recovery.saved, st.st_mtim)) ||
        offer.recovery.text == levelText)
        return offer;
    offer.kind = RecoveryOffer::Ask;
    return offer;
}

void Autosaver::hold(const std::string& folder, const std::string& key, const std::string& cleanText) {
    folder_ = folder;
    key_ = key;
    file_ = recovery_file_for(folder, key);
    clean_ = cleanText;
    written_.clear();
    hasFile_ = false;
}

void Autosaver::adopt(const std::string& file, Recovery recovery) {
    // Written again under this process's number, so that no other editor
    // starting meanwhile takes it for one left behind.
    recovery.pid = getpid();
    std::string error;
    write_recovery(file, recovery, error);
    file_ = file;
    written_ = recovery.text;
    hasFile_ = true;
}

Autosaver::Result Autosaver::update(const std::string& text, std::string& error) {
    if (text == clean_) {
        if (!hasFile_) return Result::Unchanged;
        hasFile_ = false;
        remove_file(file_);
        return Result::Removed;
    }
    // Written already, unless another editor's Save of the same level has
    // removed the file since.
    if (hasFile_ && text == written_ && access(file_.c_str(), F_OK) == 0) return Result::Unchanged;
    if (file_.empty()) {
        error = "no folder for recovery files (neither XDG_STATE_HOME nor HOME is set)";
        return Result::Failed;
    }
    Recovery r;
    r.level = key_;
    clock_gettime(CLOCK_REALTIME, &r.saved);
    r.pid = getpid();
    r.text = text;
    if (!write_recovery(file_, r, error)) return Result::Failed;
    written_ = text;
    hasFile_ = true;
    return Result::Written;
}

void Autosaver::saved(const std::string& key, const std::string& text) {
    if (hasFile_) remove_file(file_);
    hold(folder_, key, text);
    remove_file(file_);
}
