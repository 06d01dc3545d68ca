// The song reader, where the song is looked for, the waveform summary and
// the playback core, on songs the tests write with libsndfile.
#include "audio/audio_output.h"
#include "audio/playback.h"
#include "audio/song.h"
#include "audio/song_loader.h"
#include "audio/song_session.h"
#include "audio/waveform.h"
#include "fuzz/fuzz_target.h"
#include "tests/song_files.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <random>
#include <thread>
#include <tuple>

namespace {

// A WAV whose header promises `frames` 16-bit mono frames, the file made
// that long (sparse) but holding none.
std::string put_lying_wav(const std::string& path, int rate, int64_t frames) {
    put_song(path, SF_FORMAT_WAV, rate, 1, 0, [](int64_t, int) { return int16_t(0); });
    std::string bytes = file_text(path);
    const size_t data = bytes.find("data");
    const uint32_t dataBytes = static_cast<uint32_t>(frames * 2), riffBytes = static_cast<uint32_t>(data + dataBytes);
    bytes.replace(4, 4, reinterpret_cast<const char*>(&riffBytes), 4);
    bytes.replace(data + 4, 4, reinterpret_cast<const char*>(&dataBytes), 4);
    put_file(path, bytes.substr(0, data + 8));
    EXPECT_EQ(truncate(path.c_str(), static_cast<off_t>(data + 8 + dataBytes)), 0);
    return path;
}

// A path the reader may not open: a file without read permission, or, for
// root, whom permissions do not stop, a write-only kernel attribute.
std::string unreadable(const TempFolder& dir) {
    if (geteuid() == 0) return "/sys/bus/pci/rescan";
    const std::string path = dir / "locked.wav";
    put_song(path, SF_FORMAT_WAV, 8000, 1, 100, tone(440, 1000, 8000));
    chmod(path.c_str(), 0);
    return path;
}

}  // namespace

// Every kind of bad song: what the reader says, and what it keeps.
TEST(SongReader, BadInputTable) {
    TempFolder dir;
    const std::string wav = dir / "song.wav";
    put_song(wav, SF_FORMAT_WAV, 8000, 1, 8000, tone(440, 8000, 8000));
    const std::string flac = dir / "song.flac";
    put_song(flac, SF_FORMAT_FLAC, 8000, 1, 8000, tone(440, 8000, 8000));
    const std::string fifo = dir / "fifo";
    mkfifo(fifo.c_str(), 0644);
    struct Row {
        std::string label, path;
        SongProblem problem;
        std::string says;
    };
    auto cut = [&](const std::string& from, const std::string& to, double part) {
        const std::string bytes = file_text(from);
        put_file(to, bytes.substr(0, static_cast<size_t>(bytes.size() * part)));
        return to;
    };
    auto wav_of = [&](const std::string& name, int rate, int channels, int64_t frames) {
        put_song(dir / name, SF_FORMAT_WAV, rate, channels, frames, [](int64_t, int) { return int16_t(5); });
        return dir / name;
    };
    put_file(dir / "notes.wav", "these are notes, not a song\n");
    put_file(dir / "empty.wav", "");
    const std::string lockedPath = unreadable(dir);
    const std::vector<Row> rows = {
        {"missing", dir / "nothing.ogg", SongProblem::missing, "not found"},
        {"no permission", lockedPath, SongProblem::noPermission, "no permission"},
        {"text", dir / "notes.wav", SongProblem::notAudio, "not a sound file"},
        {"empty file", dir / "empty.wav", SongProblem::notAudio, "not a sound file"},
        {"cut wav", cut(wav, dir / "cut.wav", 0.5), SongProblem::damaged, "damaged after 0:00."},
        {"cut flac", cut(flac, dir / "cut.flac", 0.6), SongProblem::damaged, "damaged after 0:00."},
        {"no frames", wav_of("silent.wav", 8000, 1, 0), SongProblem::noFrames, "holds no sound"},
        {"9 channels", wav_of("nine.wav", 8000, 9, 100), SongProblem::badFormat, "9 channels"},
        {"slow rate", wav_of("slow.wav", 7999, 1, 100), SongProblem::badFormat, "7999 Hz"},
        {"fast rate", wav_of("fast.wav", 384001, 1, 100), SongProblem::badFormat, "384001 Hz"},
        {"61 minutes", put_lying_wav(dir / "long.wav", 8000, 8000LL * 3660), SongProblem::tooLong, "lasts 61:00.000"},
        {"folder", dir.dir.string(), SongProblem::notAFile, "is a folder"},
        {"fifo", fifo, SongProblem::notAFile, "not a regular file"},
        {"device", "/dev/zero", SongProblem::notAFile, "not a regular file"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        const SongRead r = read_song_file(row.path, "name.ogg", {});
        EXPECT_EQ(r.problem, row.problem);
        EXPECT_NE(r.message.find("Song \"name.ogg\""), std::string::npos) << r.message;
        EXPECT_NE(r.message.find(row.says), std::string::npos) << r.message;
        EXPECT_EQ(r.message.find('\n'), std::string::npos);
        if (row.problem != SongProblem::damaged) {
            EXPECT_EQ(r.song, nullptr);
        } else {
            // A damaged song keeps the frames before the damage, sample for sample.
            ASSERT_NE(r.song, nullptr);
            EXPECT_GT(r.song->frames, 1000);
            EXPECT_LT(r.song->frames, 8000);
            const SongSignal t = tone(440, 8000, 8000);
            for (int64_t f = 0; f < r.song->frames; f += 97) ASSERT_EQ(r.song->samples[f], t(f, 0)) << f;
        }
    }
}

// WAV and FLAC give back the samples written; Ogg Vorbis as many frames of
// a tone as loud, within the codec's loss.
TEST(SongReader, ReadsWavFlacAndOgg) {
    TempFolder dir;
    const int rate = 22050, frames = rate / 2;
    const SongSignal signal = [&](int64_t f, int c) { return tone(c ? 660 : 440, c ? 9000 : 12000, rate)(f, c); };
    const std::vector<int16_t> samples = song_samples(frames, 2, signal);
    auto rms = [](const std::vector<int16_t>& s) {
        double sum = 0;
        for (int16_t v : s) sum += double(v) * v;
        return std::sqrt(sum / s.size());
    };
    for (auto [format, name, lossy] : {std::tuple{SF_FORMAT_WAV, "a.wav", false}, std::tuple{SF_FORMAT_FLAC, "a.flac", false},
                                       std::tuple{SF_FORMAT_OGG, "a.ogg", true}}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(put_song(dir / name, format, rate, 2, samples));
        const SongRead r = read_song_file(dir / name, name);
        ASSERT_EQ(r.problem, SongProblem::none) << r.message;
        EXPECT_EQ(r.message, std::string("Song \"") + name + "\": 0:00.500, 22050 Hz, 2 channels");
        EXPECT_EQ(std::tuple(r.song->rate, r.song->channels, r.song->frames), std::tuple(rate, 2, int64_t(frames)));
        if (lossy) EXPECT_NEAR(rms(r.song->samples), rms(samples), 0.05 * rms(samples));
        else EXPECT_EQ(r.song->samples, samples);
    }
}

// The fuzzer's body on every format, whole and cut at many lengths, read
// from memory as from a file.
TEST(SongReader, MemoryReadsAgreeWithFilesAndSurviveCuts) {
    TempFolder dir;
    for (int format : {SF_FORMAT_WAV, SF_FORMAT_FLAC, SF_FORMAT_OGG, SF_FORMAT_AIFF}) {
        ASSERT_TRUE(put_song(dir / "s", format, 8000, 2, 3000, tone(300, 9000, 8000)));
        const std::string bytes = file_text(dir / "s");
        const SongRead fromFile = read_song_file(dir / "s", "s");
        const SongRead fromMemory = read_song_memory(bytes.data(), bytes.size(), "s");
        ASSERT_NE(fromMemory.song, nullptr) << format;
        EXPECT_EQ(fromMemory.song->samples, fromFile.song->samples) << format;
        for (size_t n = 0; n < bytes.size(); n += 1 + n / 8)
            EXPECT_EQ(fuzz_targets().at("song")(reinterpret_cast<const uint8_t*>(bytes.data()), n), 0);
    }
}

TEST(SongReader, CancelStopsReading) {
    TempFolder dir;
    put_song(dir / "a.wav", SF_FORMAT_WAV, 8000, 1, 300000, tone(100, 100, 8000));
    std::atomic<bool> cancel{true};
    SongReadOptions options;
    options.cancel = &cancel;
    EXPECT_EQ(read_song_file(dir / "a.wav", "a.wav", options).problem, SongProblem::cancelled);
    // The loader hands out only the newest request's result.
    SongLoader loader;
    loader.request(dir / "missing.wav", "missing.wav");
    loader.request(dir / "a.wav", "a.wav");
    LoadedSong got;
    for (int i = 0; i < 500 && !loader.take(got); i++) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_NE(got.read.song, nullptr) << got.read.message;
    EXPECT_EQ(got.read.song->frames, 300000);
    EXPECT_NE(got.wave, nullptr);
    EXPECT_FALSE(loader.take(got));
}

// Relative names: the level's folder first, then the working folder.
TEST(SongReader, LocateTable) {
    TempFolder dir;
    fs::create_directories(dir.dir / "levels");
    fs::create_directories(dir.dir / "work");
    put_file(dir.dir / "levels/in-level.ogg", "x");
    put_file(dir.dir / "work/in-work.ogg", "x");
    put_file(dir.dir / "work/in-level.ogg", "x");
    const std::string work = dir / "work", level = dir / "levels/a.txt";
    const std::vector<std::tuple<std::string, std::string, std::string>> rows = {
        {"/abs/song.ogg", level, "/abs/song.ogg"},
        {"in-level.ogg", level, dir / "levels/in-level.ogg"},
        {"in-work.ogg", level, dir / "work/in-work.ogg"},
        {"nowhere.ogg", level, dir / "levels/nowhere.ogg"},
        {"in-level.ogg", "", dir / "work/in-level.ogg"},
        {"../levels/in-level.ogg", "", dir / "levels/in-level.ogg"},
    };
    for (const auto& [song, levelPath, expected] : rows)
        EXPECT_EQ(locate_song(song, levelPath, work), expected) << song << " / " << levelPath;
    // A level named relative to the working folder.
    EXPECT_EQ(locate_song("in-level.ogg", "../levels/a.txt", work), dir / "levels/in-level.ogg");
}

TEST(SongReader, ChosenNameAndTimeTable) {
    const std::vector<std::tuple<std::string, std::string, std::string>> names = {
        {"/l/songs/a.ogg", "/l/level.txt", "songs/a.ogg"},
        {"/l/a.ogg", "/l/level.txt", "a.ogg"},
        {"/m/a.ogg", "/l/level.txt", "/m/a.ogg"},
        {"/l2/a.ogg", "/l/level.txt", "/l2/a.ogg"},
        {"/w/b.ogg", "", "b.ogg"},
        {"/l/x/../a.ogg", "/l/level.txt", "a.ogg"},
    };
    for (const auto& [chosen, level, expected] : names) EXPECT_EQ(song_name_for(chosen, level, "/w"), expected) << chosen;
    const std::vector<std::pair<double, std::string>> times = {
        {0, "0:00.000"}, {59.9994, "0:59.999"}, {59.9996, "1:00.000"}, {61.25, "1:01.250"}, {3600, "60:00.000"}, {-1, "0:00.000"}};
    for (const auto& [seconds, text] : times) EXPECT_EQ(format_song_time(seconds), text) << seconds;
}

// The pyramid's min/max of any stretch equals the min/max of the mixed
// samples themselves.
TEST(Waveform, PyramidMatchesEveryStretch) {
    std::mt19937 random(7);
    auto song = std::make_shared<Song>();
    song->rate = 8000;
    song->channels = 3;
    song->frames = 5003;
    song->samples = song_samples(song->frames, 3, [&](int64_t, int) { return int16_t(random() % 65536 - 32768); });
    const WavePyramid wave(song);
    for (int i = 0; i < 3000; i++) {
        int64_t a = random() % song->frames, b = random() % song->frames;
        if (i % 3 == 0) b = a + random() % 40;  // short stretches too
        std::tie(a, b) = std::minmax(a, std::min<int64_t>(b, song->frames - 1));
        int lo = 32767, hi = -32768;
        for (int64_t f = a; f <= b; f++) {
            const int16_t* s = &song->samples[f * 3];
            const int mixed = (s[0] + s[1] + s[2]) / 3;
            lo = std::min(lo, mixed);
            hi = std::max(hi, mixed);
        }
        const WaveRange r = wave.range(a, b + 1);
        ASSERT_EQ(std::pair(int(r.lo), int(r.hi)), std::pair(lo, hi)) << a << ".." << b;
    }
    EXPECT_LT(wave.bytes(), static_cast<size_t>(song->frames));
}

// Columns cover the frames that start in them; past the end they are empty.
TEST(Waveform, ColumnsFollowTheTimeAxis) {
    auto song = std::make_shared<Song>();
    song->rate = 1000;
    song->channels = 1;
    song->frames = 1000;
    song->samples = song_samples(1000, 1, [](int64_t f, int) { return int16_t(f); });
    const WavePyramid wave(song);
    std::vector<WaveColumn> cols;
    waveform_columns(*song, wave, 0.25, 0.1, 10, cols);  // 100 frames a column from frame 250
    for (int c = 0; c < 10; c++) {
        SCOPED_TRACE(c);
        ASSERT_EQ(cols[c].present, c < 8);
        if (c < 8) {
            EXPECT_EQ(std::pair(int(cols[c].range.lo), int(cols[c].range.hi)),
                      std::pair(250 + 100 * c, std::min(349 + 100 * c, 999)));
        }
    }
    // A column narrower than a frame shows the frame sounding at its start.
    waveform_columns(*song, wave, 0.5004, 0.0001, 3, cols);
    EXPECT_EQ(std::tuple(cols[0].range.lo, cols[1].range.hi, cols[2].range.lo), std::tuple(500, 500, 500));
}

// The core plays the song's frames from the start frame on, as stereo, then
// silence; the frames played map back to song frames.
TEST(Playback, RenderTable) {
    for (int channels : {1, 2, 3, 8}) {
        SCOPED_TRACE(channels);
        auto song = std::make_shared<Song>();
        song->rate = 8000;
        song->channels = channels;
        song->frames = 3000;
        song->samples = song_samples(3000, channels, [](int64_t f, int c) { return int16_t((f * 7 + c * 1000) % 20000 - 10000); });
        PlaybackCore core;
        core.start(song, 1234);
        std::vector<int16_t> out(2 * 4096, 1);
        for (int done = 0; done < 4096; done += 1000) core.render(out.data() + 2 * done, std::min(1000, 4096 - done));
        for (int i = 0; i < 4096; i++) {
            const int64_t f = 1234 + i;
            int left = 0, right = 0;
            if (f < 3000) {
                auto s = [&](int c) { return int((f * 7 + c * 1000) % 20000 - 10000); };
                if (channels == 1) left = right = s(0);
                else {
                    int n[2] = {0, 0};
                    for (int c = 0; c < channels; c++) (c % 2 ? right : left) += s(c), n[c % 2]++;
                    left /= n[0], right /= n[1];
                }
            }
            ASSERT_EQ(std::pair(int(out[2 * i]), int(out[2 * i + 1])), std::pair(left, right)) << i;
        }
        EXPECT_TRUE(core.finished());
        EXPECT_EQ(core.rendered(), 4096);
        for (int64_t n : {0, 999, 1000, 1500, 1765}) EXPECT_DOUBLE_EQ(core.song_frame_at(n), 1234.0 + n);
        EXPECT_DOUBLE_EQ(core.song_frame_at(4000), 3000.0);
    }
}

// Segment k covers [k S, (k + 1) S): the follow rule's table.
TEST(SongSession, PlaceTable) {
    const std::vector<std::tuple<double, double, int, int, double>> rows = {
        {0, 15, 4, 0, 0},          {14.97, 15, 4, 0, 0.998}, {15, 15, 4, 1, 0},   {22.5, 15, 4, 1, 0.5},
        {59.97, 15, 4, 3, 0.998},  {60, 15, 4, 3, 1},        {75, 15, 4, 3, 1},   {-1, 15, 4, 0, 0},
        {10, 0, 4, 0, 0},          {40, 22.5, 8, 1, 40 / 22.5 - 1},
    };
    for (const auto& [seconds, S, segments, segment, fraction] : rows) {
        const SongPlace p = song_place(seconds, S, segments);
        EXPECT_EQ(p.segment, segment) << seconds;
        EXPECT_NEAR(p.fraction, fraction, 1e-12) << seconds;
    }
    EXPECT_DOUBLE_EQ(segment_seconds(3, 8), 22.5);
    EXPECT_EQ(segment_seconds(3, 0), 0.0);
}

// Without a device the session plays on its clock: position, end, stop,
// and the positions it refuses.
TEST(SongSession, PlaysSilentlyOnTheClock) {
    TempFolder dir;
    put_song(dir / "a.wav", SF_FORMAT_WAV, 8000, 1, 20 * 8000, tone(440, 1000, 8000));
    double now = 50;
    SongSession session([] { return std::unique_ptr<AudioOutput>(); }, [&] { return now; });
    EXPECT_EQ(session.play(0), SongSession::Started::noSong);
    session.load(dir / "a.wav", "a.wav");
    std::string message;
    for (int i = 0; i < 500 && !session.finish_load(message); i++) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(message, "Song \"a.wav\": 0:20.000, 8000 Hz, 1 channel");
    ASSERT_EQ(session.play(14.9), SongSession::Started::silently);
    for (auto [later, seconds] : {std::pair{0.0, 14.9}, std::pair{0.05, 14.95}, std::pair{0.15, 15.05}, std::pair{5.0, 19.9}}) {
        now = 50 + later;
        EXPECT_NEAR(session.position(), seconds, 1.0 / 8000) << later;
        EXPECT_FALSE(session.ended());
    }
    now = 50 + 5.2;
    EXPECT_TRUE(session.ended());
    session.stop();
    EXPECT_FALSE(session.playing());
    now += 3;
    EXPECT_DOUBLE_EQ(session.position(), 20.0);
    EXPECT_EQ(session.play(20.0), SongSession::Started::pastEnd);
    session.forget();
    EXPECT_EQ(session.play(1), SongSession::Started::noSong);
}
