#include "audio/audio_output.h"

#include <algorithm>
#include <cmath>

SilentOutput::SilentOutput(Clock clock) : clock_(std::move(clock)) {}

double SilentOutput::steady_seconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

bool SilentOutput::open(PlaybackCore& core) {
    core_ = &core;
    opened_ = clock_();
    return true;
}

void SilentOutput::close() { core_ = nullptr; }

int64_t SilentOutput::consumed() const {
    if (!core_) return 0;
    // (Forgiving the rounding of the clock's seconds.)
    return static_cast<int64_t>(std::floor((clock_() - opened_) * core_->rate() + 1e-6));
}

void SilentOutput::pump() {
    if (!core_) return;
    const int64_t due = consumed();
    while (core_->rendered() < due) {
        const int64_t n = std::min<int64_t>(kAudioBlockFrames, due - core_->rendered());
        core_->render(scratch_.data(), static_cast<int>(n));
    }
}
