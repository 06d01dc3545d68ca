// The SDL audio device behind AudioOutput. SDL calls fill() on its own
// thread; fill() only renders and stores atomics.
#include "audio/audio_output.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>

namespace {

int64_t now_ns() {
    return static_cast<int64_t>(SDL_GetPerformanceCounter() * 1e9 / static_cast<double>(SDL_GetPerformanceFrequency()));
}

class SdlOutput : public AudioOutput {
public:
    ~SdlOutput() override { close(); }

    bool open(PlaybackCore& core) override {
        // SDL would otherwise catch SIGINT and SIGTERM for its event queue,
        // which the editor never reads, and the editor could not be stopped.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (!SDL_WasInit(SDL_INIT_AUDIO) && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            error_ = SDL_GetError();
            return false;
        }
        core_ = &core;
        rate_ = core.rate();
        handed_.store(0);
        beforeLatest_.store(0);
        latestNs_.store(0);
        SDL_AudioSpec want{}, have{};
        want.freq = rate_;
        want.format = AUDIO_S16SYS;
        want.channels = 2;
        want.samples = kAudioBlockFrames;
        want.callback = fill;
        want.userdata = this;
        // SDL converts to whatever the hardware takes.
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (device_ == 0) {
            error_ = SDL_GetError();
            core_ = nullptr;
            return false;
        }
        SDL_PauseAudioDevice(device_, 0);
        return true;
    }

    void close() override {
        if (device_ != 0) SDL_CloseAudioDevice(device_);  // waits for fill() to return
        device_ = 0;
        core_ = nullptr;
    }

    int64_t consumed() const override {
        const int64_t handed = handed_.load(std::memory_order_acquire);
        const int64_t before = beforeLatest_.load(std::memory_order_acquire);
        const int64_t since = latestNs_.load(std::memory_order_acquire);
        if (handed == 0) return 0;
        const int64_t played = static_cast<int64_t>((now_ns() - since) * 1e-9 * rate_);
        return std::min(handed, before + std::max<int64_t>(0, played));
    }

private:
    static void fill(void* user, Uint8* stream, int bytes) {
        SdlOutput& self = *static_cast<SdlOutput*>(user);
        const int frames = bytes / 4;
        self.core_->render(reinterpret_cast<int16_t*>(stream), frames);
        const int64_t handed = self.handed_.load(std::memory_order_relaxed);
        self.beforeLatest_.store(handed, std::memory_order_release);
        self.latestNs_.store(now_ns(), std::memory_order_release);
        self.handed_.store(handed + frames, std::memory_order_release);
    }

    PlaybackCore* core_ = nullptr;
    SDL_AudioDeviceID device_ = 0;
    int rate_ = 0;
    std::atomic<int64_t> handed_{0};        // frames handed to the device
    std::atomic<int64_t> beforeLatest_{0};  // frames handed before the latest callback
    std::atomic<int64_t> latestNs_{0};      // when the latest callback ran
};

}  // namespace

std::unique_ptr<AudioOutput> make_sdl_output() { return std::make_unique<SdlOutput>(); }
