// The song reader, where songs are looked for, the waveform summary, the
// playback core and the session's clock, on songs the tests write.
#include "audio/playback.h"
#include "audio/resample.h"  // the speeds
#include "audio/song_session.h"
#include "audio/waveform.h"
#include "tests/song_files.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <random>
#include <thread>
#include <tuple>

static std::shared_ptr<Song> song_of(int rate, int channels, int64_t frames, const SongSignal& signal) {
    auto song = std::make_shared<Song>();
    song->rate = rate, song->channels = channels, song->frames = frames;
    song->samples = song_samples(frames, channels, signal);
    return song;
}

// Every kind of bad song: what the reader says, and what it keeps.
TEST(SongReader, BadInputTable) {
    TempFolder dir;
    const SongSignal t = tone(440, 8000, 8000);
    auto wav = [&](const std::string& name, int rate, int channels, int64_t frames, double part = 1) {
        put_song(dir / name, name == "cut.flac" ? SF_FORMAT_FLAC : SF_FORMAT_WAV, rate, channels, frames, t);
        const std::string bytes = file_text(dir / name);
        put_file(dir / name, bytes.substr(0, static_cast<size_t>(bytes.size() * part)));
        return dir / name;
    };
    put_file(dir / "notes.wav", "these are notes, not a song\n");
    mkfifo((dir / "fifo").c_str(), 0644);
    const std::vector<std::tuple<std::string, SongProblem, std::string>> rows = {
        {dir / "nothing.ogg", SongProblem::missing, "not found"},
        {dir / "notes.wav", SongProblem::notAudio, "not a sound file"},
        {wav("cut.wav", 8000, 1, 8000, 0.5), SongProblem::damaged, "damaged after 0:00."},
        {wav("cut.flac", 8000, 1, 8000, 0.6), SongProblem::damaged, "damaged after 0:00."},
        {wav("silent.wav", 8000, 1, 0), SongProblem::noFrames, "holds no sound"},
        {wav("nine.wav", 8000, 9, 100), SongProblem::badFormat, "9 channels"},
        {wav("slow.wav", 7999, 1, 100), SongProblem::badFormat, "7999 Hz"},
        {dir.dir.string(), SongProblem::notAFile, "is a folder"},
        {dir / "fifo", SongProblem::notAFile, "not a regular file"},
        {wav("whole.wav", 8000, 1, 300000), SongProblem::cancelled, "loading cancelled"}};
    const std::atomic<bool> cancel{true};
    for (const auto& [path, problem, says] : rows) {
        const SongRead r = read_song_file(path, "name.ogg", {problem == SongProblem::cancelled ? &cancel : nullptr});
        EXPECT_EQ(r.problem, problem) << path;
        EXPECT_EQ(r.message.rfind("Song \"name.ogg\"", 0), 0u) << r.message;
        EXPECT_NE(r.message.find(says), std::string::npos) << r.message;
        // A damaged song keeps the frames before the damage, sample for sample.
        ASSERT_EQ(r.song != nullptr, problem == SongProblem::damaged) << path;
        if (!r.song) continue;
        EXPECT_TRUE(r.song->frames > 1000 && r.song->frames < 8000) << r.song->frames;
        for (int64_t f = 0; f < r.song->frames; f += 97) ASSERT_EQ(r.song->samples[f], t(f, 0)) << f;
    }
}

// Relative names: the level's folder first, then the working folder.
TEST(SongReader, LocateTable) {
    TempFolder dir;
    for (const char* folder : {"levels", "work"}) fs::create_directories(dir.dir / folder);
    for (const char* f : {"levels/in-level.ogg", "work/in-work.ogg", "work/in-level.ogg"}) put_file(dir.dir / f, "x");
    const std::string work = dir / "work", level = dir / "levels/a.txt", inLevel = dir / "levels/in-level.ogg";
    const std::vector<std::tuple<std::string, std::string, std::string>> rows = {
        {"/abs/song.ogg", level, "/abs/song.ogg"},          {"in-level.ogg", level, inLevel},
        {"in-work.ogg", level, dir / "work/in-work.ogg"},   {"nowhere.ogg", level, dir / "levels/nowhere.ogg"},
        {"in-level.ogg", "", dir / "work/in-level.ogg"},    {"../levels/in-level.ogg", "", inLevel},
        {"in-level.ogg", "../levels/a.txt", inLevel}};
    for (const auto& [song, levelPath, expected] : rows)
        EXPECT_EQ(locate_song(song, levelPath, work), expected) << song << " / " << levelPath;
}

// The pyramid's min/max of any stretch (short, to the end, any) is that of the mixed samples.
TEST(Waveform, PyramidMatchesEveryStretch) {
    std::mt19937 random(7);
    const auto song = song_of(8000, 3, 5003, [&](int64_t, int) { return int16_t(random() % 65536 - 32768); });
    std::fill_n(&song->samples[3 * 5002], 3, int16_t{32767});  // a peak on the last frame, in a short block
    const WavePyramid wave(song);
    for (int i = 0; i < 3000; i++) {
        int64_t a = random() % song->frames, b = random() % song->frames;
        b = i % 3 == 0 ? a + random() % 40 : i % 3 == 1 ? song->frames - 1 : b;
        std::tie(a, b) = std::minmax(a, std::min<int64_t>(b, song->frames - 1));
        int lo = 32767, hi = -32768;
        for (const int16_t* s = &song->samples[a * 3]; s <= &song->samples[b * 3]; s += 3)
            lo = std::min(lo, (s[0] + s[1] + s[2]) / 3), hi = std::max(hi, (s[0] + s[1] + s[2]) / 3);
        const WaveRange r = wave.range(a, b + 1);
        ASSERT_EQ(std::pair(int(r.lo), int(r.hi)), std::pair(lo, hi)) << a << ".." << b;
    }
    EXPECT_LT(wave.bytes(), static_cast<size_t>(song->frames));
}

// Columns hold the frames that start in them; past the end they are empty.
TEST(Waveform, ColumnsFollowTheTimeAxis) {
    const auto song = song_of(1000, 1, 1000, [](int64_t f, int) { return int16_t(f); });
    std::vector<WaveColumn> cols;
    waveform_columns(*song, WavePyramid(song), 0.25, 0.1, 10, cols);  // 100 frames a column from frame 250
    for (int c = 0; c < 10; c++) {
        ASSERT_EQ(cols[c].present, c < 8) << c;
        const auto expected = std::pair(250 + 100 * c, std::min(349 + 100 * c, 999));
        EXPECT_TRUE(c >= 8 || std::pair(int(cols[c].range.lo), int(cols[c].range.hi)) == expected) << c;
    }
}

// At every speed the core plays a ramp from frame 1234 (output frame k at 1234 + k x step, as the means
// of the even and of the odd channels), then silence; and it maps frames back.
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
            EXPECT_EQ(std::pair(core.finished(), core.rendered()), std::pair(true, int64_t{8192}));
            for (int64_t n : {0, 999, 1000, 1500, 1765}) EXPECT_DOUBLE_EQ(core.song_frame_at(n), 1234.0 + n * step);
            EXPECT_DOUBLE_EQ(core.song_frame_at(8100), 3000.0);
        }
}

// Segment k covers [k S, (k + 1) S): the follow rule's table.
TEST(SongSession, PlaceTable) {
    const std::vector<std::tuple<double, double, int, int, double>> rows = {{0, 15, 4, 0, 0}, {14.97, 15, 4, 0, 0.998},
        {15, 15, 4, 1, 0}, {22.5, 15, 4, 1, 0.5}, {59.97, 15, 4, 3, 0.998}, {60, 15, 4, 3, 1}, {75, 15, 4, 3, 1},
        {-1, 15, 4, 0, 0}, {10, 0, 4, 0, 0}, {40, 22.5, 8, 1, 40 / 22.5 - 1}};
    for (const auto& [seconds, S, segments, segment, fraction] : rows) {
        EXPECT_EQ(song_place(seconds, S, segments).segment, segment) << seconds;
        EXPECT_NEAR(song_place(seconds, S, segments).fraction, fraction, 1e-12) << seconds;
    }
    EXPECT_EQ(std::pair(segment_seconds(3, 8), segment_seconds(3, 0)), std::pair(22.5, 0.0));
}

// Without a device the session plays on the test's clock from 14.9 s at each speed in turn: N output
// frames at speed s move the song by N x s / rate, to a frame. Then its end, stop, and refusals.
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
    EXPECT_TRUE(session.wave() && !session.finish_load(message));
    ASSERT_EQ(session.play(14.9), SongSession::Started::silently);
    double expected = 14.9;
    for (auto [step, n] : {std::pair{1.0, 5000}, std::pair{0.25, 8000}, std::pair{0.75, 3000}, std::pair{0.5, 9000}}) {
        session.set_speed(step);
        for (int k = 0; k < n; k += 500) {
            now += 500.0 / rate;
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
