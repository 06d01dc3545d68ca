// Where the playback core's frames go: an SDL audio device, or, when there
// is none, a clock that consumes them silently at the song's rate. Both
// report how many output frames the device has consumed, which the editor
// maps to song time with PlaybackCore::song_frame_at.
#pragma once

#include "audio/playback.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    // Starts consuming the core's frames at core.rate(); false when the
    // output cannot start (error() says why).
    virtual bool open(PlaybackCore& core) = 0;
    // Stops; render() is not called any more once this returns.
    virtual void close() = 0;
    // Output frames consumed since open().
    virtual int64_t consumed() const = 0;
    // Called often by the GUI thread while playing.
    virtual void pump() {}
    const std::string& error() const { return error_; }

protected:
    std::string error_;
};

// Frames per audio callback.
constexpr int kAudioBlockFrames = 1024;

// The SDL audio device (audio/sdl_output.cpp): 16-bit stereo at the song's
// rate, kAudioBlockFrames frames per callback. The device's progress is the
// count of frames handed to it before the latest callback plus the time
// since that callback, never more than it was handed.
std::unique_ptr<AudioOutput> make_sdl_output();

// No device: the clock consumes the frames, and pump() renders them (into a
// scratch buffer) so the core sees the same calls as with a device.
class SilentOutput : public AudioOutput {
public:
    using Clock = std::function<double()>;  // seconds, never going back
    explicit SilentOutput(Clock clock = steady_seconds);
    bool open(PlaybackCore& core) override;
    void close() override;
    int64_t consumed() const override;
    void pump() override;
    static double steady_seconds();

private:
    Clock clock_;
    PlaybackCore* core_ = nullptr;
    double opened_ = 0;
    std::array<int16_t, 2 * kAudioBlockFrames> scratch_{};
};
