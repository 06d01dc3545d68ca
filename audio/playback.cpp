#include "audio/playback.h"

#include <algorithm>
#include <cmath>

namespace {

// One song frame as a stereo pair.
inline void stereo_frame(const Song& song, int64_t frame, int16_t* out) {
    const int16_t* s = song.samples.data() + frame * song.channels;
    switch (song.channels) {
    case 1: out[0] = out[1] = s[0]; return;
    case 2: out[0] = s[0]; out[1] = s[1]; return;
    default: {
        int left = 0, right = 0;
        for (int c = 0; c < song.channels; c += 2) left += s[c];
        for (int c = 1; c < song.channels; c += 2) right += s[c];
        out[0] = static_cast<int16_t>(left / ((song.channels + 1) / 2));
        out[1] = static_cast<int16_t>(right / (song.channels / 2));
    }
    }
}

}  // namespace

void PlaybackCore::start(std::shared_ptr<const Song> song, double startFrame) {
    song_ = std::move(song);
    position_ = start_ = std::max(0.0, startFrame);
    marksWritten_ = 0;
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
    // Song frames per output frame. Playback speed goes here: a step below 1
    // (and a resampling read in place of stereo_frame below) slows the song.
    const double step = 1.0;
    publish(first, position_, step);
    const double end = song ? static_cast<double>(song->frames) : 0.0;
    for (int i = 0; i < frames; i++) {
        int16_t* o = out + 2 * i;
        if (position_ < end) {
            stereo_frame(*song, static_cast<int64_t>(position_), o);
            position_ += step;
        } else {
            o[0] = o[1] = 0;
        }
        // A beat click would be mixed into o[0], o[1] here.
    }
    if (position_ >= end) finished_.store(true, std::memory_order_release);
    rendered_.store(first + frames, std::memory_order_release);
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
