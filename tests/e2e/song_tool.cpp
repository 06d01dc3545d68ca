// For the song end-to-end test: writes the test song, and checks what SDL's
// disk driver recorded against it.
//   song_tool write SONG.wav           a 30-second 8 kHz stereo WAV
//   song_tool drums SONG.wav BPM       30 seconds of a drum pattern at BPM
//   song_tool check RECORDED START     the recorded 16-bit stereo frames
//                                      (after the silent blocks SDL may write
//                                      before the device starts) must be the
//                                      song's from frame START on; prints how
//                                      many there are
#include "tests/song_files.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kRate = 8000;

int16_t sample(int64_t f, int c) { return static_cast<int16_t>((f * 5 + c * 1111) % 60000 - 30000); }

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "write") == 0)
        return put_song(argv[2], SF_FORMAT_WAV, kRate, 2, 30 * kRate, sample) ? 0 : 1;
    if (argc == 4 && std::strcmp(argv[1], "drums") == 0)
        return put_song(argv[2], SF_FORMAT_WAV, 44100, 1, make_test_pcm(TestBeat::drums, std::atof(argv[3]), 30)) ? 0 : 1;
    if (argc == 4 && std::strcmp(argv[1], "check") == 0) {
        const std::vector<int16_t> s = played_frames(argv[2]);
        const int64_t start = std::atoll(argv[3]), frames = static_cast<int64_t>(s.size() / 2);
        for (int64_t i = 0; i < frames; i++) {
            if (s[2 * i] != sample(start + i, 0) || s[2 * i + 1] != sample(start + i, 1)) {
                std::fprintf(stderr, "recorded frame %lld differs from the song's frame %lld\n",
                             static_cast<long long>(i), static_cast<long long>(start + i));
                return 1;
            }
        }
        std::printf("%lld\n", static_cast<long long>(frames));
        return 0;
    }
    std::fprintf(stderr, "usage: song_tool write SONG | song_tool drums SONG BPM | song_tool check RECORDED START\n");
    return 2;
}
