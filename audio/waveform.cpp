#include "audio/waveform.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

template <int C>
int16_t mix(const int16_t* s) {
    int sum = 0;
    for (int c = 0; c < C; c++) sum += s[c];
    return static_cast<int16_t>(sum / C);
}

void widen(WaveRange& r, int16_t v) {
    r.lo = std::min(r.lo, v);
    r.hi = std::max(r.hi, v);
}

void widen(WaveRange& r, const WaveRange& o) {
    r.lo = std::min(r.lo, o.lo);
    r.hi = std::max(r.hi, o.hi);
}

constexpr double kFrameSlack = 1e-6;

constexpr WaveRange kEmpty{std::numeric_limits<int16_t>::max(), std::numeric_limits<int16_t>::min()};

// Level 0 for songs of C channels: the mix written out once per block.
template <int C>
std::vector<WaveRange> base_level(const Song& song) {
    const int64_t blocks = (song.frames + WavePyramid::kBlock - 1) / WavePyramid::kBlock;
    std::vector<WaveRange> level(static_cast<size_t>(blocks));
    const int16_t* s = song.samples.data();
    for (int64_t b = 0; b < blocks; b++) {
        const int64_t end = std::min(song.frames, (b + 1) * WavePyramid::kBlock);
        WaveRange r = kEmpty;
        for (int64_t f = b * WavePyramid::kBlock; f < end; f++) widen(r, mix<C>(s + f * C));
        level[static_cast<size_t>(b)] = r;
    }
    return level;
}

}  // namespace

int16_t mixed_sample(const Song& song, int64_t frame) {
    const int16_t* s = song.samples.data() + frame * song.channels;
    int sum = 0;
    for (int c = 0; c < song.channels; c++) sum += s[c];
    return static_cast<int16_t>(sum / song.channels);
}

WavePyramid::WavePyramid(std::shared_ptr<const Song> owned) : song_(std::move(owned)) {
    if (!song_ || song_->frames <= 0) return;
    const Song& song = *song_;
    switch (song.channels) {
    case 1: levels_.push_back(base_level<1>(song)); break;
    case 2: levels_.push_back(base_level<2>(song)); break;
    case 3: levels_.push_back(base_level<3>(song)); break;
    case 4: levels_.push_back(base_level<4>(song)); break;
    case 5: levels_.push_back(base_level<5>(song)); break;
    case 6: levels_.push_back(base_level<6>(song)); break;
    case 7: levels_.push_back(base_level<7>(song)); break;
    case 8: levels_.push_back(base_level<8>(song)); break;
    default: return;
    }
    while (levels_.back().size() > 1) {
        const std::vector<WaveRange>& below = levels_.back();
        std::vector<WaveRange> up((below.size() + 1) / 2);
        for (size_t i = 0; i < up.size(); i++) {
            up[i] = below[2 * i];
            if (2 * i + 1 < below.size()) widen(up[i], below[2 * i + 1]);
        }
        levels_.push_back(std::move(up));
    }
}

WaveRange WavePyramid::range(int64_t first, int64_t last) const {
    WaveRange r = kEmpty;
    // Frames outside whole blocks, one by one.
    while (first < last && first % kBlock != 0) widen(r, mixed_sample(*song_, first++));
    if (first == last) return r;
    while (last > first && last % kBlock != 0 && last != song_->frames) widen(r, mixed_sample(*song_, --last));
    // A song's last block may be short: it counts as whole.
    int64_t b0 = first / kBlock, b1 = (last + kBlock - 1) / kBlock;
    for (size_t l = 0; b0 < b1 && l < levels_.size(); l++) {
        const std::vector<WaveRange>& level = levels_[l];
        if (b0 & 1) widen(r, level[static_cast<size_t>(b0++)]);
        if (b1 & 1) widen(r, level[static_cast<size_t>(--b1)]);
        b0 /= 2;
        b1 /= 2;
    }
    return r;
}

size_t WavePyramid::bytes() const {
    size_t n = 0;
    for (const auto& level : levels_) n += level.size() * sizeof(WaveRange);
    return n;
}

void waveform_columns(const Song& song, const WavePyramid& wave, double start, double secondsPerColumn,
                      int columns, std::vector<WaveColumn>& out) {
    out.assign(static_cast<size_t>(std::max(columns, 0)), WaveColumn{false, kEmpty});
    if (song.frames <= 0 || !(secondsPerColumn > 0)) return;
    const double rate = song.rate;
    for (int c = 0; c < columns; c++) {
        const double t0 = (start + c * secondsPerColumn) * rate;
        const double t1 = (start + (c + 1) * secondsPerColumn) * rate;
        if (!(t1 > 0) || !(t0 < static_cast<double>(song.frames))) continue;
        // Frame f sounds from f / rate: the frames starting in [t0, t1),
        // forgiving the rounding of the column's time.
        int64_t first = static_cast<int64_t>(std::ceil(std::max(t0, 0.0) - kFrameSlack));
        int64_t last = static_cast<int64_t>(std::ceil(std::min(t1, static_cast<double>(song.frames)) - kFrameSlack));
        if (last <= first) {
            first = static_cast<int64_t>(std::floor(std::max(t0, 0.0)));
            last = first + 1;
        }
        if (first >= song.frames) continue;
        out[static_cast<size_t>(c)] = WaveColumn{true, wave.range(first, std::min(last, song.frames))};
    }
}

int wave_row(int middle, int half, int16_t sample) {
    const int reach = std::max(half - 1, 0);
    return middle - static_cast<int>(std::lround(static_cast<double>(sample) * reach / 32768.0));
}
