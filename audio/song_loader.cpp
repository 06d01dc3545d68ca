#include "audio/song_loader.h"

#include "audio/audio_output.h"

LoadedSong load_song(const std::string& path, const std::string& name, const SongReadOptions& options) {
    LoadedSong loaded;
    loaded.read = read_song_file(path, name, options);
    if (loaded.read.song) loaded.wave = std::make_shared<WavePyramid>(loaded.read.song);
    return loaded;
}

SongLoader::~SongLoader() {
    cancel();
    for (auto& job : jobs_) job->thread.join();
}

void SongLoader::request(const std::string& path, const std::string& name) {
    cancel();
    reap();
    auto job = std::make_unique<Job>();
    Job* j = job.get();
    j->began = SilentOutput::steady_seconds();
    j->thread = std::thread([j, path, name] {
        SongReadOptions options;
        options.cancel = &j->cancel;
        options.progress = &j->progress;
        j->result = load_song(path, name, options);
        j->done.store(true, std::memory_order_release);
    });
    jobs_.push_back(std::move(job));
    taken_ = false;
}

void SongLoader::cancel() {
    for (auto& job : jobs_) job->cancel.store(true);
    taken_ = true;
}

// Joins the threads that have finished, except the newest one's result.
void SongLoader::reap() {
    for (auto it = jobs_.begin(); it != jobs_.end();) {
        const bool newest = std::next(it) == jobs_.end();
        if ((*it)->done.load(std::memory_order_acquire) && (!newest || taken_)) {
            (*it)->thread.join();
            it = jobs_.erase(it);
        } else {
            ++it;
        }
    }
}

bool SongLoader::take(LoadedSong& out) {
    reap();
    if (taken_ || jobs_.empty() || !jobs_.back()->done.load(std::memory_order_acquire)) return false;
    out = std::move(jobs_.back()->result);
    taken_ = true;
    reap();
    return true;
}

bool SongLoader::busy() const { return !taken_ && !jobs_.empty(); }

double SongLoader::progress() const { return jobs_.empty() ? 0.0 : jobs_.back()->progress.load(); }

double SongLoader::seconds_busy() const {
    return busy() ? SilentOutput::steady_seconds() - jobs_.back()->began : 0.0;
}
