// The level's song in memory, and reading it with libsndfile.
//
// A song is kept once, decoded to interleaved signed 16-bit samples (half
// the memory of float, and exactly what the audio device is fed), with a
// summary for drawing its waveform beside it (audio/waveform.h). A Song is
// never changed after it is read, so it is shared between the editor and
// the audio thread through a shared_ptr<const Song>.
//
// Reading never stops the editor: every failure is a SongRead whose `song`
// is null (or, for a damaged file, holds the part that decoded) and whose
// `message` is one line for the status row.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct Song {
    int rate = 0;                  // frames per second
    int channels = 0;              // 1..8
    int64_t frames = 0;            // frames decoded
    std::vector<int16_t> samples;  // frames x channels, interleaved
    double seconds() const { return rate > 0 ? static_cast<double>(frames) / rate : 0.0; }
};

// What the reader accepts.
constexpr int kMaxSongChannels = 8;
constexpr int kMinSongRate = 8000;
constexpr int kMaxSongRate = 384000;
constexpr double kMaxSongSeconds = 60.0 * 60.0;

enum class SongProblem {
    none,
    missing,        // no such file
    noPermission,   // exists, may not be read
    notAFile,       // a folder, FIFO, device or socket
    notAudio,       // libsndfile cannot read it
    damaged,        // decoding stopped early: `song` holds what decoded
    noFrames,       // reads as sound but has none
    badFormat,      // more than 8 channels, or a rate outside 8000..384000 Hz
    tooLong,        // longer than 60 minutes
    tooLarge,       // more decoded samples than the memory limit
    cancelled,      // a newer request took over
};

struct SongRead {
    std::shared_ptr<const Song> song;  // null unless the song can be played
    SongProblem problem = SongProblem::none;
    std::string message;               // one line for the status row
};

struct SongReadOptions {
    // Set from another thread to give up early (the result is `cancelled`).
    const std::atomic<bool>* cancel = nullptr;
    // Receives the fraction read so far, 0..1, between blocks.
    std::atomic<double>* progress = nullptr;
    // Decoded samples (frames x channels) allowed in memory: 2^29 samples
    // are 1 GiB, an hour of 48 kHz stereo takes a third of that.
    int64_t maxSamples = int64_t(1) << 29;
};

// Reads the file at `path` (as located by locate_song). The file type is
// checked before opening and the file is opened without blocking, so a
// folder, FIFO or device gives `notAFile` at once. `name` is how messages
// name the song (the text the level holds).
SongRead read_song_file(const std::string& path, const std::string& name,
                        const SongReadOptions& options = {});

// Reads a song held in memory (libsndfile's virtual I/O), as read_song_file
// does after opening; used by the fuzzer and by tests.
SongRead read_song_memory(const void* data, size_t size, const std::string& name,
                          const SongReadOptions& options = {});

// Where the song named `song` (the text of the level's `song=`) is: an
// absolute name as it stands; otherwise relative to the folder of the level
// file `levelPath`, then to `workingDir`. With no level file (empty
// `levelPath`) only the working folder is tried. When no candidate exists
// the first candidate is returned, so that the reader reports it missing.
std::string locate_song(const std::string& song, const std::string& levelPath,
                        const std::string& workingDir);

// The song name to store for a file chosen in a file chooser: relative to
// the level's folder (the working folder for a level without a file)
// when the file lies inside it, else the path as given.
std::string song_name_for(const std::string& chosenPath, const std::string& levelPath,
                          const std::string& workingDir);

// The working folder ("." when it cannot be found).
std::string working_folder();

// A time as m:ss.mmm (minutes not limited to 59), rounded to the millisecond.
std::string format_song_time(double seconds);
