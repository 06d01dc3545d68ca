// The editor's song from the GUI's point of view, without the toolkit: the
// song being loaded in the background, the song loaded with its waveform,
// and playing it through an audio device or, without one, silently on the
// clock. The GUI thread owns a SongSession and calls everything here.
#pragma once

#include "audio/audio_output.h"
#include "audio/playback.h"
#include "audio/song.h"
#include "audio/song_loader.h"
#include "audio/waveform.h"

#include <functional>
#include <memory>
#include <string>

// One segment's share of the song: duration x 60 / segments seconds (0 for
// a level whose numbers give none).
double segment_seconds(double durationMinutes, double segments);

// Where a song time falls in the level: segment k covers [k S, (k + 1) S)
// and the fraction is the time's place in it. Past the last segment it is
// the end of the last one; before the start, the start of the first.
struct SongPlace {
    int segment;
    double fraction;
};
SongPlace song_place(double seconds, double segmentSeconds, int segments);

class SongSession {
public:
    using OutputMaker = std::function<std::unique_ptr<AudioOutput>()>;
    // `makeDevice` gives the audio device (SDL's by default); when it cannot
    // open, playback runs silently on the clock.
    explicit SongSession(OutputMaker makeDevice = make_sdl_output, SilentOutput::Clock clock = SilentOutput::steady_seconds);
    ~SongSession();

    // Stops playing, forgets the song and reads the file at `path` in the
    // background (`name`: the song's name in messages).
    void load(const std::string& path, const std::string& name);
    // Stops playing and forgets the song; a load under way is cancelled.
    void forget();
    // When the newest load has finished: installs its song (if any) and
    // gives its status line. Call often.
    bool finish_load(std::string& message);
    bool loading() const { return loader_.busy(); }
    double load_progress() const { return loader_.progress(); }
    double load_seconds() const { return loader_.seconds_busy(); }

    const std::shared_ptr<const Song>& song() const { return song_; }
    const std::shared_ptr<const WavePyramid>& wave() const { return wave_; }

    enum class Started { sound, silently, noSong, pastEnd };
    // Plays from song time `seconds`.
    Started play(double seconds);
    // Stops; position() keeps the time reached.
    void stop();
    bool playing() const { return output_ != nullptr; }
    // The song time the device has played up to (while stopped: where it stopped).
    double position();
    // Whether the device has played the song to its end.
    bool ended();
    // Playback speed (song frames per output frame) and the metronome; they
    // apply at once while playing and stay for the next play().
    void set_speed(double step) { core_.set_speed(step); }
    void set_click(bool on, const ClickGrid& grid) { core_.set_click(on, grid); }
    // Why the audio device could not be used on the last play().
    const std::string& device_error() const { return deviceError_; }

private:
    double frame_now();  // while playing

    OutputMaker makeDevice_;
    SongLoader loader_;
    std::shared_ptr<const Song> song_;
    std::shared_ptr<const WavePyramid> wave_;
    PlaybackCore core_;
    std::unique_ptr<AudioOutput> device_;
    SilentOutput silent_;
    AudioOutput* output_ = nullptr;
    double stoppedAt_ = 0;
    std::string deviceError_;
};
