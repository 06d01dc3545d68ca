#include "audio/song.h"

#include <sndfile.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// Frames decoded per libsndfile call: small enough to notice a cancel
// quickly, large enough that the calls cost nothing.
constexpr sf_count_t kBlockFrames = 1 << 16;

std::string quoted(const std::string& name) { return "Song \"" + name + "\""; }

SongRead failure(SongProblem problem, const std::string& message) {
    SongRead r;
    r.problem = problem;
    r.message = message;
    return r;
}

// libsndfile repairs a header that promises more data than the file holds
// and says so only in its log ("data : 16000 (should be 7978)"): such a
// file was cut short.
bool header_promised_more(SNDFILE* file) {
    char log[8192];
    log[0] = '\0';
    sf_command(file, SFC_GET_LOG_INFO, log, sizeof log);
    for (const char* line = log; line && *line; line = std::strchr(line, '\n'), line = line ? line + 1 : nullptr) {
        long long promised = 0, held = 0;
        if (std::sscanf(line, "data : %lld (should be %lld)", &promised, &held) == 2 && promised > held) return true;
    }
    return false;
}

SongRead decode(SNDFILE* file, const SF_INFO& info, const std::string& name, const SongReadOptions& options) {
    if (info.channels < 1 || info.channels > kMaxSongChannels)
        return failure(SongProblem::badFormat, quoted(name) + " has " + std::to_string(info.channels) +
                                                   " channels; at most 8 can be played");
    if (info.samplerate < kMinSongRate || info.samplerate > kMaxSongRate)
        return failure(SongProblem::badFormat, quoted(name) + " has a rate of " + std::to_string(info.samplerate) +
                                                   " Hz; 8000 to 384000 Hz can be played");
    const int64_t rate = info.samplerate, channels = info.channels;
    const int64_t longest = static_cast<int64_t>(kMaxSongSeconds) * rate;
    const bool lengthKnown = info.frames > 0 && info.frames < SF_COUNT_MAX;
    if (lengthKnown && info.frames > longest)
        return failure(SongProblem::tooLong, quoted(name) + " lasts " +
                                                 format_song_time(static_cast<double>(info.frames) / rate) +
                                                 "; at most 60 minutes can be played");
    const int64_t roomFrames = options.maxSamples / channels;
    if (lengthKnown && info.frames > roomFrames)
        return failure(SongProblem::tooLarge, quoted(name) + " is too large to hold in memory");

    auto song = std::make_shared<Song>();
    song->rate = info.samplerate;
    song->channels = info.channels;
    // The header's length is only a hint: never reserve more than allowed.
    // (One block more, for the read that finds the end, so that the samples
    // are never moved.)
    if (lengthKnown) song->samples.reserve(static_cast<size_t>((info.frames + kBlockFrames) * channels));
    const int64_t limit = std::min(longest, roomFrames);
    int64_t frames = 0;
    bool overLimit = false;
    for (;;) {
        if (options.cancel && options.cancel->load(std::memory_order_relaxed))
            return failure(SongProblem::cancelled, quoted(name) + ": loading cancelled");
        const int64_t want = std::min<int64_t>(kBlockFrames, limit + 1 - frames);
        song->samples.resize(static_cast<size_t>((frames + want) * channels));
        const sf_count_t got = sf_readf_short(file, song->samples.data() + frames * channels, want);
        if (got <= 0) break;
        frames += got;
        if (frames > limit) {
            overLimit = true;
            break;
        }
        if (options.progress && lengthKnown)
            options.progress->store(std::min(1.0, static_cast<double>(frames) / info.frames),
                                    std::memory_order_relaxed);
    }
    if (overLimit) {
        if (limit == longest)
            return failure(SongProblem::tooLong, quoted(name) + " lasts longer than 60 minutes; at most 60 can be played");
        return failure(SongProblem::tooLarge, quoted(name) + " is too large to hold in memory");
    }
    song->samples.resize(static_cast<size_t>(frames * channels));
    // A header that promised far more than came leaves room to give back.
    if (song->samples.capacity() - song->samples.size() > song->samples.size() / 8 + kBlockFrames * channels)
        song->samples.shrink_to_fit();
    song->frames = frames;
    if (frames == 0) return failure(SongProblem::noFrames, quoted(name) + " holds no sound");

    SongRead r;
    const bool cut = sf_error(file) != SF_ERR_NO_ERROR || (lengthKnown && frames < info.frames) ||
                     header_promised_more(file);
    r.problem = cut ? SongProblem::damaged : SongProblem::none;
    r.message = cut ? quoted(name) + " is damaged after " + format_song_time(song->seconds()) +
                          "; the rest is left out"
                    : quoted(name) + ": " + format_song_time(song->seconds()) + ", " +
                          std::to_string(song->rate) + " Hz, " + std::to_string(song->channels) +
                          (song->channels == 1 ? " channel" : " channels");
    r.song = std::move(song);
    return r;
}

SongRead not_audio(const std::string& name) {
    return failure(SongProblem::notAudio, quoted(name) + " is not a sound file the editor can read");
}

// Bytes in memory seen as a file by libsndfile.
struct MemoryFile {
    const unsigned char* data;
    sf_count_t size;
    sf_count_t pos;
};

sf_count_t memory_length(void* user) { return static_cast<MemoryFile*>(user)->size; }

sf_count_t memory_seek(sf_count_t offset, int whence, void* user) {
    MemoryFile& m = *static_cast<MemoryFile*>(user);
    sf_count_t to = offset;
    if (whence == SEEK_CUR) to += m.pos;
    else if (whence == SEEK_END) to += m.size;
    if (to < 0 || to > m.size) return -1;
    m.pos = to;
    return m.pos;
}

sf_count_t memory_read(void* out, sf_count_t count, void* user) {
    MemoryFile& m = *static_cast<MemoryFile*>(user);
    const sf_count_t n = std::max<sf_count_t>(0, std::min(count, m.size - m.pos));
    if (n > 0) std::memcpy(out, m.data + m.pos, static_cast<size_t>(n));
    m.pos += n;
    return n;
}

sf_count_t memory_write(const void*, sf_count_t, void*) { return 0; }
sf_count_t memory_tell(void* user) { return static_cast<MemoryFile*>(user)->pos; }

}  // namespace

SongRead read_song_file(const std::string& path, const std::string& name, const SongReadOptions& options) {
    struct stat st;
    auto from_errno = [&](int error) {
        if (error == EACCES || error == EPERM)
            return failure(SongProblem::noPermission, quoted(name) + " cannot be read: no permission");
        if (error == ENOENT || error == ENOTDIR)
            return failure(SongProblem::missing, quoted(name) + " not found");
        return failure(SongProblem::missing, quoted(name) + " cannot be opened: " + std::strerror(error));
    };
    auto not_a_file = [&](const struct stat& s) {
        return failure(SongProblem::notAFile, quoted(name) + (S_ISDIR(s.st_mode) ? " is a folder, not a sound file"
                                                                                  : " is not a regular file"));
    };
    // Look before opening: opening a FIFO for reading waits for a writer.
    if (stat(path.c_str(), &st) != 0) return from_errno(errno);
    if (!S_ISREG(st.st_mode)) return not_a_file(st);
    // Without blocking, in case the name was swapped for a FIFO meanwhile.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return from_errno(errno);
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return not_a_file(st);
    }
    SF_INFO info{};
    SNDFILE* file = sf_open_fd(fd, SFM_READ, &info, SF_TRUE);
    if (!file) return not_audio(name);
    SongRead r = decode(file, info, name, options);
    sf_close(file);
    return r;
}

SongRead read_song_memory(const void* data, size_t size, const std::string& name, const SongReadOptions& options) {
    MemoryFile m{static_cast<const unsigned char*>(data), static_cast<sf_count_t>(size), 0};
    SF_VIRTUAL_IO io{memory_length, memory_seek, memory_read, memory_write, memory_tell};
    SF_INFO info{};
    SNDFILE* file = sf_open_virtual(&io, SFM_READ, &info, &m);
    if (!file) return not_audio(name);
    SongRead r = decode(file, info, name, options);
    sf_close(file);
    return r;
}

std::string locate_song(const std::string& song, const std::string& levelPath, const std::string& workingDir) {
    const fs::path name(song);
    if (name.is_absolute()) return song;
    std::vector<fs::path> candidates;
    if (!levelPath.empty()) {
        fs::path folder = fs::path(levelPath).parent_path();
        if (folder.is_relative()) folder = fs::path(workingDir) / folder;
        candidates.push_back(folder / name);
    }
    candidates.push_back(fs::path(workingDir) / name);
    for (const fs::path& p : candidates) {
        std::error_code error;
        if (fs::exists(p, error)) return p.lexically_normal().string();
    }
    return candidates.front().lexically_normal().string();
}

std::string song_name_for(const std::string& chosenPath, const std::string& levelPath, const std::string& workingDir) {
    fs::path folder = levelPath.empty() ? fs::path(workingDir) : fs::path(levelPath).parent_path();
    if (folder.is_relative()) folder = fs::path(workingDir) / folder;
    fs::path chosen(chosenPath);
    if (chosen.is_relative()) chosen = fs::path(workingDir) / chosen;
    const fs::path relative = chosen.lexically_normal().lexically_relative(folder.lexically_normal());
    if (relative.empty() || *relative.begin() == "..") return chosenPath;
    return relative.string();
}

std::string working_folder() {
    std::error_code error;
    const fs::path here = fs::current_path(error);
    return error ? std::string(".") : here.string();
}

std::string format_song_time(double seconds) {
    if (!std::isfinite(seconds) || seconds < 0) seconds = 0;
    const long long ms = std::llround(seconds * 1000.0);
    char text[48];
    std::snprintf(text, sizeof text, "%lld:%02lld.%03lld", ms / 60000, ms / 1000 % 60, ms % 1000);
    return text;
}
