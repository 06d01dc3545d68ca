// For the song end-to-end test: writes a 30-second 44.1 kHz stereo WAV of a drum pattern (the right
// channel at half the left), and checks what SDL's disk driver recorded against it.
//   song_tool write SONG.wav BPM
//   song_tool check RECORDED BPM   the recorded frames, after the silent blocks SDL may write before
//                                  the device starts, must be the song's from its start; prints how many
#include "tests/song_files.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 4 || (std::strcmp(argv[1], "write") != 0 && std::strcmp(argv[1], "check") != 0)) return 2;
    const std::vector<int16_t> drums = make_test_pcm(TestBeat::drums, std::atof(argv[3]), 30);
    const auto sample = [&](int64_t f, int c) { return static_cast<int16_t>(c ? drums[f] / 2 : drums[f]); };
    if (std::strcmp(argv[1], "write") == 0)
        return put_song(argv[2], SF_FORMAT_WAV, 44100, 2, static_cast<int64_t>(drums.size()), sample) ? 0 : 1;
    const std::vector<int16_t> s = played_frames(argv[2]);
    for (size_t i = 0; i < s.size() / 2; i++) {
        if (i >= drums.size() || s[2 * i] != sample(i, 0) || s[2 * i + 1] != sample(i, 1)) {
            std::fprintf(stderr, "recorded frame %zu differs from the song's\n", i);
            return 1;
        }
    }
    std::printf("%zu\n", s.size() / 2);
    return 0;
}
