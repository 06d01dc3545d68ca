// Writes small songs of every format the editor reads into a folder: the song
// fuzzer's starting inputs (no song files are kept in the repository).
#include "tests/song_files.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: song_seeds FOLDER\n");
        return 2;
    }
    bool ok = true;
    for (auto [format, name] : {std::pair{SF_FORMAT_WAV, "tone.wav"}, std::pair{SF_FORMAT_FLAC, "tone.flac"},
                                std::pair{SF_FORMAT_OGG, "tone.ogg"}, std::pair{SF_FORMAT_AIFF, "tone.aiff"}})
        ok = put_song(std::string(argv[1]) + "/" + name, format, 8000, 2, 400, tone(440, 8000, 8000)) && ok;
    return ok ? 0 : 1;
}
