// Feeds arbitrary bytes to the song reader through libsndfile's virtual I/O
// and, when a song comes back, builds its waveform summary and plays a
// little of it. Memory is bounded by the reader's sample limit.
#include "audio/playback.h"
#include "audio/song.h"
#include "audio/waveform.h"
#include "fuzz/fuzz_target.h"

// libsndfile 1.2.0 leaves a Vorbis header block behind when it gives up on
// some damaged Ogg streams (allocated by vorbis_info_init, never freed by
// the library); the leak checker is told to pass over libvorbis's blocks.
extern "C" const char* __lsan_default_suppressions() { return "leak:libvorbis.so\n"; }

FUZZ_TARGET(song, data, size) {
    SongReadOptions options;
    options.maxSamples = 1 << 22;
    const SongRead read = read_song_memory(data, size, "fuzz", options);
    if (!read.song) return 0;
    const WavePyramid wave(read.song);
    const WaveRange all = wave.range(0, read.song->frames);
    PlaybackCore core;
    core.start(read.song, static_cast<double>(read.song->frames / 2));
    int16_t out[2 * 256];
    core.render(out, 256);
    volatile int keep = all.lo + all.hi + out[0];
    (void)keep;
    return 0;
}
