#include "audio/song_session.h"

#include <algorithm>
#include <cmath>

double segment_seconds(double durationMinutes, double segments) {
    const double s = durationMinutes * 60.0 / segments;
    return std::isfinite(s) && s > 0 ? s : 0.0;
}

SongPlace song_place(double seconds, double segmentSeconds, int segments) {
    if (!(segmentSeconds > 0) || segments < 1 || !(seconds > 0)) return {0, 0.0};
    const double at = seconds / segmentSeconds;
    if (at >= segments) return {segments - 1, 1.0};
    const int k = static_cast<int>(std::floor(at));
    return {k, at - k};
}

SongSession::SongSession(OutputMaker makeDevice, SilentOutput::Clock clock)
    : makeDevice_(std::move(makeDevice)), silent_(std::move(clock)) {}

SongSession::~SongSession() { stop(); }

void SongSession::load(const std::string& path, const std::string& name) {
    forget();
    loader_.request(path, name);
}

void SongSession::forget() {
    stop();
    loader_.cancel();
    core_.clear();
    song_.reset();
    wave_.reset();
    stoppedAt_ = 0;
}

bool SongSession::finish_load(std::string& message) {
    LoadedSong loaded;
    if (!loader_.take(loaded)) return false;
    song_ = loaded.read.song;
    wave_ = loaded.wave;
    message = loaded.read.message;
    return true;
}

SongSession::Started SongSession::play(double seconds) {
    stop();
    if (!song_) return Started::noSong;
    const double frame = std::round(std::max(0.0, seconds) * song_->rate);
    if (frame >= static_cast<double>(song_->frames)) return Started::pastEnd;
    core_.start(song_, frame);
    if (!device_ && makeDevice_) device_ = makeDevice_();
    if (device_ && device_->open(core_)) {
        output_ = device_.get();
        deviceError_.clear();
        return Started::sound;
    }
    deviceError_ = device_ ? device_->error() : "no audio output";
    silent_.open(core_);
    output_ = &silent_;
    return Started::silently;
}

double SongSession::frame_now() {
    output_->pump();
    return core_.song_frame_at(output_->consumed());
}

double SongSession::position() {
    if (!output_ || !song_) return stoppedAt_;
    return frame_now() / song_->rate;
}

bool SongSession::ended() { return output_ && song_ && frame_now() >= static_cast<double>(song_->frames); }

void SongSession::stop() {
    if (!output_) return;
    stoppedAt_ = position();
    output_->close();
    output_ = nullptr;
}
