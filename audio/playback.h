// The playback core: everything that happens per output frame, free of any
// toolkit and of SDL, so it is tested by calling render() directly.
//
// Output is always stereo, signed 16-bit, at the song's own rate. A mono
// song plays on both sides; a song of more than two channels plays its even
// channels (0, 2, ...) mixed on the left and its odd ones on the right.
//
// Threads: start() runs on the GUI thread while nothing renders (the audio
// device is closed). render() runs on the audio thread (or, without an
// audio device, on the GUI thread through SilentOutput); it takes no lock,
// allocates nothing and never waits. The song is shared immutably; what
// render() tells the other threads goes through atomics.
//
// Position reporting: render() publishes, for each block, which song frame
// its first output frame plays and how fast the song advances per output
// frame. song_frame_at(n) maps the device's count of consumed output frames
// back to song time with them, so the picture follows the sound even when
// the song's speed is not 1.
#pragma once

#include "audio/beat_click.h"
#include "audio/song.h"

#include <atomic>
#include <cstdint>
#include <memory>

class PlaybackCore {
public:
    // Plays `song` from song frame `startFrame` (GUI thread, device closed).
    void start(std::shared_ptr<const Song> song, double startFrame);
    // Forgets the song (GUI thread, device closed).
    void clear();

    // Fills `frames` stereo frames (2 x frames samples): the song at the
    // speed set, with the beat click when it is on. Past the song's end it
    // writes silence and sets finished().
    void render(int16_t* out, int frames);

    // Any thread; render() takes them from its next block on, and they stay
    // from one start() to the next. Song frames per output frame (1, 0.75,
    // 0.5, 0.25; resampled, see audio/resample.h):
    void set_speed(double step);
    double speed() const { return speed_.load(std::memory_order_relaxed); }
    // The metronome, on or off, and the beat grid it clicks on.
    void set_click(bool on, const ClickGrid& grid);

    // The song frame (fractional) that output frame `outputFrame` (counted
    // from start()) played; never past the song's end.
    double song_frame_at(int64_t outputFrame) const;
    // Output frames rendered since start().
    int64_t rendered() const { return rendered_.load(std::memory_order_acquire); }
    bool finished() const { return finished_.load(std::memory_order_acquire); }
    int rate() const { return song_ ? song_->rate : 0; }
    const Song* song() const { return song_.get(); }

private:
    struct Mark {
        std::atomic<uint64_t> seq{0};  // odd while being written
        std::atomic<int64_t> output{0};
        std::atomic<double> songFrame{0};
        std::atomic<double> step{0};
    };
    static constexpr int kMarks = 16;

    void publish(int64_t output, double songFrame, double step);

    std::shared_ptr<const Song> song_;  // changed only while stopped
    double position_ = 0;               // song frames; audio thread only while playing
    double start_ = 0;
    uint64_t marksWritten_ = 0;         // audio thread only
    Mark marks_[kMarks];
    std::atomic<int64_t> rendered_{0};
    std::atomic<bool> finished_{false};
    std::atomic<double> speed_{1.0};
    std::atomic<bool> click_{false};
    std::atomic<double> bpm_{0}, duration_{0}, segments_{0};
    ClickTail clickTail_;  // audio thread only while playing
};
