// The song reader, where the song is looked for, the waveform summary, the
// playback core and the session's clock, on songs the tests write.
#include "audio/playback.h"
#include "audio/resample.h"
#include "audio/song_session.h"
#include "audio/waveform.h"
#include "fuzz/fuzz_target.h"
#include "tests/song_files.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <numeric>
#include <random>
#include <thread>
#include <tuple>

namespace {

// A WAV whose header promises `frames` 16-bit mono frames, the file made
// that long (sparse) but holding none.
std::string put_lying_wav(const std::string& path, int rate, int64_t frames) {
    put_song(path, SF_FORMAT_WAV, rate, 1, 0, tone(0, 0, rate));
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
    put_file(dir / "locked.wav", "x");
    chmod((dir / "locked.wav").c_str(), 0);
    return dir / "locked.wav";
}

std::shared_ptr<Song> song_of(int rate, int channels, int64_t frames, const SongSignal& signal) {
    auto song = std::make_shared<Song>();
    song->rate = rate, song->channels = channels, song->frames = frames;
    song->samples = song_samples(frames, channels, signal);
    return song;
}

}  // namespace

// Every kind of bad song: what the reader says, and what it keeps.
TEST(SongReader, BadInputTable) {
    TempFolder dir;
    const SongSignal t = tone(440, 8000, 8000);
    auto cut = [&](const std::string& name, int format, double part) {
        put_song(dir / name, format, 8000, 1, 8000, t);
        const std::string bytes = file_text(dir / name);
        put_file(dir / name, bytes.substr(0, static_cast<size_t>(bytes.size() * part)));
        return dir / name;
    };
    auto wav_of = [&](const std::string& name, int rate, int channels, int64_t frames) {
        put_song(dir / name, SF_FORMAT_WAV, rate, channels, frames, t);
        return dir / name;
    };
    put_file(dir / "notes.wav", "these are notes, not a song\n");
    mkfifo((dir / "fifo").c_str(), 0644);
    const std::vector<std::tuple<std::string, SongProblem, std::string>> rows = {
        {dir / "nothing.ogg", SongProblem::missing, "not found"},
        {unreadable(dir), SongProblem::noPermission, "no permission"},
        {dir / "notes.wav", SongProblem::notAudio, "not a sound file"},
        {cut("cut.wav", SF_FORMAT_WAV, 0.5), SongProblem::damaged, "damaged after 0:00."},
        {cut("cut.flac", SF_FORMAT_FLAC, 0.6), SongProblem::damaged, "damaged after 0:00."},
        {wav_of("silent.wav", 8000, 1, 0), SongProblem::noFrames, "holds no sound"},
        {wav_of("nine.wav", 8000, 9, 100), SongProblem::badFormat, "9 channels"},
        {wav_of("slow.wav", 7999, 1, 100), SongProblem::badFormat, "7999 Hz"},
        {wav_of("fast.wav", 384001, 1, 100), SongProblem::badFormat, "384001 Hz"},
        {put_lying_wav(dir / "long.wav", 8000, 8000LL * 3660), SongProblem::tooLong, "lasts 61:00.000"},
        {dir.dir.string(), SongProblem::notAFile, "is a folder"},
        {dir / "fifo", SongProblem::notAFile, "not a regular file"},
    };
    for (const auto& [path, problem, says] : rows) {
        SCOPED_TRACE(path);
        const SongRead r = read_song_file(path, "name.ogg", {});
        EXPECT_EQ(r.problem, problem);
        EXPECT_EQ(r.message.rfind("Song \"name.ogg\"", 0), 0u) << r.message;
        EXPECT_NE(r.message.find(says), std::string::npos) << r.message;
        EXPECT_EQ(r.message.find('\n'), std::string::npos);
        // A damaged song keeps the frames before the damage, sample for sample.
        ASSERT_EQ(r.song != nullptr, problem == SongProblem::damaged);
        if (!r.song) continue;
        EXPECT_GT(r.song->frames, 1000);
        EXPECT_LT(r.song->frames, 8000);
        for (int64_t f = 0; f < r.song->frames; f += 97) ASSERT_EQ(r.song->samples[f], t(f, 0)) << f;
    }
}

// WAV, FLAC and AIFF give back the samples written, Ogg Vorbis as many
// frames as loud within the codec's loss; read from memory as from a file,
// and the fuzzer's body survives every format cut at many lengths.
TEST(SongReader, ReadsEveryFormatFromFilesAndMemory) {
    TempFolder dir;
    const int rate = 22050, frames = rate / 2;
    const std::vector<int16_t> samples =
        song_samples(frames, 2, [&](int64_t f, int c) { return tone(c ? 660 : 440, c ? 9000 : 12000, rate)(f, c); });
    auto rms = [](const std::vector<int16_t>& s) {
        return std::sqrt(std::inner_product(s.begin(), s.end(), s.begin(), 0.0) / s.size());
    };
    for (int format : {SF_FORMAT_WAV, SF_FORMAT_FLAC, SF_FORMAT_OGG, SF_FORMAT_AIFF}) {
        SCOPED_TRACE(format);
        ASSERT_TRUE(put_song(dir / "a", format, rate, 2, samples));
        const SongRead r = read_song_file(dir / "a", "a");
        ASSERT_EQ(r.problem, SongProblem::none) << r.message;
        EXPECT_EQ(r.message, "Song \"a\": 0:00.500, 22050 Hz, 2 channels");
        EXPECT_EQ(std::tuple(r.song->rate, r.song->channels, r.song->frames), std::tuple(rate, 2, int64_t(frames)));
        if (format == SF_FORMAT_OGG) EXPECT_NEAR(rms(r.song->samples), rms(samples), 0.05 * rms(samples));
        else EXPECT_EQ(r.song->samples, samples);
        const std::string bytes = file_text(dir / "a");
        const SongRead fromMemory = read_song_memory(bytes.data(), bytes.size(), "a");
        ASSERT_NE(fromMemory.song, nullptr);
        EXPECT_EQ(fromMemory.song->samples, r.song->samples);
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
}

// Relative names: the level's folder first, then the working folder; the
// name a chosen file is kept under; song times.
TEST(SongReader, LocateNameAndTimeTables) {
    TempFolder dir;
    fs::create_directories(dir.dir / "levels");
    fs::create_directories(dir.dir / "work");
    for (const char* f : {"levels/in-level.ogg", "work/in-work.ogg", "work/in-level.ogg"}) put_file(dir.dir / f, "x");
    const std::string work = dir / "work", level = dir / "levels/a.txt";
    const std::vector<std::tuple<std::string, std::string, std::string>> rows = {
        {"/abs/song.ogg", level, "/abs/song.ogg"},
        {"in-level.ogg", level, dir / "levels/in-level.ogg"},
        {"in-work.ogg", level, dir / "work/in-work.ogg"},
        {"nowhere.ogg", level, dir / "levels/nowhere.ogg"},
        {"in-level.ogg", "", dir / "work/in-level.ogg"},
        {"../levels/in-level.ogg", "", dir / "levels/in-level.ogg"},
        {"in-level.ogg", "../levels/a.txt", dir / "levels/in-level.ogg"},
    };
    for (const auto& [song, levelPath, expected] : rows)
        EXPECT_EQ(locate_song(song, levelPath, work), expected) << song << " / " << levelPath;
    const std::vector<std::tuple<std::string, std::string, std::string>> names = {
        {"/l/songs/a.ogg", "/l/level.txt", "songs/a.ogg"}, {"/l/a.ogg", "/l/level.txt", "a.ogg"},
        {"/m/a.ogg", "/l/level.txt", "/m/a.ogg"},          {"/l2/a.ogg", "/l/level.txt", "/l2/a.ogg"},
        {"/w/b.ogg", "", "b.ogg"},                         {"/l/x/../a.ogg", "/l/level.txt", "a.ogg"},
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
    const auto song = song_of(8000, 3, 5003, [&](int64_t, int) { return int16_t(random() % 65536 - 32768); });
    const WavePyramid wave(song);
    for (int i = 0; i < 3000; i++) {
        int64_t a = random() % song->frames, b = random() % song->frames;
        if (i % 3 == 0) b = a + random() % 40;  // short stretches too
        std::tie(a, b) = std::minmax(a, std::min<int64_t>(b, song->frames - 1));
        int lo = 32767, hi = -32768;
        for (const int16_t* s = &song->samples[a * 3]; s <= &song->samples[b * 3]; s += 3)
            lo = std::min(lo, (s[0] + s[1] + s[2]) / 3), hi = std::max(hi, (s[0] + s[1] + s[2]) / 3);
        const WaveRange r = wave.range(a, b + 1);
        ASSERT_EQ(std::pair(int(r.lo), int(r.hi)), std::pair(lo, hi)) << a << ".." << b;
    }
    EXPECT_LT(wave.bytes(), static_cast<size_t>(song->frames));
}

// Columns cover the frames that start in them; past the end they are empty.
TEST(Waveform, ColumnsFollowTheTimeAxis) {
    const auto song = song_of(1000, 1, 1000, [](int64_t f, int) { return int16_t(f); });
    const WavePyramid wave(song);
    std::vector<WaveColumn> cols;
    waveform_columns(*song, wave, 0.25, 0.1, 10, cols);  // 100 frames a column from frame 250
    for (int c = 0; c < 10; c++) {
        ASSERT_EQ(cols[c].present, c < 8) << c;
        const auto expected = std::pair(250 + 100 * c, std::min(349 + 100 * c, 999));
        EXPECT_TRUE(c >= 8 || std::pair(int(cols[c].range.lo), int(cols[c].range.hi)) == expected) << c;
    }
    // A column narrower than a frame shows the frame sounding at its start.
    waveform_columns(*song, wave, 0.5004, 0.0001, 3, cols);
    EXPECT_EQ(std::tuple(cols[0].range.lo, cols[1].range.hi, cols[2].range.lo), std::tuple(500, 500, 500));
}

// The core plays the song from the start frame on at every speed, as stereo
// (the mean of the even and of the odd channels), then silence; the frames
// played map back to song frames. A ramp is its own linear interpolation:
// output frame k holds the ramp at 1234 + k x step, the last frame to the
// song's end.
TEST(Playback, RenderTableAtEverySpeed) {
    const auto ramp = [](double at, int c) { return at + 1000 * c - 10000; };
    for (int channels : {1, 2, 3, 8})
        for (double step : kPlaySpeeds) {
            SCOPED_TRACE(::testing::Message() << channels << " channels at " << step);
            const auto song = song_of(8000, channels, 3000, [&](int64_t f, int c) { return int16_t(ramp(f, c)); });
            PlaybackCore core;
            core.start(song, 1234);
            core.set_speed(step);
            std::vector<int16_t> out(2 * 8192, 1);
            for (int done = 0; done < 8192; done += 1000) core.render(out.data() + 2 * done, std::min(1000, 8192 - done));
            for (int i = 0; i < 8192; i++) {
                const double at = std::min(1234 + i * step, 2999.0);
                double mean[2] = {0, 0};
                for (int c = 0; c < channels; c++) mean[c % 2] += ramp(at, c) / ((channels + 1 - c % 2) / 2);
                if (channels == 1) mean[1] = mean[0];
                const bool past = 1234 + i * step >= 3000;
                ASSERT_EQ(std::pair(int(out[2 * i]), int(out[2 * i + 1])),
                          past ? std::pair(0, 0) : std::pair(int(std::lround(mean[0])), int(std::lround(mean[1])))) << i;
            }
            EXPECT_TRUE(core.finished());
            EXPECT_EQ(core.rendered(), 8192);
            for (int64_t n : {0, 999, 1000, 1500, 1765}) EXPECT_DOUBLE_EQ(core.song_frame_at(n), 1234.0 + n * step);
            EXPECT_DOUBLE_EQ(core.song_frame_at(8100), 3000.0);
            // Frames that hold song, for the clicks: up to its end.
            EXPECT_EQ(resample_stereo(song->samples.data(), 3000, channels, 1234.25, step, out.data(), 8192),
                      std::ceil((3000 - 1234.25) / step));
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

// Without a device the session plays on a clock the test sets, from 14.9 s,
// at each speed in turn, changed while playing: after N output frames at
// speed s the song time has moved by N x s / rate, to one output frame.
// Then its end, stop, and the positions it refuses.
TEST(SongSession, PlaysOnTheClockAtEverySpeed) {
    TempFolder dir;
    const int rate = 8000;
    put_song(dir / "a.wav", SF_FORMAT_WAV, rate, 1, 20 * rate, tone(440, 1000, rate));
    double now = 50;
    SongSession session([] { return std::unique_ptr<AudioOutput>(); }, [&] { return now; });
    EXPECT_EQ(session.play(0), SongSession::Started::noSong);
    // Only the newest song asked for is handed out, once, with its waveform.
    session.load(dir / "missing.wav", "missing.wav");
    session.load(dir / "a.wav", "a.wav");
    std::string message;
    for (int i = 0; i < 500 && !session.finish_load(message); i++) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(message, "Song \"a.wav\": 0:20.000, 8000 Hz, 1 channel");
    EXPECT_NE(session.wave(), nullptr);
    EXPECT_FALSE(session.finish_load(message));
    ASSERT_EQ(session.play(14.9), SongSession::Started::silently);
    double expected = 14.9;
    int frames = 0;
    for (auto [step, n] : {std::pair{1.0, 5000}, std::pair{0.25, 8000}, std::pair{0.75, 3000}, std::pair{0.5, 9000}}) {
        session.set_speed(step);
        for (int k = 0; k < n; k += 500) {
            now = 50 + (frames += 500) / double(rate);
            expected += 500 * step / rate;
            ASSERT_NEAR(session.position(), expected, 1.0 / rate) << step << " " << k;
            ASSERT_FALSE(session.ended());
        }
    }
    now += 2 * (20 - expected) + 0.01;  // at half speed, just past the end
    EXPECT_TRUE(session.ended());
    session.stop();
    EXPECT_FALSE(session.playing());
    now += 3;
    EXPECT_DOUBLE_EQ(session.position(), 20.0);
    EXPECT_EQ(session.play(20.0), SongSession::Started::pastEnd);
    session.forget();
    EXPECT_EQ(session.play(1), SongSession::Started::noSong);
}
