// Reads songs on a background thread. Each request cancels the ones before
// it; only the newest one's result is ever handed out. The owner (the GUI
// thread) polls with take(); nothing here calls back into the toolkit.
#pragma once

#include "audio/song.h"
#include "audio/waveform.h"

#include <atomic>
#include <list>
#include <memory>
#include <string>
#include <thread>

// A song read in the background, with its waveform summary.
struct LoadedSong {
    SongRead read;
    std::shared_ptr<const WavePyramid> wave;  // null without a song
};

// Reads and summarises in one go (what the background thread runs).
LoadedSong load_song(const std::string& path, const std::string& name, const SongReadOptions& options);

class SongLoader {
public:
    SongLoader() = default;
    SongLoader(const SongLoader&) = delete;
    SongLoader& operator=(const SongLoader&) = delete;
    ~SongLoader();  // cancels and waits for every thread

    // Starts reading `path` (named `name` in messages), cancelling older requests.
    void request(const std::string& path, const std::string& name);
    // Cancels every request.
    void cancel();
    // True once, when the newest request has finished; its result goes to `out`.
    bool take(LoadedSong& out);
    // Whether the newest request's result is still to be taken, its
    // progress 0..1 and the seconds since it began.
    bool busy() const;
    double progress() const;
    double seconds_busy() const;

private:
    struct Job {
        std::atomic<bool> cancel{false};
        std::atomic<bool> done{false};
        std::atomic<double> progress{0};
        double began = 0;
        LoadedSong result;
        std::thread thread;
    };
    void reap();
    std::list<std::unique_ptr<Job>> jobs_;  // the newest last
    bool taken_ = true;
};
