#include "audio/playback.h"

#include "audio/resample.h"

#include <algorithm>
#include <cmath>

void PlaybackCore::start(std::shared_ptr<const Song> song, double startFrame) {
    song_ = std::move(song);
    position_ = start_ = std::max(0.0, startFrame);
    marksWritten_ = 0;
    clickTail_ = ClickTail{};
    for (Mark& m : marks_) m.seq.store(0, std::memory_order_relaxed);
    rendered_.store(0, std::memory_order_release);
    finished_.store(!song_ || position_ >= static_cast<double>(song_->frames), std::memory_order_release);
}

void PlaybackCore::clear() { start(nullptr, 0); }

void PlaybackCore::publish(int64_t output, double songFrame, double step) {
    Mark& m = marks_[marksWritten_ % kMarks];
    const uint64_t seq = 2 * marksWritten_ + 1;
    m.seq.store(seq, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    m.output.store(output, std::memory_order_relaxed);
    m.songFrame.store(songFrame, std::memory_order_relaxed);
    m.step.store(step, std::memory_order_relaxed);
    m.seq.store(seq + 1, std::memory_order_release);
    marksWritten_++;
}

void PlaybackCore::render(int16_t* out, int frames) {
    const Song* song = song_.get();
    const int64_t first = rendered_.load(std::memory_order_relaxed);
    // Song frames per output frame: below 1 the song is resampled slower.
    const double step = speed_.load(std::memory_order_relaxed);
    publish(first, position_, step);
    int played = 0;
    if (song) {
        played = resample_stereo(song->samples.data(), song->frames, song->channels, position_, step, out, frames);
        if (click_.load(std::memory_order_relaxed)) {
            const ClickGrid grid{bpm_.load(std::memory_order_relaxed), duration_.load(std::memory_order_relaxed),
                                 segments_.load(std::memory_order_relaxed)};
            mix_clicks(out, played, song->rate, position_, step, grid, clickTail_);
        }
    } else {
        std::fill(out, out + 2 * frames, int16_t{0});
    }
    // Whole blocks of a step of quarters keep the position exact.
    position_ += frames * step;
    if (!song || position_ >= static_cast<double>(song->frames)) finished_.store(true, std::memory_order_release);
    rendered_.store(first + frames, std::memory_order_release);
}

void PlaybackCore::set_speed(double step) {
    if (step > 0 && std::isfinite(step)) speed_.store(step, std::memory_order_relaxed);
}

void PlaybackCore::set_click(bool on, const ClickGrid& grid) {
    bpm_.store(grid.bpm, std::memory_order_relaxed);
    duration_.store(grid.durationMinutes, std::memory_order_relaxed);
    segments_.store(grid.segments, std::memory_order_relaxed);
    click_.store(on, std::memory_order_relaxed);
}

double PlaybackCore::song_frame_at(int64_t outputFrame) const {
    const double end = song_ ? static_cast<double>(song_->frames) : 0.0;
    // The latest published block that began at or before outputFrame.
    bool found = false;
    int64_t bestOutput = 0;
    double bestSong = start_, bestStep = 1.0;
    for (const Mark& m : marks_) {
        for (int attempt = 0; attempt < 4; attempt++) {
            const uint64_t s1 = m.seq.load(std::memory_order_acquire);
            if (s1 == 0 || (s1 & 1)) break;
            const int64_t output = m.output.load(std::memory_order_relaxed);
            const double songFrame = m.songFrame.load(std::memory_order_relaxed);
            const double step = m.step.load(std::memory_order_relaxed);
            std::atomic_thread_fence(std::memory_order_acquire);
            if (m.seq.load(std::memory_order_relaxed) != s1) continue;
            if (output <= outputFrame && (!found || output > bestOutput)) {
                found = true;
                bestOutput = output;
                bestSong = songFrame;
                bestStep = step;
            }
            break;
        }
    }
    const double frame = bestSong + static_cast<double>(outputFrame - bestOutput) * bestStep;
    return std::clamp(frame, 0.0, std::max(end, start_));
}
